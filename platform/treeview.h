#pragma once
// platform/treeview.h: the tree view control class ("SysTreeView32") of the platform layer:
// items with texts and program words in a hierarchy of expandable branches, one of them
// selected, in the names and numbers the toolkit was designed on (the 8-bit forms, without
// their "A" suffix). Texts are 8-bit (Windows-1252), NUL-terminated. The class registers with
// the dialog classes (RegisterDialogClasses).
#include "platform/win.h"

struct TREEITEM__;

namespace win {

using HTREEITEM = ::TREEITEM__*;

inline const LPCSTR WC_TREEVIEW = "SysTreeView32";

inline constexpr DWORD TVS_HASBUTTONS = 0x0001, TVS_HASLINES = 0x0002, TVS_LINESATROOT = 0x0004,
                       TVS_EDITLABELS = 0x0008, TVS_DISABLEDRAGDROP = 0x0010,
                       TVS_SHOWSELALWAYS = 0x0020;

inline constexpr UINT TV_FIRST = 0x1100;
inline constexpr UINT TVM_INSERTITEM = TV_FIRST + 0, TVM_DELETEITEM = TV_FIRST + 1,
                      TVM_EXPAND = TV_FIRST + 2, TVM_GETITEMRECT = TV_FIRST + 4,
                      TVM_GETCOUNT = TV_FIRST + 5, TVM_GETINDENT = TV_FIRST + 6,
                      TVM_SETINDENT = TV_FIRST + 7, TVM_GETNEXTITEM = TV_FIRST + 10,
                      TVM_SELECTITEM = TV_FIRST + 11, TVM_GETITEM = TV_FIRST + 12,
                      TVM_SETITEM = TV_FIRST + 13, TVM_GETVISIBLECOUNT = TV_FIRST + 16,
                      TVM_HITTEST = TV_FIRST + 17, TVM_SORTCHILDREN = TV_FIRST + 19,
                      TVM_ENSUREVISIBLE = TV_FIRST + 20;

inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));
inline const HTREEITEM TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFD));

inline constexpr WPARAM TVGN_ROOT = 0x0, TVGN_NEXT = 0x1, TVGN_PREVIOUS = 0x2, TVGN_PARENT = 0x3,
                        TVGN_CHILD = 0x4, TVGN_FIRSTVISIBLE = 0x5, TVGN_NEXTVISIBLE = 0x6,
                        TVGN_PREVIOUSVISIBLE = 0x7, TVGN_DROPHILITE = 0x8, TVGN_CARET = 0x9,
                        TVGN_LASTVISIBLE = 0xA;

inline constexpr WPARAM TVE_COLLAPSE = 0x1, TVE_EXPAND = 0x2, TVE_TOGGLE = 0x3;

inline constexpr UINT TVIF_TEXT = 0x0001, TVIF_IMAGE = 0x0002, TVIF_PARAM = 0x0004,
                      TVIF_STATE = 0x0008, TVIF_HANDLE = 0x0010, TVIF_SELECTEDIMAGE = 0x0020,
                      TVIF_CHILDREN = 0x0040;

inline constexpr UINT TVIS_SELECTED = 0x0002, TVIS_CUT = 0x0004, TVIS_DROPHILITED = 0x0008,
                      TVIS_BOLD = 0x0010, TVIS_EXPANDED = 0x0020, TVIS_EXPANDEDONCE = 0x0040;

struct TVITEM {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = 0;
  int iSelectedImage = 0;
  int cChildren = 0;
  LPARAM lParam = 0;
};

struct TVINSERTSTRUCT {
  HTREEITEM hParent = nullptr;
  HTREEITEM hInsertAfter = nullptr;
  TVITEM item;
};

inline constexpr UINT TVHT_NOWHERE = 0x0001, TVHT_ONITEMICON = 0x0002, TVHT_ONITEMLABEL = 0x0004,
                      TVHT_ONITEMINDENT = 0x0008, TVHT_ONITEMBUTTON = 0x0010,
                      TVHT_ONITEMRIGHT = 0x0020, TVHT_ONITEM = 0x0046, TVHT_ABOVE = 0x0100,
                      TVHT_BELOW = 0x0200;

struct TVHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  HTREEITEM hItem = nullptr;
};

// Notifications (WM_NOTIFY; NMTREEVIEW for the TVN_ codes). A non-zero answer to
// TVN_SELCHANGING or TVN_ITEMEXPANDING refuses the change.
inline constexpr UINT TVN_FIRST = 0u - 400u;
inline constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1, TVN_SELCHANGED = TVN_FIRST - 2,
                      TVN_ITEMEXPANDING = TVN_FIRST - 5, TVN_ITEMEXPANDED = TVN_FIRST - 6,
                      TVN_DELETEITEM = TVN_FIRST - 9, TVN_KEYDOWN = TVN_FIRST - 12;
inline constexpr UINT NM_CLICK = 0u - 2u, NM_DBLCLK = 0u - 3u, NM_RETURN = 0u - 4u,
                      NM_SETFOCUS = 0u - 7u, NM_KILLFOCUS = 0u - 8u;

// How a selection changed (action of TVN_SELCHANGING and TVN_SELCHANGED).
inline constexpr UINT TVC_UNKNOWN = 0x0, TVC_BYMOUSE = 0x1, TVC_BYKEYBOARD = 0x2;

struct NMTREEVIEW {
  NMHDR hdr;
  UINT action = 0;
  TVITEM itemOld;
  TVITEM itemNew;
  POINT ptDrag;
};

}  // namespace win
