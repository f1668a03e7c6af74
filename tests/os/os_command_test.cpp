// Commands with and without waiting, and ending the program.
#include <signal.h>

#include <thread>

#include "platform/message_box.h"
#include "platform/os.h"
#include "platform/os_pump.h"
#include "platform/win.h"
#include "tests/os/os_fixture.h"
#include "tests/support/message_boxes.h"
#include "toolkit/os/opsys.h"

namespace {
// Waits (up to ten seconds) for a file that a background command writes.
bool appears(const std::string& name) {
  for (int i = 0; i < 1000; ++i) {
    if (std::filesystem::exists(name)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}
}  // namespace

TEST(Yycmnd, WaitsForTheEndAndPumpsPaint) {
  TempDir here;
  int pumped = 0;
  win::setpaintpump([&pumped] { ++pumped; });
  int status = 0;
  win::yycmnd("sleep 0.3; echo done > out.txt; exit 3", 1, 1, -1, status);
  win::setpaintpump(nullptr);
  EXPECT_EQ(status, 32) << "ended, whatever its exit code";
  EXPECT_EQ(read("out.txt"), "done\n");
  EXPECT_GE(pumped, 2) << "the pump runs while the command runs";
}

TEST(Yycmnd, WithTimeOutLeavesALongCommandRunning) {
  TempDir here;
  int status = 0;
  win::yycmnd("echo $$ > pid.txt; sleep 30", 0, 1, 1, status);
  EXPECT_EQ(status, -1);
  ASSERT_TRUE(appears("pid.txt"));
  const int pid = std::stoi(read("pid.txt"));
  EXPECT_EQ(kill(pid, 0), 0) << "the command is still running";
  kill(-pid, SIGKILL);  // the shell leads the command's process group

  win::yycmnd("true", 0, 1, 5, status);
  EXPECT_EQ(status, 32) << "a command that ends within the time-out";
}

TEST(Yycmnd, WithoutWaitReturnsAtOnce) {
  TempDir here;
  int status = 0;
  win::yycmnd("sleep 0.2; echo later > late.txt", 0, 0, -1, status);
  EXPECT_GT(status, 31) << "started";
  EXPECT_FALSE(exists("late.txt")) << "not awaited";
  EXPECT_TRUE(appears("late.txt"));
  int result = 0;
  win::yyexec(result, "echo direct > direct.txt");
  EXPECT_GT(result, 31);
  EXPECT_TRUE(appears("direct.txt"));
}

TEST(Yyrun, GivesTheExitStatus) {
  TempDir here;
  struct Case {
    const char* why;
    const char* command;
    int exitcode;
  };
  const Case cases[] = {
      {"success", "true", 0},
      {"the command's own code", "exit 5", 5},
      {"a missing program is the shell's 127", "/nonexistent/program", 127},
      {"ended by a signal: 128 + the signal", "kill -TERM $$", 128 + SIGTERM},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    int status = -1, exitcode = -1;
    win::yyrun(c.command, status, exitcode);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(exitcode, c.exitcode);
  }
}

TEST(Yycmnd, ProcessThatCannotStartGivesItsCode) {
  TempDir here;
  int status = 0;
  win::test::failNext("CreateProcess", 2);
  win::yycmnd("true", 0, 1, -1, status);
  EXPECT_EQ(status, 2);
}

TEST(Yywinmessagebox, ShowsTaskModalErrorBoxWithOk) {
  win::test::clearMessageBoxes();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  yywinmessagebox("Tessaraweld", "Abnormal exit (code 3) : Stopped");
  ASSERT_EQ(win::test::messageBoxes().size(), 1u);
  const auto& box = win::test::messageBoxes().back();
  EXPECT_EQ(box.title, "Tessaraweld");
  EXPECT_EQ(box.text, "Abnormal exit (code 3) : Stopped");
  EXPECT_EQ(box.style & win::MB_TYPEMASK, win::MB_OK);
  EXPECT_EQ(box.style & win::MB_ICONMASK, win::MB_ICONHAND);
}

TEST(Iosexitprogram, ShowsMessageThenEndsWithCode) {
  EXPECT_EXIT(
      {
        tw::test::reportBoxesAtExit();
        iosexitprogram("Stopped   ", 3);
      },
      ::testing::ExitedWithCode(3), "\\[Tessaraweld\\] Abnormal exit \\(code 3\\) : Stopped\n");
}

TEST(Iosexitprogram, BlankMessageEndsSilently) {
  EXPECT_EXIT(
      {
        tw::test::reportBoxesAtExit();
        std::fprintf(stderr, "begin\n");
        iosexitprogram("   ", 7);
      },
      ::testing::ExitedWithCode(7), "^begin\n$");
}

namespace {
int paints = 0, others = 0;
win::LRESULT countingProc(win::HWND h, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  if (msg == win::WM_PAINT) {
    ++paints;
    win::PAINTSTRUCT ps;
    win::BeginPaint(h, ps);
    win::EndPaint(h, ps);
    return 0;
  }
  if (msg == win::WM_USER + 5) ++others;
  return win::DefWindowProc(h, msg, w, l);
}
}  // namespace

// While a command is awaited the windows are repainted, and input arriving meanwhile is
// thrown away.
TEST(Paintonlypump, DispatchesPaintAndDiscardsTheRest) {
  win::WNDCLASS wc;
  wc.lpfnWndProc = countingProc;
  wc.lpszClassName = "OsPumpProbe";
  ASSERT_NE(win::RegisterClass(wc), 0);
  win::HWND h = win::CreateWindowEx(0, "OsPumpProbe", "probe", win::WS_OVERLAPPEDWINDOW |
                                    win::WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                    nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  win::UpdateWindow(h);
  paints = others = 0;
  win::InvalidateRect(h, nullptr, win::TRUE);
  win::PostMessage(h, win::WM_USER + 5, 0, 0);
  win::installpaintonlypump();
  int status = 0;
  win::yycmnd("sleep 0.2", 1, 1, -1, status);
  win::setpaintpump(nullptr);
  EXPECT_EQ(status, 32);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(others, 0);
  win::MSG m;
  EXPECT_FALSE(win::PeekMessage(m, nullptr, win::WM_USER + 5, win::WM_USER + 5, win::PM_REMOVE))
      << "the posted message was discarded, not kept";
  win::DestroyWindow(h);
}
