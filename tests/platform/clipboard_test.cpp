// The in-process clipboard: registered format numbers, who may open it, the blocks it owns
// and frees, and text that always ends inside its block.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/gdi.h"
#include "platform/test_api.h"

using namespace win;

namespace {

LRESULT plainProc(HWND h, UINT msg, WPARAM w, LPARAM l) { return DefWindowProc(h, msg, w, l); }

class Clipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    WNDCLASS wc;
    if (!GetClassInfo(nullptr, "ClipTestWindow", wc)) {
      wc = WNDCLASS{};
      wc.lpfnWndProc = plainProc;
      wc.lpszClassName = "ClipTestWindow";
      RegisterClass(wc);
    }
    a_ = CreateWindowEx(0, "ClipTestWindow", "A", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    b_ = CreateWindowEx(0, "ClipTestWindow", "B", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(a_, nullptr);
    ASSERT_NE(b_, nullptr);
    // Start from an empty, closed clipboard.
    if (OpenClipboard(a_)) {
      EmptyClipboard();
      CloseClipboard();
    }
  }
  void TearDown() override {
    CloseClipboard();
    if (IsWindow(a_)) DestroyWindow(a_);
    if (IsWindow(b_)) DestroyWindow(b_);
  }

  // A block holding bytes (a NUL is not added).
  static HGLOBAL blockOf(const std::string& bytes) {
    HGLOBAL h = GlobalAlloc(GHND, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
  }

  HWND a_ = nullptr, b_ = nullptr;
};

}  // namespace

TEST(RegisterClipboardFormat, SameNameGivesSameNumberInAnyCase) {
  const UINT cgm = RegisterClipboardFormat("Tessaraweld CGM");
  EXPECT_GE(cgm, 0xC000u);
  EXPECT_LE(cgm, 0xFFFFu);
  struct Case {
    const char* why;
    const char* name;
    bool same;
  };
  const Case cases[] = {
      {"the same spelling", "Tessaraweld CGM", true},
      {"upper case", "TESSARAWELD CGM", true},
      {"lower case", "tessaraweld cgm", true},
      {"another name", "Tessaraweld CGM2", false},
      {"a trailing blank makes another name", "Tessaraweld CGM ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const UINT n = RegisterClipboardFormat(c.name);
    EXPECT_GE(n, 0xC000u);
    EXPECT_EQ(n == cgm, c.same);
  }
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  EXPECT_EQ(RegisterClipboardFormat(nullptr), 0u);
}

TEST(GetClipboardFormatName, GivesTheRegisteredNameCutToTheBuffer) {
  const UINT f = RegisterClipboardFormat("Rich Text Format");
  char name[64] = "";
  EXPECT_EQ(GetClipboardFormatName(f, name, sizeof name), 16);
  EXPECT_STREQ(name, "Rich Text Format");
  char shortName[5] = "xxxx";
  EXPECT_EQ(GetClipboardFormatName(f, shortName, sizeof shortName), 4);
  EXPECT_STREQ(shortName, "Rich");
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT, name, sizeof name), 0) << "standard formats have no name";
  EXPECT_EQ(GetClipboardFormatName(0xFFF0, name, sizeof name), 0) << "never registered";
  EXPECT_EQ(GetClipboardFormatName(f, name, 0), 0);
}

TEST_F(Clipboard, OneWindowAtATimeOpensIt) {
  ASSERT_TRUE(OpenClipboard(a_));
  EXPECT_FALSE(OpenClipboard(b_));
  EXPECT_TRUE(OpenClipboard(a_)) << "the window that has it open may open it again";
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard()) << "closing a closed clipboard fails";
  EXPECT_TRUE(OpenClipboard(b_));
  CloseClipboard();
  // A window destroyed with the clipboard open leaves it free for the others.
  ASSERT_TRUE(OpenClipboard(a_));
  DestroyWindow(a_);
  EXPECT_TRUE(OpenClipboard(b_));
}

TEST_F(Clipboard, OpeningCanBeMadeToFail) {
  test::failNextWindowCall("OpenClipboard");
  EXPECT_FALSE(OpenClipboard(a_));
  EXPECT_TRUE(OpenClipboard(a_));
}

TEST_F(Clipboard, NothingButTheAvailabilityQueryWorksWhileClosed) {
  ASSERT_TRUE(OpenClipboard(a_));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, blockOf(std::string("x", 2)));
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_FALSE(EmptyClipboard());
  HGLOBAL h = blockOf("y");
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);
  EXPECT_EQ(GlobalFree(h), nullptr) << "a block the store refused is still the caller's";
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << "the failed calls changed nothing";
}

