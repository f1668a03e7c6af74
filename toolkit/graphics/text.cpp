// Text state and font selection.
#include "toolkit/graphics/text.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "toolkit/graphics/devices.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

constexpr float kDefaultWidth = 0.01333333f;
constexpr float kDefaultHeight = 0.04f;

struct WidthRun { int first, last; float width; };
constexpr WidthRun kWidths[] = {
    {32, 32, 0.7f},    {33, 33, 0.56f},   {34, 34, 0.69f},   {35, 36, 0.84f},
    {37, 37, 1.39f},   {38, 38, 1.3f},    {39, 41, 0.56f},   {42, 42, 0.84f},
    {43, 43, 0.94f},   {44, 44, 0.42f},   {45, 45, 0.56f},   {46, 46, 0.42f},
    {47, 47, 0.47f},   {48, 57, 0.84f},   {58, 59, 0.47f},   {60, 62, 0.94f},
    {63, 63, 0.74f},   {64, 64, 1.54f},   {65, 67, 1.11f},   {68, 68, 1.2f},
    {69, 69, 1.02f},   {70, 70, 0.93f},   {71, 71, 1.2f},    {72, 72, 1.05f},
    {73, 73, 0.56f},   {74, 74, 0.65f},   {75, 75, 1.2f},    {76, 76, 0.98f},
    {77, 77, 1.3f},    {78, 79, 1.2f},    {80, 80, 0.93f},   {81, 81, 1.2f},
    {82, 82, 1.11f},   {83, 83, 0.93f},   {84, 84, 1.02f},   {85, 85, 1.11f},
    {86, 86, 1.02f},   {87, 87, 1.5f},    {88, 89, 1.2f},    {90, 90, 1.02f},
    {91, 91, 0.56f},   {92, 92, 0.47f},   {93, 93, 0.56f},   {94, 94, 0.78f},
    {95, 95, 0.84f},   {96, 96, 0.56f},   {97, 97, 0.74f},   {98, 98, 0.84f},
    {99, 99, 0.74f},   {100, 100, 0.84f}, {101, 101, 0.74f}, {102, 102, 0.56f},
    {103, 104, 0.84f}, {105, 106, 0.46f}, {107, 107, 0.84f}, {108, 108, 0.46f},
    {109, 109, 1.3f},  {110, 113, 0.84f}, {114, 114, 0.56f}, {115, 115, 0.65f},
    {116, 116, 0.5f},  {117, 118, 0.84f}, {119, 119, 1.2f},  {120, 121, 0.84f},
    {122, 122, 0.74f}, {123, 123, 0.8f},  {124, 124, 0.33f}, {125, 125, 0.8f},
    {126, 126, 0.9f},  {127, 127, 0.74f},
    {161, 161, 0.55f}, {162, 165, 0.83f}, {166, 166, 0.33f}, {167, 167, 0.83f},
    {168, 168, 0.55f}, {169, 169, 1.27f}, {170, 170, 0.46f}, {171, 171, 0.83f},
    {172, 172, 0.94f}, {173, 173, 0.55f}, {174, 174, 1.27f}, {175, 175, 0.55f},
    {176, 176, 0.67f}, {177, 177, 0.94f}, {178, 179, 0.5f},  {180, 180, 0.55f},
    {181, 181, 0.83f}, {182, 182, 0.75f}, {183, 183, 0.42f}, {184, 184, 0.55f},
    {185, 185, 0.5f},  {186, 186, 0.52f}, {187, 187, 0.83f}, {188, 190, 1.25f},
    {191, 191, 0.74f}, {192, 197, 1.2f},  {198, 198, 1.49f}, {199, 199, 1.11f},
    {200, 203, 1.02f}, {204, 207, 0.55f}, {208, 214, 1.2f},  {215, 215, 0.94f},
    {216, 221, 1.2f},  {222, 222, 0.93f}, {223, 223, 0.83f}, {224, 229, 0.74f},
    {230, 230, 1.11f}, {231, 235, 0.74f}, {236, 239, 0.46f}, {240, 246, 0.83f},
    {247, 247, 0.94f}, {248, 255, 0.83f}};

// Entry of the width table for a code 32-127 or 161-255.
int widthslot(int code) { return code <= 127 ? code - 32 : code - 161 + 96; }

float defaultwidth(int code) {
  for (const WidthRun& r : kWidths)
    if (code >= r.first && code <= r.last) return r.width;
  return 0;
}

int defaultspacing() {
  const TextState& ts = tessar.graphics.text;
  if (ts.FONTKIND == 1) return tessar.graphics.font.DEFSPACING;
  return ts.FACE == 1 ? 0 : 2;
}

