// tools/rc/rc.cpp: the resource compiler. Reads a resource script, writes the resources in
// their standard binary layouts as a C++ source whose table the platform layer registers at
// start-up (platform/resource_table.h).
// Usage: rc [-I dir]... [-d depfile] input.rc output.cpp
// Sections (grep "[SECTION]"): text and diagnostics | preprocessor | tokens and expressions |
//   resource statements | binary writers | output
//
// Invariants: (1) no output file is left behind when the script has an error; (2) script texts
// are Windows-1252 bytes unless "#pragma code_page(65001)" says UTF-8; (3) every template
// string (dialogs, menus, string tables) is written as UTF-16LE, data strings as their bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace fs = std::filesystem;

namespace {

//------------------------------------------------------------------------------
// [SECTION] Text and diagnostics
// - fail(), cp1252ToUnicode(), utf8Decode(), upper()
//------------------------------------------------------------------------------

struct Where {
  std::string file;
  int line = 0;
};

struct CompileError {
  std::string text;
};

[[noreturn]] void fail(const Where& w, const std::string& text) {
  throw CompileError{w.file + ":" + std::to_string(w.line) + ": error: " + text};
}

uint16_t cp1252ToUnicode(unsigned char c) { return static_cast<uint16_t>(win::unicodeOfCp1252(c)); }

std::optional<unsigned char> unicodeToCp1252(uint32_t u) {
  const int b = win::cp1252OfUnicode(u);
  if (b < 0) return std::nullopt;
  return static_cast<unsigned char>(b);
}

// Why an existing path cannot be read as a script or data file (a folder, or a device such
// as /dev/zero that never ends), or nullptr when it can or does not exist.
const char* notAFile(const fs::path& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (ec || !fs::exists(st) || fs::is_regular_file(st)) return nullptr;
  return fs::is_directory(st) ? "is a folder, not a file" : "is not a regular file";
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

//------------------------------------------------------------------------------
// [SECTION] Preprocessor
// - Preprocessor::run(): comments, line joins, #define/#undef/#include/#if family/#pragma
//   Header files (.h, .hpp, .c) contribute only their directives, as scripts expect.
//------------------------------------------------------------------------------

struct Line {
  Where where;
  std::string text;
  bool utf8 = false;  // the code page in force at this line
};

struct Macro {
  std::string body;
};

// Names every script may use without including a header: window, dialog and control styles,
// dialog answers and virtual keys, with their documented values.
const std::map<std::string, long>& builtinConstants() {
  static const std::map<std::string, long> k = {
      {"WS_OVERLAPPED", 0x00000000L}, {"WS_POPUP", 0x80000000L}, {"WS_CHILD", 0x40000000L},
      {"WS_MINIMIZE", 0x20000000L}, {"WS_VISIBLE", 0x10000000L}, {"WS_DISABLED", 0x08000000L},
      {"WS_CLIPSIBLINGS", 0x04000000L}, {"WS_CLIPCHILDREN", 0x02000000L},
      {"WS_MAXIMIZE", 0x01000000L}, {"WS_CAPTION", 0x00C00000L}, {"WS_BORDER", 0x00800000L},
      {"WS_DLGFRAME", 0x00400000L}, {"WS_VSCROLL", 0x00200000L}, {"WS_HSCROLL", 0x00100000L},
      {"WS_SYSMENU", 0x00080000L}, {"WS_THICKFRAME", 0x00040000L}, {"WS_GROUP", 0x00020000L},
      {"WS_TABSTOP", 0x00010000L}, {"WS_MINIMIZEBOX", 0x00020000L},
      {"WS_MAXIMIZEBOX", 0x00010000L}, {"WS_SIZEBOX", 0x00040000L},
      {"WS_OVERLAPPEDWINDOW", 0x00CF0000L}, {"WS_POPUPWINDOW", 0x80880000L},
      {"WS_EX_DLGMODALFRAME", 0x1L}, {"WS_EX_NOPARENTNOTIFY", 0x4L}, {"WS_EX_TOPMOST", 0x8L},
      {"WS_EX_ACCEPTFILES", 0x10L}, {"WS_EX_TRANSPARENT", 0x20L}, {"WS_EX_TOOLWINDOW", 0x80L},
      {"WS_EX_WINDOWEDGE", 0x100L}, {"WS_EX_CLIENTEDGE", 0x200L},
      {"WS_EX_CONTEXTHELP", 0x400L}, {"WS_EX_RIGHT", 0x1000L}, {"WS_EX_STATICEDGE", 0x20000L},
      {"WS_EX_CONTROLPARENT", 0x10000L}, {"WS_EX_APPWINDOW", 0x40000L},
      {"DS_ABSALIGN", 0x1L}, {"DS_SYSMODAL", 0x2L}, {"DS_3DLOOK", 0x4L}, {"DS_FIXEDSYS", 0x8L},
      {"DS_NOFAILCREATE", 0x10L}, {"DS_LOCALEDIT", 0x20L}, {"DS_SETFONT", 0x40L},
      {"DS_MODALFRAME", 0x80L}, {"DS_NOIDLEMSG", 0x100L}, {"DS_SETFOREGROUND", 0x200L},
      {"DS_CONTROL", 0x400L}, {"DS_CENTER", 0x800L}, {"DS_CENTERMOUSE", 0x1000L},
      {"DS_CONTEXTHELP", 0x2000L}, {"DS_SHELLFONT", 0x48L},
      {"BS_PUSHBUTTON", 0x0L}, {"BS_DEFPUSHBUTTON", 0x1L}, {"BS_CHECKBOX", 0x2L},
      {"BS_AUTOCHECKBOX", 0x3L}, {"BS_RADIOBUTTON", 0x4L}, {"BS_3STATE", 0x5L},
      {"BS_AUTO3STATE", 0x6L}, {"BS_GROUPBOX", 0x7L}, {"BS_USERBUTTON", 0x8L},
      {"BS_AUTORADIOBUTTON", 0x9L}, {"BS_PUSHBOX", 0xAL}, {"BS_OWNERDRAW", 0xBL},
      {"BS_LEFTTEXT", 0x20L}, {"BS_ICON", 0x40L}, {"BS_BITMAP", 0x80L}, {"BS_LEFT", 0x100L},
      {"BS_RIGHT", 0x200L}, {"BS_CENTER", 0x300L}, {"BS_TOP", 0x400L}, {"BS_BOTTOM", 0x800L},
      {"BS_VCENTER", 0xC00L}, {"BS_PUSHLIKE", 0x1000L}, {"BS_MULTILINE", 0x2000L},
      {"BS_NOTIFY", 0x4000L}, {"BS_FLAT", 0x8000L},
      {"ES_LEFT", 0x0L}, {"ES_CENTER", 0x1L}, {"ES_RIGHT", 0x2L}, {"ES_MULTILINE", 0x4L},
      {"ES_UPPERCASE", 0x8L}, {"ES_LOWERCASE", 0x10L}, {"ES_PASSWORD", 0x20L},
      {"ES_AUTOVSCROLL", 0x40L}, {"ES_AUTOHSCROLL", 0x80L}, {"ES_NOHIDESEL", 0x100L},
      {"ES_OEMCONVERT", 0x400L}, {"ES_READONLY", 0x800L}, {"ES_WANTRETURN", 0x1000L},
      {"ES_NUMBER", 0x2000L},
      {"SS_LEFT", 0x0L}, {"SS_CENTER", 0x1L}, {"SS_RIGHT", 0x2L}, {"SS_ICON", 0x3L},
      {"SS_BLACKRECT", 0x4L}, {"SS_GRAYRECT", 0x5L}, {"SS_WHITERECT", 0x6L},
      {"SS_BLACKFRAME", 0x7L}, {"SS_GRAYFRAME", 0x8L}, {"SS_WHITEFRAME", 0x9L},
      {"SS_SIMPLE", 0xBL}, {"SS_LEFTNOWORDWRAP", 0xCL}, {"SS_OWNERDRAW", 0xDL},
      {"SS_BITMAP", 0xEL}, {"SS_ETCHEDHORZ", 0x10L}, {"SS_ETCHEDVERT", 0x11L},
      {"SS_ETCHEDFRAME", 0x12L}, {"SS_NOPREFIX", 0x80L}, {"SS_NOTIFY", 0x100L},
      {"SS_CENTERIMAGE", 0x200L}, {"SS_SUNKEN", 0x1000L},
      {"LBS_NOTIFY", 0x1L}, {"LBS_SORT", 0x2L}, {"LBS_NOREDRAW", 0x4L},
      {"LBS_MULTIPLESEL", 0x8L}, {"LBS_OWNERDRAWFIXED", 0x10L},
      {"LBS_OWNERDRAWVARIABLE", 0x20L}, {"LBS_HASSTRINGS", 0x40L},
      {"LBS_USETABSTOPS", 0x80L}, {"LBS_NOINTEGRALHEIGHT", 0x100L},
      {"LBS_MULTICOLUMN", 0x200L}, {"LBS_WANTKEYBOARDINPUT", 0x400L},
      {"LBS_EXTENDEDSEL", 0x800L}, {"LBS_DISABLENOSCROLL", 0x1000L},
      {"LBS_STANDARD", 0x00A00003L},
      {"CBS_SIMPLE", 0x1L}, {"CBS_DROPDOWN", 0x2L}, {"CBS_DROPDOWNLIST", 0x3L},
      {"CBS_OWNERDRAWFIXED", 0x10L}, {"CBS_OWNERDRAWVARIABLE", 0x20L},
      {"CBS_AUTOHSCROLL", 0x40L}, {"CBS_OEMCONVERT", 0x80L}, {"CBS_SORT", 0x100L},
      {"CBS_HASSTRINGS", 0x200L}, {"CBS_NOINTEGRALHEIGHT", 0x400L},
      {"CBS_DISABLENOSCROLL", 0x800L},
      {"SBS_HORZ", 0x0L}, {"SBS_VERT", 0x1L}, {"SBS_SIZEGRIP", 0x10L}, {"SBS_SIZEBOX", 0x8L},
      {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5},
      {"IDYES", 6}, {"IDNO", 7}, {"IDCLOSE", 8}, {"IDHELP", 9}, {"IDC_STATIC", -1},
      {"VK_LBUTTON", 0x01}, {"VK_RBUTTON", 0x02}, {"VK_CANCEL", 0x03}, {"VK_MBUTTON", 0x04},
      {"VK_BACK", 0x08}, {"VK_TAB", 0x09}, {"VK_CLEAR", 0x0C}, {"VK_RETURN", 0x0D},
      {"VK_SHIFT", 0x10}, {"VK_CONTROL", 0x11}, {"VK_MENU", 0x12}, {"VK_PAUSE", 0x13},
      {"VK_CAPITAL", 0x14}, {"VK_ESCAPE", 0x1B}, {"VK_SPACE", 0x20}, {"VK_PRIOR", 0x21},
      {"VK_NEXT", 0x22}, {"VK_END", 0x23}, {"VK_HOME", 0x24}, {"VK_LEFT", 0x25},
      {"VK_UP", 0x26}, {"VK_RIGHT", 0x27}, {"VK_DOWN", 0x28}, {"VK_SELECT", 0x29},
      {"VK_PRINT", 0x2A}, {"VK_EXECUTE", 0x2B}, {"VK_SNAPSHOT", 0x2C}, {"VK_INSERT", 0x2D},
      {"VK_DELETE", 0x2E}, {"VK_HELP", 0x2F}, {"VK_NUMPAD0", 0x60}, {"VK_NUMPAD1", 0x61},
      {"VK_NUMPAD2", 0x62}, {"VK_NUMPAD3", 0x63}, {"VK_NUMPAD4", 0x64}, {"VK_NUMPAD5", 0x65},
      {"VK_NUMPAD6", 0x66}, {"VK_NUMPAD7", 0x67}, {"VK_NUMPAD8", 0x68}, {"VK_NUMPAD9", 0x69},
      {"VK_MULTIPLY", 0x6A}, {"VK_ADD", 0x6B}, {"VK_SEPARATOR", 0x6C}, {"VK_SUBTRACT", 0x6D},
      {"VK_DECIMAL", 0x6E}, {"VK_DIVIDE", 0x6F}, {"VK_F1", 0x70}, {"VK_F2", 0x71},
      {"VK_F3", 0x72}, {"VK_F4", 0x73}, {"VK_F5", 0x74}, {"VK_F6", 0x75}, {"VK_F7", 0x76},
      {"VK_F8", 0x77}, {"VK_F9", 0x78}, {"VK_F10", 0x79}, {"VK_F11", 0x7A}, {"VK_F12", 0x7B},
      {"VK_NUMLOCK", 0x90}, {"VK_SCROLL", 0x91},
  };
  return k;
}

// System headers that only bring the names above.
bool isBuiltinHeader(std::string name) {
  name = upper(name);
  return name == "WINDOWS.H" || name == "WINRES.H" || name == "WINRESRC.H" ||
         name == "AFXRES.H" || name == "WINUSER.H" || name == "COMMCTRL.H";
}

class Preprocessor {
 public:
  std::vector<fs::path> includeDirs;
  std::map<std::string, Macro> macros;
  std::vector<Line> out;
  std::set<std::string> depends;
  bool utf8 = false;

  void run(const fs::path& file, const Where* from) {
    if (const char* why = notAFile(file)) {
      if (from) fail(*from, "\"" + file.string() + "\" " + why);
      throw CompileError{"rc: \"" + file.string() + "\" " + why};
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      if (from) fail(*from, "cannot open include file \"" + file.string() + "\"");
      throw CompileError{"rc: cannot open \"" + file.string() + "\""};
    }
    if (++depth_ > 32) fail(*from, "includes nested too deeply");
    depends.insert(fs::absolute(file).lexically_normal().string());
    std::stringstream ss;
    ss << in.rdbuf();
    if (in.bad()) fail(from ? *from : Where{file.string(), 0}, "cannot read \"" + file.string() + "\"");
    const std::string ext = upper(file.extension().string());
    const bool directivesOnly = ext == ".H" || ext == ".HPP" || ext == ".C";
    process(ss.str(), file, directivesOnly);
    --depth_;
  }

 private:
  struct Cond {
    bool active;      // lines of this branch are kept
    bool taken;       // some branch of this #if was already taken
    bool parentActive;
  };
  int depth_ = 0;

  void process(const std::string& text, const fs::path& file, bool directivesOnly) {
    std::vector<Cond> conds;
    Where w{file.string(), 0};
    bool inComment = false;
    size_t pos = 0;
    while (pos < text.size()) {
      // Gather one logical line: joined at backslash-newline, comments replaced by a blank.
      std::string line;
      const int firstLine = w.line + 1;
      bool more = true;
      while (more && pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++w.line;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        more = !raw.empty() && raw.back() == '\\' && !inComment;
        if (more) raw.pop_back();
        line += stripComments(raw, inComment);
        if (pos > text.size()) break;
      }
      Where lw{w.file, firstLine};
      const bool active = conds.empty() || conds.back().active;
      size_t i = line.find_first_not_of(" \t");
      if (i != std::string::npos && line[i] == '#') {
        directive(line.substr(i + 1), lw, conds, file);
        continue;
      }
      if (active && !directivesOnly) out.push_back({lw, line, utf8});
    }
    if (!conds.empty()) fail(w, "#if without #endif");
  }

  // Removes // and /* */ comments outside strings; inComment carries over lines.
  static std::string stripComments(const std::string& raw, bool& inComment) {
    std::string r;
    bool inString = false;
    for (size_t i = 0; i < raw.size(); ++i) {
      const char c = raw[i];
      if (inComment) {
        if (c == '*' && i + 1 < raw.size() && raw[i + 1] == '/') {
          inComment = false;
          ++i;
          r += ' ';
        }
        continue;
      }
      if (inString) {
        r += c;
        if (c == '\\' && i + 1 < raw.size()) r += raw[++i];
        else if (c == '"') inString = false;
        continue;
      }
      if (c == '"') { inString = true; r += c; continue; }
      if (c == '/' && i + 1 < raw.size() && raw[i + 1] == '/') break;
      if (c == '/' && i + 1 < raw.size() && raw[i + 1] == '*') { inComment = true; ++i; continue; }
      r += c;
    }
    return r;
  }

  void directive(const std::string& d, const Where& w, std::vector<Cond>& conds,
                 const fs::path& file) {
    std::istringstream is(d);
    std::string word;
    is >> word;
    std::string rest;
    std::getline(is, rest);
    const size_t b = rest.find_first_not_of(" \t");
    rest = b == std::string::npos ? "" : rest.substr(b);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.pop_back();
    const bool active = conds.empty() || conds.back().active;

    if (word == "if" || word == "ifdef" || word == "ifndef") {
      bool v = false;
      if (active) {
        if (word == "if") v = evalCondition(rest, w) != 0;
        else v = (macros.count(firstWord(rest)) != 0) == (word == "ifdef");
      }
      conds.push_back({active && v, v, active});
      return;
    }
    if (word == "elif") {
      if (conds.empty()) fail(w, "#elif without #if");
      Cond& c = conds.back();
      const bool v = c.parentActive && !c.taken && evalCondition(rest, w) != 0;
      c.active = v;
      c.taken = c.taken || v;
      return;
    }
    if (word == "else") {
      if (conds.empty()) fail(w, "#else without #if");
      Cond& c = conds.back();
      c.active = c.parentActive && !c.taken;
      c.taken = true;
      return;
    }
    if (word == "endif") {
      if (conds.empty()) fail(w, "#endif without #if");
      conds.pop_back();
      return;
    }
    if (!active) return;
    if (word == "define") {
      std::string name = firstWord(rest);
      if (name.empty()) fail(w, "#define without a name");
      std::string body = rest.substr(name.size());
      if (!body.empty() && body[0] == '(')
        fail(w, "macros with arguments are not supported: " + name);
      const size_t s = body.find_first_not_of(" \t");
      macros[name] = Macro{s == std::string::npos ? "" : body.substr(s)};
    } else if (word == "undef") {
      macros.erase(firstWord(rest));
    } else if (word == "include") {
      if (rest.size() < 2) fail(w, "#include needs a file name");
      const char open = rest[0];
      const char close = open == '<' ? '>' : '"';
      const size_t e = rest.find(close, 1);
      if ((open != '"' && open != '<') || e == std::string::npos) fail(w, "bad #include line");
      std::string name = rest.substr(1, e - 1);
      for (char& c : name)
        if (c == '\\') c = '/';
      std::vector<fs::path> tries;
      if (open == '"') tries.push_back(file.parent_path() / name);
      for (const fs::path& dir : includeDirs) tries.push_back(dir / name);
      for (const fs::path& p : tries)
        if (fs::exists(p)) { run(p, &w); return; }
      if (isBuiltinHeader(fs::path(name).filename().string())) return;
      fail(w, "cannot find include file \"" + name + "\"");
    } else if (word == "pragma") {
      if (rest.rfind("code_page", 0) == 0) {
        const size_t o = rest.find('('), c = rest.find(')');
        const std::string cp = o != std::string::npos && c != std::string::npos
                                   ? rest.substr(o + 1, c - o - 1) : "";
        if (cp == "65001") utf8 = true;
        else if (cp == "1252" || upper(cp) == "DEFAULT") utf8 = false;
        else fail(w, "unsupported code page \"" + cp + "\" (1252 and 65001 are known)");
      }
    } else if (word == "error") {
      fail(w, "#error " + rest);
    } else if (!word.empty() && word != "line") {
      fail(w, "unknown directive #" + word);
    }
  }

  static std::string firstWord(const std::string& s) {
    size_t e = 0;
    while (e < s.size() && (isalnum(static_cast<unsigned char>(s[e])) || s[e] == '_')) ++e;
    return s.substr(0, e);
  }

  long evalCondition(const std::string& text, const Where& w);
};

//------------------------------------------------------------------------------
// [SECTION] Tokens and expressions
// - Lexer: numbers, strings (narrow and L"..."), names, punctuation; macros expanded
// - Parser::expr() (C precedence over | ^ & + - * / % ~ ! unary -)
//------------------------------------------------------------------------------

enum class Tok { End, Number, String, Name, Punct };

struct Token {
  Tok kind = Tok::End;
  Where where;
  std::string text;            // name or punctuation; string contents as bytes (narrow)
  std::vector<uint32_t> wide;  // string contents as code points
  bool isWide = false;
  bool isLong = false;
  long value = 0;
};

class Lexer {
 public:
  Lexer(const std::vector<Line>& lines, const std::map<std::string, Macro>& macros)
      : macros_(macros) {
    for (const Line& l : lines) {
      utf8_ = l.utf8;
      scan(l.text, l.where, 0, {});
    }
    Token end;
    end.where = lines.empty() ? Where{} : lines.back().where;
    tokens_.push_back(end);
  }
  std::vector<Token> take() { return std::move(tokens_); }

  static long parseNumber(const std::string& s, bool& isLong, bool& ok) {
    size_t i = 0;
    long v = 0;
    ok = true;
    isLong = false;
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) { base = 16; i = 2; }
    else if (s.size() > 2 && s[0] == '0' && (s[1] == 'o' || s[1] == 'O')) { base = 8; i = 2; }
    bool digits = false;
    for (; i < s.size(); ++i) {
      const char c = s[i];
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0 || d >= base) break;
      if (__builtin_mul_overflow(v, static_cast<long>(base), &v) || __builtin_add_overflow(v, static_cast<long>(d), &v)) {
        ok = false;
        return 0;
      }
      digits = true;
    }
    for (; i < s.size(); ++i) {
      if (s[i] == 'L' || s[i] == 'l') isLong = true;
      else if (s[i] != 'U' && s[i] != 'u') { ok = false; break; }
    }
    if (!digits) ok = false;
    return v;
  }