TEST_F(Clipboard, TextRoundTripsAndAlwaysEndsInsideItsBlock) {
  struct Case {
    const char* why;
    std::string bytes;
    std::string text;
    std::size_t size;
  };
  const Case cases[] = {
      {"a terminated text stays as it is", std::string("12.5\r\n13\0", 9), "12.5\r\n13", 9},
      {"a block without NUL gets one", "1\t2\t3", "1\t2\t3", 6},
      {"an empty block becomes an empty text", "", "", 1},
      {"the text ends at its first NUL", std::string("ab\0cd", 5), "ab", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(OpenClipboard(a_));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL h = blockOf(c.bytes);
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), h);
    CloseClipboard();
    ASSERT_TRUE(OpenClipboard(b_));
    HGLOBAL got = GetClipboardData(CF_TEXT);
    ASSERT_EQ(got, h);
    EXPECT_EQ(GlobalSize(got), c.size);
    const char* p = static_cast<const char*>(GlobalLock(got));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p), c.text);
    GlobalUnlock(got);
    CloseClipboard();
  }
}

TEST_F(Clipboard, StoreFreesWhatItHoldsWhenReplacedOrEmptied) {
  const int before = clipboard::liveBlocks();
  const UINT cgm = RegisterClipboardFormat("Tessaraweld CGM");
  ASSERT_TRUE(OpenClipboard(a_));
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardOwner(), a_);
  HGLOBAL first = blockOf("one");
  SetClipboardData(CF_TEXT, first);
  SetClipboardData(cgm, blockOf("picture"));
  EXPECT_EQ(clipboard::liveBlocks(), before + 2);
  EXPECT_EQ(GlobalFree(first), first) << "a held block is the store's to free";
  SetClipboardData(CF_TEXT, blockOf("two"));
  EXPECT_EQ(clipboard::liveBlocks(), before + 2) << "the replaced block was freed";
  EXPECT_EQ(GlobalLock(first), nullptr);
  EXPECT_EQ(GlobalSize(first), 0u);
  EXPECT_EQ(CountClipboardFormats(), 2);
  EXPECT_EQ(EnumClipboardFormats(0), CF_TEXT);
  EXPECT_EQ(EnumClipboardFormats(CF_TEXT), cgm);
  EXPECT_EQ(EnumClipboardFormats(cgm), 0u);
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(clipboard::liveBlocks(), before);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(cgm));
  CloseClipboard();
}

TEST_F(Clipboard, RefusesUnknownBlocksAndFormatZero) {
  ASSERT_TRUE(OpenClipboard(a_));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_TEXT, LongToHandle<HGLOBAL>(0x12345)), nullptr);
  HGLOBAL h = blockOf("z");
  EXPECT_EQ(SetClipboardData(0, h), nullptr);
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalFree(h), h) << "a freed handle stays dead";
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  CloseClipboard();
}

TEST_F(Clipboard, HoldsBitmapsAndMetafilesAndDeletesThemWhenReplacedOrEmptied) {
  HBITMAP first = CreateBitmap(4, 3, 1, 32, nullptr);
  HBITMAP second = CreateBitmap(2, 2, 1, 32, nullptr);
  HDC recorder = CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr);
  Rectangle(recorder, 0, 0, 10, 10);
  HENHMETAFILE picture = CloseEnhMetaFile(recorder);
  ASSERT_NE(picture, nullptr);
  ASSERT_TRUE(OpenClipboard(a_));
  EmptyClipboard();
  EXPECT_NE(SetClipboardData(CF_BITMAP, reinterpret_cast<HGLOBAL>(first)), nullptr);
  EXPECT_NE(SetClipboardData(CF_ENHMETAFILE, reinterpret_cast<HGLOBAL>(picture)), nullptr);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), reinterpret_cast<HGLOBAL>(first));
  // Replacing the bitmap deletes the one it held; emptying deletes the rest.
  EXPECT_NE(SetClipboardData(CF_BITMAP, reinterpret_cast<HGLOBAL>(second)), nullptr);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_NE(GetObjectType(second), 0u);
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetObjectType(second), 0u);
  ENHMETAHEADER head;
  EXPECT_EQ(GetEnhMetaFileHeader(picture, sizeof head, &head), 0u) << "the metafile is deleted";
  CloseClipboard();
}

TEST(GlobalAlloc, BlocksStartZeroedAndCountLocks) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 8u);
  auto* p = static_cast<unsigned char*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(p[i], 0);
  EXPECT_EQ(GlobalLock(h), p) << "the bytes do not move while the block lives";
  EXPECT_TRUE(GlobalUnlock(h)) << "still locked once";
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_FALSE(GlobalUnlock(h)) << "not locked at all";
  EXPECT_EQ(GlobalFree(h), nullptr);
  HGLOBAL none = GlobalAlloc(GHND, 0);
  EXPECT_NE(GlobalLock(none), nullptr);
  EXPECT_EQ(GlobalFree(none), nullptr);
}
