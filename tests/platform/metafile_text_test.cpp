// Texts of a recording played at another size: each character lands where the recording
// measured it, so a text fitted to the picture at recording time stays whole at any size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace {

using namespace win;

struct Case {
  const char* face;
  int em, width;     // the font in the recording's units
  int pixels;        // the picture's width when played
  const char* text;
};

// Recorded on a 7561 x 5401 page, as a plot's metafile is, the text ending near the right edge.
constexpr int kPageW = 7561, kPageH = 5401;

TEST(MetafileText, PlayedAtAnySizeTheTextSpansWhatTheRecordingMeasured) {
  const Case cases[] = {
      {"Arial", 155, 58, 1008, "Estimated Baseflow"},   // the plot's key on the clipboard
      {"Arial", 155, 58, 720, "Observed Baseflow"},
      {"Arial", 155, 58, 2016, "Estimated Trend"},
      {"Times New Roman", 177, 0, 1008, "Regression results"},
      {"Courier New", 106, 43, 850, "Aggregation period = Jul to Jun"},
  };
  for (const bool enhanced : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.face) + " " + c.text + " at " + std::to_string(c.pixels) +
                   (enhanced ? " (enhanced)" : " (Windows metafile)"));
      const RECT frame{0, 0, kPageW * 2540 / 720, kPageH * 2540 / 720};
      HDC rec = enhanced ? CreateEnhMetaFile(nullptr, nullptr, &frame, nullptr) : CreateMetaFile(nullptr);
      ASSERT_NE(rec, nullptr);
      if (!enhanced) SetMapMode(rec, MM_ANISOTROPIC);
      SetWindowExtEx(rec, kPageW, kPageH, nullptr);
      HFONT font = CreateFont(-c.em, c.width, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY,
                              FF_SWISS | VARIABLE_PITCH, c.face);
      HGDIOBJ was = SelectObject(rec, font);
      const int n = static_cast<int>(std::string(c.text).size());
      SIZE measured{};
      ASSERT_TRUE(GetTextExtentPoint32(rec, c.text, n, measured));
      const int x = kPageW - 60 - measured.cx, y = kPageH / 2;   // ends a few pixels inside the page
      SetTextAlign(rec, TA_BASELINE | TA_LEFT);
      TextOut(rec, x, y, c.text, n);
      SelectObject(rec, was);
      DeleteObject(font);

      const int w = c.pixels, h = static_cast<int>(std::lround(static_cast<double>(c.pixels) * kPageH / kPageW));
      HDC dc = CreateCompatibleDC(nullptr);
      HBITMAP bm = CreateBitmap(w, h, 1, 32, nullptr);
      HGDIOBJ old = SelectObject(dc, bm);
      HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
      FillRect(dc, RECT{0, 0, w, h}, white);
      DeleteObject(white);
      if (enhanced) {
        HENHMETAFILE mf = CloseEnhMetaFile(rec);
        PlayEnhMetaFile(dc, mf, RECT{0, 0, w, h});
        DeleteEnhMetaFile(mf);
      } else {
        HMETAFILE mf = CloseMetaFile(rec);
        SetMapMode(dc, MM_ANISOTROPIC);   // as the clipboard's picture is played for the desktop
        SetViewportExtEx(dc, w, h, nullptr);
        PlayMetaFile(dc, mf);
        DeleteMetaFile(mf);
        SetMapMode(dc, MM_TEXT);
      }
      // The ink's columns, left and right.
      int first = -1, last = -1;
      for (int px = 0; px < w; ++px)
        for (int py = 0; py < h; ++py)
          if ((GetPixel(dc, px, py) & 0xFFFFFF) != 0xFFFFFF) {
            if (first < 0) first = px;
            last = px;
            break;
          }
      SelectObject(dc, old);
      DeleteObject(bm);
      DeleteDC(dc);
      ASSERT_GE(first, 0) << "the text is drawn";
      const double scale = static_cast<double>(w) / kPageW;
      const double start = x * scale, end = (x + measured.cx) * scale;
      EXPECT_LE(last, w - 2) << "the last letter stays inside the picture, unclipped";
      // The ink ends where the recording measured the text to end, less the last letter's
      // own margin (at most an eighth of its height).
      EXPECT_LE(last + 1, end + 2.0) << "the text runs no further than the recording measured";
      EXPECT_GE(last + 1, end - 0.125 * c.em * scale - 1.0) << "the last letter is drawn";
      EXPECT_NEAR(first, start, 0.125 * c.em * scale + 1.0);
    }
  }
}

}  // namespace
