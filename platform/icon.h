#pragma once
// Icons of the platform layer: the system icons and the program's ICON resources (compiled by
// tools/rc into an RT_GROUP_ICON directory and its RT_ICON images), icons made from image
// bytes or from bitmaps, and their drawing through the drawing layer.
//
// An icon is a colour image with a monochrome AND mask: drawing ANDs the mask onto the
// destination, then XORs the colour image, so mask bits 1 with black colour leave the
// destination as it was. Images in the resources are BMP-in-ICO (a DIB header with twice the
// height, the colour rows, then the mask rows) or PNG (alpha 128 or more is opaque).
//
// LoadIcon and LoadImage with LR_SHARED give shared icons that live for the run (DestroyIcon
// on them does nothing); CreateIconFromResourceEx, CreateIconIndirect and LoadImage without
// LR_SHARED give icons that the caller destroys.
#include "platform/dialog.h"   // the image kinds IMAGE_BITMAP, IMAGE_ICON, IMAGE_CURSOR
#include "platform/gdi.h"
#include "platform/win.h"

namespace win {

using HANDLE = void*;

inline constexpr UINT LR_DEFAULTCOLOR = 0x0000, LR_MONOCHROME = 0x0001, LR_LOADFROMFILE = 0x0010,
                      LR_LOADTRANSPARENT = 0x0020, LR_DEFAULTSIZE = 0x0040,
                      LR_LOADMAP3DCOLORS = 0x1000, LR_SHARED = 0x8000;
// DrawIconEx flags.
inline constexpr UINT DI_MASK = 0x0001, DI_IMAGE = 0x0002, DI_NORMAL = 0x0003, DI_COMPAT = 0x0004,
                      DI_DEFAULTSIZE = 0x0008;

struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0, yHotspot = 0;
  HBITMAP hbmMask = nullptr;    // monochrome, as high as the icon
  HBITMAP hbmColor = nullptr;   // colour
};

// A system icon (instance null, IDI_APPLICATION .. IDI_ASTERISK) or the program's icon group
// of that name at the system icon size (SM_CXICON); nullptr when there is none or its image is
// damaged. Names compare case-insensitively, as every resource name.
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
// IMAGE_ICON: the icon group's entry nearest to cx x cy (0 takes SM_CXICON / SM_CYICON,
// the small size when asked for it through SM_CXSMICON), scaled to that size when it differs.
// IMAGE_BITMAP: the BITMAP resource; LR_LOADTRANSPARENT gives the pixels of the top-left
// pixel's colour the window colour, LR_LOADMAP3DCOLORS the grey shades the 3-D colours.
// IMAGE_CURSOR: LoadCursor. LR_LOADFROMFILE is not offered: nullptr.
HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
// The best entry of an RT_GROUP_ICON directory for cx x cy: the RT_ICON number, 0 if none.
int LookupIconIdFromDirectoryEx(const BYTE* directory, BOOL icon, int cx, int cy, UINT flags);
// An icon from one RT_ICON image (BMP-in-ICO or PNG); cx, cy 0 keep the image's size.
HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version, int cx, int cy,
                               UINT flags);
HICON CreateIconIndirect(const ICONINFO& info);
// Copies of the icon's mask and colour bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO& info);
BOOL DestroyIcon(HICON icon);
// Draws the icon at its own size (DrawIcon), or at cx x cy (0: its own size, or the system
// size with DI_DEFAULTSIZE). step and flickerFree brush are not used: nothing flickers here.
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFree,
                UINT flags);

namespace icon {
// The icon's own size in pixels; {0, 0} for a handle that is no icon.
SIZE sizeOf(HICON icon);
// True for a live icon handle of the layer, system icons included.
bool isIcon(HICON icon);
// Icons made by the callers and not yet destroyed (shared and system icons not counted).
int ownedCount();
}  // namespace icon

}  // namespace win
