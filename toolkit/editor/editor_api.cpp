// The editor's programming interface, caption, search and paste, and its buffers.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/combobox.h"
#include "platform/fontdialog.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/message_box.h"
#include "platform/richedit.h"
#include "platform/statusbar.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_state.h"

using namespace win;

namespace {

// What a modal editor left when it closed, read with window -1.
struct LastModal {
  int saved = 0, length = 0, changed = 0, selstart = 0, selend = 0, current = 0, count = 0, topline = 0,
      fonttype = 0, fontsize = 0;
  std::string findtext, replacetext, filename;
} lastmodal;

// The selection and first line yyeditshowhide keeps while it hides an editor.
DWORD keptstart = 0, keptend = 0;
int keptline = 0;

std::string controltext(HWND control) {
  const int n = static_cast<int>(SendMessage(control, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<std::size_t>(n) + 1, '\0');
  SendMessage(control, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(n));
  return text;
}

bool raw(const EditorRecord& r) { return (r.options & EO_RAWPOSITIONS) != 0; }

// The logical position of a control position: every line end before it counts twice.
int logicalof(const EditorRecord& r, const std::string& text, int control) {
  if (raw(r)) return control;
  const int n = std::clamp(control, 0, static_cast<int>(text.size()));
  return n + static_cast<int>(std::count(text.begin(), text.begin() + n, '\r'));
}

void selection(HWND control, int& start, int& end) {
  DWORD s = 0, e = 0;
  SendMessage(control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}

void setselection(HWND control, int start, int end) {
  SendMessage(control, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  SendMessage(control, EM_SCROLLCARET, 0, 0);
}

bool ismodified(const EditorRecord& r) { return SendMessage(r.control, EM_GETMODIFY, 0, 0) != 0; }

}  // namespace

//------------------------------------------------------------------------------
// Records and positions
//------------------------------------------------------------------------------
EditorRecord* yyeditrecord(HWND frame) {
  if (frame == nullptr) return nullptr;
  FrameRecord* f = yyframerecord(frame);
  return f != nullptr && f->word[FR_KIND] == SW_EDITOR ? static_cast<EditorRecord*>(f) : nullptr;
}

HWND yyeditframe() { return wIndex >= 0 && wIndex < MAXWINDOWS ? winslot(wIndex).wWindow : nullptr; }
EditorRecord* yyeditcurrent() { return yyeditrecord(yyeditframe()); }

std::string yyeditlogicaltext(const EditorRecord& r) {
  const std::string text = controltext(r.control);
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    out += c;
    if (c == '\r') out += '\n';
  }
  return out;
}

int yyEditAdjustPos(const EditorRecord& r, int logical) {
  if (raw(r)) return logical;
  const std::string text = controltext(r.control);
  int l = 0;
  for (int c = 0; c < static_cast<int>(text.size()); ++c) {
    // The second character of a line end means the line end itself.
    if (l == logical || (text[static_cast<std::size_t>(c)] == '\r' && l + 1 == logical)) return c;
    l += text[static_cast<std::size_t>(c)] == '\r' ? 2 : 1;
  }
  return static_cast<int>(text.size());
}

std::string yyeditviewentry(int n, const std::string& path) {
  std::string entry = "&";
  entry += n <= 9 ? static_cast<char>('0' + n) : static_cast<char>(n + 55);
  entry += '\t';
  entry += path.empty() ? "Untitled" : path;
  return entry;
}

//------------------------------------------------------------------------------
// Caption
//------------------------------------------------------------------------------
void yyEditTitle(HWND frame) {
  EditorRecord* r = yyeditrecord(frame);
  if (r == nullptr) return;
  const bool showname = !r->filename.empty() && (r->options & EO_NOFILENAME) == 0;
  const bool mark = (r->options & EO_SHOWMODIFIED) != 0 && ismodified(*r);
  if ((GetWindowLong(frame, GWL_STYLE) & static_cast<LONG>(WS_CAPTION)) == static_cast<LONG>(WS_CAPTION)) {
    std::string title = r->basetitle;
    if (showname) {
      const bool bracket = !r->basetitle.empty();
      if (bracket) title += " - [";
      title += r->filename;
      if (mark) title += " *";
      if (bracket) title += "]";
    }
    SetWindowText(frame, title.c_str());
  } else if (r->statusbar != nullptr) {
    std::string part = showname ? r->filename + (mark ? " *" : "") : std::string();
    SendMessage(r->statusbar, SB_SETTEXT, 4, reinterpret_cast<LPARAM>(part.c_str()));
  }
}

//------------------------------------------------------------------------------
// Text and state
//------------------------------------------------------------------------------
void yyeditputtext(int& result, std::string_view text) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = 1;
    return;
  }
  r->protection = 0;
  const std::string copy(text);
  SetWindowText(r->control, copy.c_str());
  r->protection = 1;
  result = 0;
}

