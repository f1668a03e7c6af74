// The regression plot as other programs get it: copied to the clipboard (the PNG the desktop
// is offered), saved as a Windows metafile (drawn by libwmf) and printed (the PDF page drawn
// by pdftoppm). The key's texts must come out whole in every one, as on the screen.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <utility>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/mainprogram.h"
#include "app/modules.h"
#include "app/plots.h"
#include "platform/clipboard.h"
#include "platform/gdi.h"
#include "platform/message_box.h"
#include "platform/printer.h"
#include "platform/test_api.h"
#include "tests/support/tools.h"
#include "tests/app/usgs_project.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/scripted_user.h"
#include "tests/window/window_fixture.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/hcdrivers/manager.h"

namespace fs = std::filesystem;

namespace {

std::string shot(const std::string& name) { return (fs::path(TW_SHOT_DIR) / name).string(); }

void clickfield(int id) {
  win::RECT r{};
  win::GetWindowRect(win::GetDlgItem(yycurrentdialog(), id), r);
  win::test::click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool write(const fs::path& file, const std::vector<unsigned char>& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out) && !bytes.empty();
}

class RegressionPlotPictures : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    before = fs::current_path();
    folder = fs::temp_directory_path() / ("tw_regplot_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::current_path(folder);   // the PDF printer writes "<title>.pdf" here
    win::test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});
  }
  void TearDown() override {
    win::test::setIdleHook(nullptr);
    WindowFixture::TearDown();
    win::test::resetPrinters();
    fs::current_path(before);
    fs::remove_all(folder);
  }
  fs::path before, folder;
};

// A Windows metafile's key texts: where each starts and how far its recorded advances take it,
// and the window's width (the picture's right edge).
struct KeyText {
  std::string text;
  long x = 0, end = 0;
};
struct Recorded {
  long width = 0;
  std::vector<KeyText> texts;
};

Recorded readwmf(const std::vector<unsigned char>& b) {
  Recorded r;
  auto u16 = [&b](std::size_t at) { return static_cast<unsigned>(b[at] | (b[at + 1] << 8)); };
  auto s16 = [&](std::size_t at) { return static_cast<long>(static_cast<std::int16_t>(u16(at))); };
  std::size_t at = 18;
  while (at + 6 <= b.size()) {
    const std::size_t size = 2 * (u16(at) | (static_cast<std::size_t>(u16(at + 2)) << 16));
    const unsigned function = u16(at + 4);
    if (size < 6 || at + size > b.size()) break;
    const std::size_t p = at + 6;
    if (function == 0x020C) r.width = s16(p + 2);   // SETWINDOWEXT: y, x
    if (function == 0x0A32 && size >= 14) {         // EXTTEXTOUT: y, x, count, options[, rectangle], text, advances
      KeyText t;
      t.x = s16(p + 2);
      const std::size_t n = u16(p + 4), options = u16(p + 6);
      const std::size_t text = p + 8 + ((options & 6) != 0 ? 8 : 0);
      t.text.assign(reinterpret_cast<const char*>(&b[text]), std::min(n, at + size - text));
      t.end = t.x;
      for (std::size_t k = 0, dx = text + n + (n % 2); k < n && dx + 2 <= at + size; ++k, dx += 2) t.end += s16(dx);
      r.texts.push_back(t);
    }
    at += size;
  }
  return r;
}

// How many of a picture's last columns are free of ink, as PIL reads the PNG.
int freecolumns(const std::string& png) {
  const hc::Run r = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                            "im = Image.open('" + png + "').convert('RGB')\n"
                            "w, h = im.size\n"
                            "px = im.load()\n"
                            "n = 0\n"
                            "while n < w and all(px[w - 1 - n, y] == (255, 255, 255) for y in range(h)): n += 1\n"
                            "print(n)\"");
  return r.status == 0 ? std::atoi(r.output.c_str()) : -1;
}

constexpr const char* kKeys[] = {"Observed Baseflow", "Estimated Baseflow", "Estimated Trend"};

