#pragma once
// The fixture of the editor's tests: a screen, the editor buffers, a folder of the test's own
// for files, and child windows as "Browse text file" opens them (caption, system menu, boxes,
// status bar), each closed at the end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/message_box.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/window/childwin.h"

namespace twtest {

class EditorWindowFixture : public ScreenFixture {
 protected:
  // prefix: the name of the test's folder under the temporary directory.
  explicit EditorWindowFixture(std::string prefix) : prefix_(std::move(prefix)) {}
  void SetUp() override {
    ScreenFixture::SetUp();
    openScreen(600, 400);
    yyeditbufalloc();
    wmessageenable(EV_CLOSE, 1);
    wmessageenable(EV_COMMAND, 1);
    dir = std::filesystem::temp_directory_path() / (prefix_ + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    win::test::clearMessageBoxes();
  }
  void TearDown() override {
    win::test::clearMessageBoxAnswers();
    for (int w = 1; w < MAXWINDOWS; ++w)
      if (winslot(w).wWindow != nullptr) WindowCloseChild(w);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    ScreenFixture::TearDown();
  }
  int child() {
    WindowOpenChildOptions o;
    o.flags = 39;
    o.width = 400;
    o.height = 300;
    o.title = "Text Editor";
    int n = 0;
    WindowOpenChild(n, o);
    EXPECT_GT(n, 0);
    return n;
  }
  std::string file(const std::string& name, const std::string& text) {
    const auto p = dir / name;
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }
  static EditorRecord* record(int w) { return yyeditrecord(winslot(w).wWindow); }
  std::filesystem::path dir;

 private:
  std::string prefix_;
};

}  // namespace twtest