 private:
  const std::map<std::string, Macro>& macros_;
  bool utf8_ = false;
  std::vector<Token> tokens_;
  // Macros that use each other twice over double at every level: a bound on what one use
  // of a macro may bring keeps such a script from filling the memory.
  static constexpr std::size_t kExpansionLimit = 100000;
  std::size_t expansionStart_ = 0;

  void scan(const std::string& s, const Where& w, int depth, std::set<std::string> expanding) {
    size_t i = 0;
    while (i < s.size()) {
      if (depth > 0 && tokens_.size() - expansionStart_ > kExpansionLimit)
        fail(w, "a macro expands to more than " + std::to_string(kExpansionLimit) + " tokens");
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if (isspace(c)) { ++i; continue; }
      Token t;
      t.where = w;
      if ((c == 'L' || c == 'l') && i + 1 < s.size() && s[i + 1] == '"') {
        t.isWide = true;
        ++i;
      }
      if (s[i] == '"') {
        t.kind = Tok::String;
        i = readString(s, i, w, t);
        tokens_.push_back(t);
        continue;
      }
      if (s[i] == '\'') {  // a character constant is its code
        size_t e = s.find('\'', i + 1);
        if (e == std::string::npos || e == i + 1) fail(w, "bad character constant");
        t.kind = Tok::Number;
        t.value = static_cast<unsigned char>(s[i + 1]);
        i = e + 1;
        tokens_.push_back(t);
        continue;
      }
      if (isdigit(c)) {
        size_t e = i;
        while (e < s.size() && (isalnum(static_cast<unsigned char>(s[e])))) ++e;
        t.kind = Tok::Number;
        t.text = s.substr(i, e - i);
        bool ok = false;
        t.value = parseNumber(t.text, t.isLong, ok);
        if (!ok) fail(w, "bad number \"" + t.text + "\"");
        i = e;
        tokens_.push_back(t);
        continue;
      }
      if (isalpha(c) || c == '_' || c >= 0x80) {
        size_t e = i;
        while (e < s.size()) {
          const unsigned char d = static_cast<unsigned char>(s[e]);
          if (isalnum(d) || d == '_' || d == '.' || d >= 0x80) ++e;
          else break;
        }
        const std::string name = s.substr(i, e - i);
        i = e;
        auto m = macros_.find(name);
        if (m != macros_.end() && !expanding.count(name)) {
          if (depth > 64) fail(w, "macro expansion too deep: " + name);
          if (depth == 0) expansionStart_ = tokens_.size();
          auto inner = expanding;
          inner.insert(name);
          scan(m->second.body, w, depth + 1, inner);
          continue;
        }
        t.kind = Tok::Name;
        t.text = name;
        tokens_.push_back(t);
        continue;
      }
      t.kind = Tok::Punct;
      static const char* twoChar[] = {"||", "&&", "==", "!=", "<=", ">=", "<<", ">>"};
      t.text = std::string(1, s[i]);
      for (const char* op : twoChar)
        if (s.compare(i, 2, op) == 0) t.text = op;
      i += t.text.size();
      tokens_.push_back(t);
    }
  }