// The plot copied (menu command), then saved as a placeable metafile and printed on the PDF
// printer from the same window. The clipboard's picture as the desktop gets it, the saved file
// drawn by libwmf and the page drawn by pdftoppm keep the key's texts whole: nothing reaches the
// picture's right edge, and the recording places each text's last letter inside it.
TEST_F(RegressionPlotPictures, TheKeyTextsAreWholeWhenCopiedSavedAndPrinted) {
  ASSERT_TRUE(tw::test::needtool("wmf2gd", "libwmf-bin"));
  ASSERT_TRUE(tw::test::needtool("pdftoppm", "poppler-utils"));
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(tw::test::usgsproject());
  win::test::clearMessageBoxAnswers();
  std::vector<unsigned char> png, wmf;
  tw::test::scriptuser({[] { clickfield(1029); },   // Finished
                        [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40022, 0); },
                        [&] {
                          win::test::savePng(winslot(0).hClient, shot("regplot_screen.png"), false);
                          png = win::clipboard::desktopPng();
                          if (win::OpenClipboard(nullptr)) {
                            win::HGLOBAL block = win::GetClipboardData(win::CF_METAFILEPICT);
                            if (const auto* words = static_cast<const std::int32_t*>(win::GlobalLock(block))) {
                              const auto mf = reinterpret_cast<win::HMETAFILE>(
                                  static_cast<std::uintptr_t>(static_cast<std::uint32_t>(words[3])));
                              wmf.resize(win::GetMetaFileBitsEx(mf, 0, nullptr));
                              win::GetMetaFileBitsEx(mf, static_cast<win::UINT>(wmf.size()), wmf.data());
                              win::GlobalUnlock(block);
                            }
                            win::CloseClipboard();
                          }
                          igrhardcopyselect(1, HCWMF);
                          igrhardcopy("regplot.wmf");
                          displayplot();
                          igrhardcopy("S");
                          igrhardcopyselect(1, HCWINPRINTER);
                          igrhardcopy();
                          displayplot();
                          igrhardcopy("S");
                          win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0);
                        }},
                       {'N'});
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40008, 0);
  EXPECT_FALSE(mainprogram_turn());
  win::test::setIdleHook(nullptr);

  // The clipboard's metafile: every key text recorded whole inside the picture.
  const Recorded recorded = readwmf(wmf);
  ASSERT_GT(recorded.width, 0);
  for (const char* key : kKeys) {
    const auto it = std::find_if(recorded.texts.begin(), recorded.texts.end(),
                                 [key](const KeyText& t) { return t.text == key; });
    ASSERT_NE(it, recorded.texts.end()) << key << " is recorded whole";
    EXPECT_GT(it->end, it->x) << key << " carries its advances";
    EXPECT_LE(it->end, recorded.width) << key << " ends inside the picture";
  }

  // The PNG the desktop is offered, the saved file drawn by libwmf, the printed page.
  ASSERT_TRUE(write(shot("regplot_clipboard.png"), png));
  EXPECT_GE(freecolumns(shot("regplot_clipboard.png")), 1) << "the key's last letters stay inside the copied picture";
  const fs::path saved = folder / "regplot.wmf";
  ASSERT_TRUE(fs::exists(saved));
  fs::copy_file(saved, shot("regplot_saved.wmf"), fs::copy_options::overwrite_existing);
  const hc::Run g = hc::run("wmf2gd -t png -o '" + shot("regplot_saved_wmf2gd.png") + "' '" + saved.string() + "'");
  ASSERT_EQ(g.status, 0) << g.output;
  EXPECT_GE(freecolumns(shot("regplot_saved_wmf2gd.png")), 1) << "libwmf draws the key inside the picture";
  const fs::path pdf = folder / "Tessaraweld graphic.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  const hc::Run page = hc::run("pdftoppm -r 96 -png -singlefile '" + pdf.string() + "' '" + shot("regplot_printed") + "'");
  ASSERT_EQ(page.status, 0) << page.output;
  const hc::Run text = hc::run("pdftotext -layout '" + pdf.string() + "' -");
  for (const char* key : kKeys) EXPECT_NE(text.output.find(key), std::string::npos) << key << " printed whole";
}

}  // namespace
