#pragma once
// Root window and window classes: WindowOpen and windowclose, the frame record of special
// windows, and the colour and drawing state of the window layer. The records of the windows
// 0-50 live in the window region of tessar (window_state.h); winslot(w) names one.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window_state.h"

// Window-open flags (WindowOpenFlags).
inline constexpr int WOF_SYSMENU = 1, WOF_MINBOX = 2, WOF_MAXBOX = 4, WOF_MAXIMISED = 8,
                     WOF_INSIDEPARENT = 0x10, WOF_STATUSBAR = 0x20, WOF_FIXEDSIZE = 0x40,
                     WOF_HIDDEN = 0x80, WOF_OWNED = 0x100, WOF_TOPMOST = 0x200,
                     WOF_TOOLWINDOW = 0x10000;

// Control identifiers inside a frame.
inline constexpr int STATUSBARID = 999;
inline constexpr int CLIENTID = -1;

// The record of window number w (0-50) in the window region of tessar.
inline WindowSlot& winslot(int w) { return tessar.windows[static_cast<std::size_t>(w)]; }

// Frame record: zeroed 32-bit words attached to a special frame as its user data; word 0 is
// the special-window kind.
enum SpecialWindowType { SW_EDITOR = 1, SW_BITMAPVIEWER = 2, SW_DIALOGWINDOW = 3,
                         SW_GRIDWINDOW = 4, SW_SPLITWINDOW = 5 };
struct FrameRecord {
  std::array<int, 24> word{};
};
// Words of the frame record, named per kind; the numbers are the record's fixed layout.
// Every kind: word 0 the kind; words 1-4 its toolbars at positions 0-3; word 5 the main
// control (given the focus when the window is raised).
enum FrameWord : std::size_t { FR_KIND = 0, FR_TOOLBAR = 1, FR_CONTROL = 5 };
// Window combined with a dialog (kind 3): the dialog, and the frame size (of the restored
// frame when it opened maximised).
enum DialogWindowWord : std::size_t { DW_DIALOG = 5, DW_FRAMEWIDTH = 6, DW_FRAMEHEIGHT = 7 };
// Text editor (kind 1): its command-line bar, the status bar that shows its menu prompts,
// its two other bars, and its open find or replace dialog (0 none), which the event pump
// offers the dialog's keys.
enum EditorWord : std::size_t { ED_COMMANDLINE = 6, ED_PROMPTTARGET = 8, ED_BAR1 = 9, ED_BAR2 = 11,
                                ED_FINDDIALOG = 13 };
// Bitmap viewer (kind 2): the viewer window, the status bar, the mode (1 modal, 2 modeless,
// 3 semi-modeless), the modal end flag, the bitmap shown with its width and height, the frame
// size that shows it whole (-999 none), the options (1 keys scroll, 2 the left button drags),
// the dragging flag, the mouse position and scroll positions where the drag started.
// Grid window (kind 4): the grid control, and the grid editor's accelerator table (0 none).
enum ViewerWord : std::size_t { BV_VIEWER = 5, BV_STATUSBAR = 6, BV_MODE = 7, BV_END = 8, BV_BITMAP = 9,
                                BV_WIDTH = 10, BV_HEIGHT = 11, BV_LIMITW = 12, BV_LIMITH = 13, BV_OPTIONS = 14,
                                BV_DRAGGING = 15, BV_DRAGX = 16, BV_DRAGY = 17, BV_DRAGH = 18, BV_DRAGV = 19 };
enum GridWord : std::size_t { GW_GRID = 5, GW_ACCELERATORS = 6 };
// Split window (kind 5): the splitter bar; the window that was split; the two panes'
// numbers; the split flags (1 stacked, 2 proportional, 4 second pane keeps its extent); the
// panes' flags; the panes' extents; the bar's edge while dragged (-999 none); the frame
// size; the active pane's frame; the frame of the pane whose menu is shown (0 none); 1 while
// the window layer sizes the window.
enum SplitWord : std::size_t { SP_BAR = 5, SP_WINDOW = 6, SP_PANE1 = 7, SP_PANE2 = 8, SP_FLAGS = 9,
                               SP_PANEFLAGS1 = 10, SP_PANEFLAGS2 = 11, SP_EXTENT1 = 12, SP_EXTENT2 = 13,
                               SP_DRAG = 14, SP_FRAMEWIDTH = 15, SP_FRAMEHEIGHT = 16, SP_ACTIVE = 17,
                               SP_MENUPANE = 18, SP_SIZING = 19 };
FrameRecord* yyframerecord(win::HWND frame);   // nullptr for an ordinary window

