// The raster printer driver: page set-up, escape strings and the printer data stream.
#include "toolkit/hcdrivers/raster_printer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "toolkit/graphics/devices.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hardcopy/output_helpers.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hcdrivers/raster_device.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

constexpr char ESC = 27;
constexpr std::size_t kGenbuf = 40000;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
RasterPrinter& printer() { return tessar.hardcopy.printer; }
bool landscape() { return option(5) != 0; }

// value as a field of width digits with leading zeros (asterisks and error 18 when too wide).
std::string digits(int value, int width) {
  std::string text(static_cast<std::size_t>(width), ' ');
  IntegerToString(value, text, "(I" + std::to_string(width) + "." + std::to_string(width) + ")");
  return text;
}

std::string bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v & 0xFF);
  return s;
}

template <std::size_t N>
int store(std::array<char, N>& field, const std::string& text) {
  const std::size_t n = std::min(text.size(), N);
  std::fill(field.begin(), field.end(), '\0');
  std::copy_n(text.begin(), n, field.begin());
  return static_cast<int>(n);
}

// The left margin in the pin printers' units and the column count of their bit-image
// prefix for a row of width dots at resolution r.
int pinmargin(int r) {
  const float hmargin = static_cast<float>(landscape() ? option(4) : option(3));
  int left = static_cast<int>(hmargin * static_cast<float>(r) / 72.0f);
  if (printer().PINS == 24) left *= 3;
  return std::min(left, 39999);
}
long long pincolumns(int width, int r) {
  long long count = static_cast<long long>(pinmargin(r)) + width;
  if (printer().PRCLASS == 4) count = count * 3 + 1;
  return count;
}

// Whether the printer's commands can carry a row of width dots at resolution r: a PCL row
// fits the 40000-byte row buffer, an ESC/P2 row's dot count and a pin printer's column
// count are 16-bit numbers. A wider row is never sent cut or with a wrapped count.
bool rowfits(int width, int r) {
  const long long bytes = (static_cast<long long>(std::max(width, 0)) + 7) / 8;
  const int cls = printer().PRCLASS;
  if (cls >= 7) return bytes <= static_cast<long long>(kGenbuf);
  if (cls == 6) return bytes * 8 <= 0xFFFF;
  return pincolumns(width, r) <= 0xFFFF;
}

// The page pixel (column c, row r) of plane p; 0 outside the page.
int pixel(int c, int r, int p) {
  const RasterState& rs = tessar.raster.state;
  if (c < 0 || r < 0 || c >= rs.RASWIDTH || r >= rs.RASHEIGHT || p < 0) return 0;
  const std::size_t w = static_cast<std::size_t>(c / 32) + static_cast<std::size_t>(r) * static_cast<std::size_t>(rs.RASROWWORDS) +
                        static_cast<std::size_t>(p) * static_cast<std::size_t>(rs.RASPLANEWORDS);
  const auto& page = tessar.raster.IRBUFF;
  return w < page.size() ? static_cast<int>((page[w] >> (c % 32)) & 1u) : 0;
}

// Three planes: a colour plane shows where it is set and the others are not all set; the
// black pass (-1) shows where all three are.
int blackrule(int c, int r) {
  const int p = printer().PLANESEL;
  const bool all = pixel(c, r, 0) && pixel(c, r, 1) && pixel(c, r, 2);
  if (p < 0) return all ? 1 : 0;
  return pixel(c, r, p) && !all ? 1 : 0;
}

int W() { return tessar.raster.state.RASWIDTH; }
int H() { return tessar.raster.state.RASHEIGHT; }

void write(int unit, const std::string& s) {
  if (!s.empty()) yyprou(unit, std::span<const char>(s.data(), s.size()), static_cast<int>(s.size()));
}
template <std::size_t N>
void write(int unit, const std::array<char, N>& field, int length) {
  yyprou(unit, std::span<const char>(field.data(), N), std::clamp(length, 0, static_cast<int>(N)));
}

bool failed() { return printer().OUTPUTERROR != 0; }


