#pragma once
// The clipboard of the platform layer: an in-process store of data blocks, one per format,
// and the layer's movable memory blocks that carry them.
//
// Rules the toolkit relies on: a program opens the clipboard (one window at a time), empties
// it to become its owner, hands blocks over with SetClipboardData (the store owns them from
// then on and frees them when they are replaced or emptied), and closes it. Reading needs the
// clipboard open; IsClipboardFormatAvailable does not. A CF_TEXT block holds 8-bit text with
// CR LF line ends and a terminating NUL: a block handed over without a NUL gets one, so a
// reader never runs past the block. CF_BITMAP and CF_ENHMETAFILE hold the drawing layer's
// bitmap and enhanced-metafile handles instead of blocks; the store deletes them when they are
// replaced or emptied. Registered formats are numbered from 0xC000 up, a name
// given again (in any case) gets its number again; they share their numbers with registered
// window messages.
#include <cstddef>
#include <utility>
#include <vector>

#include "platform/win.h"

namespace win {

// Standard formats.
inline constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_OEMTEXT = 7, CF_DIB = 8,
                      CF_UNICODETEXT = 13, CF_ENHMETAFILE = 14;

// Memory blocks (movable; a handle stays valid until freed).
inline constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040,
                      GMEM_DDESHARE = 0x2000, GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
// A block of bytes (a size of 0 gives a block of no bytes); nullptr when there is no room.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL block);       // the block's bytes; nullptr for a handle that is none
BOOL GlobalUnlock(HGLOBAL block);      // FALSE once the block is no longer locked
HGLOBAL GlobalFree(HGLOBAL block);     // nullptr when freed, the handle itself on failure
std::size_t GlobalSize(HGLOBAL block); // 0 for a handle that is none

BOOL OpenClipboard(HWND owner);        // FALSE while another window has it open
BOOL CloseClipboard();
BOOL EmptyClipboard();                 // frees every block; the opener becomes the owner
HGLOBAL SetClipboardData(UINT format, HGLOBAL data);   // the block stored, nullptr on failure
HGLOBAL GetClipboardData(UINT format); // still the store's block; nullptr when absent
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();
UINT EnumClipboardFormats(UINT format);  // the format after format (0: the first), 0 at the end
HWND GetClipboardOwner();
UINT RegisterClipboardFormat(LPCSTR name);   // 0 for an empty name or a full table
// Copies the registered name (at most size - 1 characters and a NUL) and returns its length;
// 0 for a standard or unknown format.
int GetClipboardFormatName(UINT format, LPSTR name, int size);

namespace clipboard {
int liveBlocks();   // memory blocks not yet freed, for the tests

// The bridge to the desktop's clipboard, installed by a display backend. publish: the store
// changed (emptied or set) while it was open and has just been closed: offer it to the
// desktop. refresh: the program is about to look at the store: when another program holds
// the desktop's clipboard, take its data in (replaceFromDesktop). Empty: the store is the
// program's own.
struct Bridge {
  void (*publish)() = nullptr;
  void (*refresh)() = nullptr;
};
inline Bridge bridge;
// The formats in the store, the bytes of one held in a block, and the data handle of one
// (a bitmap or metafile object for CF_BITMAP and CF_ENHMETAFILE), for the bridge (no need
// to open it).
std::vector<UINT> storedFormats();
std::vector<unsigned char> storedBytes(UINT format);
HGLOBAL storedHandle(UINT format);
// Replaces the store's contents by the desktop's: blocks made of items, and objects (bitmaps,
// metafiles) that the store takes over. No window owns them then.
void replaceFromDesktop(const std::vector<std::pair<UINT, std::vector<unsigned char>>>& items,
                        const std::vector<std::pair<UINT, HGLOBAL>>& objects = {});
// The store's picture as the desktop gets it: the enhanced metafile (over its frame), else
// the metafile picture (over its extent), played onto white at 96 pixels per inch, else the
// bitmap, as PNG file bytes; the metafile as SVG file bytes, at the PNG's size. Empty when the
// store holds no such picture.
std::vector<unsigned char> desktopPng();
std::vector<unsigned char> desktopSvg();
}  // namespace clipboard

}  // namespace win