  // Reads "..." at s[i]; "" is a quote; C escapes; fills text (bytes) and wide (code points).
  size_t readString(const std::string& s, size_t i, const Where& w, Token& t) {
    std::vector<uint32_t> units;  // code points
    ++i;
    for (;;) {
      if (i >= s.size()) fail(w, "string not closed on its line");
      unsigned char c = static_cast<unsigned char>(s[i]);
      if (c == '"') {
        if (i + 1 < s.size() && s[i + 1] == '"') { units.push_back('"'); i += 2; continue; }
        ++i;
        break;
      }
      if (c == '\\' && i + 1 < s.size()) {
        const char e = s[i + 1];
        i += 2;
        switch (e) {
          case 'n': units.push_back('\n'); break;
          case 't': units.push_back('\t'); break;
          case 'r': units.push_back('\r'); break;
          case 'a': units.push_back('\b'); break;  // the script's \a is the right-align mark
          case 'b': units.push_back('\b'); break;
          case 'f': units.push_back('\f'); break;
          case 'v': units.push_back('\v'); break;
          case '\\': units.push_back('\\'); break;
          case '"': units.push_back('"'); break;
          case '\'': units.push_back('\''); break;
          case 'x': case 'X': {
            uint32_t v = 0;
            int n = 0;
            const int maxDigits = t.isWide ? 4 : 2;
            while (n < maxDigits && i < s.size() && isxdigit(static_cast<unsigned char>(s[i]))) {
              const char h = s[i++];
              v = v * 16 + (isdigit(static_cast<unsigned char>(h)) ? h - '0' : (toupper(h) - 'A' + 10));
              ++n;
            }
            if (n == 0) fail(w, "\\x without hex digits");
            units.push_back(t.isWide ? v : 0x100000u | v);  // narrow: a raw byte
            break;
          }
          default:
            if (e >= '0' && e <= '7') {
              uint32_t v = static_cast<uint32_t>(e - '0');
              int n = 1;
              while (n < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7') {
                v = v * 8 + static_cast<uint32_t>(s[i++] - '0');
                ++n;
              }
              units.push_back(t.isWide ? v : 0x100000u | (v & 0xFF));
            } else {
              units.push_back('\\');
              units.push_back(static_cast<unsigned char>(e));
            }
        }
        continue;
      }
      if (utf8_ && c >= 0x80) {
        uint32_t cp = 0;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
        if (more < 0) fail(w, "invalid UTF-8 in string");
        cp = c & (0x3F >> more);
        ++i;
        for (int k = 0; k < more; ++k, ++i) {
          if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            fail(w, "invalid UTF-8 in string");
          cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        }
        units.push_back(cp);
        continue;
      }
      units.push_back(utf8_ ? c : cp1252ToUnicode(c));
      ++i;
    }
    // Narrow text: Windows-1252 bytes; raw escape bytes pass through unchanged.
    for (uint32_t u : units) {
      if (u & 0x100000u) {
        t.text += static_cast<char>(u & 0xFF);
        t.wide.push_back(cp1252ToUnicode(static_cast<unsigned char>(u & 0xFF)));
        continue;
      }
      t.wide.push_back(u);
      if (!t.isWide) {
        auto b = unicodeToCp1252(u);
        if (!b) fail(w, "character U+" + std::to_string(u) + " has no Windows-1252 byte");
        t.text += static_cast<char>(*b);
      }
    }
    return i;
  }
};

