#pragma once
// The text editor window: a toolkit child window turned into a plain-text editor on the
// platform's rich-edit control, with its File, Edit, Search and View menus, status parts,
// find and replace, up to 20 buffers, and the routines a program reads and changes the text
// with. Positions of the programming interface count a line end as two characters (CR LF)
// unless the editor has the raw-positions option.
#include <optional>
#include <string>
#include <string_view>

struct WEditFileOptions {
  std::optional<int> mode{};        // 1 modal, 2 modeless (default), 3 semi-modeless
  std::optional<int> menu{};        // the caller's MENU resource (0 none)
  std::optional<int> options{};     // EditorOptions bits
  std::optional<int> fonttype{}, fontsize{};
  std::optional<std::string_view> filter{};   // description, pattern, ... each ended by the separator
  std::optional<int> filterindex{};
  std::optional<int> splitwindow{};
};
void WEditFile(std::string_view filename, const WEditFileOptions& options = {});
// The worker: status 0 or the editor status (1-12) that WEditFile maps to an error.
void yyeditfile(int& status, int& mode, int menu, int options, int fonttype, int fontsize, int filterindex,
                int splitwindow, std::string_view filename, std::string_view filter);
void yyeditfont(int fonttype, int fontsize, int& result);

// Programming interface (result 1, or -1 where noted, when the current window is no editor).
void yyeditputtext(int& result, std::string_view text);
void yyeditputtextpart(int& start, int end, std::string_view text);   // start: result out
void yyeditgettext(int& result, int maximum, std::string& text);
void yyeditgettextpart(int& start, int count, std::string& text);     // start: result out
void yyeditselect(int& start, int end);                                // start: result out
void yyeditsetpos(int position);
void yyeditsettop(int line);
void yyeditsetflags(int saved, int changed);
void yyeditclearundo();
void yyeditcountrtf(int& count);
void yyeditgetrtf(std::string& buffer, int length);
void yyeditputrtf(int count, std::string_view buffer);
void yyeditconvertpos(int mode, int value, int& result);
void yyeditinfo(int window, int item, int& value);
void yyeditinfostring(int window, int item, std::string& text, int maximum);
void yyeditshowhide(int show);
void yyeditredraw(int window);
void yyeditsave(int saveas);
void yyeditsetbackup(int flag);
// Page set-up of print record index (0 printing by program, 1 the Print commands): units -1
// by the locale, 0 or 1 inches, 2 or more millimetres; result 1 OK, 0 cancelled. Positions
// and sizes in points: 1 print width, 2 print height, 3 left, 4 top margin, 5 orientation.
void yyeditprintsetup(int units, int index, int& result);
void yyeditprintgetpossize(int item, int& value, int index);
void yyeditprintsetpossize(int item, int value, int index);
// Prints logical positions from..to (when 0 <= from < to, else the whole text) of the current
// window's editor with record 0 under the job name; result 1 printed.
void yyeditprintprog(int& result, int from, int to, std::string_view name);
// Character format of the characters from..to (1-based, inclusive) and paragraph format of
// the paragraphs they touch; result 0, -1 no editor, -2 no rich text. -1 (colours -2) keeps a
// value; colours are red + 256 green + 65536 blue, -1 automatic; size in points.
void yyeditformattext(int& result, int from, int to, int bold, int italic, int underline, int strike, int size,
                      int colour, int background, std::string_view face);
void yyeditformatpara(int& result, int from, int to, int bullet, int alignment);   // alignment 0 left, 1 centre, 2 right

// Command line and history of the current window's editor (result 1: no editor).
void yyeditprompt(int& result, std::string_view prompt);          // 2: no command line
void yyeditputcommand(int& result, std::string_view text, int caret);
void yyeditgetcommand(int& result, std::string& text, int maximum);   // 2 cut, 3 no command line
void yyeditcheckhistory(int& result);                              // 0 has one, 2 none
void yyeditclearhistory(int& result);
void yyeditputhistory(int index, std::string_view text);
void yyeditgethistory(int index, std::string& text);

// Custom painting: from yyeditsetcallback on, the current window's editor draws every visible
// line itself, coloured by the segments yyeditparsecallback gives for it: up to maximum
// segments (start, end: 1-based positions in the line, inclusive; colour red + 256 green +
// 65536 blue, or -1 for the selection colours) in ascending order. selstart and selend are
// the line's selected part (1-based) or -1, -1. The routine as linked gives no segments; a
// program colours its text by linking its own routine of this name.
void yyeditsetcallback();
void yyeditparsecallback(int window, int selstart, int selend, int maximum, int* starts, int* ends, int* colours,
                         int& count, const char* line, int length);

// Buffers of window w (buffer 1-20).
void yyeditstorebuffername(int window, int buffer, std::string_view name);
void yyeditgetbuffername(int window, int buffer, std::string& name);
void yyeditgetsave(int window, int buffer, int& saved);
void yyeditstorebuffer(int window, int buffer);
void yyeditretrievebuffer(int window, int buffer);
void yyeditswap(int window, int from, int to);
void yyeditclosebuffer(int window, int buffer);
void yyeditselectbuffer(int n, int& result);
