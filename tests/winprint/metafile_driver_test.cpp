// The Windows metafile driver: the placeable header of the default page to the byte, the
// three kinds and their descriptions, the clipboard picture, failures to write reported, the
// colour option; and the shared test picture read back by libwmf and emf2svg.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/clipboard.h"
#include "platform/gdi.h"
#include "platform/printer.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"
#include "toolkit/winprint/wdrivers.h"

namespace {

std::uint32_t u32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}
std::uint16_t u16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

// A 16 x 16 colour ramp for the picture's image.
std::string makeimage() {
  EXPECT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const std::string png = hc::scratch("image16.png").string();
  hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
          "im=Image.new('RGB',(16,16))\n"
          "[im.putpixel((x,y),(x*16,y*16,128)) for x in range(16) for y in range(16)]\n"
          "im.save('" + png + "')\"");
  return png;
}

class Metafile : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::setPrinters({});  // no printer: the enhanced metafile takes the screen as reference
    tessar.raster.printersettings.GotPrName = 0;
    testpicturegraphics(1000, 750);
    yyinstallwinprint();
    igrhardcopyselect(1, HCWMF);
  }
  void TearDown() override { win::test::resetPrinters(); }
  // A plot to the file (or, with an empty name, the clipboard).
  std::string plot(const std::string& name, void (*draw)()) {
    path = name.empty() ? std::string() : hc::scratch(name).string();
    if (path.empty()) igrhardcopy();
    else igrhardcopy(path);
    draw();
    igrhardcopy("S");
    return path.empty() ? std::string() : tw::test::slurp(path);
  }
  std::string path;
};

void smallplot() {
  IGrUnits(0, 0, 100, 75);
  igrcolourmodel(24);
  IGrColourN(wrgb(0, 0, 0));
  igrjoin(10, 10, 90, 65);
}

TEST_F(Metafile, PlaceableHeaderOfTheDefaultPageIsExact) {
  const std::string b = plot("default.wmf", smallplot);
  ASSERT_GT(b.size(), 40u);
  const unsigned char want[22] = {0xD7, 0xCD, 0xC6, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04,
                                  0x29, 0x4C, 0x1D, 0xE8, 0x03, 0x00, 0x00, 0x00, 0x00, 0xB1, 0x60};
  for (std::size_t i = 0; i < 22; ++i) EXPECT_EQ(static_cast<unsigned char>(b[i]), want[i]) << "byte " << i;
  // Then the metafile's own 18-byte header (a disk metafile of version 0x300) and records,
  // among them the window extent of the page in tenths of a point plus one.
  EXPECT_EQ(u16(b, 22), 1);
  EXPECT_EQ(u16(b, 24), 9);
  bool extent = false;
  for (std::size_t at = 22 + 18; at + 10 <= b.size();) {
    const std::uint32_t words = u32(b, at);
    if (words < 3) break;
    if (u16(b, at + 4) == 0x020C) extent = u16(b, at + 6) == 5401 && u16(b, at + 8) == 7561;
    at += 2 * words;
  }
  EXPECT_TRUE(extent) << "SetWindowExt 7561 x 5401";
}