class ExprParser {
 public:
  ExprParser(const std::vector<Token>& toks, size_t& pos) : t_(toks), p_(pos) {}
  long expr(bool& isLong) { isLong = false; return orExpr(isLong); }

 private:
  const std::vector<Token>& t_;
  size_t& p_;
  int depth_ = 0;  // nested parentheses and unary operators, bounded to keep the stack
  static constexpr int kMaxDepth = 256;

  bool is(const char* s) const { return t_[p_].kind == Tok::Punct && t_[p_].text == s; }
  [[noreturn]] void overflow(const Where& w) const { fail(w, "integer overflow in expression"); }
  long orExpr(bool& l) {
    long v = xorExpr(l);
    while (is("|") || is("||")) {
      const bool logical = is("||");
      ++p_;
      const long r = xorExpr(l);
      v = logical ? (v || r) : (v | r);
    }
    return v;
  }
  long xorExpr(bool& l) {
    long v = andExpr(l);
    while (is("^")) { ++p_; v ^= andExpr(l); }
    return v;
  }
  long andExpr(bool& l) {
    long v = cmpExpr(l);
    while (is("&") || is("&&")) {
      const bool logical = is("&&");
      ++p_;
      const long r = cmpExpr(l);
      v = logical ? (v && r) : (v & r);
    }
    return v;
  }
  long cmpExpr(bool& l) {
    long v = addExpr(l);
    for (;;) {
      if (is("==")) { ++p_; v = v == addExpr(l); }
      else if (is("!=")) { ++p_; v = v != addExpr(l); }
      else if (is("<")) { ++p_; v = v < addExpr(l); }
      else if (is(">")) { ++p_; v = v > addExpr(l); }
      else if (is("<=")) { ++p_; v = v <= addExpr(l); }
      else if (is(">=")) { ++p_; v = v >= addExpr(l); }
      else return v;
    }
  }
  long addExpr(bool& l) {
    long v = mulExpr(l);
    for (;;) {
      if (!is("+") && !is("-")) return v;
      const bool add = is("+");
      const Where w = t_[p_].where;
      ++p_;
      const long r = mulExpr(l);
      if (add ? __builtin_add_overflow(v, r, &v) : __builtin_sub_overflow(v, r, &v)) overflow(w);
    }
  }
  long mulExpr(bool& l) {
    long v = unary(l);
    for (;;) {
      if (is("*")) {
        const Where w = t_[p_].where;
        ++p_;
        if (__builtin_mul_overflow(v, unary(l), &v)) overflow(w);
      } else if (is("/") || is("%")) {
        const bool div = is("/");
        const Where w = t_[p_].where;
        ++p_;
        const long r = unary(l);
        if (r == 0) fail(w, "division by zero");
        if (r == -1 && v == std::numeric_limits<long>::min()) overflow(w);
        v = div ? v / r : v % r;
      } else return v;
    }
  }
  long unary(bool& l) {
    if (++depth_ > kMaxDepth) fail(t_[p_].where, "expression nested too deeply");
    const long v = primary(l);
    --depth_;
    return v;
  }
  long primary(bool& l) {
    if (is("-")) {
      const Where w = t_[p_].where;
      ++p_;
      const long v = unary(l);
      if (v == std::numeric_limits<long>::min()) overflow(w);
      return -v;
    }
    if (is("+")) { ++p_; return unary(l); }
    if (is("~")) { ++p_; return ~unary(l); }
    if (is("!")) { ++p_; return !unary(l); }
    if (is("(")) {
      ++p_;
      const long v = orExpr(l);
      if (!is(")")) fail(t_[p_].where, "expected )");
      ++p_;
      return v;
    }
    const Token& t = t_[p_];
    if (t.kind == Tok::Number) {
      ++p_;
      l = l || t.isLong;
      return t.value;
    }
    if (t.kind == Tok::Name) {
      auto b = builtinConstants().find(t.text);
      if (b != builtinConstants().end()) { ++p_; return b->second; }
      fail(t.where, "undefined name \"" + t.text + "\"");
    }
    fail(t.where, t.kind == Tok::End ? "unexpected end of script" : "expected a number");
  }
};

long Preprocessor::evalCondition(const std::string& text, const Where& w) {
  // defined(X) and defined X become 1 or 0; unknown names count 0, as preprocessors do.
  std::string s;
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 7, "defined") == 0 &&
        (i + 7 >= text.size() || !(isalnum(static_cast<unsigned char>(text[i + 7])) || text[i + 7] == '_'))) {
      size_t j = i + 7;
      while (j < text.size() && (text[j] == ' ' || text[j] == '(')) ++j;
      std::string name = firstWord(text.substr(j));
      j += name.size();
      while (j < text.size() && (text[j] == ' ' || text[j] == ')')) ++j;
      s += macros.count(name) ? " 1 " : " 0 ";
      i = j;
    } else {
      s += text[i++];
    }
  }
  Lexer lex({Line{w, s, false}}, macros);
  auto toks = lex.take();
  for (Token& t : toks)
    if (t.kind == Tok::Name && !builtinConstants().count(t.text)) { t.kind = Tok::Number; t.value = 0; }
  size_t p = 0;
  bool l = false;
  ExprParser ep(toks, p);
  const long v = ep.expr(l);
  if (toks[p].kind != Tok::End) fail(w, "bad #if expression");
  return v;
}

//------------------------------------------------------------------------------
// [SECTION] Resource statements
// - Compiler::run(): top level; dialog(), menu(), accelerators(), stringTable(), rawData(),
//   bitmapFile(), iconOrCursorFiles()
//------------------------------------------------------------------------------

enum : uint16_t {
  RT_CURSOR = 1, RT_BITMAP = 2, RT_ICON = 3, RT_MENU = 4, RT_DIALOG = 5, RT_STRING = 6,
  RT_FONTDIR = 7, RT_FONT = 8, RT_ACCELERATOR = 9, RT_RCDATA = 10, RT_MESSAGETABLE = 11,
  RT_GROUP_CURSOR = 12, RT_GROUP_ICON = 14, RT_VERSION = 16, RT_HTML = 23
};

struct ResId {
  bool isNum = true;
  uint16_t num = 0;
  std::string name;  // upper case
};

struct Resource {
  ResId type, name;
  std::vector<uint8_t> data;
  Where where;
};