void defaults() {
  DeviceOperands& op = tessar.graphics.operands;
  if (yyhcquery(HCRASTER)) return;
  int code = DOPEN;
  yyvras(code);
  const RasterPrinter& rp = printer();
  std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
  const bool page = rp.PRCLASS >= 6;
  o[0] = 576;
  o[1] = 432;
  o[2] = page ? 100 : 0;
  o[3] = page ? 70 : 0;
  o[4] = page ? 1 : 0;
  o[12] = std::min(2, rp.RESCOUNT);
  o[18] = 3;
  o[19] = 0;
  o[23] = std::min(rp.COMPRESSDIGIT, 2);
  op.HCRESINDEX = o[12];
  op.HCCOLOURS = 1 << std::clamp(rp.PLANES, 0, 8);
  op.PRINTCMDOK = 1;
  tessar.graphics.description.HCCAPS = "00000111111111110010011011000";
  assignfixed(tessar.files.HCOUTPUT, "tessplot.prn");
  op.HCDEVICE = HCRASTER;
}

void begin() {
  DeviceOperands& op = tessar.graphics.operands;
  RasterState& rs = tessar.raster.state;
  const RasterPrinter& rp = printer();
  const bool opening = op.IOPER1 > 0;
  if (opening) {
    if (option(13) == 0) {
      yyerror(5, "XXRAST");
      tessar.graphics.attributes.HARDCOPYON = 0;
      return;
    }
    op.HCPLANES = option(6) == 1 ? 1 : rp.PLANES;
    rs.RASLASTPLANE = op.HCPLANES - 1;
    rs.RASDEPTH = op.HCPLANES == 1 ? 1 : 3;
    if (op.HCPLANES == 1) tessar.graphics.description.HCTRUECOLOUR = 0;
    rs.RASCLEARVALUE = rs.RASDEPTH == 3 && rp.COLOURKIND == 1 ? 0xFFFFFFFFu : 0u;
    for (;;) {
      const int index = std::clamp(op.HCRESINDEX, 1, 4);
      const float h = static_cast<float>(rp.RESOLUTIONS[static_cast<std::size_t>(index - 1)]);
      float v = h;
      if (rp.PRCLASS == 5) {
        v = 180.0f;
      } else if (rp.PRCLASS < 5) {
        v = static_cast<float>(rp.PINS * 216) / static_cast<float>(std::max(rp.BANDADVANCE, 1));
        if (h > 100) v *= 2;
      }
      rs.RASXRES = h;
      rs.RASYRES = v;
      const float across = static_cast<float>(option(1)) * (1.0f / 72.0f);
      const float down = static_cast<float>(option(2)) * (1.0f / 72.0f);
      // The sides in double first: a side that a 32-bit dot count cannot hold (or a page of
      // more words than a page may have) is never converted, so no coordinate can wrap.
      const double wide = static_cast<double>(landscape() ? v : h) * static_cast<double>(across);
      const double high = static_cast<double>(landscape() ? h : v) * static_cast<double>(down);
      if (!(wide >= 1 && high >= 1)) {
        // Less than one dot: a lower resolution gives fewer still.
        yyerror(34, "XXRAST");
        tessar.graphics.attributes.HARDCOPYON = 0;
        return;
      }
      const bool counted = wide * high <= static_cast<double>(kRasterMaxWords) * 32.0 && wide < 2147483520.0 &&
                           high < 2147483520.0;
      long long total = 0, rowwords = 0, planewords = 0;
      if (counted) {
        if (!landscape()) {
          rs.RASWIDTH = static_cast<int>(h * across);
          rs.RASHEIGHT = static_cast<int>(v * down);
          rs.RASPAPERWIDTH = rs.RASWIDTH;
          rs.RASPAPERHEIGHT = rs.RASHEIGHT;
        } else {
          rs.RASWIDTH = static_cast<int>(v * across);
          rs.RASHEIGHT = static_cast<int>(h * down);
          rs.RASPAPERWIDTH = rs.RASHEIGHT;
          rs.RASPAPERHEIGHT = rs.RASWIDTH;
        }
        rowwords = (static_cast<long long>(std::max(rs.RASWIDTH, 0)) + 31) / 32;
        planewords = static_cast<long long>(std::max(rs.RASHEIGHT, 0)) * rowwords;
        total = op.HCPLANES * planewords;
      }
      if (counted && rs.RASWIDTH >= 1 && rs.RASHEIGHT >= 1 && rowfits(rs.RASPAPERWIDTH, static_cast<int>(h)) &&
          yyrasallocate(total)) {
        rs.RASROWWORDS = static_cast<int>(rowwords);
        rs.RASPLANEWORDS = static_cast<int>(planewords);
        rs.RASTOTALWORDS = static_cast<int>(total);
        break;
      }
      // Each lowered resolution is reported, as the bitmap-file driver reports each smaller
      // page, so a caller can tell the plot is not printed as asked.
      yyerror(34, "XXRAST");
      if (op.HCRESINDEX < rp.RESCOUNT) {
        ++op.HCRESINDEX;
        continue;
      }
      tessar.graphics.attributes.HARDCOPYON = 0;
      return;
    }
    // The whole page is cleared, partial last band included, so no dot of an earlier page
    // is printed again.
    rs.RASCLEARWORDS = rs.RASTOTALWORDS;
  }
  yyrasbegin(opening);
}

