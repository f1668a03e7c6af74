// The regression plot as other programs get it: copied to the clipboard (the PNG the desktop
// is offered), saved as a Windows metafile (drawn by libwmf) and printed (the PDF page drawn
// by pdftoppm). The key's texts must come out whole in every one, as on the screen.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
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

TEST_F(RegressionPlotPictures, TheKeyTextsAreWholeWhenCopied) {
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(tw::test::usgsproject());
  win::test::clearMessageBoxAnswers();
  std::vector<unsigned char> png, wmf;
  std::pair<int, int> extent;
  tw::test::scriptuser({[] { clickfield(1029); },   // Finished
                        [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40022, 0); },
                        [&] {
                          win::test::savePng(winslot(0).hClient, shot("regplot_screen.png"), false);
                          png = win::clipboard::desktopPng();
                          if (win::OpenClipboard(nullptr)) {
                            win::HGLOBAL block = win::GetClipboardData(win::CF_METAFILEPICT);
                            const auto* words = static_cast<const std::int32_t*>(win::GlobalLock(block));
                            if (words) {
                              const auto mf = reinterpret_cast<win::HMETAFILE>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(words[3])));
                              wmf.resize(win::GetMetaFileBitsEx(mf, 0, nullptr));
                              win::GetMetaFileBitsEx(mf, static_cast<win::UINT>(wmf.size()), wmf.data());
                              extent = {words[1], words[2]};
                              win::GlobalUnlock(block);
                            }
                            win::CloseClipboard();
                          }
                          // Saved as a placeable metafile and printed on the PDF printer.
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
  ASSERT_TRUE(write(shot("regplot_clipboard.png"), png));
  ASSERT_TRUE(write(shot("regplot_clipboard.wmf"), wmf));
  std::printf("extent %d %d\n", extent.first, extent.second);
  fs::copy_file(folder / "regplot.wmf", shot("regplot_saved.wmf"), fs::copy_options::overwrite_existing);
  hc::run("wmf2gd -t png -o '" + shot("regplot_saved_wmf2gd.png") + "' '" + shot("regplot_saved.wmf") + "'");
  hc::run("pdftoppm -r 96 -png -singlefile '" + (folder / "Tessaraweld graphic.pdf").string() + "' '" + shot("regplot_printed") + "'");
}

}  // namespace