struct Bytes {
  std::vector<uint8_t> b;
  void u8(unsigned v) { b.push_back(static_cast<uint8_t>(v)); }
  void u16(unsigned long v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); }
  void u32(unsigned long v) { u16(v & 0xFFFF); u16((v >> 16) & 0xFFFF); }
  void align4() { while (b.size() % 4) u8(0); }
  void wstr(const std::vector<uint32_t>& s) {  // UTF-16LE with its terminating 0
    for (uint32_t c : s) {
      if (c >= 0x10000) {
        c -= 0x10000;
        u16(0xD800 + (c >> 10));
        u16(0xDC00 + (c & 0x3FF));
      } else {
        u16(c);
      }
    }
    u16(0);
  }
  void nameOrOrd(const std::optional<ResId>& r) {  // sz_Or_Ord
    if (!r) { u16(0); return; }
    if (r->isNum) { u16(0xFFFF); u16(r->num); return; }
    std::vector<uint32_t> w;
    for (unsigned char c : r->name) w.push_back(cp1252ToUnicode(c));
    wstr(w);
  }
};

struct Control {
  unsigned long style = 0, exStyle = 0, helpId = 0;
  long x = 0, y = 0, cx = 0, cy = 0, id = 0;
  std::optional<ResId> cls;        // ordinal atom or class name
  std::vector<uint32_t> clsName;   // class name as written
  bool textIsOrd = false;
  uint16_t textOrd = 0;
  std::vector<uint32_t> text;
};

class Compiler {
 public:
  Compiler(std::vector<Token> toks, fs::path base, std::set<std::string>& depends,
           std::vector<fs::path> includeDirs)
      : t_(std::move(toks)), base_(std::move(base)), depends_(depends),
        includeDirs_(std::move(includeDirs)) {}

  std::vector<Resource> run() {
    while (cur().kind != Tok::End) statement();
    flushStrings();
    // Duplicate type and name pairs would make lookups ambiguous.
    for (size_t i = 0; i < res_.size(); ++i)
      for (size_t j = 0; j < i; ++j)
        if (same(res_[i].type, res_[j].type) && same(res_[i].name, res_[j].name))
          fail(res_[i].where, "resource " + describe(res_[i].name) + " of type " +
                                  describe(res_[i].type) + " defined twice");
    return std::move(res_);
  }

 private:
  std::vector<Token> t_;
  size_t p_ = 0;
  fs::path base_;
  std::set<std::string>& depends_;
  std::vector<fs::path> includeDirs_;
  std::vector<Resource> res_;
  std::map<uint16_t, std::vector<std::pair<bool, std::vector<uint32_t>>>> strings_;  // block -> 16
  std::map<uint16_t, Where> stringWhere_;
  uint16_t nextImageId_ = 1;

  static bool same(const ResId& a, const ResId& b) {
    return a.isNum == b.isNum && (a.isNum ? a.num == b.num : a.name == b.name);
  }
  static std::string describe(const ResId& r) {
    return r.isNum ? std::to_string(r.num) : "\"" + r.name + "\"";
  }

  const Token& cur() const { return t_[p_]; }
  bool isPunct(const char* s) const { return cur().kind == Tok::Punct && cur().text == s; }
  bool isWord(const char* s) const { return cur().kind == Tok::Name && upper(cur().text) == s; }
  bool isBegin() const { return isWord("BEGIN") || isPunct("{"); }
  bool isEnd() const { return isWord("END") || isPunct("}"); }
  void skipComma() { if (isPunct(",")) ++p_; }
  void expectComma() {
    if (!isPunct(",")) fail(cur().where, "expected ,");
    ++p_;
  }
  void expectBegin() {
    if (!isBegin()) fail(cur().where, "expected BEGIN or {");
    ++p_;
  }
  long number(bool* isLong = nullptr) {
    bool l = false;
    ExprParser ep(t_, p_);
    const long v = ep.expr(l);
    if (isLong) *isLong = l;
    return v;
  }
  // A number that must fit a 16-bit field of a template (signed or unsigned).
  long word(const char* what) {
    const Where w = cur().where;
    const long v = number();
    if (v < -32768 || v > 65535) fail(w, std::string(what) + " " + std::to_string(v) + " does not fit in 16 bits");
    return v;
  }

  // Style expressions: terms joined by |, where NOT x clears x from what is there so far
  // (the control's default bits included).
  unsigned long style(unsigned long start) {
    unsigned long v = start;
    for (;;) {
      if (isWord("NOT")) {
        ++p_;
        v &= ~static_cast<unsigned long>(unaryTerm());
      } else {
        v |= static_cast<unsigned long>(unaryTerm());
      }
      if (!isPunct("|")) break;
      ++p_;
    }
    return v & 0xFFFFFFFFul;
  }
  // One operand of a style expression: terms joined by + - &, stopping at |.
  long unaryTerm() {
    bool l = false;
    return primaryChain(l);
  }
  long primaryChain(bool& l) {
    long v = single(l);
    for (;;) {
      if (isPunct("+")) { ++p_; v += single(l); }
      else if (isPunct("-")) { ++p_; v -= single(l); }
      else if (isPunct("&")) { ++p_; v &= single(l); }
      else return v;
    }
  }
  long single(bool& l) {
    if (isPunct("(") || isPunct("~") || isPunct("-") || cur().kind == Tok::Number ||
        cur().kind == Tok::Name) {
      if (isPunct("(")) {
        ++p_;
        ExprParser ep(t_, p_);
        const long v = ep.expr(l);
        if (!isPunct(")")) fail(cur().where, "expected )");
        ++p_;
        return v;
      }
      if (isPunct("~")) { ++p_; return ~single(l); }
      if (isPunct("-")) { ++p_; return -single(l); }
      const Token& t = cur();
      if (t.kind == Tok::Number) { ++p_; return t.value; }
      auto b = builtinConstants().find(t.text);
      if (b == builtinConstants().end()) fail(t.where, "undefined name \"" + t.text + "\"");
      ++p_;
      return b->second;
    }
    fail(cur().where, "expected a style value");
  }

  std::vector<uint32_t> stringToken(const char* what) {
    if (cur().kind != Tok::String) fail(cur().where, std::string("expected ") + what);
    std::vector<uint32_t> s = cur().wide;
    ++p_;
    // Adjacent strings join, as in C.
    while (cur().kind == Tok::String) {
      s.insert(s.end(), cur().wide.begin(), cur().wide.end());
      ++p_;
    }
    return s;
  }

  ResId resId(const char* what) {
    ResId r;
    if (cur().kind == Tok::String) {
      r.isNum = false;
      for (uint32_t c : stringToken(what)) {
        auto b = unicodeToCp1252(c);
        r.name += b ? static_cast<char>(*b) : '?';
      }
      r.name = upper(r.name);
      return r;
    }
    if (cur().kind == Tok::Name && !builtinConstants().count(cur().text)) {
      r.isNum = false;
      r.name = upper(cur().text);
      ++p_;
      return r;
    }
    const Where w = cur().where;
    const long v = number();
    if (v < 0 || v > 0xFFFF) fail(w, std::string(what) + " " + std::to_string(v) +
                                         " is outside the resource numbers 0-65535");
    r.num = static_cast<uint16_t>(v);
    return r;
  }

  void skipMemoryOptions() {
    static const char* opts[] = {"PRELOAD", "LOADONCALL", "FIXED",  "MOVEABLE", "DISCARDABLE",
                                 "PURE",    "IMPURE",     "SHARED", "NONSHARED"};
    for (bool again = true; again;) {
      again = false;
      for (const char* o : opts)
        if (isWord(o)) { ++p_; again = true; }
    }
  }

  // LANGUAGE, VERSION and CHARACTERISTICS carry nothing this layer keeps.
  bool commonOption() {
    if (isWord("LANGUAGE")) { ++p_; number(); expectComma(); number(); return true; }
    if (isWord("VERSION") || isWord("CHARACTERISTICS")) { ++p_; number(); return true; }
    return false;
  }

  void add(ResId type, ResId name, std::vector<uint8_t> data, const Where& w) {
    res_.push_back({std::move(type), std::move(name), std::move(data), w});
  }

  void statement() {
    const Where w = cur().where;
    if (isWord("LANGUAGE")) { commonOption(); return; }
    if (isWord("STRINGTABLE")) { ++p_; stringTable(); return; }
    const ResId name = resId("resource name");
    if (cur().kind == Tok::End) fail(w, "resource " + describe(name) + " has no type");
    const Token typeTok = cur();
    const std::string kw = typeTok.kind == Tok::Name ? upper(typeTok.text) : "";
    auto num = [](uint16_t n) { ResId r; r.num = n; return r; };
    if (kw == "DIALOG" || kw == "DIALOGEX") { ++p_; add(num(RT_DIALOG), name, dialog(kw == "DIALOGEX"), w); return; }
    if (kw == "MENU") { ++p_; add(num(RT_MENU), name, menu(), w); return; }
    if (kw == "MENUEX") fail(w, "MENUEX is not supported; write MENU");
    if (kw == "ACCELERATORS") { ++p_; add(num(RT_ACCELERATOR), name, accelerators(), w); return; }
    if (kw == "RCDATA") { ++p_; add(num(RT_RCDATA), name, userData(), w); return; }
    if (kw == "BITMAP") { ++p_; add(num(RT_BITMAP), name, bitmapFile(), w); return; }
    if (kw == "ICON" || kw == "CURSOR") { ++p_; iconOrCursor(name, kw == "CURSOR", w); return; }
    if (kw == "HTML") { ++p_; add(num(RT_HTML), name, userData(), w); return; }
    if (kw == "MESSAGETABLE") { ++p_; add(num(RT_MESSAGETABLE), name, userData(), w); return; }
    if (kw == "VERSIONINFO" || kw == "FONT" || kw == "TEXTINCLUDE" || kw == "DLGINCLUDE")
      fail(w, kw + " resources are not supported");
    // A user-defined type: a number or a name of its own.
    const ResId type = resId("resource type");
    if (type.isNum && (type.num == 0)) fail(w, "resource type 0 is not allowed");
    add(type, name, userData(), w);
  }