TEST_F(Metafile, KindsDescriptionsAndLargePages) {
  struct Case {
    const char* why;
    int kind;
    const char* name;
  };
  const Case cases[] = {
      {"kind 0: the records alone", 0, "plain.wmf"},
      {"kind 2: an enhanced metafile", 2, "picture.emf"},
      {"any other kind is placeable", 5, "five.wmf"},
  };
  for (const Case& c : cases) {
    igrhardcopyselect(1, HCWMF);
    igrhardcopyoptions(27, c.kind);
    const std::string b = plot(c.name, smallplot);
    ASSERT_GT(b.size(), 60u) << c.why;
    if (c.kind == 0) {
      EXPECT_EQ(u16(b, 0), 1) << c.why;
      EXPECT_EQ(u16(b, 2), 9) << c.why;
    } else if (c.kind == 2) {
      EXPECT_EQ(u32(b, 0), 1u) << c.why;
      EXPECT_EQ(b.substr(40, 4), std::string(" EMF")) << c.why;
      // The frame is the page in hundredths of a millimetre.
      EXPECT_EQ(u32(b, 32), 26670u) << c.why;
      EXPECT_EQ(u32(b, 36), 19050u) << c.why;
      // The description: driver, NUL, the default title, NUL, NUL, in UTF-16.
      const std::uint32_t count = u32(b, 60), offset = u32(b, 64);
      std::string text;
      for (std::uint32_t i = 0; i < count; ++i) text.push_back(b[offset + 2 * i]);
      EXPECT_EQ(text, std::string("VXK metafile driver\0Tessaraweld graphic\0\0", 41)) << c.why;
    } else {
      EXPECT_EQ(u32(b, 0), 0x9AC6CDD7u) << c.why;
    }
  }
  // A page too large for the 16-bit box at 1000 units per inch gets fewer units per inch.
  igrhardcopyselect(1, HCWMF);
  igrhardcopyoptions(1, 3000);
  const std::string big = plot("big.wmf", smallplot);
  ASSERT_GT(big.size(), 22u);
  const int right = u16(big, 10), upi = u16(big, 14);
  EXPECT_LE(right, 32767);
  EXPECT_LT(upi, 1000);
  EXPECT_NEAR(right * 72.0 / upi, 3000, 3);
}

TEST_F(Metafile, NoNameGoesToTheClipboardAsAMetafilePicture) {
  plot("", smallplot);
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::HGLOBAL block = win::GetClipboardData(win::CF_METAFILEPICT);
  ASSERT_NE(block, nullptr);
  const auto* words = static_cast<const std::int32_t*>(win::GlobalLock(block));
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words[0], 8);
  EXPECT_EQ(words[1], 26670);
  EXPECT_EQ(words[2], 19050);
  const auto mf = reinterpret_cast<win::HMETAFILE>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(words[3])));
  EXPECT_GT(win::GetMetaFileBitsEx(mf, 0, nullptr), 18u);
  win::GlobalUnlock(block);
  win::CloseClipboard();
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  // An enhanced metafile goes there as itself, with the page as its frame.
  igrhardcopyselect(1, HCWMF);
  igrhardcopyoptions(27, 2);
  plot("", smallplot);
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  const auto emf = reinterpret_cast<win::HENHMETAFILE>(win::GetClipboardData(win::CF_ENHMETAFILE));
  win::ENHMETAHEADER header;
  ASSERT_EQ(win::GetEnhMetaFileHeader(emf, sizeof header, &header), sizeof header);
  EXPECT_EQ(header.rclFrame.right, 26670);
  EXPECT_EQ(header.rclFrame.bottom, 19050);
  EXPECT_FALSE(win::IsClipboardFormatAvailable(win::CF_METAFILEPICT)) << "the clipboard was emptied first";
  win::CloseClipboard();
}

TEST_F(Metafile, FilesThatCannotBeWrittenAreReported) {
  for (int kind : {0, 1, 2}) {
    igrhardcopyselect(1, HCWMF);
    igrhardcopyoptions(27, kind);
    tessar.error.LASTERROR = 0;
    const std::string bad = (hc::scratch("no-such-folder") / "plot.wmf").string();
    igrhardcopy(bad);
    smallplot();
    igrhardcopy("S");
    EXPECT_EQ(tessar.error.LASTERROR, 1) << "kind " << kind;
    EXPECT_EQ(tessar.error.ERRDETAILKIND, 2) << "kind " << kind;
    EXPECT_NE(tessar.error.ERRDETAIL, 0) << "kind " << kind;
    EXPECT_FALSE(std::filesystem::exists(bad)) << "kind " << kind;
  }
}