void endpage() {
  DeviceOperands& op = tessar.graphics.operands;
  RasterState& rs = tessar.raster.state;
  if (op.PLOTSTARTED == 0) return;
  yypcod(rs.RASPAPERWIDTH, rs.RASPAPERHEIGHT);
  const int cls = printer().PRCLASS;
  PixelTest test;
  if (cls <= 5) test = rs.RASDEPTH > 1 ? yyras3 : (landscape() ? yyras1 : yyras5);
  else if (cls == 6) test = op.HCPLANES > 1 ? (landscape() ? yyras9 : yyras8) : (landscape() ? yyras7 : yyras6);
  else test = landscape() ? yyras2 : yyras4;
  int unit = 2;
  yydump(unit, test);
  op.PLOTSTARTED = 0;
  int code = DCLEAR;
  yyvras(code);
}

// Packs dot row y of the plane the printer record selects, first dot in the high bit.
// Returns the byte count; last is the position (from 1) of the last non-zero byte.
int packrow(int y, PixelTest test, std::vector<std::uint8_t>& out, int& last, bool padmask) {
  const RasterPrinter& rp = printer();
  int n = 0, counter = 8, byte = 0;
  last = 0;
  auto put = [&](int b) {
    if (static_cast<std::size_t>(n) >= out.size()) return;
    out[static_cast<std::size_t>(n++)] = static_cast<std::uint8_t>(b);
    if (b != 0) last = n;
  };
  for (int x = 0; x < rp.RASTERWIDTH; ++x) {
    --counter;
    int xx = x, yy = y;
    if (test(xx, yy) != 0) byte += 1 << counter;
    if (counter == 0) {
      put(byte);
      byte = 0;
      counter = 8;
    }
  }
  if (counter != 8) {
    put(byte);
    // Pad bits of an RGB row are white; whether the row has ink is decided without them.
    if (padmask && n > 0) out[static_cast<std::size_t>(n - 1)] |= static_cast<std::uint8_t>((1 << counter) - 1);
  }
  return n;
}

void pcl(int unit, int handle, PixelTest test, std::vector<std::uint8_t>& genbuf) {
  RasterPrinter& rp = printer();
  const bool pad = rp.PLANESUSED > 1 && rp.COLOURKIND == 1;
  std::vector<std::uint8_t> row(kGenbuf * 2 + 8);
  for (int y = 0; y <= rp.LASTROW; ++y) {
    for (int k = 0; k < rp.PLANESUSED; ++k) {
      rp.PLANESEL = k;
      int last = 0;
      int count = packrow(y, test, genbuf, last, pad);
      const int prefix = rp.PLANESUSED - 1 - k;
      auto& pf = rp.ROWPREFIX[static_cast<std::size_t>(prefix)];
      std::copy_n(genbuf.begin(), count, row.begin());
      if (rp.COMPRESSION != 0) {
        yycmpr(row, count, prefix);
      } else {
        count = last;
        rp.PREFIXLEN = store(pf, std::string(1, ESC) + "*b" + digits(count, std::max(3, static_cast<int>(std::to_string(count).size()))) +
                                     (prefix == 0 ? "W" : "V"));
      }
      write(unit, pf, rp.PREFIXLEN);
      yyprbu(handle, row, count, 0);
      if (failed()) return;
    }
  }
}

