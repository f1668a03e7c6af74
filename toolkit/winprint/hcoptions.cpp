// The hardcopy options dialogs. Both option dialogs share a frame: a guarded load that leaves
// everything as it was when the template is missing, the caller's current dialog made
// current again at the end, the length units, the extension rule of the name field and the
// Browse button. The answer of the last dialog is cleared before a dialog that may not be
// shown, so that a missing template never passes an older answer on as a confirmation.
#include "toolkit/winprint/hcoptions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/hardcopy/printer_models.h"
#include "toolkit/hardcopy/startup_hardcopy.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/startup/info.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"
#include "toolkit/window/wmsg.h"
#include "toolkit/winprint/wdrivers.h"

namespace {

int& answer() { return tessar.dialog.DLGANSWER; }

// Loads the dialog; false (the load's error left recorded) when it cannot be.
bool guardedload(int identifier, int& previous) {
  previous = tessar.dialog.CURDIALOG;
  const int lasterror = tessar.error.LASTERROR;
  tessar.error.LASTERROR = 0;
  WDialogLoad(identifier, std::nullopt, -1);
  if (tessar.error.LASTERROR != 0) return false;
  tessar.error.LASTERROR = lasterror;
  return true;
}

void restore(int previous) {
  if (previous != 0) WDialogSelect(previous);
  else tessar.dialog.CURDIALOG = 0;
}

bool exists(int field) {
  int type = 0;
  (void)silently([&] { type = winfodialogfield(field, 5); });
  return type != 0;
}

// Option values as typed in a unit: value x factor shown, typed / factor stored rounded
// half away from zero; an empty field stores 0.
int fromunits(float typed, float factor) {
  if (typed == tessar.dialog.EmptyReal && tessar.error.LASTERROR == 1010) {
    tessar.error.LASTERROR = 0;
    return 0;
  }
  return static_cast<int>(std::lround(typed / factor));
}

std::string trimmed(const std::string& s) { return s.substr(0, static_cast<std::size_t>(lentrim(s))); }

// The name field's extension set to ext (with its dot), unless the name is empty or a print
// command ("@").
void extensionrule(std::string& name, std::string_view ext) {
  WDialogGetString(1201, name);
  const int L = lentrim(name);
  if (L == 0 || name.find('@') != std::string::npos) return;
  const char sep = tessar.files.PATHSEP;
  const std::size_t dot = name.rfind('.', static_cast<std::size_t>(L - 1));
  const std::size_t slash = name.find_last_of(std::string{sep, '/', '\\'}, static_cast<std::size_t>(L - 1));
  std::size_t d = static_cast<std::size_t>(L);
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) d = dot;
  if (d >= name.size()) return;
  std::string rest(name.size() - d, ' ');
  rest.replace(0, std::min(ext.size(), rest.size()), ext.substr(0, std::min(ext.size(), rest.size())));
  name.replace(d, rest.size(), rest);
  WDialogPutString(1201, name);
}

// The Save-type file dialog from the name; the chosen name goes into 1201. True when chosen.
bool browse(std::string& name, std::string_view filter, std::string_view title, int& index) {
  std::string f = trimmed(std::string(filter));
  f.push_back('\0');
  yywsfile(-1, f, 35, name, title, index, 0);
  if (answer() != 1) return false;
  WDialogPutString(1201, name);
  return true;
}

// Length units of the page dialog and of the format dialog.
constexpr std::array<const char*, 4> kUnitNames{"points", "inches", "cm", "mm"};
constexpr std::array<float, 4> kUnitFactors{1.0f, 0.01388889f, 0.03527778f, 0.3527778f};
constexpr std::array<const char*, 4> kUnitLabels{"pts", "ins", "cm ", "mm "};
constexpr std::array<float, 4> kLabelFactors{1.0f, 0.0138889f, 0.0352778f, 0.352778f};

