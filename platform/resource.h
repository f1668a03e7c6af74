#pragma once
// Resource loaders over the program's compiled resource table (tools/rc): find a resource by
// type and name, read its bytes, load strings and accelerator tables. Names and types compare
// case-insensitively; an integer name or type is passed as MAKEINTRESOURCE(n), or as "#n".
#include <cstdint>

#include "platform/resource_table.h"
#include "platform/win.h"

namespace win {

// HRSRC, HGLOBAL from LoadResource and HACCEL are small numbers, like every handle of the
// layer, so that they fit 32-bit words.
inline const LPCSTR RT_CURSOR = MAKEINTRESOURCE(1);
inline const LPCSTR RT_BITMAP = MAKEINTRESOURCE(2);
inline const LPCSTR RT_ICON = MAKEINTRESOURCE(3);
inline const LPCSTR RT_MENU = MAKEINTRESOURCE(4);
inline const LPCSTR RT_DIALOG = MAKEINTRESOURCE(5);
inline const LPCSTR RT_STRING = MAKEINTRESOURCE(6);
inline const LPCSTR RT_ACCELERATOR = MAKEINTRESOURCE(9);
inline const LPCSTR RT_RCDATA = MAKEINTRESOURCE(10);
inline const LPCSTR RT_GROUP_CURSOR = MAKEINTRESOURCE(12);
inline const LPCSTR RT_GROUP_ICON = MAKEINTRESOURCE(14);

// Accelerator flags and one decoded entry of an accelerator table.
constexpr BYTE FVIRTKEY = 0x01, FNOINVERT = 0x02, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10;
struct ACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
};

// The resource of that name and type, or null. The module is ignored: every table belongs to
// the program.
HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type);
// A handle to the resource's bytes (valid for the whole run), null for a null resource.
HGLOBAL LoadResource(HMODULE module, HRSRC res);
// The first byte of the resource (read-only), null for a handle that is none.
const void* LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC res);
BOOL FreeResource(HGLOBAL data);  // resources live for the run: nothing to free

// Copies string table entry id as Windows-1252 text into buffer (at most bufferMax - 1
// characters and a NUL); returns the characters copied, 0 when there is no such string.
int LoadString(HINSTANCE instance, UINT id, char* buffer, int bufferMax);

// The ACCELERATORS resource of that name, decoded once and kept for the run; null if absent.
HACCEL LoadAccelerators(HINSTANCE instance, LPCSTR name);
// Copies up to count entries into entries (null: none) and returns the number copied, or the
// table's length when entries is null.
int CopyAcceleratorTable(HACCEL table, ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);  // tables from resources are kept: no-op

}  // namespace win