void yyeditputtextpart(int& start, int end, std::string_view text) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    start = -1;
    return;
  }
  const int a = yyEditAdjustPos(*r, start), b = yyEditAdjustPos(*r, end);
  start = 0;
  if (a == b && text.empty()) return;
  r->protection = 0;
  SendMessage(r->control, EM_SETSEL, static_cast<WPARAM>(a), static_cast<LPARAM>(b));
  const std::string copy(text);
  SendMessage(r->control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(copy.c_str()));
  SendMessage(r->control, EM_SCROLLCARET, 0, 0);
  r->protection = 1;
  InvalidateRect(r->control, nullptr, TRUE);
}

void yyeditgettext(int& result, int maximum, std::string& text) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = 1;
    return;
  }
  const std::string all = yyeditlogicaltext(*r);
  result = static_cast<int>(all.size()) < maximum ? 0 : 2;
  text = result == 0 ? all : all.substr(0, static_cast<std::size_t>(std::max(maximum - 1, 0)));
}

void yyeditgettextpart(int& start, int count, std::string& text) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    start = -1;
    return;
  }
  const std::string all = raw(*r) ? controltext(r->control) : yyeditlogicaltext(*r);
  const std::size_t from = static_cast<std::size_t>(std::clamp(start, 0, static_cast<int>(all.size())));
  text = all.substr(from, static_cast<std::size_t>(std::max(count, 0)));
  start = 0;
}

void yyeditselect(int& start, int end) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    start = -1;
    return;
  }
  setselection(r->control, yyEditAdjustPos(*r, start), yyEditAdjustPos(*r, end));
  start = 0;
}

void yyeditsetpos(int position) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) return;
  const int p = yyEditAdjustPos(*r, position);
  setselection(r->control, p, p);
  InvalidateRect(r->control, nullptr, TRUE);
}

void yyeditsettop(int line) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) return;
  const int first = static_cast<int>(SendMessage(r->control, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessage(r->control, EM_LINESCROLL, 0, static_cast<LPARAM>(line - first));
}

void yyeditsetflags(int saved, int changed) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) return;
  r->changed = changed;
  SendMessage(r->control, EM_SETMODIFY, saved != 0 ? FALSE : TRUE, 0);
  if ((r->options & EO_SHOWMODIFIED) != 0) yyEditTitle(yyeditframe());
}

void yyeditclearundo() {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) return;
  SendMessage(r->control, EM_EMPTYUNDOBUFFER, 0, 0);
}

std::string yyeditstreamout(const EditorRecord& r, bool rtf) {
  if (!rtf) return yyeditlogicaltext(r);
  std::string out;
  EDITSTREAM es;
  es.dwCookie = reinterpret_cast<UINT_PTR>(&out);
  es.pfnCallback = [](UINT_PTR cookie, BYTE* in, LONG cb, LONG* done) -> DWORD {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(in), static_cast<std::size_t>(cb));
    *done = cb;
    return 0;
  };
  SendMessage(r.control, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  return out;
}

// The text stream is RTF in a rich-text editor, else the text as a file holds it.
void yyeditcountrtf(int& count) {
  EditorRecord* r = yyeditcurrent();
  count = r == nullptr ? 1 : static_cast<int>(yyeditstreamout(*r, r->richtext).size());
}

void yyeditgetrtf(std::string& buffer, int length) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) return;
  buffer = yyeditstreamout(*r, r->richtext).substr(0, static_cast<std::size_t>(std::max(length, 0)));
}

void yyeditputrtf(int count, std::string_view buffer) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) return;
  yyeditstreamin(*r, buffer.substr(0, static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(buffer.size())))),
                 r->richtext);
}

void yyeditstreamin(EditorRecord& rec, std::string_view data, bool rtf) {
  EditorRecord* r = &rec;
  r->protection = 0;
  EDITSTREAM es;
  struct Source {
    std::string_view text;
    std::size_t at;
  } source{data, 0};
  es.dwCookie = reinterpret_cast<UINT_PTR>(&source);
  es.pfnCallback = [](UINT_PTR cookie, BYTE* out, LONG cb, LONG* done) -> DWORD {
    auto* s = reinterpret_cast<Source*>(cookie);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(cb), s->text.size() - s->at);
    std::memcpy(out, s->text.data() + s->at, n);
    s->at += n;
    *done = static_cast<LONG>(n);
    return 0;
  };
  SendMessage(r->control, EM_STREAMIN, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
  r->protection = 1;
}