// Model menus of the page dialog, in menu order: (model number).
constexpr std::array<int, 10> kPlotterMenu{4, 5, 9, 10, 1, 6, 2, 3, 7, 8};
constexpr std::array<int, 5> kHpgl2Menu{5, 4, 2, 1, 3};
constexpr std::array<int, 36> kRasterMenu{4,  5,  6,  23, 24, 25, 26, 17, 18, 7,  8,  36, 37, 35, 38, 14, 22, 21,
                                          34, 33, 31, 32, 10, 11, 28, 29, 13, 30, 2,  12, 15, 16, 19, 20, 3,  9};

int& modelof(int kind) {
  PrinterSelection& s = tessar.hardcopy.selection;
  return kind == 2 ? s.PLOTTERMODEL : kind == 3 ? s.HPGL2TYPE : s.PRINTERMODEL;
}
void selectmodel(int kind, int model) {
  if (kind == 2) iplotter(model);
  else if (kind == 3) iprinter2(model);
  else iprinter(model);
}

// The printer's page set-up: the page in thousandths of an inch (units below 2) or hundredths
// of a millimetre, the user's choice back in points in the options and the printer's paper.
void printerpage(int units) {
  const float f = units < 2 ? 1000.0f / 72.0f : 2540.0f / 72.0f;
  auto shown = [f](int points) { return static_cast<int>(f * static_cast<float>(points)); };
  auto points = [f](int value) { return static_cast<int>(static_cast<float>(value) / f + 0.5f); };
  const auto& options = tessar.hardcopy.HCOPTIONS;
  DeviceOperands& op = tessar.graphics.operands;
  int paperwidth = 0, paperheight = 0;
  int width = shown(options[0]), height = shown(options[1]), left = shown(options[2]), top = shown(options[3]);
  int orientation = options[4], copies = options[7];
  const int before = op.HCCOLOURS;
  int colours = before, result = 0;
  yyprintdialog(paperwidth, paperheight, width, height, left, top, orientation, copies, units, colours, result);
  if (result != 1) {
    answer() = 0;
    return;
  }
  paperwidth = points(paperwidth);
  paperheight = points(paperheight);
  igrhardcopyoptions(1, points(width));
  igrhardcopyoptions(2, points(height));
  igrhardcopyoptions(3, points(left));
  igrhardcopyoptions(4, points(top));
  igrhardcopyoptions(5, orientation);
  igrhardcopyoptions(8, copies);
  // The driver's reading of the count: more than 256 colours is a colour printer.
  const int after = yytruecolours(colours);
  if (before <= 2 && after > 2) igrhardcopyoptions(7, 0);
  if (before > 2 && after <= 2) igrhardcopyoptions(7, 1);
  op.HCCOLOURS = after;
  HardcopySettings& hs = tessar.hardcopy.settings;
  const int smaller = std::min(paperwidth, paperheight), larger = std::max(paperwidth, paperheight);
  hs.PAGEWIDTH = orientation == 0 ? smaller : larger;
  hs.PAGEHEIGHT = orientation == 0 ? larger : smaller;
  answer() = 1;
}

}  // namespace