  // RCDATA and user-defined types: a block of numbers (16-bit, 32-bit with L) and strings
  // (their bytes, no terminator unless written), or the contents of a file.
  std::vector<uint8_t> userData() {
    skipMemoryOptions();
    while (commonOption()) {}
    if (!isBegin()) {
      if (cur().kind != Tok::String && cur().kind != Tok::Name)
        fail(cur().where, "expected BEGIN or a file name");
      return readFile(fileName());
    }
    ++p_;
    Bytes out;
    while (!isEnd()) {
      if (cur().kind == Tok::End) fail(cur().where, "END missing");
      if (cur().kind == Tok::String) {
        const Token& t = cur();
        if (t.isWide) {
          for (uint32_t c : t.wide) out.u16(c);
        } else {
          for (char c : t.text) out.u8(static_cast<unsigned char>(c));
        }
        ++p_;
      } else {
        const Where w = cur().where;
        bool isLong = false;
        const long v = number(&isLong);
        if (isLong) out.u32(static_cast<unsigned long>(v));
        else {
          if (v < -32768 || v > 65535) fail(w, "number " + std::to_string(v) + " does not fit in 16 bits; write it with L");
          out.u16(static_cast<unsigned long>(v));
        }
      }
      skipComma();
    }
    ++p_;
    return out.b;
  }

  std::string fileName() {
    std::string n;
    if (cur().kind == Tok::String) n = cur().text;
    else n = cur().text;
    ++p_;
    for (char& c : n)
      if (c == '\\') c = '/';
    return n;
  }

