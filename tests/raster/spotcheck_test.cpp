// Spot checks of documented cases that the other raster suites do not reach.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/raster/image_files.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/image_load.h"
#include "toolkit/state/tessar.h"
#include "tests/support/tools.h"

namespace {

// A comment chunk far larger than the loader's chunk buffer is skipped, not read: the image
// still loads, and Pillow (which wrote it) sees the same pixels.
TEST(IGrLoadImageData, PngWithAHugeTextChunkLoads) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const auto dir = testfolder("audit_text");
  const std::string png = (dir / "text.png").string();
  const std::string ref = png + ".txt";
  const std::string script =
      "import sys\n"
      "from PIL import Image, PngImagePlugin\n"
      "im = Image.new('RGB', (5, 3))\n"
      "im.putdata([(40 * x, 80 * y, 7 * x + y) for y in range(3) for x in range(5)])\n"
      "info = PngImagePlugin.PngInfo()\n"
      "info.add_text('Comment', 'x' * 50000)\n"
      "im.save(sys.argv[1], pnginfo=info)\n"
      "back = Image.open(sys.argv[1]).convert('RGB')\n"
      "with open(sys.argv[2], 'w') as f:\n"
      "    f.write(' '.join(str(r + 256 * g + 65536 * b) for r, g, b in back.getdata()))\n";
  const std::string scriptpath = (dir / "make.py").string();
  std::ofstream(scriptpath) << script;
  ASSERT_EQ(std::system(("/usr/bin/python3 " + scriptpath + " " + png + " " + ref).c_str()), 0)
      << "Pillow (Debian python3-pil) is needed";
  ASSERT_GT(readfile(png).size(), 50000u) << "the text chunk was written";
  std::vector<int> want;
  std::ifstream in(ref);
  for (int v = 0; in >> v;) want.push_back(v);
  ASSERT_EQ(want.size(), 15u);

  tessar.error = ErrorState{};
  std::array<int, 3> info{};
  igrfileinfo(png, info, 3);
  EXPECT_EQ(info, (std::array<int, 3>{15, 5, 3}));
  std::vector<int> got(15, -7);
  IGrLoadImageData(png, got);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(got, want);
  std::filesystem::remove_all(dir);
}

// Every depth and layout the loader reads, at widths around the byte and word boundaries
// and heights of one, two and five rows, written by Pillow with random content.
TEST(IGrLoadImageData, AgreesWithPillowAcrossWidths) {
  const auto dir = testfolder("audit_sweep");
  const std::string script = std::string(TW_SOURCE_DIR) + "/tests/raster/pillow_sweep.py";
  ASSERT_EQ(std::system(("/usr/bin/python3 " + script + " " + dir.string()).c_str()), 0)
      << "Pillow (Debian python3-pil) is needed";
  std::ifstream list(dir / "list.txt");
  int checked = 0;
  for (std::string name; list >> name;) {
    SCOPED_TRACE(name);
    const std::string path = (dir / name).string();
    const PillowPixels ref = pillowpixels(path);
    const int w = ref.width, h = ref.height;
    const std::vector<int>& want = ref.values;
    tessar.error = ErrorState{};
    std::array<int, 3> info{};
    igrfileinfo(path, info, 3);
    ASSERT_EQ(info[1], w);
    ASSERT_EQ(info[2], h);
    std::vector<int> got(want.size(), -7);
    IGrLoadImageData(path, got);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    EXPECT_EQ(got, want);
    ++checked;
  }
  EXPECT_GT(checked, 400);
  std::filesystem::remove_all(dir);
}

// An SVG's size is read only from the line that opens the svg element.
TEST(IgrfileinfoSvg, SvgSizeOnlyFromTheElementsOwnLine) {
  struct Case {
    const char* why;
    const char* text;
    std::array<int, 3> want;
  };
  const Case cases[] = {
      {"width and height beside the element name",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE svg PUBLIC \"x\">\n"
       "<svg width=\"640\" height=\"480\">\n",
       {16, 640, 480}},
      {"the element spans two lines: no size",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE svg PUBLIC \"x\">\n<svg xmlns=\"x\"\n"
       " width=\"640\" height=\"480\">\n",
       {16, -1, -1}},
  };
  const auto dir = testfolder("audit_svg");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string path = writefile(dir, "a.svg", textbytes(c.text));
    std::array<int, 3> info{-1, -1, -1};
    igrfileinfo(path, info, 3);
    EXPECT_EQ(info, c.want);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