void yypgdlg1(int units, std::string& name, int& device, std::span<int> options, int locked, int restricted,
              int length) {
  int previous = 0;
  if (!guardedload(32098, previous)) {
    restore(previous);
    return;
  }
  const int u = std::clamp(units, 0, 3);
  const float factor = kUnitFactors[static_cast<std::size_t>(u)];
  auto opt = [&options](int n) -> int& { return options[static_cast<std::size_t>(n - 1)]; };
  std::array<int, 29> saved{};
  std::copy_n(options.begin(), 29, saved.begin());
  WDialogPutString(1201, name);
  WDialogPutString(1206, std::string("Size/Position (") + kUnitNames[static_cast<std::size_t>(u)] + ")");
  auto fillpage = [&] {
    for (int i = 1; i <= 4; ++i) WDialogPutReal(1000 + i, factor * static_cast<float>(opt(i)), "(F10.2)");
  };
  fillpage();
  int orientation = 1208 + opt(5);
  WDialogPutRadioButton(orientation);
  const int kind = device == HCHPGL ? 2 : device == HCHPGL2 ? 3 : device == HCRASTER ? 1 : 0;
  struct Content {
    const char* title;
    const char* label;
    int fallback;
  };
  const Content content = device == HCHPGL      ? Content{"HP-GL Plotter Output", "Plotter type :", 5}
                          : device == HCHPGL2   ? Content{"HP-GL/2 Printer Output", "Device type :", 4}
                          : device == HCRASTER  ? Content{"HP/Epson/IBM Printer Output", "Printer type :", 25}
                                                : Content{"PostScript Output", "Format :", 1};
  WDialogTitle(content.title);
  WDialogPutString(3002, content.label);
  std::vector<std::string> items;
  std::vector<int> models;
  int selection = 1;
  const int entrymodel = kind != 0 ? modelof(kind) : 0;
  if (kind != 0) {
    const std::span<const int> menu = kind == 2   ? std::span<const int>(kPlotterMenu)
                                      : kind == 3 ? std::span<const int>(kHpgl2Menu)
                                                  : std::span<const int>(kRasterMenu);
    selection = 0;
    for (std::size_t i = 0; i < menu.size(); ++i) {
      modelof(kind) = menu[i];
      std::string text(31, ' ');
      WInfoDeviceName(kind, text);
      items.push_back(text);
      models.push_back(menu[i]);
      if (menu[i] == entrymodel) selection = static_cast<int>(i) + 1;
    }
    if (selection == 0) selection = content.fallback;
    modelof(kind) = entrymodel;
  } else {
    items = {"Printer PostScript", "Encapsulated PostScript"};
    selection = locked == 0 ? opt(22) + 1 : 1;
  }
  WDialogPutMenu(1203, items, static_cast<int>(items.size()), selection);
  const int state = device == HCPOSTSCRIPT && locked != 0 ? 0 : 1;
  WDialogFieldState(1203, state);
  WDialogFieldState(1207, state);
  WDialogShow(std::nullopt, std::nullopt, 1201, 3);
  int enabled = 0;
  yyinfomessage(EV_FIELDCHANGED, enabled);
  if (enabled == 0) wmessageenable(EV_FIELDCHANGED, 1);
  int current = selection;
  const std::string browsefilter = device == HCHPGL      ? "HP-GL plotter file|*.plt|"
                                   : device == HCHPGL2   ? "HP-GL/2 file|*.plt|"
                                   : device == HCRASTER  ? "HP PCL/Epson/IBM printer file|*.prn|"
                                                         : "PostScript file|*.ps;*.eps|";
  const std::string browsetitle = device == HCHPGL      ? "HP-GL file"
                                  : device == HCHPGL2   ? "HP-GL/2 file"
                                  : device == HCRASTER  ? "HP PCL/Epson/IBM printer file"
                                                        : "PostScript file";
  // The checked orientation button: when it changed, width and height change places.
  auto orientationcheck = [&] {
    int p = 0;
    WDialogGetRadioButton(1208, p);
    if (p < 1 || 1207 + p == orientation) return;
    orientation = 1207 + p;
    float w = 0, h = 0;
    WDialogGetReal(1001, w);
    WDialogGetReal(1002, h);
    WDialogPutReal(1001, h, "(F10.2)");
    WDialogPutReal(1002, w, "(F10.2)");
  };
  for (;;) {
    int type = 0;
    MessageRecord m;
    wmessage(type, m);
    if (type == EV_PUSHBUTTON && m.value1 == 1) {
      orientationcheck();
      WDialogGetString(1201, name);
      for (int i = 1; i <= 4; ++i) {
        float v = 0;
        WDialogGetReal(1000 + i, v);
        opt(i) = fromunits(v, factor);
      }
      int p = 0;
      WDialogGetRadioButton(1208, p);
      opt(5) = p == 1 ? 0 : 1;
      if (device == HCPOSTSCRIPT) {
        int item = 1;
        WDialogGetMenu(1203, item);
        opt(22) = item - 1;
      }
      answer() = 1;
      break;
    }
    if (type == EV_PUSHBUTTON && m.value1 == 2) {
      if (kind != 0 && entrymodel != 0 && entrymodel != modelof(kind)) {
        selectmodel(kind, entrymodel);
        igrhardcopyselect(1, device);
      }
      std::copy_n(saved.begin(), 29, options.begin());
      answer() = 0;
      break;
    }
    if (type == EV_PUSHBUTTON && m.value1 == 1202) {
      int index = 1;
      if (enabled == 0) wmessageenable(EV_FIELDCHANGED, 0);
      browse(name, browsefilter, browsetitle, index);
      if (enabled == 0) wmessageenable(EV_FIELDCHANGED, 1);
      continue;
    }
    if (type == EV_PUSHBUTTON && m.value1 == 1207) {
      int number = device;
      if (device == HCRASTER) {
        const RasterPrinter& rp = tessar.hardcopy.printer;
        number = rp.PRCLASS <= 6 ? 23 : rp.PRCLASS >= 9 ? 25 : rp.PLANES > 1 ? 21 : rp.PRCLASS == 8 ? 22 : 24;
      }
      if (enabled == 0) wmessageenable(EV_FIELDCHANGED, 0);
      if (locked == 0) yypgdlg2(units, name, 32000 + number, 1, restricted, length);
      if (enabled == 0) wmessageenable(EV_FIELDCHANGED, 1);
      WDialogSelect(32098);
      continue;
    }
    if (type != EV_FIELDCHANGED) continue;
    // The radio button is checked after the focus event that names it: its state is looked
    // at on every field change (and at OK), so an orientation change is never missed.
    orientationcheck();
    if (m.value2 == 1203) {
      int item = current;
      WDialogGetMenu(1203, item);
      if (item == current) continue;
      current = item;
      if (kind != 0) {
        selectmodel(kind, models[static_cast<std::size_t>(std::clamp(item, 1, static_cast<int>(models.size())) - 1)]);
        if (locked == 0 || (device == HCRASTER && tessar.graphics.attributes.HARDCOPYON == 0))
          igrhardcopyselect(1, device);
        const int old = opt(5);
        opt(5) = orientation - 1208;
        if (opt(5) != old) std::swap(opt(1), opt(2));
        fillpage();
      } else {
        extensionrule(name, item == 2 ? ".eps" : ".ps");
      }
    }
  }
  wmessageenable(EV_FIELDCHANGED, enabled);
  WDialogHide();
  WDialogUnload();
  restore(previous);
}