// Colour and drawing state of the window layer, set when the root window opens.
inline std::array<win::COLORREF, 18> wColor{};
inline int wForeCol = 0, wBackCol = 15, wUnderline = 0;
inline int iVerRTF = 0;                 // rich-edit version, 0 none
inline win::UINT uFindMsgString = 0;
inline win::UINT cgmFormat = 0;
inline int hImgLib = 0;                 // gradient-fill service present
inline int hEmailLib = 0;               // mail service present
inline int wHideRoot = 0, bDlgRoot = 0, StoreVal = 0;
inline win::HBRUSH hBrushDlg = nullptr;
inline win::HDC wDC = nullptr;          // client DC of the current window
inline win::HDC gDC = nullptr;          // drawing context of the graphics layer
inline win::HWND hMovie = nullptr;      // window drawn on
// Drawing globals of the screen side: set when the root window opens, used by the screen
// driver, deleted by yyshutdown (selecting the previous pen and font back first).
inline win::HBITMAP gBitmap = nullptr;   // 8 x 8 stipple
inline int gStippleRebuild = 0, gPenStyle = 0, gLineType = 0, gPlotMode = 13;
inline win::HRGN gClipRgn = nullptr;
inline win::HFONT gFont = nullptr, gFontOld = nullptr;
inline win::HPEN gPen = nullptr, gPenOld = nullptr;
// Drawing targets that are not windows: a dialog graphics field, a memory bitmap, a metafile.
inline win::HDC hGraphicsField = nullptr, hGraphicsBitmap = nullptr, hGraphicsMetafile = nullptr;
inline win::HWND hGraphicsFieldWnd = nullptr;   // the field whose DC hGraphicsField is
inline win::HWND hWinCur = nullptr;     // frame of the window that last had the focus
inline win::HWND hDlgCur = nullptr;     // active dialog
inline win::HWND hWinMenuClick = nullptr;
inline int wBlitOn = 0;                 // saved window images in use
inline int wIndex = 0;                  // current window on the window-layer side

// Record form of WindowOpen: flags, position, client size, menu and an 80-character title.
struct WindowRecord {
  int flags = 0, x = 0, y = 0, width = 0, height = 0, menu = 0;
  std::string title = std::string(80, ' ');
};

// Argument form: every argument optional.
struct WindowOpenOptions {
  std::optional<int> flags, x, y, width, height, menu;
  std::array<int, 4> toolbars{};          // top, left, right, bottom; 0 none
  int* dialog = nullptr;                   // in/out: dialog to combine, negative on failure
  std::optional<std::string_view> title;
  std::optional<int> colours;              // 16, 32, 64 or 128
  std::optional<int> background;           // colour value, -1 none
};

inline constexpr int CENTRED = -999999;

void windowopen1(const WindowRecord& record, std::optional<int> colours = std::nullopt);
void windowopen2(const WindowOpenOptions& options);
inline void WindowOpen(const WindowRecord& record, std::optional<int> colours = std::nullopt) {
  windowopen1(record, colours);
}
inline void WindowOpen(const WindowOpenOptions& options = {}) { windowopen2(options); }
void windowclose();
// Fills the service tables of the layers below: the error recorder's level-3 and level-4
// reports (root status bar, message box, program end) and the graphics core's chart reset.
// The root window's opening and start-up call it; calling it again changes nothing.
void yyinstallservices();

void yycreaterootwindow(int x, int y, int& width, int& height, int flags, int menu,
                        const std::array<int, 4>& toolbars, int colours, int& dialog,
                        int background, const char* title);
void yyshutdown();
// The procedure of the probe dialogs that measure a dialog to be combined with a window.
win::INT_PTR yyWindowSizeDlgProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);

// Window number 0-50 whose frame or client is the handle, -1 if none.
int yygetwindowindex(win::HWND hwnd);
// Paints the captions so that the given window looks active (nullptr: none).
void yytitlecolour(win::HWND hwnd);

// The "VXKMENUSTRING" prompts of a floating popup menu while it is shown.
inline win::HRSRC hFloatPrompt = nullptr;
// The dialog layer loads a dialog combined with a window, as a child of its client area, and
// answers the dialog's window (nullptr when it cannot); it tells whether a dialog that is not
// combined with a window takes the root window's accelerators. Installed when it starts.
inline win::HWND (*combinedialog)(int dialog, win::HWND client, bool show) = nullptr;
inline bool (*dialogtakesrootaccelerators)(win::HWND dialog) = nullptr;
// The dialog layer unloads every loaded dialog when the root window closes.
inline void (*unloadalldialogs)() = nullptr;
inline int popupMenuLoop = 0;   // 1 while the menu loop belongs to a floating popup menu
inline int menuRelay = 0;       // 1 while a menu selection is relayed to an editor or grid window

// Window procedures of the toolkit's classes.
win::LRESULT yyWndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
win::LRESULT yyWndProcClient(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
win::LRESULT yySplitProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
int yySplitFixed(const FrameRecord& split, int pane, int direction);
int yyTranslateAccelerator(int window, int menuwindow, const win::MSG& msg);
// Before a split window closes, a grid-editor pane offers to save its changes: the grid
// layer fills this in; 0 keeps the split window open.
inline int (*yygridpanecloses)(win::HWND pane) = nullptr;
void yydrawablesize(int kind, int number, int& width, int& height);
win::HWND yyGetPromptWindow(int window);
// The prompt of menu item id in a "VXKMENUSTRING" resource; false when it has none.
bool yyresourceprompt(win::HRSRC prompts, int id, std::string& text);
// Lays out status bar, toolbars and client area of a frame for its present size.
void yyframelayout(win::HWND frame);