void escp2(int unit, int handle, PixelTest test, std::vector<std::uint8_t>& genbuf) {
  RasterPrinter& rp = printer();
  const int passes = rp.PLANESUSED == 1 ? 1 : rp.PLANESUSED + 1;
  std::vector<std::uint8_t> work(kGenbuf + kGenbuf / 128 + 2);
  auto& pf = rp.ROWPREFIX[0];
  for (int y = 0; y <= rp.LASTROW; ++y) {
    for (int p = 1; p <= passes; ++p) {
      rp.PLANESEL = 3 - p;
      if (passes > 1) write(unit, rp.BANDCOMMANDS[static_cast<std::size_t>(1 + p)], 3);
      int last = 0;
      packrow(y, test, genbuf, last, false);
      int count = last;
      yycmprp2(genbuf, count, work);
      const int dots = last * 8;
      pf[10] = static_cast<char>(dots & 0xFF);
      pf[11] = static_cast<char>((dots >> 8) & 0xFF);
      write(unit, pf, 12);
      yyprbu(handle, genbuf, count, 0);
      write(unit, std::string(1, '\r'));
      if (failed()) return;
    }
    write(unit, rp.ROWFEED, rp.ROWFEEDLEN);
  }
}

void pins(int unit, int handle, PixelTest test, std::vector<std::uint8_t>& genbuf) {
  RasterPrinter& rp = printer();
  const int passes = rp.PLANESUSED == 1 ? 1 : rp.PLANESUSED + 1;
  const int pass = std::max(rp.PASSFACTOR, 1);
  const int bandrows = rp.PINS * pass;
  const int step = 8 * pass;
  const int perColumn = std::max(rp.PINS / 8, 1);
  const bool complete = static_cast<long long>(rp.LEFTMARGIN) +
                            static_cast<long long>(rp.RASTERWIDTH) * rp.PINS / 8 <= static_cast<long long>(kGenbuf);
  for (int R = 0; R <= rp.LASTROW; R += bandrows) {
    for (int q = 1; q <= pass; ++q) {
      if (pass == 2) write(unit, rp.BANDCOMMANDS[static_cast<std::size_t>(q - 1)], 3);
      for (int c = 1; c <= passes; ++c) {
        rp.PLANESEL = 3 - c;
        if (passes > 1) write(unit, rp.BANDCOMMANDS[static_cast<std::size_t>(1 + c)], 3);
        if (!complete) write(unit, rp.ROWPREFIX[0], rp.PREFIXLEN);
        std::size_t n = 0;
        int last = 0;
        const std::size_t margin = static_cast<std::size_t>(std::clamp(rp.LEFTMARGIN, 0, static_cast<int>(kGenbuf)));
        std::fill_n(genbuf.begin(), margin, 0);
        n = margin;
        for (int x = 0; x < rp.RASTERWIDTH; ++x) {
          for (int b = 0; b < perColumn; ++b) {
            const int s = R + q - 1 + b * step;
            int byte = 0, weight = 128;
            for (int row = s; row <= s + step - 1 && weight > 0; row += pass, weight >>= 1) {
              if (row > rp.LASTROW) continue;
              int xx = x, yy = row;
              if (test(xx, yy) != 0) byte |= weight;
            }
            if (n == kGenbuf) {
              yyprbu(handle, genbuf, static_cast<int>(n), 0);
              n = 0;
            }
            genbuf[n++] = static_cast<std::uint8_t>(byte);
            if (byte != 0) last = static_cast<int>(n);
          }
        }
        if (complete) {
          yybitimg(last);
          write(unit, rp.ROWPREFIX[0], rp.PREFIXLEN);
          yyprbu(handle, genbuf, last, 0);
        } else {
          yyprbu(handle, genbuf, static_cast<int>(n), 0);
        }
        write(unit, c == passes ? std::string("\r\n") : std::string("\r"));
      }
      if (failed()) return;
    }
  }
}

}  // namespace

void xxrast(int& code) {
  switch (code) {
    case DOPEN: defaults(); return;
    case DBEGINPLOT: begin(); return;
    case DENDPAGE: endpage(); return;
    default: yyvras(code); return;
  }
}

