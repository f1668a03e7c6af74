// The resource compiler and loaders: tests/fixtures/rc-sample.rc is compiled into this program
// at build time; each resource is read back and compared with bytes written here by hand from
// the standard layouts. Scripts with errors must be refused without leaving output behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/resource.h"

namespace {

using namespace win;

// Little-endian byte builder for the expected layouts.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& w(unsigned v) {  // 16-bit word
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
    return *this;
  }
  Bytes& d(uint32_t v) { return w(v & 0xFFFF).w(v >> 16); }
  Bytes& s(const char* ascii) {  // UTF-16 text with its terminating zero
    for (; *ascii; ++ascii) w(static_cast<unsigned char>(*ascii));
    return w(0);
  }
  Bytes& raw(const std::string& bytes) {
    b.insert(b.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Bytes& pad4() {
    while (b.size() % 4) b.push_back(0);
    return *this;
  }
};

std::vector<uint8_t> resourceBytes(LPCSTR name, LPCSTR type) {
  HRSRC r = FindResource(nullptr, name, type);
  if (!r) return {};
  const auto* p = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, r)));
  return std::vector<uint8_t>(p, p + SizeofResource(nullptr, r));
}

std::vector<uint8_t> fixture(const char* name) {
  std::ifstream in(std::string(TW_FIXTURES) + "/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(FindResource, DialogTemplateInStandardLayout) {
  Bytes e;
  e.d(0x80C800C0)  // DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, DS_SETFONT from FONT
      .d(0).w(5).w(0).w(0).w(186).w(95)
      .w(0).w(0).s("Start date").w(8).s("MS Sans Serif").pad4();
  // DEFPUSHBUTTON: child, visible, tab stop, BS_DEFPUSHBUTTON; class Button by atom.
  e.d(0x50010001).d(0).w(129).w(7).w(50).w(14).w(1).w(0xFFFF).w(0x80).s("OK").w(0).pad4();
  // LTEXT: WS_GROUP, static atom, id -1.
  e.d(0x50020000).d(0).w(7).w(9).w(30).w(8).w(0xFFFF).w(0xFFFF).w(0x82).s("Day").w(0).pad4();
  // A control of the toolkit's own class keeps its name.
  e.d(0x50810006).d(0).w(40).w(7).w(60).w(14).w(1001).s("REALEDIT").s("").w(0).pad4();
  // A predefined class named in any case becomes its atom.
  e.d(0x50020009).d(0).w(7).w(30).w(50).w(10).w(1020).w(0xFFFF).w(0x80).s("Linear").w(0).pad4();
  // EDITTEXT defaults (border, tab stop) with NOT WS_BORDER taken away.
  e.d(0x50010080).d(0).w(40).w(25).w(60).w(14).w(1002).w(0xFFFF).w(0x81).s("").w(0);
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(101), RT_DIALOG), e.b);
}

TEST(FindResource, ExtendedDialogTemplateInStandardLayout) {
  Bytes e;
  e.w(1).w(0xFFFF).d(0).d(0x80).d(0x80C00040).w(1).w(10).w(20).w(221).w(285)
      .w(0).w(0).s("About").w(8).w(700);
  e.b.push_back(1);  // italic
  e.b.push_back(0);  // charset
  e.s("MS Sans Serif").pad4();
  e.d(77).d(0x20000).d(0x50020081).w(10).w(10).w(200).w(20).d(1035).w(0xFFFF).w(0x82)
      .s("TarnWalker").w(0);
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(109), RT_DIALOG), e.b);
}

TEST(FindResource, MenuTemplateMarksPopupsAndLastItems) {
  Bytes e;
  e.w(0).w(0);
  e.w(0x0010).s("&File");                     // popup: no id
  e.w(0x0000).w(40004).s("&Open...\tCtrl+O");
  e.w(0x0000).w(0).s("");                     // separator
  e.w(0x0081).w(40028).s("E&xit");            // grayed, last of the popup
  e.w(0x4080).w(40003).s("&Help");            // help, last of the bar
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(30001), RT_MENU), e.b);
}