  std::vector<uint8_t> readFile(const std::string& name) {
    const Where w = t_[p_ - 1].where;
    std::vector<fs::path> tries{base_ / name};
    for (const fs::path& d : includeDirs_) tries.push_back(d / name);
    for (const fs::path& p : tries) {
      if (const char* why = notAFile(p)) fail(w, "\"" + name + "\" " + why);
      std::ifstream in(p, std::ios::binary);
      if (!in) continue;
      depends_.insert(fs::absolute(p).lexically_normal().string());
      return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    fail(w, "cannot open file \"" + name + "\"");
  }

  std::vector<uint8_t> bitmapFile() {
    skipMemoryOptions();
    const std::string name = fileName();
    std::vector<uint8_t> f = readFile(name);
    const Where w = t_[p_ - 1].where;
    // The resource is the file without its 14-byte file header.
    if (f.size() < 14 + 12 || f[0] != 'B' || f[1] != 'M') fail(w, "\"" + name + "\" is not a BMP file");
    return std::vector<uint8_t>(f.begin() + 14, f.end());
  }

  static unsigned rd16(const std::vector<uint8_t>& f, size_t o) { return f[o] | (f[o + 1] << 8); }
  static unsigned long rd32(const std::vector<uint8_t>& f, size_t o) {
    return rd16(f, o) | (static_cast<unsigned long>(rd16(f, o + 2)) << 16);
  }

  // An .ico or .cur file becomes one resource per image (numbered on from 1) and a group
  // resource with the given name that lists them.
  void iconOrCursor(const ResId& name, bool cursor, const Where& w) {
    skipMemoryOptions();
    const std::string file = fileName();
    const std::vector<uint8_t> f = readFile(file);
    const unsigned kind = cursor ? 2 : 1;
    if (f.size() < 6 || rd16(f, 0) != 0 || rd16(f, 2) != kind)
      fail(w, "\"" + file + "\" is not an " + (cursor ? "cursor" : "icon") + " file");
    const unsigned n = rd16(f, 4);
    if (n == 0 || f.size() < 6 + 16ul * n) fail(w, "\"" + file + "\" has a damaged directory");
    Bytes group;
    group.u16(0);
    group.u16(kind);
    group.u16(n);
    for (unsigned i = 0; i < n; ++i) {
      const size_t e = 6 + 16 * i;
      const unsigned long size = rd32(f, e + 8), offset = rd32(f, e + 12);
      if (offset > f.size() || size > f.size() - offset)
        fail(w, "\"" + file + "\" image " + std::to_string(i + 1) + " lies outside the file");
      std::vector<uint8_t> image(f.begin() + static_cast<long>(offset),
                                 f.begin() + static_cast<long>(offset + size));
      // Planes and bit count come from the image's own header (a cursor file keeps its hot
      // spot in those directory fields).
      unsigned planes = rd16(f, e + 4), bits = rd16(f, e + 6);
      const bool dib = image.size() >= 16 && rd32(image, 0) == 40;
      if (dib) { planes = rd16(image, 12); bits = rd16(image, 14); }
      const uint16_t id = nextImageId_++;
      Bytes data;
      if (cursor) {
        data.u16(rd16(f, e + 4));  // hot spot
        data.u16(rd16(f, e + 6));
      }
      data.b.insert(data.b.end(), image.begin(), image.end());
      if (cursor) {
        const unsigned width = f[e] ? f[e] : 256, height = f[e + 1] ? f[e + 1] : 256;
        group.u16(width);
        group.u16(height * 2);  // the cursor's bitmap height, AND mask included
      } else {
        group.u8(f[e]);
        group.u8(f[e + 1]);
        group.u8(f[e + 2]);
        group.u8(0);
      }
      group.u16(planes);
      group.u16(bits);
      group.u32(data.b.size());
      group.u16(id);
      ResId imgType;
      imgType.num = cursor ? RT_CURSOR : RT_ICON;
      ResId imgName;
      imgName.num = id;
      add(imgType, imgName, std::move(data.b), w);
    }
    ResId type;
    type.num = cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON;
    add(type, name, std::move(group.b), w);
  }

  // STRINGTABLE: strings gather into blocks of 16 (block b holds ids 16(b-1) .. 16b-1); each
  // string is a 16-bit length and its UTF-16 characters without terminator.
  void stringTable() {
    skipMemoryOptions();
    while (commonOption()) {}
    expectBegin();
    while (!isEnd()) {
      if (cur().kind == Tok::End) fail(cur().where, "END missing");
      const Where w = cur().where;
      const long id = number();
      if (id < 0 || id > 0xFFFF) fail(w, "string id " + std::to_string(id) + " is outside 0-65535");
      skipComma();
      std::vector<uint32_t> s = stringToken("a string");
      const uint16_t block = static_cast<uint16_t>((id >> 4) + 1);
      auto& b = strings_[block];
      if (b.empty()) {
        b.resize(16);
        stringWhere_[block] = w;
      }
      if (b[id & 15].first) fail(w, "string " + std::to_string(id) + " defined twice");
      b[id & 15] = {true, std::move(s)};
    }
    ++p_;
  }

  void flushStrings() {
    for (auto& [block, entries] : strings_) {
      Bytes out;
      for (auto& e : entries) {
        size_t units = 0;
        for (uint32_t c : e.second) units += c >= 0x10000 ? 2 : 1;
        out.u16(units);
        Bytes tmp;
        tmp.wstr(e.second);
        out.b.insert(out.b.end(), tmp.b.begin(), tmp.b.end() - 2);
      }
      ResId type, name;
      type.num = RT_STRING;
      name.num = block;
      for (const Resource& r : res_)
        if (same(r.type, type) && same(r.name, name))
          fail(stringWhere_[block], "string block " + std::to_string(block) + " defined twice");
      add(type, name, std::move(out.b), stringWhere_[block]);
    }
    strings_.clear();
  }

  // MENU: header (version 0, offset 0), then items: flags, id (not for popups), text; the last
  // item of each level carries MF_END.
  std::vector<uint8_t> menu() {
    skipMemoryOptions();
    while (commonOption()) {}
    Bytes out;
    out.u16(0);
    out.u16(0);
    menuItems(out, 0);
    return out.b;
  }

  void menuItems(Bytes& out, int depth) {
    if (depth > 16) fail(cur().where, "menus nested too deeply");
    expectBegin();
    if (isEnd()) fail(cur().where, "a menu needs at least one item");
    while (!isEnd()) {
      if (cur().kind == Tok::End) fail(cur().where, "END missing");
      const bool popup = isWord("POPUP");
      if (!popup && !isWord("MENUITEM")) fail(cur().where, "expected MENUITEM or POPUP");
      ++p_;
      unsigned flags = 0;
      long id = 0;
      std::vector<uint32_t> text;
      if (!popup && isWord("SEPARATOR")) {
        ++p_;
      } else {
        text = stringToken("the item text");
        if (!popup) {
          expectComma();
          const Where w = cur().where;
          id = number();
          if (id < -32768 || id > 0xFFFF) fail(w, "menu id " + std::to_string(id) + " does not fit in 16 bits");
        }
        for (;;) {
          skipComma();
          if (isWord("CHECKED")) flags |= 0x0008;
          else if (isWord("GRAYED")) flags |= 0x0001;
          else if (isWord("INACTIVE")) flags |= 0x0002;
          else if (isWord("MENUBARBREAK")) flags |= 0x0020;
          else if (isWord("MENUBREAK")) flags |= 0x0040;
          else if (isWord("HELP")) flags |= 0x4000;
          else break;
          ++p_;
        }
      }
      if (popup) flags |= 0x0010;
      const size_t flagAt = out.b.size();
      out.u16(flags);
      if (!popup) out.u16(static_cast<unsigned long>(id));
      out.wstr(text);
      if (popup) menuItems(out, depth + 1);
      if (isEnd()) {  // last item of this level
        out.b[flagAt] |= 0x80;
      }
    }
    ++p_;
  }

  // ACCELERATORS: entries of flags, key, command and padding (8 bytes); 0x80 marks the last.
  std::vector<uint8_t> accelerators() {
    skipMemoryOptions();
    while (commonOption()) {}
    expectBegin();
    Bytes out;
    size_t lastFlags = 0;
    bool any = false;
    while (!isEnd()) {
      if (cur().kind == Tok::End) fail(cur().where, "END missing");
      const Where w = cur().where;
      long key = 0;
      bool fromString = false;
      std::string keyText;
      if (cur().kind == Tok::String) {
        keyText = cur().text;
        fromString = true;
        ++p_;
        if (keyText.size() == 2 && keyText[0] == '^') {
          const char c = static_cast<char>(toupper(static_cast<unsigned char>(keyText[1])));
          if (c < '@' || c > '_') fail(w, "bad control key \"" + keyText + "\"");
          key = c - '@';
        } else if (keyText.size() == 1) {
          key = static_cast<unsigned char>(keyText[0]);
        } else {
          fail(w, "an accelerator key is one character or ^ and a letter");
        }
      } else {
        key = number();
      }
      expectComma();
      const long cmd = number();
      unsigned flags = 0;
      bool ascii = false;
      for (;;) {
        skipComma();
        if (isWord("VIRTKEY")) flags |= 0x01;
        else if (isWord("ASCII")) ascii = true;
        else if (isWord("NOINVERT")) flags |= 0x02;
        else if (isWord("SHIFT")) flags |= 0x04;
        else if (isWord("CONTROL")) flags |= 0x08;
        else if (isWord("ALT")) flags |= 0x10;
        else break;
        ++p_;
      }
      if (ascii && (flags & 0x01)) fail(w, "an accelerator cannot be both ASCII and VIRTKEY");
      if ((flags & 0x0C) && !(flags & 0x01)) fail(w, "SHIFT and CONTROL need VIRTKEY");
      if ((flags & 0x01) && fromString) {
        if (keyText[0] == '^') fail(w, "a ^ key cannot be VIRTKEY");
        key = toupper(static_cast<unsigned char>(keyText[0]));  // virtual keys of letters are upper case
      }
      lastFlags = out.b.size();
      out.u16(flags);
      out.u16(static_cast<unsigned long>(key));
      out.u16(static_cast<unsigned long>(cmd));
      out.u16(0);
      any = true;
    }
    ++p_;
    if (any) out.b[lastFlags] |= 0x80;
    return out.b;
  }

  // DIALOG and DIALOGEX templates.
  std::vector<uint8_t> dialog(bool ex) {
    skipMemoryOptions();
    long x = word("x"); expectComma();
    long y = word("y"); expectComma();
    long cx = word("width"); expectComma();
    long cy = word("height");
    unsigned long helpId = 0;
    if (ex && isPunct(",")) { ++p_; helpId = static_cast<unsigned long>(number()); }
    unsigned long dlgStyle = 0x80880000ul;  // WS_POPUP | WS_BORDER | WS_SYSMENU
    bool captionSeen = false;
    unsigned long exStyle = 0;
    std::vector<uint32_t> caption;
    std::optional<ResId> menuName, className;
    bool hasFont = false;
    long pointSize = 0, weight = 0, italic = 0, charset = 1;
    std::vector<uint32_t> face;
    for (;;) {
      if (isWord("STYLE")) { ++p_; dlgStyle = style(0); }
      else if (isWord("EXSTYLE")) { ++p_; exStyle = style(0); }
      else if (isWord("CAPTION")) { ++p_; caption = stringToken("the caption"); captionSeen = true; }
      else if (isWord("MENU")) { ++p_; menuName = resId("menu name"); }
      else if (isWord("CLASS")) { ++p_; className = resId("class name"); }
      else if (isWord("FONT")) {
        ++p_;
        hasFont = true;
        pointSize = number();
        expectComma();
        face = stringToken("the font face");
        if (ex && isPunct(",")) {
          ++p_; weight = number();
          if (isPunct(",")) { ++p_; italic = number(); }
          if (isPunct(",")) { ++p_; charset = number(); }
        }
      } else if (!commonOption()) break;
    }
    if (captionSeen) dlgStyle |= 0x00C00000ul;  // WS_CAPTION
    if (hasFont) dlgStyle |= 0x40;              // DS_SETFONT
    std::vector<Control> controls;
    expectBegin();
    while (!isEnd()) {
      if (cur().kind == Tok::End) fail(cur().where, "END missing");
      controls.push_back(control(ex));
    }
    ++p_;
    if (controls.size() > 0xFFFF) fail(cur().where, "too many controls");

    Bytes out;
    if (ex) {
      out.u16(1);
      out.u16(0xFFFF);
      out.u32(helpId);
      out.u32(exStyle);
      out.u32(dlgStyle);
    } else {
      out.u32(dlgStyle);
      out.u32(exStyle);
    }
    out.u16(controls.size());
    out.u16(static_cast<unsigned long>(x));
    out.u16(static_cast<unsigned long>(y));
    out.u16(static_cast<unsigned long>(cx));
    out.u16(static_cast<unsigned long>(cy));
    out.nameOrOrd(menuName);
    out.nameOrOrd(className);
    out.wstr(caption);
    if (dlgStyle & 0x40) {
      out.u16(static_cast<unsigned long>(pointSize));
      if (ex) {
        out.u16(static_cast<unsigned long>(weight));
        out.u8(static_cast<unsigned>(italic) & 0xFF);
        out.u8(static_cast<unsigned>(charset) & 0xFF);
      }
      out.wstr(face);
    }
    for (const Control& c : controls) {
      out.align4();
      if (ex) {
        out.u32(c.helpId);
        out.u32(c.exStyle);
        out.u32(c.style);
      } else {
        out.u32(c.style);
        out.u32(c.exStyle);
      }
      out.u16(static_cast<unsigned long>(c.x));
      out.u16(static_cast<unsigned long>(c.y));
      out.u16(static_cast<unsigned long>(c.cx));
      out.u16(static_cast<unsigned long>(c.cy));
      if (ex) out.u32(static_cast<unsigned long>(c.id));
      else out.u16(static_cast<unsigned long>(c.id));
      if (c.cls && c.cls->isNum) out.nameOrOrd(c.cls);
      else out.wstr(c.clsName);
      if (c.textIsOrd) { out.u16(0xFFFF); out.u16(c.textOrd); }
      else out.wstr(c.text);
      out.u16(0);  // no creation data
    }
    return out.b;
  }

  struct ControlKind {
    const char* word;
    uint16_t atom;
    unsigned long style;
    bool hasText;
  };

  Control control(bool ex) {
    static const ControlKind kinds[] = {
        {"LTEXT", 0x82, 0x00020000ul, true},         {"RTEXT", 0x82, 0x00020002ul, true},
        {"CTEXT", 0x82, 0x00020001ul, true},         {"PUSHBUTTON", 0x80, 0x00010000ul, true},
        {"DEFPUSHBUTTON", 0x80, 0x00010001ul, true}, {"PUSHBOX", 0x80, 0x0001000Aul, true},
        {"CHECKBOX", 0x80, 0x00010002ul, true},      {"AUTOCHECKBOX", 0x80, 0x00010003ul, true},
        {"STATE3", 0x80, 0x00010005ul, true},        {"AUTO3STATE", 0x80, 0x00010006ul, true},
        {"RADIOBUTTON", 0x80, 0x00000004ul, true},   {"AUTORADIOBUTTON", 0x80, 0x00000009ul, true},
        {"GROUPBOX", 0x80, 0x00000007ul, true},      {"EDITTEXT", 0x81, 0x00810000ul, false},
        {"LISTBOX", 0x83, 0x00800001ul, false},      {"COMBOBOX", 0x85, 0x00010001ul, false},
        {"SCROLLBAR", 0x84, 0x00000000ul, false},    {"ICON", 0x82, 0x00000003ul, true},
    };
    const unsigned long childVisible = 0x50000000ul;  // WS_CHILD | WS_VISIBLE
    Control c;
    const Where w = cur().where;
    if (isWord("CONTROL")) {
      ++p_;
      controlText(c);
      expectComma();
      c.id = ex ? number() : word("control id");
      expectComma();
      if (cur().kind == Tok::String) {
        c.clsName = stringToken("a class name");
        c.cls = classAtom(c.clsName);
      } else if (cur().kind == Tok::Name && !builtinConstants().count(cur().text)) {
        for (char ch : cur().text) c.clsName.push_back(static_cast<unsigned char>(ch));
        c.cls = classAtom(c.clsName);
        ++p_;
      } else {
        ResId r;
        const long v = number();
        r.num = static_cast<uint16_t>(v);
        c.cls = r;
      }
      expectComma();
      c.style = style(childVisible);
      expectComma();
      c.x = word("x"); expectComma();
      c.y = word("y"); expectComma();
      c.cx = word("width"); expectComma();
      c.cy = word("height");
      if (isPunct(",")) { ++p_; c.exStyle = style(0); }
      if (ex && isPunct(",")) { ++p_; c.helpId = static_cast<unsigned long>(number()); }
      return c;
    }
    for (const ControlKind& k : kinds) {
      if (!isWord(k.word)) continue;
      ++p_;
      ResId atom;
      atom.num = k.atom;
      c.cls = atom;
      if (k.hasText) {
        controlText(c);
        expectComma();
      }
      c.id = ex ? number() : word("control id");
      expectComma();
      c.x = word("x"); expectComma();
      c.y = word("y");
      const bool isIcon = std::string(k.word) == "ICON";
      if (isIcon) {
        if (isPunct(",")) { ++p_; c.cx = word("width"); expectComma(); c.cy = word("height"); }
      } else {
        expectComma();
        c.cx = word("width"); expectComma();
        c.cy = word("height");
      }
      c.style = childVisible | k.style;
      if (isPunct(",")) { ++p_; c.style = style(c.style); }
      if (isPunct(",")) { ++p_; c.exStyle = style(0); }
      if (ex && isPunct(",")) { ++p_; c.helpId = static_cast<unsigned long>(number()); }
      return c;
    }
    fail(w, "expected a control statement, found \"" + cur().text + "\"");
  }

  void controlText(Control& c) {
    if (cur().kind == Tok::String) { c.text = stringToken("the control text"); return; }
    if (cur().kind == Tok::Name && !builtinConstants().count(cur().text)) {
      // An icon or bitmap named by an identifier.
      for (char ch : upper(cur().text)) c.text.push_back(static_cast<unsigned char>(ch));
      ++p_;
      return;
    }
    const Where w = cur().where;
    const long v = number();
    if (v < 0 || v > 0xFFFF) fail(w, "control text ordinal outside 0-65535");
    c.textIsOrd = true;
    c.textOrd = static_cast<uint16_t>(v);
  }

  static std::optional<ResId> classAtom(const std::vector<uint32_t>& name) {
    std::string n;
    for (uint32_t ch : name) n += static_cast<char>(ch < 0x80 ? ch : '?');
    n = upper(n);
    static const std::pair<const char*, uint16_t> atoms[] = {
        {"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82},
        {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85}};
    for (auto& [nm, a] : atoms)
      if (n == nm) { ResId r; r.num = a; return r; }
    ResId r;
    r.isNum = false;
    return r;
  }
};

//------------------------------------------------------------------------------
// [SECTION] Output
// - writeSource(): the C++ table; writeDepfile()
//------------------------------------------------------------------------------

std::string cString(const std::string& s) {
  std::string r = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') { r += '\\'; r += static_cast<char>(c); }
    else if (c >= 0x20 && c < 0x7F && c != '?') r += static_cast<char>(c);
    else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      r += buf;
    }
  }
  return r + "\"";
}