void yyeditconvertpos(int mode, int value, int& result) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = -2;
    return;
  }
  if (mode == 1) {
    result = static_cast<int>(SendMessage(r->control, EM_LINEFROMCHAR, static_cast<WPARAM>(yyEditAdjustPos(*r, value)), 0));
    return;
  }
  const int first = static_cast<int>(SendMessage(r->control, EM_LINEINDEX, static_cast<WPARAM>(value), 0));
  result = raw(*r) ? first : first + value;
}

void yyeditinfo(int window, int item, int& value) {
  if (item == 8) {
    value = 2;
    return;
  }
  if (window == -1) {
    const LastModal& m = lastmodal;
    switch (item) {
      case 1: value = m.saved; break;
      case 2: value = m.length; break;
      case 3: value = m.changed; break;
      case 4: value = m.selstart + 1; break;
      case 5: value = m.selend; break;
      case 6: value = m.current; break;
      case 7: value = m.count; break;
      case 9: value = m.topline; break;
      case 10: value = 0; break;
      case 11: value = m.fonttype; break;
      case 12: value = m.fontsize; break;
      default: break;
    }
    return;
  }
  if (window < 0 || window >= MAXWINDOWS) return;
  EditorRecord* r = yyeditrecord(winslot(window).wWindow);
  if (r == nullptr) return;
  const std::string text = controltext(r->control);
  const int length = raw(*r) ? static_cast<int>(text.size()) : logicalof(*r, text, static_cast<int>(text.size()));
  int s = 0, e = 0;
  selection(r->control, s, e);
  switch (item) {
    case 1: value = ismodified(*r) ? 0 : 1; break;
    case 2: value = length; break;
    case 3: value = r->changed; break;
    case 4: value = logicalof(*r, text, s) + 1; break;
    case 5: value = std::min(logicalof(*r, text, e), length); break;
    case 6: value = r->current; break;
    case 7: value = r->count; break;
    case 9: value = static_cast<int>(SendMessage(r->control, EM_GETFIRSTVISIBLELINE, 0, 0)); break;
    case 10: value = r->history ? static_cast<int>(SendMessage(r->commandline, CB_GETCOUNT, 0, 0)) : 0; break;
    case 11: value = r->fonttype; break;
    case 12: value = r->fontsize; break;
    case 102: {
      RECT c;
      GetClientRect(r->control, c);
      value = static_cast<int>(SendMessage(r->control, EM_GETFIRSTVISIBLELINE, 0, 0)) +
              (r->lineheight > 0 ? c.bottom / r->lineheight : 0);
      break;
    }
    case 103: value = static_cast<int>(SendMessage(r->control, EM_GETLINECOUNT, 0, 0)); break;
    case 104: value = raw(*r) ? 1 : 0; break;
    default: break;
  }
}

// Kept for window -1 when a modal editor closes.
void yyeditkeepmodal(const EditorRecord& r) {
  LastModal& m = lastmodal;
  const std::string text = controltext(r.control);
  int s = 0, e = 0;
  selection(r.control, s, e);
  m.saved = ismodified(r) ? 0 : 1;
  m.length = logicalof(r, text, static_cast<int>(text.size()));
  m.changed = r.changed;
  m.selstart = logicalof(r, text, s);
  m.selend = logicalof(r, text, e);
  m.current = r.current;
  m.count = r.count;
  m.topline = static_cast<int>(SendMessage(r.control, EM_GETFIRSTVISIBLELINE, 0, 0));
  m.fonttype = r.fonttype;
  m.fontsize = r.fontsize;
  m.findtext = r.findtext;
  m.replacetext = r.replacetext;
  m.filename = r.filename;
}

void yyeditinfostring(int window, int item, std::string& text, int maximum) {
  const std::string* source = nullptr;
  if (window == -1) {
    source = item == 1 ? &lastmodal.findtext : item == 2 ? &lastmodal.replacetext : item == 3 ? &lastmodal.filename : nullptr;
  } else if (window >= 0 && window < MAXWINDOWS) {
    if (EditorRecord* r = yyeditrecord(winslot(window).wWindow))
      source = item == 1 ? &r->findtext : item == 2 ? &r->replacetext : item == 3 ? &r->filename : nullptr;
  }
  if (source != nullptr) text = source->substr(0, static_cast<std::size_t>(std::max(maximum - 1, 0)));
}

