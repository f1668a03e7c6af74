// Printer models: the model table and the description iprinter derives from it.
#include "toolkit/hardcopy/printer_models.h"

#include <array>
#include <string_view>

#include "toolkit/state/tessar.h"

namespace {

constexpr std::array<PrinterModel, 37> kModels = {{
    {"IBM Graphics Printer       ", "M1M0 "},  //  2
    {"Panasonic KX-P1081         ", "F1M0 "},  //  3
    {"Amstrad DMP 3000           ", "F1M0 "},  //  4
    {"Epson EX/FX/LX/RX          ", "F1M0 "},  //  5
    {"Epson EX/FX/LX/RX   (wide) ", "F1M0 "},  //  6
    {"Epson MX-80 II/III         ", "M1M0 "},  //  7
    {"Epson MX-100        (wide) ", "M1M0 "},  //  8
    {"Shinwa CP80                ", "S1M0 "},  //  9
    {"HP LaserJet +              ", "L1M0 "},  // 10
    {"HP LaserJet II             ", "L1M0 "},  // 11
    {"IBM Graphics Printer(wide) ", "M1M0 "},  // 12
    {"HP PaintJet                ", "P3R1 "},  // 13
    {"HP DeskJet/DeskJet +       ", "D1M2 "},  // 14
    {"IBM Proprinter             ", "M1M0 "},  // 15
    {"IBM Proprinter      (wide) ", "M1M0 "},  // 16
    {"Epson LQ/SQ                ", "Q1M0 "},  // 17
    {"Epson LQ/SQ         (wide) ", "Q1M0 "},  // 18
    {"IBM Proprinter X24         ", "X1M0 "},  // 19
    {"IBM Proprinter X24  (wide) ", "X1M0 "},  // 20
    {"HP DeskJet 310/500 colour  ", "D3R2 "},  // 21
    {"HP DeskJet 310/500/510/520 ", "D1M2 "},  // 22
    {"Epson JX/LX colour         ", "F3C0 "},  // 23
    {"Epson JX/LX colour  (wide) ", "F3C0 "},  // 24
    {"Epson LQ colour            ", "Q3C0 "},  // 25
    {"Epson LQ colour     (wide) ", "Q3C0 "},  // 26
    {"                           ", " 1M0 "},  // 27: no model
    {"HP LaserJet III/4L         ", "L1M22"},  // 28
    {"HP LaserJet 4/5 series     ", "41M22"},  // 29
    {"HP PaintJet XL 300         ", "33R1 "},  // 30
    {"HP DeskJet 550C/560C/660C  ", "D3C2 "},  // 31
    {"HP DeskJet 1200C/1600C     ", "D3C22"},  // 32
    {"HP DeskJet 540 colour      ", "51M2 "},  // 33
    {"HP DeskJet 540 mono        ", "53C2 "},  // 34
    {"HP Color LaserJet          ", "L3C22"},  // 35
    {"Epson Stylus               ", "21M1 "},  // 36
    {"Epson Stylus colour        ", "23C1 "},  // 37
    {"HP Color LaserJet 4500/8500", "43C22"},  // 38
}};

constexpr std::string_view kClassLetters = "MFSXQ2LDP345";
constexpr std::string_view kColourKinds = "RC";

int digit(char c) { return (c >= '0' && c <= '9') ? c - '0' : 0; }

}  // namespace

const PrinterModel& yyprintermodel(int model) {
  if (model < 2 || model > 38) model = 28;
  return kModels[static_cast<std::size_t>(model - 2)];
}

void iprinter(int model) {
  PrinterSelection& sel = tessar.hardcopy.selection;
  RasterPrinter& rp = tessar.hardcopy.printer;
  if (model >= 2 && model <= 38 && model != 27) {
    sel.PRINTERMODEL = model;
    sel.PRINTERCHOSEN = 1;
  } else {
    sel.PRINTERMODEL = 28;
  }
  const std::string_view d = yyprintermodel(sel.PRINTERMODEL).descriptor;
  int cls = static_cast<int>(kClassLetters.find(d[0])) + 1;
  rp.PLANES = digit(d[1]);
  const std::size_t kind = kColourKinds.find(d[2]);
  rp.COLOURKIND = kind == std::string_view::npos ? 0 : static_cast<int>(kind) + 1;
  rp.COMPRESSDIGIT = digit(d[3]);
  if (d[4] == '2' && sel.HPGL2CHOSEN == 0) iprinter2(0);

  if (cls > 5) {
    rp.PINS = 1;
  } else {
    rp.PINS = 8;
    rp.BANDADVANCE = 23;
  }
  auto resolutions = [&rp](std::initializer_list<int> dpi) {
    int i = 0;
    for (int r : dpi) rp.RESOLUTIONS[static_cast<std::size_t>(i++)] = r;
    rp.RESCOUNT = i;  // entries beyond the count keep the earlier model's values
  };
  switch (cls) {
    case 1: resolutions({240, 120, 60}); break;
    case 2: resolutions({240, 120, 90, 80}); break;
    case 3: resolutions({160, 80}); rp.BANDADVANCE = 22; break;
    case 4: resolutions({360, 180, 120, 60}); rp.BANDADVANCE = 29; rp.PINS = 24; break;
    case 5: resolutions({360, 180, 120, 90}); rp.BANDADVANCE = 24; rp.PINS = 24; break;
    case 6: resolutions({720, 360, 180}); break;
    case 7: case 8: case 10: resolutions({300, 150, 100, 75}); break;
    case 9: resolutions({180, 90}); break;
    case 11: resolutions({600, 300, 200, 150}); cls = 7; break;
    case 12: resolutions({300, 150, 75}); cls = 8; break;
    default: break;
  }
  rp.PRCLASS = cls;
}

void iprinter2(int n) {
  PrinterSelection& sel = tessar.hardcopy.selection;
  if (n >= 1 && n <= 5) {
    sel.HPGL2TYPE = n;
    sel.HPGL2CHOSEN = 1;
    return;
  }
  switch (sel.PRINTERMODEL) {
    case 32: case 35: sel.HPGL2TYPE = 2; break;
    case 29: sel.HPGL2TYPE = 3; break;
    case 38: sel.HPGL2TYPE = 5; break;
    default: sel.HPGL2TYPE = 1; break;
  }
}