// Sine and cosine of an angle in degrees, each rounded to single precision.
float sindeg(float a) { return static_cast<float>(std::sin(a * std::numbers::pi / 180.0)); }
float cosdeg(float a) { return static_cast<float>(std::cos(a * std::numbers::pi / 180.0)); }

// a - 360 aint(a / 360): an angle already made non-negative reduced to [0, 360).
float reduce(float a) { return a - 360.0f * std::trunc(a / 360.0f); }

}  // namespace

void yytextreset() {
  TextState& ts = tessar.graphics.text;
  ts.USERFACE = std::string(100, ' ');
  ts.CW = kDefaultWidth;
  ts.CH = kDefaultHeight;
  ts.SLANT = 0;
  ts.ANGLE2 = 0; ts.COSA2 = 1; ts.SINA2Q = 0; ts.SINA2DQ = 0;
  ts.ANGLE1 = 0; ts.COSA1 = 1; ts.SINA1Q = 0; ts.SINA1DQ = 0;
  ts.FONTKIND = 0;
  ts.FACE = 1;
  ts.HWFONT = 1;
  ts.TYPEFLAGS = 0;
  ts.DIRECTION = 0;
  ts.JUSTIFY = 1;
  ts.VALIGN = 2;
  ts.SPACING = 0;
  ts.LOADEDBOLD = 0;
  ts.SUBST = {1, 1};
}

void WGrTextFont(const TextFontOptions& o) {
  TextState& ts = tessar.graphics.text;
  const StrokeFont& font = tessar.graphics.font;
  bool refresh = false;

  if (o.family) {
    const int f = *o.family;
    if (f == 1) {
      ts.FONTKIND = 1;
      ts.SPACING = font.DEFSPACING;
    } else if (f == 2) {
      ts.FONTKIND = 0;
      ts.SPACING = ts.FACE == 1 ? 0 : 2;
    } else if (f == 100) {
      ts.FONTKIND = 0; ts.FACE = 0; ts.SPACING = 2; refresh = true;
    } else if (f == 101) {
      ts.FONTKIND = 0; ts.FACE = 1; ts.SPACING = 0; refresh = true;
    } else if (f >= 102 && f <= 104) {
      ts.FONTKIND = 0; ts.FACE = f - 100; ts.SPACING = 2; refresh = true;
    }
  }
  if (o.width) {
    if (*o.width > 0) ts.CW = *o.width;
    refresh = true;
  }
  if (o.height) {
    if (*o.height > 0) ts.CH = *o.height;
    refresh = true;
  }
  if (o.type) {
    if (ts.FONTKIND == 0 && (*o.type & 7) != (ts.TYPEFLAGS & 7)) refresh = true;
    ts.TYPEFLAGS = *o.type;
  }
  if (ts.FONTKIND == 1 && font.STROKED == 0 && ts.LOADEDBOLD != ts.TYPEFLAGS % 2) {
    const std::string_view name = std::string_view(font.NAME).substr(0, 5);
    void (*install)(int) = nullptr;
    if (name == "fixed") install = graphicsservices.wgrofontfixed;
    else if (name == "swiss") install = graphicsservices.wgrofontswiss;
    else if (name == "roman") install = graphicsservices.wgrofontroman;
    if (install != nullptr) install(ts.TYPEFLAGS);
  }
  if ((o.family || o.type) && ts.FONTKIND == 1) ts.SLANT = (ts.TYPEFLAGS & 2) != 0 ? 0.4663f : 0;
  if (o.spacing) {
    const int before = ts.SPACING;
    if (*o.spacing == 0)
      ts.SPACING = defaultspacing();
    else if (*o.spacing == 1 && (ts.FONTKIND == 1 || ts.FACE == 0))
      ts.SPACING = 0;
    else if (*o.spacing == 2 && (ts.FONTKIND == 1 || ts.FACE != 1))
      ts.SPACING = 1;
    if (ts.SPACING != before && ts.FONTKIND == 0) refresh = true;
  }
  if (o.name && ts.FACE == 0) {
    assignfixed(ts.USERFACE, *o.name);
    refresh = true;
  }
  if (ts.FONTKIND == 0 && ts.FACE == 0 && lentrim(ts.USERFACE) == 0) {
    ts.HWFONT = ts.SPACING == 0 ? 1 : 2;
    yyerror(1058, "WGrTextFont");
    return;
  }
  if (refresh) yychdfont();
}

void wgrtextorientation(std::optional<int> justification, std::optional<float> angle,
                        std::optional<int> direction, std::optional<int> alignment) {
  TextState& ts = tessar.graphics.text;
  if (justification && *justification >= 0 && *justification <= 2) ts.JUSTIFY = *justification;
  if (angle) yychrot(*angle);
  if (direction) ts.DIRECTION = *direction;
  if (alignment && *alignment >= 0 && *alignment <= 2) ts.VALIGN = *alignment;
}