void yyeditshowhide(int show) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) return;
  if (show == 0) {
    SendMessage(r->control, EM_GETSEL, reinterpret_cast<WPARAM>(&keptstart), reinterpret_cast<LPARAM>(&keptend));
    keptline = static_cast<int>(SendMessage(r->control, EM_GETFIRSTVISIBLELINE, 0, 0));
    ShowWindow(r->control, SW_HIDE);
    r->hidden = true;
    return;
  }
  r->hidden = false;
  SendMessage(r->control, EM_SETSEL, keptstart, static_cast<LPARAM>(keptend));
  const int first = static_cast<int>(SendMessage(r->control, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessage(r->control, EM_LINESCROLL, 0, static_cast<LPARAM>(keptline - first));
  ShowWindow(r->control, SW_SHOW);
}

void yyeditredraw(int window) {
  if (window < 0 || window >= MAXWINDOWS) return;
  if (EditorRecord* r = yyeditrecord(winslot(window).wWindow)) {
    InvalidateRect(r->control, nullptr, TRUE);
    UpdateWindow(r->control);
  }
}

void yyeditsave(int saveas) {
  if (yyeditcurrent() != nullptr) yyEditSaveFile(yyeditframe(), saveas);
}

void yyeditsetbackup(int flag) {
  if (EditorRecord* r = yyeditcurrent()) {
    if (flag == 1) r->options |= EO_BACKUP;
    else r->options &= ~EO_BACKUP;
  }
}

//------------------------------------------------------------------------------
// Search and paste
//------------------------------------------------------------------------------
namespace {

void endoftext(HWND frame, const EditorRecord& r) {
  HWND owner = r.finddialog != nullptr ? r.finddialog : frame;
  if (r.finddialog != nullptr) EnableWindow(frame, FALSE);
  MessageBox(owner, "End of text reached", "Find", MB_OK | MB_ICONINFORMATION);
  if (r.finddialog != nullptr) EnableWindow(frame, TRUE);
}

}  // namespace

int yyEditFind(HWND frame, EditorRecord& r, const FINDREPLACE& request) {
  int s = 0, e = 0;
  selection(r.control, s, e);
  const bool down = (request.Flags & FR_DOWN) != 0;
  FINDTEXTEX ft;
  ft.lpstrText = r.findtext.c_str();
  if (down) {
    ft.chrg.cpMin = s != e ? s + 1 : s;
    ft.chrg.cpMax = -1;
  } else {
    ft.chrg.cpMin = s != e ? e - 1 : e;
    ft.chrg.cpMax = 0;
  }
  const WPARAM flags = (down ? FR_DOWN : 0) | (request.Flags & (FR_WHOLEWORD | FR_MATCHCASE));
  const LRESULT at = SendMessage(r.control, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&ft));
  if (at < 0) {
    endoftext(frame, r);
    return 0;
  }
  const int first = static_cast<int>(SendMessage(r.control, EM_GETFIRSTVISIBLELINE, 0, 0));
  setselection(r.control, static_cast<int>(at), static_cast<int>(at) + static_cast<int>(r.findtext.size()));
  // A match the scrolling brought in sits a few lines away from the edge.
  if (static_cast<int>(SendMessage(r.control, EM_GETFIRSTVISIBLELINE, 0, 0)) != first) {
    SendMessage(r.control, EM_LINESCROLL, 0, 6);
    SendMessage(r.control, EM_SCROLLCARET, 0, 0);
  }
  return 1;
}

int yyEditReplace(HWND frame, EditorRecord& r, const FINDREPLACE& request) {
  int s = 0, e = 0;
  selection(r.control, s, e);
  // The selection equals the find text when the control finds it there, so that case is
  // folded as the search folds it.
  if (!r.findtext.empty() && e - s == static_cast<int>(r.findtext.size())) {
    FINDTEXTEX ft;
    ft.lpstrText = r.findtext.c_str();
    ft.chrg.cpMin = s;
    ft.chrg.cpMax = e;
    const WPARAM flags = FR_DOWN | (request.Flags & FR_MATCHCASE);
    if (SendMessage(r.control, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&ft)) == s)
      SendMessage(r.control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(r.replacetext.c_str()));
  }
  return yyEditFind(frame, r, request);
}

