#pragma once
// The text editor's per-window record and the routines its parts call in one another.
//
// EditorRecord: allocated when an editor is created and freed when the window is destroyed
// (modeless, semi-modeless) or when the modal loop ends (modal). It extends the window layer's
// frame record, whose words the window layer reads (kind 1, the toolbars in words 1-4, the
// control in word 5, the command line in word 6, the status bar in word 8); the frame's user
// data points at that frame record.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/findreplace.h"
#include "platform/win.h"
#include "toolkit/window/window.h"

// Option bits of WEditFile.
enum EditorOptions : int {
  EO_WORDWRAP = 1, EO_MUSTEXIST = 2, EO_READONLY = 4, EO_COMMANDLINE = 8, EO_HISTORY = 16,
  EO_NOTOOLBAR = 32, EO_RICHTEXT = 64, EO_SHOWMODIFIED = 128, EO_NONEWOPEN = 256,
  EO_NOSAVEAS = 512, EO_NOPRINT = 1024, EO_NOSAVE = 8192, EO_BUFFERS = 16384,
  EO_NOCLOSE = 32768, EO_RAWPOSITIONS = 65536, EO_BACKUP = 131072, EO_NOFILENAME = 4194304,
  EO_NOMENUS = 8388608, EO_QUIETOPEN = 16777216, EO_PRINTBYPROGRAM = 67108864,
  EO_EXTRATOOLS = 134217728
};

// Editor commands.
enum EditorCommand : int {
  ED_NEW = 32101, ED_OPEN = 32102, ED_SAVE = 32103, ED_SAVEAS = 32104, ED_PRINT = 32105,
  ED_PRINTSEL = 32106, ED_CLOSE = 32107, ED_EXIT = 32108, ED_UNDO = 32121, ED_CUT = 32122,
  ED_COPY = 32123, ED_PASTE = 32124, ED_DELETE = 32125, ED_SELECTALL = 32126, ED_REDO = 32127,
  ED_FIND = 32141, ED_FINDNEXT = 32142, ED_REPLACE = 32143, ED_SETBOOKMARK = 32147,
  ED_GOTOBOOKMARK = 32148, ED_FONT = 32161, ED_BULLET = 32162, ED_LEFT = 32163, ED_CENTRE = 32164,
  ED_RIGHT = 32165, ED_BOLD = 32166, ED_ITALIC = 32167, ED_UNDERLINE = 32168, ED_VIEW = 32180
};

struct EditorRecord : FrameRecord {
  win::HWND control = nullptr;
  win::HWND toolbar = nullptr;           // the editor's own toolbar (none with option 32)
  win::HWND tooltips = nullptr;          // its tooltip window
  win::HWND statusbar = nullptr;
  win::HWND commandline = nullptr;       // combo box (with history) or edit field
  win::HWND commandedit = nullptr;       // the edit field of the command line
  win::HWND promptframe = nullptr, prompttext = nullptr;
  win::WNDPROC commandproc = nullptr;    // the edit field's own procedure
  int commandheight = 0, promptoffset = 0;
  bool history = false;
  win::HWND finddialog = nullptr;
  win::HWND focus = nullptr;
  win::HMENU menubar = nullptr, file = nullptr, edit = nullptr, search = nullptr, format = nullptr,
             view = nullptr;
  int mode = 2;
  int splitwindow = -1;                  // the split window whose frames show the editor's menu
  int changed = 0;
  int protection = 1;
  std::array<int, 21> filterindex{};   // buffers 1-20
  int current = 1;
  int count = 1;
  std::string filename;                // current buffer's full path, empty when untitled
  std::string basetitle;
  std::string findtext, replacetext;
  std::string filter;                  // the file types, NUL-separated pairs
  std::array<char, 1024> findbuffer{}, replacebuffer{};
  win::FINDREPLACE find;
  int modalend = 0;
  int insertmode = 1;
  int options = 0;
  bool maynew = true, readonly = false, mayopen = true, maysave = true, maysaveas = true, mayprint = true;
  bool richtext = false, buffers = false, hidden = false;
  bool custompaint = false;              // yyeditsetcallback: the lines are drawn by the editor
  win::WNDPROC richproc = nullptr;       // the control's own procedure under the painting one
  win::HFONT font = nullptr;
  int fonttype = 0, fontsize = 0, lineheight = 0, charheight = 0;
  std::array<int, 21> bookmark{}, bookmarklength{};
  // Files that did not come whole into the editor, so that saving the text shown over one
  // would destroy what it holds: code 0, its text was cut to the control's limit (saving
  // asks first); else the code that kept it out (saving over it under the name it was
  // loaded by is refused; choosing it in the save dialog is the user's decision).
  struct GuardedFile {
    std::string path;
    int code = 0;
  };
  std::vector<GuardedFile> guarded;
  bool maxtext = false;                  // the control cut the text it was given (EN_MAXTEXT)
  // Per buffer: a handle that keeps other writers off the buffer's file (-1 none).
  std::array<int, 21> lockfile = [] {
    std::array<int, 21> a{};
    a.fill(-1);
    return a;
  }();
};