int yyras1(int& x, int& y) { return pixel(W() - 1 - y, H() - 1 - x, 0); }
int yyras2(int& x, int& y) { return pixel(W() - 1 - y, H() - 1 - x, printer().PLANESEL); }
int yyras3(int& x, int& y) { return landscape() ? blackrule(W() - 1 - y, H() - 1 - x) : blackrule(x, H() - 1 - y); }
int yyras4(int& x, int& y) { return pixel(x, H() - 1 - y, printer().PLANESEL); }
int yyras5(int& x, int& y) { return pixel(x, H() - 1 - y, 0); }
int yyras6(int& x, int& y) { return pixel(x, H() - 1 - y, 0); }
int yyras7(int& x, int& y) { return pixel(W() - 1 - y, H() - 1 - x, 0); }
int yyras8(int& x, int& y) { return blackrule(x, H() - 1 - y); }
int yyras9(int& x, int& y) { return blackrule(W() - 1 - y, H() - 1 - x); }

void yypcod(int& width, int& height) {
  RasterPrinter& rp = printer();
  const DeviceOperands& op = tessar.graphics.operands;
  const int cls = rp.PRCLASS;
  const int r = rp.RESOLUTIONS[static_cast<std::size_t>(std::clamp(op.HCRESINDEX, 1, 4) - 1)];
  rp.RASTERWIDTH = width;
  rp.RASTERHEIGHT = height;
  rp.LASTROW = height - 1;
  const int copies = option(8);
  const float hmargin = static_cast<float>(landscape() ? option(4) : option(3));
  const float vmargin = static_cast<float>(landscape() ? option(3) : option(4));
  rp.PASSFACTOR = cls < 5 && r > 100 ? 2 : 1;
  rp.PLANESUSED = op.HCPLANES;
  rp.COMPRESSION = option(24);
  const int printmode = option(20), stream = option(19);
  const bool eject = stream % 2 != 0, reset = stream - stream % 2 != 0;
  const int model = tessar.hardcopy.selection.PRINTERMODEL;
  const int rowbytes = (width + 7) / 8;
  std::string start, end;
  rp.ROWFEEDLEN = 0;

  if (cls >= 7) {
    if (reset) start += bytes({ESC, 'E'});
    start += std::string(1, ESC) + "&a" + digits(std::max(0, static_cast<int>(hmargin * 10)), 4) + "h" +
             digits(std::max(0, static_cast<int>(vmargin * 10)), 4) + "V";
    start += std::string(1, ESC) + "*t" + digits(r, 3) + "R";
    start += std::string(1, ESC) + "*r";
    if (model > 11) start += digits(rowbytes * 8, 4) + "s";
    if (rp.PLANES > 1) start += std::string(rp.COLOURKIND == 2 ? "-" : "") + std::to_string(rp.PLANESUSED % 10) + "u";
    start += "1A";
    if ((cls == 9 || cls == 10) && printmode != 0) start += std::string(1, ESC) + "&k3W";
    if (rp.COMPRESSION != 0) start += std::string(1, ESC) + "*b" + std::to_string(rp.COMPRESSION % 10) + "M";
    for (std::size_t k = 0; k < 3; ++k)
      store(rp.ROWPREFIX[k], std::string(1, ESC) + "*b000" + (k == 0 ? "W" : "V"));
    rp.PREFIXLEN = 7;
    if (cls == 7 || model == 32) end += std::string(1, ESC) + "&l" + digits(copies, 2) + "X";
    end += std::string(1, ESC) + "*rB";
    if (eject) end += bytes({ESC, 'E'});
  } else {
    static const std::array<std::string, 4> colours = {bytes({ESC, 'r', 4}), bytes({ESC, 'r', 1}),
                                                       bytes({ESC, 'r', 2}), bytes({ESC, 'r', 0})};
    for (std::size_t k = 0; k < 4; ++k) store(rp.BANDCOMMANDS[k + 2], colours[k]);
    if (cls == 6) {
      const int u = 3600 / std::max(r, 1);
      const int v = static_cast<int>(vmargin / 72.0f * static_cast<float>(r));
      const int h = static_cast<int>(hmargin / 72.0f * static_cast<float>(r));
      start = bytes({ESC, '@', ESC, '(', 'G', 1, 0, 1, ESC, '(', 'U', 1, 0, u, ESC, '(', 'V', 2, 0, v & 0xFF, (v >> 8) & 0xFF});
      store(rp.ROWPREFIX[0], bytes({ESC, '\\', h & 0xFF, (h >> 8) & 0xFF, ESC, '.', 0, u, u, 1, 0, 0}));
      rp.PREFIXLEN = 12;
      rp.ROWFEEDLEN = store(rp.ROWFEED, bytes({ESC, '(', 'v', 2, 0, 1, 0}));
      end = bytes({ESC, '@'});
      if (eject) end += '\f';
    } else {
      const int b = rp.BANDADVANCE;
      rp.LEFTMARGIN = pinmargin(r);
      start = bytes({ESC, 'U', 1});
      const int n = static_cast<int>(cls <= 4 ? std::min(vmargin * 3.0f, 255.0f) : std::min(vmargin * 2.5f, 255.0f));
      if (n >= 1) start += bytes({ESC, 'J', n});
      if (rp.PASSFACTOR == 1) start += bytes({ESC, '3', b});
      store(rp.BANDCOMMANDS[0], bytes({ESC, '3', 1}));
      store(rp.BANDCOMMANDS[1], bytes({ESC, '3', b - 1}));
      const int count = static_cast<int>(pincolumns(width, r));
      const int lo = count & 0xFF, hi = (count >> 8) & 0xFF;
      std::string prefix;
      if (cls == 4) {
        const int m = r == 60 ? 8 : r == 120 ? 9 : r == 180 ? 11 : 12;
        prefix = bytes({ESC, '[', 'g', lo, hi, m});
      } else if (cls == 5) {
        const int m = r == 90 ? 38 : r == 120 ? 33 : r == 180 ? 39 : 40;
        prefix = bytes({ESC, '*', m, lo, hi});
      } else if (r == 60 || (cls == 3 && r == 80)) {
        prefix = bytes({ESC, 'K', lo, hi});
      } else if (r == 80) {
        prefix = bytes({ESC, '*', 4, lo, hi});
      } else if (r == 90) {
        prefix = bytes({ESC, '*', 6, lo, hi});
      } else if (r == 240) {
        prefix = bytes({ESC, 'Z', lo, hi});
      } else {
        prefix = bytes({ESC, 'L', lo, hi});
      }
      rp.PREFIXLEN = store(rp.ROWPREFIX[0], prefix);
      end = bytes({ESC, '2'});
      if (eject) end += '\f';
    }
  }
  rp.STARTLEN = store(rp.STARTSTRING, start);
  rp.ENDLEN = store(rp.ENDSTRING, end);
}