void yyEditReplaceAll(HWND frame, EditorRecord& r, const FINDREPLACE& request) {
  // Every match from the start on, in one change of the control; the bookmark follows the
  // replacements here rather than through the change notification.
  const auto k = static_cast<std::size_t>(r.current);
  REPLACEALLTEXT ra;
  ra.lpstrFind = r.findtext.c_str();
  ra.lpstrReplace = r.replacetext.c_str();
  ra.cpFollow = r.bookmark[k];
  r.bookmark[k] = -1;
  const LRESULT count = SendMessage(r.control, EM_REPLACEALLTEXT, request.Flags & (FR_MATCHCASE | FR_WHOLEWORD),
                                    reinterpret_cast<LPARAM>(&ra));
  r.bookmark[k] = ra.cpFollow;
  if (ra.cpFollow >= 0) r.bookmarklength[k] = static_cast<int>(SendMessage(r.control, WM_GETTEXTLENGTH, 0, 0));
  if (count == 0) SendMessage(r.control, EM_SETSEL, 0, 0);
  SendMessage(r.control, EM_SCROLLCARET, 0, 0);
  endoftext(frame, r);
}

void yyEditPaste(EditorRecord& r) {
  if (r.richtext) {
    SendMessage(r.control, WM_PASTE, 0, 0);
    return;
  }
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(r.control)) return;
  if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
    if (const char* text = static_cast<const char*>(GlobalLock(block))) {
      SendMessage(r.control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
}

void yyEditResetFormat(EditorRecord& r) {
  SetWindowText(r.control, "");
  if (r.font != nullptr) SendMessage(r.control, WM_SETFONT, reinterpret_cast<WPARAM>(r.font), TRUE);
  PARAFORMAT pf;
  pf.dwMask = PFM_NUMBERING | PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS;
  pf.wAlignment = PFA_LEFT;
  SendMessage(r.control, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  SendMessage(r.control, EM_SETMODIFY, FALSE, 0);
}

//------------------------------------------------------------------------------
// Formatting
//------------------------------------------------------------------------------
namespace {

// The characters from..to (control positions) of an editor formatted by apply, the
// selection kept.
template <class Apply>
void withrange(EditorRecord& r, int from, int to, Apply apply) {
  DWORD s = 0, e = 0;
  SendMessage(r.control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  SendMessage(r.control, EM_SETSEL, static_cast<WPARAM>(from), to);
  apply();
  SendMessage(r.control, EM_SETSEL, s, static_cast<LPARAM>(e));
}

}  // namespace

bool yyEditSelectionEditable(const EditorRecord& r) {
  CHARFORMAT cf;
  cf.dwMask = CFM_PROTECTED;
  const auto mask = static_cast<DWORD>(SendMessage(r.control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
  return (mask & CFM_PROTECTED) != 0 && (cf.dwEffects & CFE_PROTECTED) == 0;
}

void yyEditUpdateBIU(EditorRecord& r) {
  if (!r.richtext || r.readonly) return;
  PARAFORMAT pf;
  const auto pmask = static_cast<DWORD>(SendMessage(r.control, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf)));
  if (r.format != nullptr) {
    const bool bulleted = (pmask & PFM_NUMBERING) == 0 || pf.wNumbering == PFN_BULLET;
    CheckMenuItem(r.format, ED_BULLET, MF_BYCOMMAND | (bulleted ? MF_CHECKED : MF_UNCHECKED));
  }
  // The format buttons, where the toolbar has them: enabled for an editable selection,
  // checked when set throughout, indeterminate when mixed.
  if (r.toolbar == nullptr || SendMessage(r.toolbar, TB_COMMANDTOINDEX, ED_BOLD, 0) < 0) return;
  const BYTE base = yyEditSelectionEditable(r) ? TBSTATE_ENABLED : 0;
  CHARFORMAT cf;
  cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
  const auto cmask = static_cast<DWORD>(SendMessage(r.control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
  auto state = [&](int command, bool uniform, bool set) {
    const BYTE st = static_cast<BYTE>(base | (!uniform ? TBSTATE_INDETERMINATE : set ? TBSTATE_CHECKED : 0));
    SendMessage(r.toolbar, TB_SETSTATE, static_cast<WPARAM>(command), MAKELONG(st, 0));
  };
  state(ED_BOLD, (cmask & CFM_BOLD) != 0, (cf.dwEffects & CFE_BOLD) != 0);
  state(ED_ITALIC, (cmask & CFM_ITALIC) != 0, (cf.dwEffects & CFE_ITALIC) != 0);
  state(ED_UNDERLINE, (cmask & CFM_UNDERLINE) != 0, (cf.dwEffects & CFE_UNDERLINE) != 0);
  state(ED_BULLET, (pmask & PFM_NUMBERING) != 0, pf.wNumbering == PFN_BULLET);
  const bool aligned = (pmask & PFM_ALIGNMENT) != 0;
  state(ED_LEFT, aligned, pf.wAlignment == PFA_LEFT);
  state(ED_CENTRE, aligned, pf.wAlignment == PFA_CENTER);
  state(ED_RIGHT, aligned, pf.wAlignment == PFA_RIGHT);
}

namespace {

// With the extra tools, the underline box is offered only for a selection that is underlined
// throughout (the record's custom data).
UINT_PTR yyHelpEdFontHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    const auto* c = reinterpret_cast<const CHOOSEFONT*>(lParam);
    EnableWindow(GetDlgItem(dialog, kCfUnderline), c != nullptr && c->lCustData != 0 ? TRUE : FALSE);
    return 1;
  }
  return 0;
}

}  // namespace

void yyEditFormatFont(HWND frame, EditorRecord& r) {
  CHARFORMAT cf;
  cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
  const auto mask = static_cast<DWORD>(SendMessage(r.control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
  HDC screen = GetDC(r.control);
  const int resolution = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(r.control, screen);
  LOGFONT lf{};
  lf.lfHeight = -static_cast<LONG>(cf.yHeight / 20 * resolution / 72);
  lf.lfWeight = (mask & CFM_BOLD) != 0 ? ((cf.dwEffects & CFE_BOLD) != 0 ? FW_BOLD : FW_NORMAL) : 0;
  lf.lfItalic = (mask & CFM_ITALIC) != 0 && (cf.dwEffects & CFE_ITALIC) != 0 ? 1 : 0;
  lf.lfUnderline = (mask & CFM_UNDERLINE) != 0 && (cf.dwEffects & CFE_UNDERLINE) != 0 ? 1 : 0;
  lf.lfStrikeOut = (mask & CFM_STRIKEOUT) != 0 && (cf.dwEffects & CFE_STRIKEOUT) != 0 ? 1 : 0;
  lf.lfCharSet = cf.bCharSet;
  lf.lfPitchAndFamily = cf.bPitchAndFamily;
  std::memcpy(lf.lfFaceName, cf.szFaceName, sizeof lf.lfFaceName);
  CHOOSEFONT c;
  c.hwndOwner = frame;
  c.lpLogFont = &lf;
  c.Flags = CF_SCREENFONTS | CF_TTONLY | CF_FORCEFONTEXIST | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if ((mask & CFM_BOLD) == 0 || (mask & CFM_ITALIC) == 0) c.Flags |= CF_NOSTYLESEL;
  if ((mask & CFM_FACE) == 0) c.Flags |= CF_NOFACESEL;
  if ((mask & CFM_SIZE) == 0) c.Flags |= CF_NOSIZESEL;
  c.rgbColors = (mask & CFM_COLOR) != 0 && (cf.dwEffects & CFE_AUTOCOLOR) == 0 ? cf.crTextColor : GetSysColor(COLOR_WINDOWTEXT);
  if ((r.options & EO_EXTRATOOLS) != 0) {
    c.Flags |= CF_ENABLEHOOK;
    c.lpfnHook = yyHelpEdFontHook;
    c.lCustData = (mask & CFM_UNDERLINE) != 0 && (cf.dwEffects & CFE_UNDERLINE) != 0 ? 1 : 0;
  }
  if (!ChooseFont(c)) return;
  CHARFORMAT set;
  set.dwMask = CFM_COLOR | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_CHARSET;
  set.crTextColor = c.rgbColors;
  if (lf.lfUnderline != 0) set.dwEffects |= CFE_UNDERLINE;
  if (lf.lfStrikeOut != 0) set.dwEffects |= CFE_STRIKEOUT;
  set.bCharSet = lf.lfCharSet;
  // What the dialog left unchosen over a mixed selection stays as it is.
  if ((c.Flags & CF_NOSIZESEL) == 0 && c.iPointSize > 0) {
    set.dwMask |= CFM_SIZE;
    set.yHeight = c.iPointSize * 2;
  }
  if ((c.Flags & CF_NOFACESEL) == 0 && lf.lfFaceName[0] != '\0') {
    set.dwMask |= CFM_FACE;
    std::memcpy(set.szFaceName, lf.lfFaceName, sizeof set.szFaceName);
    set.bPitchAndFamily = lf.lfPitchAndFamily;
  }
  if ((c.Flags & CF_NOSTYLESEL) == 0) {
    set.dwMask |= CFM_BOLD | CFM_ITALIC;
    if (lf.lfWeight == FW_BOLD) set.dwEffects |= CFE_BOLD;
    if (lf.lfItalic != 0) set.dwEffects |= CFE_ITALIC;
  }
  SendMessage(r.control, EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, reinterpret_cast<LPARAM>(&set));
  yyEditUpdateBIU(r);
}

void yyEditFormatBIU(EditorRecord& r, int command) {
  const DWORD bit = command == ED_BOLD ? CFM_BOLD : command == ED_ITALIC ? CFM_ITALIC : CFM_UNDERLINE;
  CHARFORMAT cf;
  cf.dwMask = bit;
  const auto mask = static_cast<DWORD>(SendMessage(r.control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
  // Uniform: the opposite; mixed: on.
  const bool on = (mask & bit) == 0 || (cf.dwEffects & bit) == 0;
  CHARFORMAT set;
  set.dwMask = bit;
  set.dwEffects = on ? bit : 0;
  SendMessage(r.control, EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, reinterpret_cast<LPARAM>(&set));
  yyEditUpdateBIU(r);
}

void yyEditFormatBullet(EditorRecord& r) {
  PARAFORMAT pf;
  const auto mask = static_cast<DWORD>(SendMessage(r.control, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf)));
  const bool all = (mask & PFM_NUMBERING) != 0 && pf.wNumbering == PFN_BULLET;
  PARAFORMAT set;
  set.dwMask = PFM_NUMBERING;
  set.wNumbering = all ? 0 : PFN_BULLET;
  SendMessage(r.control, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&set));
  yyEditUpdateBIU(r);
}

void yyEditFormatLCR(EditorRecord& r, int command) {
  PARAFORMAT set;
  set.dwMask = PFM_ALIGNMENT;
  set.wAlignment = command == ED_CENTRE ? PFA_CENTER : command == ED_RIGHT ? PFA_RIGHT : PFA_LEFT;
  SendMessage(r.control, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&set));
  yyEditUpdateBIU(r);
}

void yyeditformattext(int& result, int from, int to, int bold, int italic, int underline, int strike, int size, int colour,
                      int background, std::string_view face) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = -1;
    return;
  }
  if (!r->richtext) {
    result = -2;
    return;
  }
  CHARFORMAT2 cf;
  auto effect = [&](int v, DWORD bit, bool positive) {
    if (v == -1) return;
    cf.dwMask |= bit;
    if (positive ? v > 0 : v == 1) cf.dwEffects |= bit;
  };
  effect(bold, CFM_BOLD, false);
  effect(italic, CFM_ITALIC, false);
  effect(underline, CFM_UNDERLINE, true);
  effect(strike, CFM_STRIKEOUT, false);
  if (size != -1) {
    cf.dwMask |= CFM_SIZE;
    cf.yHeight = size * 20;
  }
  if (colour != -2) {
    cf.dwMask |= CFM_COLOR;
    if (colour == -1) cf.dwEffects |= CFE_AUTOCOLOR;
    else cf.crTextColor = static_cast<COLORREF>(colour);
  }
  if (background != -2) {
    cf.dwMask |= CFM_BACKCOLOR;
    if (background == -1) cf.dwEffects |= CFE_AUTOBACKCOLOR;
    else cf.crBackColor = static_cast<COLORREF>(background);
  }
  if (!face.empty()) {
    cf.dwMask |= CFM_FACE;
    std::memcpy(cf.szFaceName, face.data(), std::min<std::size_t>(face.size(), sizeof cf.szFaceName - 1));
  }
  cf.bCharSet = DEFAULT_CHARSET;
  const int a = yyEditAdjustPos(*r, std::max(from - 1, 0)), b = yyEditAdjustPos(*r, std::max(to, 0));
  withrange(*r, a, b, [&] { SendMessage(r->control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)); });
  result = 0;
}

void yyeditformatpara(int& result, int from, int to, int bullet, int alignment) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = -1;
    return;
  }
  if (!r->richtext) {
    result = -2;
    return;
  }
  PARAFORMAT pf;
  if (bullet != -1) {
    pf.dwMask |= PFM_NUMBERING;
    pf.wNumbering = bullet == 1 ? PFN_BULLET : 0;
  }
  if (alignment >= 0 && alignment <= 2) {
    pf.dwMask |= PFM_ALIGNMENT;
    pf.wAlignment = alignment == 1 ? PFA_CENTER : alignment == 2 ? PFA_RIGHT : PFA_LEFT;
  }
  const int a = yyEditAdjustPos(*r, std::max(from - 1, 0)), b = yyEditAdjustPos(*r, std::max(to, 0));
  withrange(*r, a, b, [&] { SendMessage(r->control, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf)); });
  result = 0;
}

