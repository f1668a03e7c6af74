#pragma once
// Shared by the control tests: a fixture on a fresh headless backend with a parent window
// that records the notifications its controls send and can answer their colour messages,
// and small readers of what a control holds.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/header.h"
#include "platform/test_api.h"
#include "platform/updown.h"

namespace ctltest {

struct Parent {
  std::vector<std::pair<int, int>> commands;   // (control identifier, notification code)
  std::vector<win::UINT> notifyCodes;          // WM_NOTIFY codes
  std::vector<std::pair<int, int>> deltas;      // (position, step) of each UDN_DELTAPOS
  std::vector<std::pair<int, int>> headerItems; // (item, width or -1) of each header notification
  int correctTrackTo = -1;                      // a width the parent puts into every HDN_TRACK
  std::vector<std::pair<win::UINT, int>> scrolls;   // (WM_HSCROLL or WM_VSCROLL, request)
  std::vector<win::UINT> colourMessages;
  win::HBRUSH brush = nullptr;                 // answered to every colour message when set
  win::COLORREF textColour = 0;
  win::LRESULT notifyAnswer = 0;
};

inline Parent& parent() {
  static Parent p;
  return p;
}

inline win::LRESULT parentProc(win::HWND h, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  Parent& p = parent();
  switch (msg) {
    case win::WM_COMMAND:
      p.commands.emplace_back(static_cast<short>(win::LOWORD(w)), win::HIWORD(w));
      return 0;
    case win::WM_NOTIFY:
      p.notifyCodes.push_back(reinterpret_cast<const win::NMHDR*>(l)->code);
      if (reinterpret_cast<const win::NMHDR*>(l)->code == win::UDN_DELTAPOS) {
        const auto* nm = reinterpret_cast<const win::NMUPDOWN*>(l);
        p.deltas.emplace_back(nm->iPos, nm->iDelta);
      }
      if (const auto* hd = reinterpret_cast<const win::NMHEADER*>(l);
          hd->hdr.code >= win::HDN_TRACK && hd->hdr.code <= win::HDN_ITEMCHANGING) {
        p.headerItems.emplace_back(hd->iItem, hd->pitem ? hd->pitem->cxy : -1);
        if (hd->hdr.code == win::HDN_TRACK && p.correctTrackTo >= 0) hd->pitem->cxy = p.correctTrackTo;
      }
      return p.notifyAnswer;
    case win::WM_HSCROLL:
    case win::WM_VSCROLL:
      p.scrolls.emplace_back(msg, win::LOWORD(w));
      return 0;
    case win::WM_CTLCOLOREDIT: case win::WM_CTLCOLORSTATIC: case win::WM_CTLCOLORLISTBOX:
    case win::WM_CTLCOLORBTN: case win::WM_CTLCOLORSCROLLBAR:
      p.colourMessages.push_back(msg);
      if (p.brush) {
        win::SetTextColor(reinterpret_cast<win::HDC>(w), p.textColour);
        return reinterpret_cast<win::LRESULT>(p.brush);
      }
      return 0;
    default:
      return win::DefWindowProc(h, msg, w, l);
  }
}

// Codes of the notifications a control sent, in order.
inline std::vector<int> codesFrom(int id) {
  std::vector<int> out;
  for (const auto& [cid, code] : parent().commands)
    if (cid == id) out.push_back(code);
  return out;
}

inline bool sent(int id, int code) {
  for (const auto& [cid, c] : parent().commands)
    if (cid == id && c == code) return true;
  return false;
}

inline std::string textOf(win::HWND h) {
  const int n = win::GetWindowTextLength(h);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  win::GetWindowText(h, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

// Screen position of a client point of h.
inline win::POINT screenOf(win::HWND h, int x, int y) {
  win::POINT p{x, y};
  win::ClientToScreen(h, p);
  return p;
}

inline void clickAt(win::HWND h, int x, int y) {
  const win::POINT p = screenOf(h, x, y);
  win::test::click(p.x, p.y);
  win::test::runUntilIdle();
}

class Fixture : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::reset();
    parent() = Parent{};
    win::RegisterDialogClasses();
    win::WNDCLASS wc;
    wc.lpfnWndProc = parentProc;
    wc.lpszClassName = "CtlTestParent";
    wc.hbrBackground = reinterpret_cast<win::HBRUSH>(static_cast<std::uintptr_t>(win::COLOR_BTNFACE + 1));
    win::RegisterClass(wc);
    top = win::CreateWindowEx(0, "CtlTestParent", "Controls", win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE, 50, 50,
                              500, 400, nullptr, nullptr, nullptr, nullptr);
    win::test::runUntilIdle();
  }
  void TearDown() override {
    if (parent().brush) win::DeleteObject(parent().brush);
    if (font) win::DeleteObject(font);
    parent() = Parent{};
    win::test::reset();
  }

  // A control child of the test window, shown, with the dialog font of 8 points.
  win::HWND make(const char* cls, win::DWORD style, int x, int y, int w, int h, int id, const char* text = "") {
    win::HWND c = win::CreateWindowEx(0, cls, text, style | win::WS_CHILD | win::WS_VISIBLE, x, y, w, h, top,
                                      reinterpret_cast<win::HMENU>(static_cast<win::LONG_PTR>(id)), nullptr, nullptr);
    if (c) {
      if (!font) font = win::CreateFont(-11, 0, 0, 0, win::FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
      win::SendMessage(c, win::WM_SETFONT, reinterpret_cast<win::WPARAM>(font), 0);
    }
    win::test::runUntilIdle();
    return c;
  }

  win::HWND top = nullptr;
  win::HFONT font = nullptr;
};

}  // namespace ctltest