TEST(FindResource, DataResourcesKeepTheirBytes) {
  struct Case {
    const char* why;
    LPCSTR name;
    LPCSTR type;
    std::vector<uint8_t> want;
  };
  const std::string companion =
      "[Ranges] \n 1001               1              31 \n[Formats] \n";
  const Case cases[] = {
      {"companion text: strings without terminator, then a zero word", MAKEINTRESOURCE(101),
       RT_RCDATA, Bytes().raw(companion).w(0).b},
      {"popup identifiers as a word list", MAKEINTRESOURCE(30001), RT_RCDATA,
       {0x41, 0x9c, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"negative word, long with L, narrow and wide strings", MAKEINTRESOURCE(3), RT_RCDATA,
       {0xff, 0xff, 0x78, 0x56, 0x34, 0x12, 'a', 'b', 'c', 0}},
      {"custom named type: prompts with NUL-terminated texts", MAKEINTRESOURCE(30002),
       "VXKMENUSTRING",
       Bytes().w(40017).raw(std::string("Save plot to file or clipboard") + '\0')
           .w(40020).raw(std::string("Print plot") + '\0').w(0).b},
      {"#if with defined() and arithmetic; expressions in data", MAKEINTRESOURCE(7), RT_RCDATA,
       {0x06, 0x00, 0x11, 0x00}},
      {"UTF-8 text under code page 65001 becomes Windows-1252 bytes", MAKEINTRESOURCE(8), RT_RCDATA,
       {0xe9, 't', 0xe9, 0xe9, 0x00}},
      {"back on code page 1252 the byte is taken as it is", MAKEINTRESOURCE(9), RT_RCDATA, {0xe9}},
      {"bitmap: the file without its 14-byte file header", MAKEINTRESOURCE(30102), RT_BITMAP,
       [] { auto f = fixture("rc-tiny.bmp"); return std::vector<uint8_t>(f.begin() + 14, f.end()); }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(resourceBytes(c.name, c.type), c.want);
  }
}

TEST(FindResource, StringTableBlocksOfSixteen) {
  Bytes high;  // block 2501 holds ids 40000-40015
  for (int i = 0; i < 10; ++i) high.w(0);
  high.w(25);
  for (char ch : std::string("Adjust baseflow parameter")) high.w(static_cast<unsigned char>(ch));
  high.w(23);
  for (char ch : std::string("Return to the main menu")) high.w(static_cast<unsigned char>(ch));
  for (int i = 0; i < 4; ++i) high.w(0);
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(2501), RT_STRING), high.b);

  Bytes low;  // block 2 holds ids 16-31; id 17 with an e acute and doubled quotes
  low.w(0).w(14).w('c').w('a').w('f').w(0xE9).w(' ').w('"').w('a').w('u').w(' ').w('l')
      .w('a').w('i').w('t').w('"');
  for (int i = 0; i < 14; ++i) low.w(0);
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(2), RT_STRING), low.b);
}

TEST(FindResource, AcceleratorEntriesOfEightBytes) {
  Bytes e;
  e.w(0x00).w(3).w(40018).w(0);      // "^C": control character
  e.w(0x01).w(0x70).w(40026).w(0);   // VK_F1
  e.w(0x0D).w('S').w(40024).w(0);    // letter as virtual key: upper case
  e.w(0x90).w('a').w(40001).w(0);    // ALT, last entry
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(30001), RT_ACCELERATOR), e.b);
}

TEST(FindResource, IconAndCursorBecomeImagesAndGroups) {
  const auto ico = fixture("rc-tiny.ico");
  const std::vector<uint8_t> iconImage(ico.begin() + 22, ico.end());
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(1), RT_ICON), iconImage);
  Bytes group;
  group.w(0).w(1).w(1);
  group.b.insert(group.b.end(), {1, 1, 0, 0});  // width, height, colours, reserved
  group.w(1).w(32).d(48).w(1);                  // planes, bits, size, image id
  EXPECT_EQ(resourceBytes("TarnIcon", RT_GROUP_ICON), group.b);

  const auto cur = fixture("rc-tiny.cur");
  Bytes image;
  image.w(3).w(5);  // hot spot ahead of the image
  image.b.insert(image.b.end(), cur.begin() + 22, cur.end());
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(2), RT_CURSOR), image.b);
  Bytes cgroup;
  cgroup.w(0).w(2).w(1).w(1).w(2).w(1).w(1).d(60).w(2);  // height doubled for the AND mask
  EXPECT_EQ(resourceBytes(MAKEINTRESOURCE(1), RT_GROUP_CURSOR), cgroup.b);
}