void yypgdlg2(int units, std::string& name, int identifier, int mode, int restricted, int length) {
  (void)length;
  int previous = 0;
  if (!guardedload(identifier, previous)) {
    restore(previous);
    return;
  }
  const int device = tessar.graphics.operands.HCDEVICE;
  const auto& options = tessar.hardcopy.HCOPTIONS;
  auto opt = [&options](int n) { return options[static_cast<std::size_t>(n - 1)]; };
  const int u = std::clamp(units, 0, 3);
  const float factor = kLabelFactors[static_cast<std::size_t>(u)];
  std::string filter, title;
  int format = 1;
  bool nt = false;
  if (mode == 3) {
    switch (device) {
      case HCSVG: filter = "Scalable Vector Graphics file|*.svg|"; title = "SVG file"; break;
      case HCBITMAP:
        filter = "Windows bitmap (*.bmp)|*.bmp|PC Paintbrush (*.pcx)|*.pcx|Portable network graphics (*.png)|*.png|";
        title = "BMP/PCX/PNG bit image file";
        format = opt(26) + 1;
        break;
      case HCDXF: filter = "AutoCAD DXF file|*.dxf|"; title = "DXF file"; break;
      case HCCGM: filter = "Computer Graphics Metafile|*.cgm|"; title = "CGM file"; break;
      case HCWMF:
        filter = "Windows Metafile (*.wmf)|*.wmf|Enhanced Windows Metafile (*.emf)|*.emf|";
        title = "Windows Metafile";
        format = opt(27) + 1;
        WDialogPutRadioButton(lentrim(name) == 0 ? 4001 : 1014);
        nt = winfosystem(16) == 4;
        if (!(opt(27) == 2 && nt)) WDialogFieldState(1029, 0);
        WDialogFieldOptions(1201, 3, 1);
        break;
      default: break;
    }
    WDialogPutString(1201, name);
  }
  // The option fields the dialog holds.
  auto realfield = [device](int n) { return (n == 1 || n == 2) && device != HCSVG && device != HCBITMAP; };
  auto checkfield = [device](int n) {
    if (n == 19) return !(device == HCRASTER && tessar.hardcopy.printer.PRCLASS >= 7);
    return n == 15 || n == 17 || n == 18 || n == 20 || n == 29;
  };
  auto integerfield = [&](int n) {
    return ((n == 1 || n == 2) && !realfield(n)) || n == 8 || n == 9 || n == 12 || n == 16 || n == 21;
  };
  for (int n = 1; n <= 29; ++n) {
    const int f = 1000 + n;
    if (!exists(f) || (device == HCWMF && n == 14)) continue;
    const int v = opt(n);
    if (realfield(n)) {
      WDialogPutReal(f, factor * static_cast<float>(v), "(F10.2)");
      WDialogPutString(2000 + n, kUnitLabels[static_cast<std::size_t>(u)]);
    } else if (integerfield(n)) {
      WDialogPutInteger(f, v);
    } else if (n == 13) {
      std::vector<std::string> items;
      const RasterPrinter& rp = tessar.hardcopy.printer;
      for (int k = 0; k < std::min(rp.RESCOUNT, 4); ++k) {
        char b[8];
        std::snprintf(b, sizeof b, "%3d", rp.RESOLUTIONS[static_cast<std::size_t>(k)] % 1000);
        items.emplace_back(b);
      }
      WDialogPutMenu(1013, items, static_cast<int>(items.size()), v);
    } else if (checkfield(n)) {
      WDialogPutCheckBox(f, v % 2 != 0 ? 1 : 0);
    } else if (n == 23) {
      WDialogPutOption(f, v == 24 ? 4 : v / 4 + 1);
    } else {
      WDialogPutOption(f, v + 1);
    }
  }
  if (restricted != 0)
    for (int n : {6, 7, 9, 10, 11})
      if (exists(1000 + n)) WDialogFieldState(1000 + n, 0);
  WDialogShow(std::nullopt, std::nullopt, 0, mode);
  if (mode == 3) {
    int enabled = 0;
    yyinfomessage(EV_FIELDCHANGED, enabled);
    if (device == HCPOSTSCRIPT || device == HCBITMAP || device == HCWMF) wmessageenable(EV_FIELDCHANGED, 1);
    for (;;) {
      int type = 0;
      MessageRecord m;
      wmessage(type, m);
      if (type == EV_PUSHBUTTON) {
        tessar.dialog.EXITBUTTON = m.value1;
        if (m.value1 == 1) {
          int p = 1;
          if (device == HCWMF) WDialogGetRadioButton(1014, p);
          if (device == HCWMF && p == 2) name.assign(name.size(), ' ');
          else WDialogGetString(1201, name);
          WDialogHide();
          break;
        }
        if (m.value1 == 2) {
          WDialogHide();
          break;
        }
        if (m.value1 == 1202) {
          int index = (device == HCBITMAP || device == HCWMF) ? (device == HCBITMAP ? (format == 1 ? 2 : format == 4 ? 3 : 1)
                                                                                     : (format == 3 ? 2 : 1))
                                                               : 1;
          if (!browse(name, filter, title, index)) continue;
          std::string ending = trimmed(name);
          ending = ending.size() >= 3 ? ending.substr(ending.size() - 3) : std::string();
          for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
          if (device == HCBITMAP) {
            if (ending == "bmp" && format != 2 && format != 3) format = 2;
            else if (ending == "pcx") format = 1;
            else if (ending == "png") format = 4;
            WDialogPutOption(1026, format);
          } else if (device == HCWMF) {
            if (lentrim(name) == 0) {
              WDialogPutRadioButton(4001);
            } else {
              WDialogPutRadioButton(1014);
              if (ending == "emf") format = 3;
              else if (format == 3) format = 1;
              WDialogPutOption(1027, format);
              if (nt) WDialogFieldState(1029, format == 3 ? 1 : 0);
            }
          }
        }
        continue;
      }
      if (type != EV_FIELDCHANGED || m.value1 != m.value2) continue;
      switch (m.value2) {
        case 1014: case 4001: {
          int p = 0;
          WDialogGetRadioButton(1014, p);
          if (p == 1) WDialogSetField(1201);
          break;
        }
        case 1026: {
          WDialogGetMenu(1026, format);
          static const char* const kExt[4] = {".pcx", ".bmp", ".bmp", ".png"};
          extensionrule(name, kExt[std::clamp(format, 1, 4) - 1]);
          break;
        }
        case 1027:
          WDialogGetMenu(1027, format);
          extensionrule(name, format == 3 ? ".emf" : ".wmf");
          if (nt) WDialogFieldState(1029, format == 3 ? 1 : 0);
          break;
        case 1201:
          WDialogGetString(1201, name);
          WDialogPutRadioButton(lentrim(name) == 0 ? 4001 : 1014);
          break;
        default: break;
      }
    }
    wmessageenable(EV_FIELDCHANGED, enabled);
  }
  if (tessar.dialog.EXITBUTTON == 1) {
    answer() = 1;
    for (int n = 1; n <= 29; ++n) {
      const int f = 1000 + n;
      if (!exists(f) || (device == HCWMF && n == 14)) continue;
      int value = opt(n);
      if (realfield(n)) {
        float v = 0;
        WDialogGetReal(f, v);
        value = fromunits(v, factor);
      } else if (integerfield(n)) {
        WDialogGetInteger(f, value);
      } else if (n == 13) {
        WDialogGetMenu(f, value);
      } else if (checkfield(n)) {
        WDialogGetCheckBox(f, value);
      } else if (n == 23) {
        int item = 1;
        WDialogGetMenu(f, item);
        static const int kBits6[4] = {1, 4, 8, 24}, kBits[4] = {3, 4, 8, 24};
        value = (device == HCBITMAP ? kBits6 : kBits)[std::clamp(item, 1, 4) - 1];
      } else {
        int item = value + 1;
        WDialogGetMenu(f, item);
        value = item - 1;
      }
      if (value != opt(n)) igrhardcopyoptions(n, value);
    }
  } else {
    answer() = 0;
  }
  WDialogUnload();
  restore(previous);
}