void yydump(int& unit, PixelTest test) {
  RasterPrinter& rp = printer();
  if (rp.RESCOUNT <= 0) {
    yyerror(5, "YYDUMP");
    return;
  }
  if (rp.STARTLEN > 0) {
    write(unit, rp.STARTSTRING, rp.STARTLEN);
    if (failed()) return;
  }
  int handle = -1;
  yyprfh(unit, handle);
  std::vector<std::uint8_t> genbuf(kGenbuf + 8);
  rp.LASTROW = rp.RASTERHEIGHT - 1;
  if (rp.PRCLASS >= 7) pcl(unit, handle, test, genbuf);
  else if (rp.PRCLASS == 6) escp2(unit, handle, test, genbuf);
  else pins(unit, handle, test, genbuf);
  if (failed()) return;
  write(unit, rp.ENDSTRING, rp.ENDLEN);
}

void yycmpr(std::span<std::uint8_t> row, int& count, int prefix) {
  RasterPrinter& rp = printer();
  const std::size_t n = static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(row.size())));
  std::vector<std::uint8_t> out;
  out.reserve(2 * n + 2);
  if (rp.COMPRESSION == 1) {
    std::size_t i = 0;
    while (i < n) {
      int repeat = 0;
      while (i + 1 < n && row[i + 1] == row[i] && repeat < 255) {
        ++repeat;
        ++i;
      }
      out.push_back(static_cast<std::uint8_t>(repeat));
      out.push_back(row[i]);
      ++i;
    }
  } else if (rp.COMPRESSION == 2) {
    // Positions count from 1 as the rule is stated; b(k) is byte k.
    auto b = [&](std::size_t k) { return row[k - 1]; };
    std::size_t i = 1;
    auto literal = [&](std::size_t from, std::size_t to) {
      out.push_back(static_cast<std::uint8_t>(to - from));
      for (std::size_t k = from; k <= to; ++k) out.push_back(b(k));
    };
    while (i <= n) {
      std::size_t L = 1;
      while (i + L <= n && L < 128 && b(i + L) == b(i)) ++L;
      if (i + L - 1 == n || L == 128 || L >= 2) {
        out.push_back(static_cast<std::uint8_t>((257 - L) & 0xFF));
        out.push_back(b(i));
        i += L;
        continue;
      }
      std::size_t j = i + 2;
      bool found = false;
      for (; j <= n && j <= i + 127; ++j) {
        if (b(j) == b(j - 1) && (j == n || j == i + 127 || b(j + 1) == b(j))) {
          found = true;
          break;
        }
      }
      if (found && j < n) {
        literal(i, j - 2);
        i = j - 1;
      } else if (found || n <= i + 127) {
        literal(i, n);
        i = n + 1;
      } else if (n > i + 128) {
        literal(i, i + 126);
        i += 127;
      } else {
        literal(i, i + 127);
        i = n;
      }
    }
  } else {
    return;
  }
  const std::size_t m = std::min(out.size(), row.size());
  std::copy_n(out.begin(), m, row.begin());
  count = static_cast<int>(m);
  // A count of four or five digits is written whole: a field of asterisks would leave the
  // printer reading the row's bytes as commands.
  const std::string number = std::to_string(count);
  auto& pf = rp.ROWPREFIX[static_cast<std::size_t>(std::clamp(prefix, 0, 2))];
  rp.PREFIXLEN = store(pf, std::string(1, ESC) + "*b" + number + (prefix == 0 ? "W" : "V"));
}

