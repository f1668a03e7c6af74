#pragma once
// Internal to the controls, dialogs and message box of platform/: the classic-look drawing
// helpers they share, text layout, and the hooks between the button class and the dialog
// class (default push button tracking).
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/icon.h"

namespace win::dlg {

// Classes.
void registerButtonClass();
void registerStaticClass();
void registerDialogClass();
void registerEditClass();
void registerListBoxClasses();   // LISTBOX and the combo box's list
void registerComboBoxClass();
void registerScrollBarClass();
void registerUpDownClass();
void registerProgressClass();
void registerTrackbarClass();
void registerHeaderClass();
void registerTabClass();
void registerTreeViewClass();

// Colours and simple shapes.
void fillSolid(HDC dc, const RECT& r, COLORREF colour);
void fillBrush(HDC dc, const RECT& r, HBRUSH brush, COLORREF fallback);
void hline(HDC dc, int x0, int x1, int y, COLORREF colour);   // x1 exclusive
void vline(HDC dc, int x, int y0, int y1, COLORREF colour);   // y1 exclusive
// A two-pixel 3-D edge inside r: raised (buttons) or sunken (check boxes, sunken statics).
void edge3d(HDC dc, const RECT& r, bool raised);
void frame(HDC dc, const RECT& r, COLORREF colour);
void etched(HDC dc, const RECT& r);
void focusRect(HDC dc, const RECT& r);   // dotted, every other pixel

// Registers a control class of the layer (double clicks, redrawn whole on a new size, arrow
// cursor) unless a class of that name exists.
void registerControlClass(LPCSTR name, WNDPROC proc);

// The font a control draws with: its own (WM_GETFONT), else the system font.
HFONT fontOf(HWND hwnd);
// A control's window text.
std::string windowText(HWND hwnd);

// Background and text colour for a control: the parent's answer to msg (a WM_CTLCOLOR
// message) when it gives a brush, else the classic face colour with the given text colour.
// Sets the DC's text colour and a transparent background mode; fills r.
void paintBackground(HWND hwnd, HDC dc, UINT msg, const RECT& r, int textColourIndex);

// Text layout: lines end at CR LF, a lone CR or a lone LF; with width > 0 and wrap, lines
// break at blanks (a word wider than the line at its characters); with prefix, "&x" shows x
// underlined and "&&" one ampersand.
struct TextLine {
  std::string text;
  int underline = -1;   // index of the underlined character, -1 none
};
std::vector<TextLine> layoutText(HDC dc, std::string_view text, int width, bool wrap, bool prefix);
SIZE measureLines(HDC dc, const std::vector<TextLine>& lines);
int lineHeight(HDC dc);
// Draws the lines in box: align 0 left, 1 centre, 2 right; valign 0 top, 1 centre, 2 bottom.
// Disabled text is drawn embossed in the shadow colour.
void drawLines(HDC dc, const std::vector<TextLine>& lines, const RECT& box, int align,
               int valign, bool disabled);
// The mnemonic character of a control text ("&x" gives x, upper-cased), 0 without one.
char mnemonicOf(std::string_view text);

// A system icon (IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK, IDI_APPLICATION).
HICON systemIcon(LPCSTR idi);
// A bitmap drawn at (x, y) at its own size.
void drawBitmap(HDC dc, int x, int y, HBITMAP bitmap);
SIZE bitmapSize(HBITMAP bitmap);
// The image of a button or static: a bitmap (kind IMAGE_BITMAP) or an icon, at its own size.
SIZE imageSize(HGDIOBJ image, WPARAM kind);
void drawImage(HDC dc, int x, int y, HGDIOBJ image, WPARAM kind);

// Dialog side of the push buttons: a push button that gains the focus becomes the dialog's
// shown default; one that loses it to a control other than a push button gives the default
// look back to the dialog's default button.
void pushButtonFocus(HWND button, bool gaining, HWND other);
bool isDialogWindow(HWND hwnd);

// Text conversion of templates (UTF-16 in the resources) to the layer's 8-bit texts.
std::string fromUtf16(const std::u16string& s);

}  // namespace win::dlg
