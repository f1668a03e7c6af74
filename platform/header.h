#pragma once
// platform/header.h: the header control class ("SysHeader32") of the platform layer: a row of
// column titles, each an item with a width, a text and a format, that can be clicked
// (HDS_BUTTONS) and sized by dragging the divider at its right edge, in the names and numbers
// the toolkit was designed on (the 8-bit forms, without their "A" suffix). Texts are 8-bit
// (Windows-1252), NUL-terminated. The class registers with the dialog classes
// (RegisterDialogClasses).
#include "platform/win.h"

namespace win {

inline const LPCSTR WC_HEADER = "SysHeader32";

inline constexpr DWORD HDS_HORZ = 0x0000, HDS_BUTTONS = 0x0002, HDS_HOTTRACK = 0x0004,
                       HDS_HIDDEN = 0x0008, HDS_DRAGDROP = 0x0040, HDS_FULLDRAG = 0x0080;

inline constexpr UINT HDM_FIRST = 0x1200;
inline constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0, HDM_INSERTITEM = HDM_FIRST + 1,
                      HDM_DELETEITEM = HDM_FIRST + 2, HDM_GETITEM = HDM_FIRST + 3,
                      HDM_SETITEM = HDM_FIRST + 4, HDM_LAYOUT = HDM_FIRST + 5,
                      HDM_HITTEST = HDM_FIRST + 6, HDM_GETITEMRECT = HDM_FIRST + 7;

// Parts of an HDITEM that a request reads or fills.
inline constexpr UINT HDI_WIDTH = 0x0001, HDI_HEIGHT = HDI_WIDTH, HDI_TEXT = 0x0002,
                      HDI_FORMAT = 0x0004, HDI_LPARAM = 0x0008, HDI_BITMAP = 0x0010,
                      HDI_IMAGE = 0x0020, HDI_ORDER = 0x0080;

inline constexpr int HDF_LEFT = 0x0000, HDF_RIGHT = 0x0001, HDF_CENTER = 0x0002,
                     HDF_JUSTIFYMASK = 0x0003, HDF_BITMAP = 0x2000, HDF_STRING = 0x4000,
                     HDF_OWNERDRAW = 0x8000;

struct HDITEM {
  UINT mask = 0;
  int cxy = 0;
  LPSTR pszText = nullptr;
  HBITMAP hbm = nullptr;
  int cchTextMax = 0;
  int fmt = 0;
  LPARAM lParam = 0;
  int iImage = 0;
  int iOrder = 0;
};

struct HDLAYOUT {
  RECT* prc = nullptr;          // in: the parent's area; out: what is left below the header
  WINDOWPOS* pwpos = nullptr;   // out: the header's place
};

inline constexpr UINT HHT_NOWHERE = 0x0001, HHT_ONHEADER = 0x0002, HHT_ONDIVIDER = 0x0004,
                      HHT_ONDIVOPEN = 0x0008, HHT_ABOVE = 0x0100, HHT_BELOW = 0x0200,
                      HHT_TORIGHT = 0x0400, HHT_TOLEFT = 0x0800;

struct HDHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  int iItem = -1;
};

// Notifications (WM_NOTIFY with an NMHEADER). A non-zero answer to HDN_ITEMCHANGING or
// HDN_BEGINTRACK refuses the change or the drag; to HDN_TRACK it ends the drag.
inline constexpr UINT HDN_FIRST = 0u - 300u;
inline constexpr UINT HDN_ITEMCHANGING = HDN_FIRST - 0, HDN_ITEMCHANGED = HDN_FIRST - 1,
                      HDN_ITEMCLICK = HDN_FIRST - 2, HDN_ITEMDBLCLICK = HDN_FIRST - 3,
                      HDN_DIVIDERDBLCLICK = HDN_FIRST - 5, HDN_BEGINTRACK = HDN_FIRST - 6,
                      HDN_ENDTRACK = HDN_FIRST - 7, HDN_TRACK = HDN_FIRST - 8;

struct NMHEADER {
  NMHDR hdr;
  int iItem = -1;
  int iButton = 0;   // 0 left, 1 right, 2 middle
  HDITEM* pitem = nullptr;
};

}  // namespace win