void yycmprp2(std::span<std::uint8_t> row, int& count, std::span<std::uint8_t> work) {
  auto& pf = printer().ROWPREFIX[0];
  const std::size_t n = static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(row.size())));
  pf[6] = 0;
  if (n == 0) return;
  std::vector<std::uint8_t> out;
  out.reserve(n + n / 128 + 2);
  std::size_t i = 0;
  while (i < n) {
    const bool run = i + 1 < n && row[i] == row[i + 1];
    std::size_t L = 1;
    if (run) {
      while (i + L < n && row[i + L] == row[i]) ++L;
    } else {
      std::size_t k = i + 1;
      while (k + 1 < n && row[k] != row[k + 1]) ++k;
      L = (k + 1 < n ? k : n) - i;
    }
    std::size_t at = i;
    while (L > 0) {
      const std::size_t piece = L == 129 ? 127 : (L < 128 ? L : 128);
      if (run) {
        out.push_back(static_cast<std::uint8_t>((257 - piece) & 0xFF));
        out.push_back(row[at]);
      } else {
        out.push_back(static_cast<std::uint8_t>(piece - 1));
        out.insert(out.end(), row.begin() + static_cast<long>(at), row.begin() + static_cast<long>(at + piece));
      }
      at += piece;
      L -= piece;
    }
    i = at;
  }
  if (out.size() < n && out.size() <= work.size()) {
    std::copy(out.begin(), out.end(), work.begin());
    std::copy_n(work.begin(), out.size(), row.begin());
    count = static_cast<int>(out.size());
    pf[6] = 1;
  }
}

void yybitimg(int& count) {
  RasterPrinter& rp = printer();
  auto& pf = rp.ROWPREFIX[0];
  int n = count;
  if (rp.PRCLASS == 4) {
    n = count + 1;
    pf[3] = static_cast<char>(n & 0xFF);
    pf[4] = static_cast<char>((n >> 8) & 0xFF);
    return;
  }
  if (rp.PINS == 24) {
    count = (count + 2) / 3 * 3;
    n = count / 3;
  }
  const std::size_t len = static_cast<std::size_t>(std::clamp(rp.PREFIXLEN, 2, 12));
  pf[len - 2] = static_cast<char>(n & 0xFF);
  pf[len - 1] = static_cast<char>((n >> 8) & 0xFF);
}