std::string writeSource(const std::vector<Resource>& res, const std::string& input) {
  std::ostringstream o;
  o << "// Resources compiled by rc from " << fs::path(input).filename().string()
    << "; rebuilt with the program.\n"
    << "#include \"platform/resource_table.h\"\n\nnamespace {\n";
  for (size_t i = 0; i < res.size(); ++i) {
    if (res[i].data.empty()) continue;
    o << "alignas(4) const unsigned char d" << i << "[] = {";
    for (size_t k = 0; k < res[i].data.size(); ++k) {
      if (k % 16 == 0) o << "\n ";
      o << ' ' << static_cast<unsigned>(res[i].data[k]) << ',';
    }
    o << "\n};\n";
  }
  o << "const win::ResourceEntry entries[] = {\n";
  for (size_t i = 0; i < res.size(); ++i) {
    const Resource& r = res[i];
    o << "  {" << (r.type.isNum ? std::to_string(r.type.num) : "0") << ", "
      << (r.type.isNum ? "nullptr" : cString(r.type.name)) << ", "
      << (r.name.isNum ? std::to_string(r.name.num) : "0") << ", "
      << (r.name.isNum ? "nullptr" : cString(r.name.name)) << ", "
      << (r.data.empty() ? std::string("nullptr") : "d" + std::to_string(i)) << ", "
      << r.data.size() << "u},\n";
  }
  if (res.empty()) o << "  {0, nullptr, 0, nullptr, nullptr, 0u},\n";
  o << "};\n"
    << "const win::ResourceRegistration registration(entries, " << res.size() << ");\n"
    << "}  // namespace\n";
  return o.str();
}

std::string depEscape(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c == ' ' || c == '#') r += '\\';
    if (c == '$') r += '$';
    r += c;
  }
  return r;
}

bool writeAtomically(const fs::path& path, const std::string& text) {
  const fs::path tmp = path.string() + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary);
    if (!out) return false;
    out << text;
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  return !ec;
}

}  // namespace

// The whole compiler run; main() is only this, so that the fuzz target can call it too.
int tw_rc_main(int argc, char** argv) {
  std::vector<fs::path> includeDirs;
  std::string input, output, depfile;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-I" && i + 1 < argc) includeDirs.push_back(argv[++i]);
    else if (a.rfind("-I", 0) == 0 && a.size() > 2) includeDirs.push_back(a.substr(2));
    else if (a == "-d" && i + 1 < argc) depfile = argv[++i];
    else if (input.empty()) input = a;
    else if (output.empty()) output = a;
    else { std::fprintf(stderr, "rc: unexpected argument \"%s\"\n", a.c_str()); return 2; }
  }
  if (input.empty() || output.empty()) {
    std::fprintf(stderr, "usage: rc [-I dir]... [-d depfile] input.rc output.cpp\n");
    return 2;
  }
  try {
    Preprocessor pp;
    pp.includeDirs = includeDirs;
    pp.run(input, nullptr);
    Lexer lex(pp.out, pp.macros);
    Compiler c(lex.take(), fs::path(input).parent_path(), pp.depends, includeDirs);
    const std::vector<Resource> res = c.run();
    if (!writeAtomically(output, writeSource(res, input))) {
      std::fprintf(stderr, "rc: cannot write \"%s\"\n", output.c_str());
      return 1;
    }
    if (!depfile.empty()) {
      std::string d = depEscape(output) + ":";
      for (const std::string& f : pp.depends) d += " " + depEscape(f);
      if (!writeAtomically(depfile, d + "\n")) {
        std::fprintf(stderr, "rc: cannot write \"%s\"\n", depfile.c_str());
        return 1;
      }
    }
  } catch (const CompileError& e) {
    std::fprintf(stderr, "%s\n", e.text.c_str());
    std::error_code ec;
    fs::remove(output, ec);
    return 1;
  } catch (const std::exception& e) {
    // A fault of the compiler itself still ends with a message and no output file.
    std::fprintf(stderr, "rc: %s: internal error: %s\n", input.c_str(), e.what());
    std::error_code ec;
    fs::remove(output, ec);
    return 1;
  }
  return 0;
}

#ifndef TW_RC_NO_MAIN
int main(int argc, char** argv) { return tw_rc_main(argc, argv); }
#endif