//------------------------------------------------------------------------------
// Buffers
//------------------------------------------------------------------------------
namespace {

EditBuffer* bufferof(int window, int buffer) {
  auto& table = tessar.editor.EDITBUF;
  if (window < 0 || static_cast<std::size_t>(window) >= table.size() || buffer < 1 || buffer > 20) return nullptr;
  return &table[static_cast<std::size_t>(window)][static_cast<std::size_t>(buffer - 1)];
}

// Runs work with window w as the current window, as the stream and information routines need.
template <class Work>
void inwindow(int w, Work work) {
  const int saved = wIndex;
  wIndex = w;
  work();
  wIndex = saved;
}

}  // namespace

void yyeditstorebuffername(int window, int buffer, std::string_view name) {
  EditBuffer* b = bufferof(window, buffer);
  if (b == nullptr) return;
  b->name = std::string(name.substr(0, std::min<std::size_t>(name.size(), 260)));
  b->NAMEALLOCATED = 1;
}

void yyeditgetbuffername(int window, int buffer, std::string& name) {
  const EditBuffer* b = bufferof(window, buffer);
  name = b != nullptr && b->NAMEALLOCATED != 0 ? b->name : std::string();
}

void yyeditgetsave(int window, int buffer, int& saved) {
  const EditBuffer* b = bufferof(window, buffer);
  saved = b != nullptr ? b->ISAVED : 0;
}

