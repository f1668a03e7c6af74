// platform/toolbar_images.cpp: the standard toolbar images (cut, copy, paste, undo, redo,
// delete, new, open, save, print preview, properties, help, find, replace, print), drawn
// here as 16 x 15 pictures of a few colours.
#include "platform/toolbar_images.h"

#include <cstring>

#include "platform/menu_toolbar.h"

namespace win::tbimages {
namespace {

constexpr int kW = 16, kH = 15;

// One picture: 15 rows of 16 characters; '.' is clear.
using Picture = const char* [kH];

constexpr Picture kPictures[15] = {
    {// cut
     "................", ".....k.....k....", ".....k.....k....", ".....kk...kk....", "......k...k.....",
     "......kk.kk.....", ".......kkk......", "........k.......", ".......bkb......", "....bbbb.bbbb...",
     "...b...b.b...b..", "...b...b.b...b..", "...b...b.b...b..", "....bbb...bbb...", "................"},
    {// copy
     "................", ".kkkkkk.........", ".kwwwwkk........", ".kwkkwkwk.......", ".kwwwwkkkkkkk...",
     ".kwkkkkwwwwwkk..", ".kwwwwkwkkkwkwk.", ".kwkkkkwwwwwkkkk", ".kwwwwkwkkkkkwwk", ".kkkkkkwwwwwwwwk",
     "......kwkkkkkkwk", "......kwwwwwwwwk", "......kwkkkkkkwk", "......kwwwwwwwwk", "......kkkkkkkkkk"},
    {// paste
     ".....kkkk.......", ".kkkkk..kkkkk...", ".koookkkkooook..", ".kooooooooooook.", ".kooooooooooook.",
     ".koooookkkkkkk..", ".kooooowwwwwwkk.", ".kooooowkkkkwkwk", ".kooooowwwwwwkkk", ".kooooowkkkkkkwk",
     ".kooooowwwwwwwwk", ".kkkkkkwkkkkkkwk", "......kwwwwwwwwk", "......kkkkkkkkkk", "................"},
    {// undo
     "................", "................", "................", "....b...........", "...bb...........",
     "..bbbbbbbbb.....", ".bbbbbbbbbbb....", "..bbbbbbbbbbb...", "...bb.......bb..", "....b........b..",
     ".............b..", "............bb..", "...........bb...", "................", "................"},
    {// redo
     "................", "................", "................", "...........b....", "...........bb...",
     ".....bbbbbbbbb..", "....bbbbbbbbbbb.", "...bbbbbbbbbbb..", "..bb.......bb...", "..b........b....",
     "..b.............", "..bb............", "...bb...........", "................", "................"},
    {// delete
     "................", "..rr.......rr...", "..rrr.....rrr...", "...rrr...rrr....", "....rrr.rrr.....",
     ".....rrrrr......", "......rrr.......", ".....rrrrr......", "....rrr.rrr.....", "...rrr...rrr....",
     "..rrr.....rrr...", "..rr.......rr...", "................", "................", "................"},
    {// new
     "..kkkkkkkk......", "..kwwwwwwkk.....", "..kwwwwwwkwk....", "..kwwwwwwkkkk...", "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kkkkkkkkkkk...", "................"},
    {// open
     "................", "................", ".........kkk....", "........k...k.k.", ".............kk.",
     ".kkk........kkk.", "kyywkkkkkkk.....", "kywywywywyk.....", "kwywykkkkkkkkkk.", "kywykooooooooook",
     "kwykooooooooook.", "kykooooooooook..", "kkooooooooook...", "kkkkkkkkkkkk....", "................"},
    {// save
     "................", ".kkkkkkkkkkkkkk.", ".kbkwwwwwwwwkbk.", ".kbkwwwwwwwwkbk.", ".kbkwwwwwwwwkbk.",
     ".kbkwwwwwwwwkbk.", ".kbbkkkkkkkkbbk.", ".kbbbbbbbbbbbbk.", ".kbbkkkkkkkkbbk.", ".kbbkwwkbbbkbbk.",
     ".kbbkwwkbbbkbbk.", ".kbbkwwkbbbkbbk.", "..kkkkkkkkkkkkk.", "................", "................"},
    {// print preview
     ".kkkkkkkkk......", ".kwwwwwwwk......", ".kwkkkkkwk......", ".kwwwwwwwk......", ".kwkkkkkkkkk....",
     ".kwwwwwwkwwwk...", ".kwkkkkkwcwwwk..", ".kwwwwwkwwwwwk..", ".kwkkkkkwwwwwk..", ".kwwwwwwkwwwk...",
     ".kkkkkkkkkkkkk..", "............kk..", ".............kk.", "..............k.", "................"},
    {// properties
     ".kkkkkkkkkk.....", ".kwwwwwwwwk.....", ".kwbbwkkkwk.....", ".kwwwwwwwwk.....", ".kwbbwkkkwk.....",
     ".kwwwwwwwwk.....", ".kwbbwkkkwk.....", ".kwwwwwwwwk.....", ".kwbbwkkkwk.....", ".kwwwwwwwwk.....",
     ".kkkkkkkkkk.....", "................", "................", "................", "................"},
    {// help
     "................", ".....bbbbb......", "....bb...bb.....", "....bb...bb.....", ".........bb.....",
     "........bb......", ".......bb.......", ".......bb.......", ".......bb.......", "................",
     ".......bb.......", ".......bb.......", "................", "................", "................"},
    {// find
     "................", "....kkkk........", "...kwwwwk.......", "..kwwccwwk......", "..kwcwwwwk......",
     "..kwwwwwwk......", "..kwwwwwwk......", "...kwwwwk.......", "....kkkkkk......", ".........kk.....",
     "..........kk....", "...........kk...", "............kk..", ".............k..", "................"},
    {// replace
     ".kkkkkkkk.......", ".kwwwwwwk.......", ".kwkkkkwk.......", ".kwwwwwwk.......", ".kkkkkkkk.......",
     "........b.......", "........bb......", "...bbbbbbbb.....", "........bb......", "........b.......",
     "......kkkkkkkk..", "......kwwwwwwk..", "......kwkkkkwk..", "......kwwwwwwk..", "......kkkkkkkk.."},
    {// print
     "................", "....kkkkkkkk....", "....kwwwwwwk....", "....kwkkkkwk....", "....kwwwwwwk....",
     "..kkkkkkkkkkkk..", ".kllllllllllllk.", ".kllllllllllyyk.", ".kkkkkkkkkkkkkk.", ".kllllllllllllk.",
     ".kllllllllllllk.", "..kkkkkkkkkkkk..", "................", "................", "................"},
};

std::uint32_t colour(char c, std::uint32_t clear) {
  switch (c) {
    case 'k': return 0x000000;
    case 'w': return 0xFFFFFF;
    case 'y': return 0xFFFF00;
    case 'o': return 0x808000;
    case 'b': return 0x000080;
    case 'r': return 0xC00000;
    case 'c': return 0x008080;
    case 'l': return 0xA0A0A0;
    default: return clear;
  }
}

}  // namespace

bool standard(UINT_PTR id, int& width, int& height, std::vector<std::uint32_t>& px, std::uint32_t clear) {
  if (id != IDB_STD_SMALL_COLOR) return false;
  constexpr int n = static_cast<int>(std::size(kPictures));
  width = kW * n;
  height = kH;
  px.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), clear);
  for (int k = 0; k < n; ++k)
    for (int y = 0; y < kH; ++y) {
      const char* row = kPictures[k][y];
      const int len = static_cast<int>(std::strlen(row));
      for (int x = 0; x < kW && x < len; ++x)
        px[static_cast<std::size_t>(y * width + k * kW + x)] = colour(row[x], clear);
    }
  return true;
}

}  // namespace win::tbimages