TEST(MetafileColours, OptionSixMapsColours) {
  struct Case {
    int option;
    std::array<int, 3> in, out;
  };
  const Case cases[] = {
      {2, {5, 5, 5}, {250, 250, 250}},   {2, {250, 250, 250}, {5, 5, 5}}, {2, {10, 0, 0}, {10, 0, 0}},
      {2, {128, 0, 0}, {128, 0, 0}},     {1, {255, 0, 0}, {0, 255, 255}}, {0, {5, 5, 5}, {5, 5, 5}},
  };
  for (const Case& c : cases) {
    tessar.hardcopy.HCOPTIONS[5] = c.option;
    std::array<int, 3> v = c.in;
    yywmf1(v[0], v[1], v[2]);
    EXPECT_EQ(v, c.out) << "option " << c.option << " on " << c.in[0];
    v = c.in;
    yywin1(v[0], v[1], v[2]);
    EXPECT_EQ(v, c.out);
  }
}

// The EMF description is the program's name and the picture's, each ended by a NUL, and one
// NUL more: a title of blanks (not replaced by the default) leaves three NULs, and emf2svg
// still reads the file.
TEST_F(Metafile, TheEmfDescriptionOfATitleAndOfABlankTitle) {
  ASSERT_TRUE(tw::test::needtool("emf2svg-conv", "emf2svg"));
  struct Case {
    const char* title;
    std::string description;
  };
  const Case cases[] = {{"Flows", std::string("VXK metafile driver\0Flows\0\0", 27)},
                        {"   ", std::string("VXK metafile driver\0\0\0", 22)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description.size());
    igrhardcopyselect(1, HCWMF);
    igrhardcopyoptions(27, 2);
    path = hc::scratch("titled.emf").string();
    igrhardcopy(path, c.title);
    smallplot();
    igrhardcopy("S");
    const std::string b = tw::test::slurp(path);
    ASSERT_GT(b.size(), 100u);
    const std::uint32_t count = u32(b, 60), offset = u32(b, 64);
    ASSERT_LE(offset + 2 * count, b.size());
    std::string text;
    for (std::uint32_t i = 0; i < count; ++i) text.push_back(b[offset + 2 * i]);
    EXPECT_EQ(text, c.description);
    const std::string svg = hc::scratch("titled.svg").string();
    const hc::Run e = hc::run("emf2svg-conv -i '" + path + "' -o '" + svg + "'");
    EXPECT_EQ(e.status, 0) << e.output;
    EXPECT_NE(tw::test::slurp(svg).find("<path"), std::string::npos);
  }
}

// On a page turned a quarter the picture's image is still in the metafile (a stretched DIB,
// turned with the page), and emf2svg draws it.
TEST_F(Metafile, TheImageOfATurnedPageIsKept) {
  ASSERT_TRUE(tw::test::needtool("emf2svg-conv", "emf2svg"));
  ASSERT_TRUE(tw::test::needtool("rsvg-convert", "librsvg2-bin"));
  static std::string image;
  image = makeimage();
  igrhardcopyselect(1, HCWMF);
  igrhardcopyoptions(27, 2);
  tessar.graphics.area.PAGEROTATION = 90;
  const std::string emf = plot("turned.emf", [] { drawtestpicture(image); });
  tessar.graphics.area.PAGEROTATION = 0;
  ASSERT_GT(emf.size(), 1000u);
  // EMR_STRETCHDIBITS (81) with a 16 x 16 source.
  bool found = false;
  for (std::size_t at = 0; at + 8 <= emf.size() && !found;) {
    const std::uint32_t type = u32(emf, at), size = u32(emf, at + 4);
    if (size < 8) break;
    found = type == 81 && u32(emf, at + 40) == 16 && u32(emf, at + 44) == 16;
    at += size;
  }
  EXPECT_TRUE(found) << "the image's record";
  const std::filesystem::path keep = std::filesystem::temp_directory_path() / "tw-winprint-renderings";
  std::filesystem::create_directories(keep);
  const std::string svg = (keep / "turned-emf.svg").string();
  const hc::Run e = hc::run("emf2svg-conv -i '" + path + "' -o '" + svg + "'");
  ASSERT_EQ(e.status, 0) << e.output;
  EXPECT_NE(tw::test::slurp(svg).find("<image"), std::string::npos);
  const hc::Run r = hc::run("rsvg-convert -f png -o '" + (keep / "turned-emf.png").string() + "' '" + svg + "'");
  EXPECT_EQ(r.status, 0) << r.output;
}