void igrcharjustify(std::string_view letter) {
  const char c = letter.empty() ? ' ' : letter[0];
  tessar.graphics.text.JUSTIFY = (c == 'L' || c == 'l') ? 0 : (c == 'R' || c == 'r') ? 2 : 1;
}

void igrcharrotate(float angle) { yychrot(angle); }

void igrchardirection(std::string_view letter) {
  const char c = letter.empty() ? ' ' : letter[0];
  tessar.graphics.text.DIRECTION = (c == 'V' || c == 'v') ? 1 : 0;
}

float wgrtextlength(std::string_view text, std::optional<int> mode) {
  GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  DeviceOperands& op = g.operands;
  const int n = static_cast<int>(text.size());
  if (ts.SPACING != 1 && ts.FONTKIND == 0 && mode.value_or(0) == 0) {
    op.IOPER1 = std::min(n, 260);
    op.IOPER2 = 0;
    assignfixed(tessar.files.HCCURRENT, text);
    if (g.attributes.SCREENON != 0)
      yygdrv(DTEXTLENGTH);
    else
      yyhdrv(DTEXTLENGTH);
    if (op.IOPER2 != 0) return ts.CHSCALEX * op.RX1 / g.area.REXTX;
  }
  if (ts.SPACING == 0) return static_cast<float>(n);
  float sum = 0;
  for (char c : text) sum += yychwidth(yychcode(c));
  return sum;
}

void yychsize(float width, float height) {
  TextState& ts = tessar.graphics.text;
  ts.CW = width > 0 ? width : kDefaultWidth;
  ts.CH = height > 0 ? height : kDefaultHeight;
  yychdfont();
}

void yychdfont() {
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  ts.HWFONT = ts.FACE != 0 ? ts.FACE : (ts.SPACING == 0 ? 1 : 2);
  yyhdrv(DFONT);
  if (g.attributes.SCREENON == 0) {
    ts.CHSCALEX = g.area.REXTX / (g.area.RDEVW * ts.CW);
    ts.CHSCALEY = g.area.REXTY / (g.area.RDEVH * ts.CH);
  } else if (ts.FONTKIND == 0) {
    yygdrv(DFONT);
  }
}

void yychrot(float angle) {
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  // An angle that is not a number has no direction: it counts as 0.
  if (!std::isfinite(angle)) angle = 0;
  const long double turns = std::trunc(std::fabs(static_cast<long double>(angle)) / 360.0L) + 1;
  const float t = static_cast<float>(angle + 360.0L * turns);
  const float a1 = reduce(t);
  const float a2 = reduce(a1 + static_cast<float>(ar.PAGEROTATION));
  const float w = static_cast<float>(g.target.WIDTH), h = static_cast<float>(g.target.HEIGHT);
  float q = 1;
  // Without a sized drawable and area there is no aspect to correct for.
  if (w > 0 && h > 0 && ar.RDEVW > 0 && ar.RDEVH > 0 && ar.AREAW > 0 && ar.AREAH > 0) {
    const float r = ar.PAGEROTATION % 180 == 0 ? w / h : h / w;
    q = r * (ar.RDEVH / ar.RDEVW) * (ar.AREAW / ar.AREAH);
  }
  const float s1 = sindeg(a1), s2 = sindeg(a2);
  ts.COSA1 = cosdeg(a1); ts.SINA1Q = s1 * q; ts.SINA1DQ = s1 / q;
  ts.COSA2 = cosdeg(a2); ts.SINA2Q = s2 * q; ts.SINA2DQ = s2 / q;
  ts.ANGLE1 = a1;
  ts.ANGLE2 = a2;
  yygdrv(DCHARROTATE);
  yyhdrv(DCHARROTATE);
}

void yychspace(int code) {
  std::array<float, 191>& widths = tessar.graphics.text.CHARWIDTHS;
  if (code == 0) {
    for (int c = 32; c <= 127; ++c) widths[widthslot(c)] = defaultwidth(c);
    for (int c = 161; c <= 255; ++c) widths[widthslot(c)] = defaultwidth(c);
    return;
  }
  if (code == 128) code = 127;
  else if (!((code >= 32 && code <= 126) || (code >= 161 && code <= 255))) {
    yyerror(66, "YYCHSPACE");
    return;
  }
  widths[widthslot(code)] = defaultwidth(code);
}

int yychcode(char ch) {
  const StrokeFont& font = tessar.graphics.font;
  const int c = yyichar(ch);
  if (c >= 32 && c <= 126) return c;
  if (c == 128) return font.GLYPHS128 != 0 ? 127 : 32;
  if (c >= 161) return font.CHARSETWIDTH == 7 ? 32 : c;
  return 32;
}

float yychwidth(int code) { return tessar.graphics.text.CHARWIDTHS[widthslot(code)]; }