TEST(FindResource, NamesAndTypesCompareCaseInsensitively) {
  struct Case {
    const char* why;
    LPCSTR name;
    LPCSTR type;
    bool found;
  };
  const Case cases[] = {
      {"custom type in other case", MAKEINTRESOURCE(30002), "VxkMenuString", true},
      {"name in lower case", "tarnicon", RT_GROUP_ICON, true},
      {"number written as #n", "#30002", "vxkmenustring", true},
      {"type number written as #n", MAKEINTRESOURCE(101), "#5", true},
      {"name with a different type", "TARNICON", RT_ICON, false},
      {"unknown number", MAKEINTRESOURCE(4242), RT_RCDATA, false},
      {"name that is only a prefix", "TARN", RT_GROUP_ICON, false},
      {"# without digits", "#", RT_RCDATA, false},
      {"# with a number above 16 bits", "#65537", RT_RCDATA, false},
      {"null name", nullptr, RT_RCDATA, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(FindResource(nullptr, c.name, c.type) != nullptr, c.found);
  }
  EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST(LoadString, CopiesWindows1252TextAndCuts) {
  struct Case {
    const char* why;
    unsigned id;
    int bufferMax;
    int result;
    const char* text;
  };
  const Case cases[] = {
      {"whole string", 40011, 80, 23, "Return to the main menu"},
      {"cut to the buffer, NUL kept", 40011, 7, 6, "Return"},
      {"Unicode back to Windows-1252", 17, 80, 14, "caf\xe9 \"au lait\""},
      {"empty slot of an existing block", 40012, 80, 0, ""},
      {"no block at all", 999, 80, 0, ""},
      {"buffer of one: only the NUL", 40011, 1, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    char buf[80];
    std::fill(std::begin(buf), std::end(buf), 'x');
    EXPECT_EQ(LoadString(nullptr, c.id, buf, c.bufferMax), c.result);
    EXPECT_STREQ(buf, c.text);
  }
  EXPECT_EQ(LoadString(nullptr, 40011, nullptr, 10), 0);
}

TEST(LoadAccelerators, DecodesEntriesOnce) {
  HACCEL a = LoadAccelerators(nullptr, MAKEINTRESOURCE(30001));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(LoadAccelerators(nullptr, "#30001"), a);
  ASSERT_EQ(CopyAcceleratorTable(a, nullptr, 0), 4);
  ACCEL e[4] = {};
  ASSERT_EQ(CopyAcceleratorTable(a, e, 4), 4);
  EXPECT_EQ(e[1].fVirt, FVIRTKEY);
  EXPECT_EQ(e[1].key, 0x70);
  EXPECT_EQ(e[2].fVirt, FVIRTKEY | FCONTROL | FSHIFT);
  EXPECT_EQ(e[3].fVirt, FALT);  // the end mark is not part of the flags
  EXPECT_EQ(e[3].cmd, 40001);
  EXPECT_EQ(CopyAcceleratorTable(a, e, 2), 2);
  EXPECT_EQ(LoadAccelerators(nullptr, MAKEINTRESOURCE(1)), nullptr);
}

// Scripts with errors: rc names the fault with file and line and writes no output.
TEST(ResourceCompiler, RefusesBadScripts) {
  struct Case {
    const char* why;
    const char* script;
    const char* message;
  };
  const Case cases[] = {
      {"undefined identifier as a number", "1 DIALOG 0, 0, 10, NOSUCH\nBEGIN\nEND\n",
       ":1: error: undefined name \"NOSUCH\""},
      {"string left open", "STRINGTABLE\nBEGIN\n1, \"open\nEND\n", ":3: error: string not closed"},
      {"END missing", "1 RCDATA\nBEGIN\n1, 2\n", "END missing"},
      {"same type and name twice", "1 RCDATA { 1 }\n1 RCDATA { 2 }\n", ":2: error: resource 1 of type 10 defined twice"},
      {"word too large without L", "1 RCDATA { 70000 }\n", "does not fit in 16 bits"},
      {"missing bitmap file", "1 BITMAP \"no-such.bmp\"\n", "cannot open file \"no-such.bmp\""},
      {"unknown directive", "#frobnicate\n", "unknown directive #frobnicate"},
      {"resource number above 16 bits", "70000 RCDATA { 1 }\n", "outside the resource numbers"},
      {"string twice in a table", "STRINGTABLE { 5 \"a\"\n5 \"b\" }\n", "string 5 defined twice"},
      {"unbalanced #if", "#ifdef X\n1 RCDATA { 1 }\n", "#if without #endif"},
      {"control id beyond a DIALOG's 16 bits", "1 DIALOG 0, 0, 9, 9\nBEGIN\nPUSHBUTTON \"a\", 70000, 0, 0, 9, 9\nEND\n",
       ":3: error: control id 70000 does not fit in 16 bits"},
      {"MENUEX is not written", "1 MENUEX\nBEGIN\nEND\n", "MENUEX is not supported"},
  };
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("rc-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const auto script = dir / "bad.rc", out = dir / "bad.cpp", err = dir / "err.txt";
    std::ofstream(script) << c.script;
    std::filesystem::remove(out);
    const std::string cmd = std::string(TW_RC_PATH) + " " + script.string() + " " +
                            out.string() + " 2>" + err.string();
    EXPECT_NE(std::system(cmd.c_str()), 0);
    std::ifstream in(err);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find(c.message), std::string::npos) << text;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  std::filesystem::remove_all(dir);
}

// Scripts that once crashed the compiler (an uncaught exception, undefined arithmetic, a
// stack or memory exhausted) end with status 1, a message and no output file.
TEST(ResourceCompiler, RefusesHostileScriptsWithAMessage) {
  std::string doubling;
  doubling += "#define A0 1\n";
  for (int i = 1; i <= 40; ++i)
    doubling += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" +
                std::to_string(i - 1) + "\n";
  doubling += "1 RCDATA { A40 }\n";
  const std::string nested = "1 RCDATA { " + std::string(200000, '(') + "1" + std::string(200000, ')') + " }\n";
  std::string minuses = "1 RCDATA { ";
  for (int i = 0; i < 200000; ++i) minuses += "- ";
  minuses += "1 }\n";
  struct Case {
    const char* why;
    std::string script;
    const char* message;
  };
  const Case cases[] = {
      {"a folder named as a bitmap file", "1 BITMAP \"folder\"\n", ":1: error: \"folder\" is a folder, not a file"},
      {"a folder named as an include file", "#include \"folder\"\n", "is a folder, not a file"},
      {"a device that never ends", "1 RCDATA \"/dev/zero\"\n", "\"/dev/zero\" is not a regular file"},
      {"a sum past the largest number", "1 RCDATA { 0x7FFFFFFFFFFFFFFF + 1 }\n", ":1: error: integer overflow in expression"},
      {"a difference past the smallest", "1 RCDATA { -0x7FFFFFFFFFFFFFFF - 2 }\n", "integer overflow"},
      {"a product past the largest", "1 RCDATA { 0x100000000 * 0x100000000 }\n", "integer overflow"},
      {"the most negative number divided by -1", "1 RCDATA { (-0x7FFFFFFFFFFFFFFF - 1) / -1 }\n", "integer overflow"},
      {"its remainder by -1 in #if", "#if (-0x7FFFFFFFFFFFFFFF - 1) % -1\n#endif\n", "integer overflow"},
      {"the most negative number negated", "1 RCDATA { -(-0x7FFFFFFFFFFFFFFF - 1) }\n", "integer overflow"},
      {"a literal past the largest number", "1 RCDATA { 0x10000000000000000 }\n", "bad number"},
      {"deeply nested parentheses", nested, "expression nested too deeply"},
      {"a long chain of signs", minuses, "expression nested too deeply"},
      {"macros that expand without bound", doubling, "a macro expands to more than"},
  };
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("rc-hostile-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "folder");
  const auto out = dir / "bad.cpp", err = dir / "err.txt";
  auto compile = [&](const std::filesystem::path& input) {
    std::filesystem::remove(out);
    const std::string cmd = std::string(TW_RC_PATH) + " " + input.string() + " " + out.string() + " 2>" + err.string();
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
    EXPECT_FALSE(std::filesystem::exists(out));
    std::ifstream in(err);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const auto script = dir / "bad.rc";
    std::ofstream(script) << c.script;
    const std::string text = compile(script);
    EXPECT_NE(text.find(c.message), std::string::npos) << text;
  }
  EXPECT_NE(compile(dir / "folder").find("is a folder, not a file"), std::string::npos)
      << "the script itself a folder";
  std::filesystem::remove_all(dir);
}

}  // namespace