// The shared picture as a placeable WMF (libwmf) and as an EMF (emf2svg): the renderings
// are kept beside the build for a person to look at.
TEST_F(Metafile, TestPictureRendersInLibwmfAndEmf2svg) {
  ASSERT_TRUE(tw::test::needtool("wmf2svg", "libwmf-bin"));
  ASSERT_TRUE(tw::test::needtool("emf2svg-conv", "emf2svg"));
  ASSERT_TRUE(tw::test::needtool("rsvg-convert", "librsvg2-bin"));
  const std::filesystem::path keep = std::filesystem::temp_directory_path() / "tw-winprint-renderings";
  std::filesystem::create_directories(keep);

  static std::string image;
  image = makeimage();
  const std::string wmf = plot("picture.wmf", [] { drawtestpicture(image); });
  ASSERT_GT(wmf.size(), 1000u);
  // The image is a stretched DIB record, 16 x 16 pixels.
  EXPECT_NE(wmf.find(std::string("\x43\x0F", 2)), std::string::npos);
  const std::string svg = (keep / "picture-wmf.svg").string();
  const hc::Run a = hc::run("wmf2svg -o '" + svg + "' '" + path + "'");
  ASSERT_EQ(a.status, 0) << a.output;
  const std::string wmfsvg = tw::test::slurp(svg);
  EXPECT_NE(wmfsvg.find("<text"), std::string::npos);
  EXPECT_NE(wmfsvg.find("<polygon"), std::string::npos);
  EXPECT_NE(wmfsvg.find("<image"), std::string::npos);
  const hc::Run g = hc::run("wmf2gd -t png -o '" + (keep / "picture-wmf2gd.png").string() + "' '" + path + "'");
  EXPECT_EQ(g.status, 0) << g.output;
  EXPECT_GT(std::filesystem::file_size(keep / "picture-wmf2gd.png"), 2000u);

  igrhardcopyselect(1, HCWMF);
  igrhardcopyoptions(27, 2);
  const std::string emf = plot("picture.emf", [] { drawtestpicture(image); });
  ASSERT_GT(emf.size(), 1000u);
  const std::string esvg = (keep / "picture-emf.svg").string();
  const hc::Run e = hc::run("emf2svg-conv -i '" + path + "' -o '" + esvg + "'");
  ASSERT_EQ(e.status, 0) << e.output;
  const std::string emfsvg = tw::test::slurp(esvg);
  EXPECT_NE(emfsvg.find("<text"), std::string::npos);
  EXPECT_NE(emfsvg.find("<path"), std::string::npos);
  EXPECT_NE(emfsvg.find("<image"), std::string::npos);
  const hc::Run r = hc::run("rsvg-convert -f png -o '" + (keep / "picture-emf.png").string() + "' '" + esvg + "'");
  EXPECT_EQ(r.status, 0) << r.output;
  // libwmf writes the texts' bytes as they are (Latin-1) and images with an undeclared
  // xlink prefix: made UTF-8 and the prefix declared for rsvg.
  const hc::Run w = hc::run("iconv -f latin1 -t utf-8 '" + svg +
                            "' | sed 's|^<svg |<svg xmlns:xlink=\"http://www.w3.org/1999/xlink\" |' > '" + svg +
                            ".utf8' && rsvg-convert -f png -o '" +
                            (keep / "picture-wmf2svg.png").string() + "' '" + svg + ".utf8'");
  EXPECT_EQ(w.status, 0) << w.output;
}

}  // namespace