EditorRecord* yyeditrecord(win::HWND frame);   // nullptr for a frame without an editor
EditorRecord* yyeditcurrent();                 // the editor of the current window, or nullptr
win::HWND yyeditframe();                       // the current window's frame

// The editor toolbar: built at creation unless option 32; Cut and Copy follow the selection,
// Undo and Redo the control; the tooltip text of a command ("" for none).
void yyeditmaketoolbar(win::HWND frame, EditorRecord& r);
void yyedittoolbarselection(EditorRecord& r);
void yyedittoolbarundo(EditorRecord& r);
const char* yyedittooltip(int command, bool extra);

// The command line (options 8 and 16): built at creation, laid out at the bottom.
void yyeditcommandline(win::HWND frame, EditorRecord& r);
void yyeditcommandlayout(EditorRecord& r, const win::RECT& area);

// Parts calling each other.
void yyEditTitle(win::HWND frame);
int yyEditOpenFile(win::HWND frame, int quiet);
int yyEditSaveFile(win::HWND frame, int saveas);
int yyEditCheckSave(win::HWND frame, EditorRecord& r);
// Releases the current buffer's lock on its file.
void yyEditCloseFile(win::HWND frame);
// The editor's open (save false) or save dialog; 1 with the chosen path, 0 cancelled.
int yyEditFileDialog(win::HWND frame, EditorRecord& r, bool save, std::string& path);
// The longest path the editor keeps whole (its buffer names); a longer one is refused.
inline constexpr std::size_t kEditorPathLength = 260;
int yyEditFind(win::HWND frame, EditorRecord& r, const win::FINDREPLACE& request);
int yyEditReplace(win::HWND frame, EditorRecord& r, const win::FINDREPLACE& request);
// Replace All: every match from the start on replaced as one undoable change, then the
// "End of text reached" box.
void yyEditReplaceAll(win::HWND frame, EditorRecord& r, const win::FINDREPLACE& request);
void yyEditPaste(EditorRecord& r);
void yyEditResetFormat(EditorRecord& r);
// Formatting of rich-text editors: bold, italic or underline (32166-32168) of the selection
// or the word at the caret, bullets and alignment (32163-32165) of the selected paragraphs,
// the font dialog, and the Bullet Style mark that follows the selection.
void yyEditFormatBIU(EditorRecord& r, int command);
void yyEditFormatBullet(EditorRecord& r);
void yyEditFormatLCR(EditorRecord& r, int command);
void yyEditFormatFont(win::HWND frame, EditorRecord& r);
void yyEditUpdateBIU(EditorRecord& r);
// The text as the editor's stream gives it (RTF, or the text as a file holds it), and
// a stream read into the control in place of its text.
std::string yyeditstreamout(const EditorRecord& r, bool rtf);
void yyeditstreamin(EditorRecord& r, std::string_view data, bool rtf);
// Files of a rich-text editor whose names end in ".rtf" are RTF.
bool yyEditIsRTF(const EditorRecord& r);
// The selection has one protection state and it is unprotected.
bool yyEditSelectionEditable(const EditorRecord& r);
void yyEditSwitchBuffer(win::HWND frame, int n);
void yyEditCreateFont(EditorRecord& r, int type, int size);
// The control's text with each line end as CR LF (the text as a file holds it), and the
// control position of a logical one.
std::string yyeditlogicaltext(const EditorRecord& r);
int yyEditAdjustPos(const EditorRecord& r, int logical);
// Printing: the two page set-up records filled from the default printer once a run, and the
// whole text (part 0), the selection (part 1, record 1) or from..to (part 1, record 0)
// printed with record index; 1 printed, 0 not (cancelled or failed).
void yyEditPrintInit();
int yyEditPrint(win::HWND frame, EditorRecord& r, int part, int index, int from, int to, const std::string& name);
// The View entry text of buffer n: "&n\t" or "&A\t"... then the path or "Untitled".
std::string yyeditviewentry(int n, const std::string& path);