void yyeditstorebuffer(int window, int buffer) {
  EditBuffer* b = bufferof(window, buffer);
  if (b == nullptr) return;
  inwindow(window, [&] {
    int count = 0;
    yyeditcountrtf(count);
    b->NBYTES = count;
    yyeditgetrtf(b->text, count);
    b->TEXTALLOCATED = 1;
    yyeditinfo(window, 2, b->NCHARS);
    yyeditinfo(window, 4, b->ISELSTART);
    yyeditinfo(window, 5, b->ISELEND);
    yyeditinfo(window, 1, b->ISAVED);
    yyeditinfo(window, 3, b->ICHANGED);
    yyeditinfo(window, 9, b->ITOPLINE);
  });
}

void yyeditretrievebuffer(int window, int buffer) {
  EditBuffer* b = bufferof(window, buffer);
  if (b == nullptr) return;
  inwindow(window, [&] {
    yyeditputrtf(b->NBYTES, b->text);
    int start = b->ISELSTART - 1;
    yyeditselect(start, b->ISELEND);
    yyeditsettop(b->ITOPLINE);
    yyeditsetflags(b->ISAVED, b->ICHANGED);
    yyeditclearundo();
  });
  b->text.clear();
  b->text.shrink_to_fit();
  b->TEXTALLOCATED = 0;
}