void WHardcopyOptions(std::optional<int> mode, std::string* name) {
  DeviceOperands& op = tessar.graphics.operands;
  if (op.HCDEVICE == 0) {
    yyerror(46, "WHardcopyOptions");
    return;
  }
  int status = 0;
  yygetwindowbitmap(1, -1, status);
  if (status != 0) yyerror(status, "WHardcopyOptions");
  int units = mode.has_value() ? std::abs(*mode) : -1;
  if (units > 3 || units < 0) units = win::yylocalemeasure() == 1 ? 1 : 2;
  const int negative = mode.has_value() && *mode < 0 ? 1 : 0;
  if (op.HCDEVICE == HCWINPRINTER) {
    if (tessar.hardcopy.settings.PRINTERPRESENT == 0) {
      // No set-up took place: an older answer must not confirm a print on no printer.
      answer() = 0;
      yyerror(63, "WHardcopyOptions");
    } else {
      printerpage(units);
    }
  } else {
    std::string working(260, ' ');
    assignfixed(working, name != nullptr ? trimmed(*name) : trimmed(tessar.files.HCOUTPUT));
    // A dialog whose template is missing is not shown: no older answer may confirm it.
    answer() = 0;
    const int d = op.HCDEVICE;
    if (d == HCHPGL || d == HCPOSTSCRIPT || d == HCRASTER || d == HCHPGL2) {
      int device = d;
      yypgdlg1(units, working, device, tessar.hardcopy.HCOPTIONS, 0, negative, 260);
    } else {
      yypgdlg2(units, working, 32000 + d, 3, negative, 260);
    }
    if (answer() == 1) {
      if (name != nullptr) *name = trimmed(working);
      else assignfixed(tessar.files.HCOUTPUT, trimmed(working));
    }
  }
  yygetwindowbitmap(0, -1, status);
}
