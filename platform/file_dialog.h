#pragma once
// platform/file_dialog.h: the open and save file dialogs, in the names and numbers the
// toolkit was designed on. The dialog lists the folders and the files of the chosen type in
// one folder; a folder is entered by a double click, by typing its name, or by the folder
// field; a file is chosen by a click and OK or by a double click, or typed. The result is the
// full path, or with several files the folder, a NUL, each name and a NUL, and a second NUL.
#include "platform/win.h"

namespace win {

inline constexpr DWORD OFN_READONLY = 0x00000001, OFN_OVERWRITEPROMPT = 0x00000002,
                       OFN_HIDEREADONLY = 0x00000004, OFN_NOCHANGEDIR = 0x00000008,
                       OFN_NOVALIDATE = 0x00000100, OFN_ALLOWMULTISELECT = 0x00000200,
                       OFN_PATHMUSTEXIST = 0x00000800, OFN_FILEMUSTEXIST = 0x00001000,
                       OFN_CREATEPROMPT = 0x00002000, OFN_EXPLORER = 0x00080000;
// Extended errors (CommDlgExtendedError).
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003, CDERR_INITIALIZATION = 0x0002;

struct OPENFILENAME {
  DWORD lStructSize = sizeof(OPENFILENAME);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  LPCSTR lpstrFilter = nullptr;      // pairs of NUL-terminated texts, ended by an empty one
  DWORD nFilterIndex = 1;            // 1-based, in and out
  LPSTR lpstrFile = nullptr;         // in: the initial name; out: the result
  DWORD nMaxFile = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  LPCSTR lpstrDefExt = nullptr;      // empty text: the extension of the chosen type
};

// TRUE when the user chose; FALSE on cancel or failure (CommDlgExtendedError tells which).
BOOL GetOpenFileName(OPENFILENAME& ofn);
BOOL GetSaveFileName(OPENFILENAME& ofn);
DWORD CommDlgExtendedError();

}  // namespace win