void yyeditswap(int window, int from, int to) {
  if (from == to) return;
  yyeditstorebuffer(window, from);
  yyeditretrievebuffer(window, to);
}

void yyeditclosebuffer(int window, int buffer) {
  if (bufferof(window, buffer) == nullptr) return;
  auto& row = tessar.editor.EDITBUF[static_cast<std::size_t>(window)];
  for (int k = buffer; k < 20; ++k) row[static_cast<std::size_t>(k - 1)] = std::move(row[static_cast<std::size_t>(k)]);
  row[19] = EditBuffer{};
}

void yyEditSwitchBuffer(HWND frame, int n) {
  EditorRecord* r = yyeditrecord(frame);
  const int w = yygetwindowindex(frame);
  if (r == nullptr || w < 0 || n < 1 || n > r->count) return;
  if (r->view != nullptr) {
    CheckMenuItem(r->view, static_cast<UINT>(r->current - 1), MF_BYPOSITION | MF_UNCHECKED);
    CheckMenuItem(r->view, static_cast<UINT>(n - 1), MF_BYPOSITION | MF_CHECKED);
  }
  const int old = r->current;
  r->current = n;
  yyeditswap(w, old, n);
  yyeditstorebuffername(w, old, r->filename);
  yyeditgetbuffername(w, n, r->filename);
  r->changed = tessar.editor.EDITBUF[static_cast<std::size_t>(w)][static_cast<std::size_t>(n - 1)].ICHANGED;
  yyEditTitle(frame);
  InvalidateRect(r->control, nullptr, TRUE);
}

void yyeditselectbuffer(int n, int& result) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = 1;
    return;
  }
  if (!r->buffers || n < 1 || n > r->count) {
    result = 2;
    return;
  }
  yyEditSwitchBuffer(yyeditframe(), n);
  result = 0;
}
