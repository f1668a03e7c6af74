// platform/gdi_printer.cpp: printer device contexts and print jobs. A printer DC is a
// recording device context whose reference is the printer: every page is recorded, and at
// EndPage played with cairo into the job's PDF (vector figures and real text, so the page
// keeps its text for whoever reads the PDF). EndDoc hands the finished PDF to CUPS as one
// job, or writes it out for the built-in PDF printer.
//
// Invariants: (1) the PDF lives in a temporary file from StartDoc to EndDoc or AbortDoc and
// is removed on every path; (2) the player's drawing state (objects, colours, modes) lasts
// the whole job, as the DC's own state does, so a page that selects nothing anew draws with
// what the previous page left selected; (3) the window origin in force at EndPage maps the
// page's logical coordinates to printer pixels.
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/gdi_internal.h"
#include "platform/printer.h"
#include "platform/printer_internal.h"

namespace win::gdi {
namespace {

constexpr int kCapIndexes[] = {TECHNOLOGY, HORZSIZE, VERTSIZE, HORZRES, VERTRES, BITSPIXEL,
                               PLANES, NUMCOLORS, LOGPIXELSX, LOGPIXELSY, PHYSICALWIDTH,
                               PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY};

// One FreeType library for the run: cairo keeps font faces cached beyond a job, and their
// faces must not outlive the library they came from.
FT_Library library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    FT_Init_FreeType(&l);
    return l;
  }();
  return lib;
}

double red(COLORREF c) { return (c & 0xFF) / 255.0; }
double green(COLORREF c) { return ((c >> 8) & 0xFF) / 255.0; }
double blue(COLORREF c) { return ((c >> 16) & 0xFF) / 255.0; }
void source(cairo_t* cr, COLORREF c) { cairo_set_source_rgb(cr, red(c), green(c), blue(c)); }

// A font of the page as cairo draws it: the face file at the platform's em, stretched to the
// asked average width; metrics as the platform reports them, so placement matches GDI.
struct PageFont {
  cairo_font_face_t* face = nullptr;
  FT_Face ft = nullptr;
  bool symbol = false;
  bool wingdings = false;
  double em = 0, xscale = 1;
  LONG ascent = 0, descent = 0;
  bool underline = false;
  double angle = 0;  // radians, counterclockwise
};

// Replays recorded pages onto a cairo context in printer pixels.
class Player {
 public:
  explicit Player(FT_Library lib) : lib_(lib) {}
  ~Player() {
    for (auto& [i, f] : fonts_)
      if (f.face) cairo_font_face_destroy(f.face);
  }

  void play(cairo_t* cr, const std::vector<MetaRecord>& records, POINT shift) {
    shift_ = shift;
    limits(cr);
    cairo_save(cr);
    for (const MetaRecord& r : records) step(cr, r);
    cairo_restore(cr);
  }

 private:
  struct Object {
    MetaRecord def;
  };

  FT_Library lib_;
  POINT shift_{0, 0};
  std::map<LONG, MetaRecord> objects_;
  std::map<LONG, PageFont> fonts_;
  // A new device context draws with the black pen and the white brush until others are chosen.
  const MetaRecord defaultPen_{38, {0, PS_SOLID, 0, 0, 0}, {}, {}, {}};
  const MetaRecord defaultBrush_{39, {0, BS_SOLID, 0xFFFFFF}, {}, {}, {}};
  const MetaRecord* pen_ = &defaultPen_;
  const MetaRecord* brush_ = &defaultBrush_;
  LONG font_ = -1;
  COLORREF text_ = 0, bk_ = 0xFFFFFF;
  int bkMode_ = OPAQUE, fillMode_ = ALTERNATE;
  UINT align_ = 0;
  POINT current_{0, 0};
  std::vector<RECT> clip_;
  bool clipped_ = false;

  double X(LONG x) const { return static_cast<double>(x) - shift_.x; }
  double Y(LONG y) const { return static_cast<double>(y) - shift_.y; }

  // What cairo is given stays within the surface widened by more than any pen reaches (pens
  // are at most 4096 pixels wide on playing): cairo holds coordinates in 24.8 fixed point, and
  // dashes a line along its whole length, so a figure a billion pixels away would wrap, or
  // take minutes, in whatever copy or print replays it. Figures that reach beyond are cut to
  // this box first; what lies on the surface stays as it was.
  struct Pt { double x, y; };
  struct Box {
    double x0 = -16384, y0 = -16384, x1 = 16384, y1 = 16384;
    bool inside(double x, double y) const { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }
    double cx(double x) const { return std::clamp(x, x0, x1); }
    double cy(double y) const { return std::clamp(y, y0, y1); }
  } box_;

  void limits(cairo_t* cr) {
    double a = 0, b = 0, c = 0, d = 0;
    cairo_clip_extents(cr, &a, &b, &c, &d);
    constexpr double kMargin = 8192, kMost = 4.0e6;
    box_.x0 = std::clamp(a - kMargin, -kMost, kMost);
    box_.y0 = std::clamp(b - kMargin, -kMost, kMost);
    box_.x1 = std::clamp(c + kMargin, box_.x0, kMost);
    box_.y1 = std::clamp(d + kMargin, box_.y0, kMost);
  }

  bool within(const std::vector<Pt>& p) const {
    for (const Pt& q : p)
      if (!box_.inside(q.x, q.y)) return false;
    return true;
  }

  // The part of segment a-b inside the box, as the parameters t0 <= t1; false when none.
  bool cut(const Pt& a, const Pt& b, double& t0, double& t1) const {
    const double dx = b.x - a.x, dy = b.y - a.y;
    t0 = 0;
    t1 = 1;
    auto edge = [&](double p, double q) {   // keeps the part where p t <= q
      if (p == 0) return q >= 0;
      const double t = q / p;
      if (p < 0) t0 = std::max(t0, t);
      else t1 = std::min(t1, t);
      return t0 <= t1;
    };
    return edge(-dx, a.x - box_.x0) && edge(dx, box_.x1 - a.x) && edge(-dy, a.y - box_.y0) &&
           edge(dy, box_.y1 - a.y);
  }

  // A closed ring cut to the box (Sutherland-Hodgman): inside the box every point is as
  // often encircled as before, so both fill rules fill what they filled.
  std::vector<Pt> clipRing(std::vector<Pt> ring) const {
    auto pass = [&](auto in, auto cross) {
      std::vector<Pt> out;
      for (size_t i = 0; i < ring.size(); ++i) {
        const Pt& a = ring[i];
        const Pt& b = ring[(i + 1) % ring.size()];
        const bool ia = in(a), ib = in(b);
        if (ia) out.push_back(a);
        if (ia != ib) out.push_back(cross(a, b));
      }
      ring = std::move(out);
    };
    auto atx = [](const Pt& a, const Pt& b, double x) {
      return Pt{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
    };
    auto aty = [](const Pt& a, const Pt& b, double y) {
      return Pt{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
    };
    pass([&](const Pt& p) { return p.x >= box_.x0; }, [&](const Pt& a, const Pt& b) { return atx(a, b, box_.x0); });
    pass([&](const Pt& p) { return p.x <= box_.x1; }, [&](const Pt& a, const Pt& b) { return atx(a, b, box_.x1); });
    pass([&](const Pt& p) { return p.y >= box_.y0; }, [&](const Pt& a, const Pt& b) { return aty(a, b, box_.y0); });
    pass([&](const Pt& p) { return p.y <= box_.y1; }, [&](const Pt& a, const Pt& b) { return aty(a, b, box_.y1); });
    return ring;
  }

  void ringPath(cairo_t* cr, const std::vector<Pt>& ring) {
    for (size_t i = 0; i < ring.size(); ++i) {
      if (i == 0) cairo_move_to(cr, ring[i].x, ring[i].y);
      else cairo_line_to(cr, ring[i].x, ring[i].y);
    }
    if (!ring.empty()) cairo_close_path(cr);
  }

  // A line through the points with the selected pen. One reaching beyond the box is stroked
  // piece by piece, each piece starting its dashes where the whole line has them there.
  void strokeLine(cairo_t* cr, const std::vector<Pt>& p, bool closed) {
    if (p.empty()) return;
    if (within(p)) {
      for (size_t i = 0; i < p.size(); ++i) {
        if (i == 0) cairo_move_to(cr, p[i].x, p[i].y);
        else cairo_line_to(cr, p[i].x, p[i].y);
      }
      if (closed) cairo_close_path(cr);
      stroke(cr);
      return;
    }
    cairo_new_path(cr);
    const size_t segments = closed ? p.size() : p.size() - 1;
    double along = 0, phase = 0;
    bool open = false;
    for (size_t i = 0; i < segments; ++i) {
      const Pt& a = p[i];
      const Pt& b = p[(i + 1) % p.size()];
      const double length = std::hypot(b.x - a.x, b.y - a.y);
      double t0 = 0, t1 = 0;
      if (cut(a, b, t0, t1)) {
        const Pt s{a.x + t0 * (b.x - a.x), a.y + t0 * (b.y - a.y)};
        const Pt e{a.x + t1 * (b.x - a.x), a.y + t1 * (b.y - a.y)};
        if (!(open && t0 == 0)) {
          if (open) stroke(cr, false, phase);
          phase = along + t0 * length;
          cairo_move_to(cr, s.x, s.y);
        }
        cairo_line_to(cr, e.x, e.y);
        open = true;
        if (t1 < 1) {
          stroke(cr, false, phase);
          open = false;
        }
      } else if (open) {
        stroke(cr, false, phase);
        open = false;
      }
      along += length;
    }
    if (open) stroke(cr, false, phase);
  }

  static LONG at(const std::vector<LONG>& a, size_t i) { return i < a.size() ? a[i] : 0; }
  // A clip rectangle's side: as far as cairo can hold and well past any surface.
  static LONG limit(LONG v) { return std::clamp<LONG>(v, -4000000, 4000000); }

  void applyClip(cairo_t* cr) {
    cairo_reset_clip(cr);
    if (!clipped_) return;
    for (const RECT& q : clip_) cairo_rectangle(cr, q.left, q.top, q.right - q.left, q.bottom - q.top);
    cairo_clip(cr);
  }

  // Strokes the current path with the selected pen; false when the pen draws nothing.
  bool stroke(cairo_t* cr, bool keep = false, double phase = 0) {
    const MetaRecord* p = pen_;
    UINT style = p ? static_cast<UINT>(at(p->args, 1)) : PS_SOLID;
    if (p == nullptr || (style & PS_STYLE_MASK) == PS_NULL) {
      if (!keep) cairo_new_path(cr);
      return false;
    }
    const LONG width = at(p->args, 2);
    const bool geometric = at(p->args, 4) != 0;
    const bool wide = width > 1;
    cairo_set_line_width(cr, wide ? width : 1.0);
    std::vector<double> dashes;
    const UINT kind = style & PS_STYLE_MASK;
    if (kind == PS_USERSTYLE) {
      for (size_t i = 7; i < p->args.size(); ++i) dashes.push_back(std::max<LONG>(p->args[i], 0));
    } else if (!wide || geometric) {
      switch (kind) {
        case PS_DASH: dashes = {18, 6}; break;
        case PS_DOT: dashes = {3, 3}; break;
        case PS_DASHDOT: dashes = {9, 6, 3, 6}; break;
        case PS_DASHDOTDOT: dashes = {9, 3, 3, 3, 3, 3}; break;
        case PS_ALTERNATE: dashes = {1, 1}; break;
        default: break;
      }
    }
    double total = 0;
    for (double v : dashes) total += v;
    const double offset = total > 0 ? std::fmod(phase, total) : 0;
    cairo_set_dash(cr, total > 0 ? dashes.data() : nullptr, total > 0 ? static_cast<int>(dashes.size()) : 0, offset);
    cairo_line_cap_t cap = CAIRO_LINE_CAP_BUTT;
    cairo_line_join_t join = CAIRO_LINE_JOIN_MITER;
    if (geometric) {
      const UINT ec = static_cast<UINT>(at(p->args, 5)), jn = static_cast<UINT>(at(p->args, 6));
      cap = ec == PS_ENDCAP_SQUARE ? CAIRO_LINE_CAP_SQUARE : ec == PS_ENDCAP_FLAT ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND;
      join = jn == PS_JOIN_BEVEL ? CAIRO_LINE_JOIN_BEVEL : jn == PS_JOIN_MITER ? CAIRO_LINE_JOIN_MITER : CAIRO_LINE_JOIN_ROUND;
    } else if (wide) {
      cap = CAIRO_LINE_CAP_ROUND;
      join = CAIRO_LINE_JOIN_ROUND;
    }
    cairo_set_line_cap(cr, cap);
    cairo_set_line_join(cr, join);
    source(cr, static_cast<COLORREF>(at(p->args, 3)));
    if (keep) cairo_stroke_preserve(cr);
    else cairo_stroke(cr);
    return true;
  }

  bool hasPen() const {
    return pen_ != nullptr && (static_cast<UINT>(at(pen_->args, 1)) & PS_STYLE_MASK) != PS_NULL;
  }

  // Fills the current path with the selected brush (hatches and patterns as their colour).
  void fill(cairo_t* cr) {
    if (brush_ == nullptr || static_cast<UINT>(at(brush_->args, 1)) == BS_NULL) return;
    source(cr, static_cast<COLORREF>(at(brush_->args, 2)));
    cairo_set_fill_rule(cr, fillMode_ == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill_preserve(cr);
  }

  // A closed figure: filled, then outlined through the pixel centres of its edge.
  void figure(cairo_t* cr, const std::function<void(double inset)>& path) {
    const bool pen = hasPen();
    // Without a pen the brush covers one pixel less on the right and at the bottom.
    path(pen ? 0.0 : -1.0);
    fill(cr);
    cairo_new_path(cr);
    if (!pen) return;
    path(0.5);
    stroke(cr);
  }

  void boxPath(cairo_t* cr, LONG l, LONG t, LONG r, LONG b, double inset) {
    const double x0 = box_.cx(X(std::min(l, r))), y0 = box_.cy(Y(std::min(t, b)));
    const double x1 = box_.cx(X(std::max(l, r))), y1 = box_.cy(Y(std::max(t, b)));
    const double in = inset > 0 ? inset : 0, shrink = inset < 0 ? -inset : 0;
    cairo_rectangle(cr, x0 + in, y0 + in, std::max(0.0, x1 - x0 - 2 * in - shrink), std::max(0.0, y1 - y0 - 2 * in - shrink));
  }

  // The ellipse inscribed in the box, or its part swept counterclockwise (on the page) from
  // the ray through the start point to the ray through the end point.
  // Whether an ellipse's box reaches beyond the box cairo may be given.
  bool farEllipse(const LONG* v) const {
    return !within({{X(v[0]), Y(v[1])}, {X(v[2]), Y(v[3])}});
  }

  // The ellipse (or its pie or arc) as points: enough of them that on a curve a billion
  // pixels across a chord strays less than a pixel from it.
  std::vector<Pt> ellipsePoints(const LONG* v, double inset, int kind) const {
    const double x0 = X(std::min(v[0], v[2])), y0 = Y(std::min(v[1], v[3]));
    const double x1 = X(std::max(v[0], v[2])) - (inset < 0 ? 1 : 0), y1 = Y(std::max(v[1], v[3])) - (inset < 0 ? 1 : 0);
    const double in = inset > 0 ? inset : 0;
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double rx = std::max(0.01, (x1 - x0) / 2 - in), ry = std::max(0.01, (y1 - y0) / 2 - in);
    double a1 = 0, a2 = -2 * M_PI;
    if (kind != 0) {
      a1 = std::atan2((Y(v[5]) - cy) / ry, (X(v[4]) - cx) / rx);
      a2 = std::atan2((Y(v[7]) - cy) / ry, (X(v[6]) - cx) / rx);
      if (a2 >= a1) a2 -= 2 * M_PI;
    }
    constexpr int kSteps = 400000;   // for the whole turn
    const int n = std::max(2, static_cast<int>(kSteps * (a1 - a2) / (2 * M_PI)));
    std::vector<Pt> out;
    out.reserve(static_cast<size_t>(n) + 2);
    if (kind == 1) out.push_back(Pt{cx, cy});
    for (int i = 0; i <= n; ++i) {
      const double t = a1 + (a2 - a1) * i / n;
      out.push_back(Pt{cx + rx * std::cos(t), cy + ry * std::sin(t)});
    }
    if (kind == 0) out.pop_back();
    return out;
  }

  void ellipsePath(cairo_t* cr, const LONG* v, double inset, int kind /*0 ellipse, 1 pie, 2 arc*/) {
    if (farEllipse(v)) {
      ringPath(cr, clipRing(ellipsePoints(v, inset, kind)));
      return;
    }
    const double x0 = X(std::min(v[0], v[2])), y0 = Y(std::min(v[1], v[3]));
    const double x1 = X(std::max(v[0], v[2])) - (inset < 0 ? 1 : 0), y1 = Y(std::max(v[1], v[3])) - (inset < 0 ? 1 : 0);
    const double in = inset > 0 ? inset : 0;
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double rx = std::max(0.01, (x1 - x0) / 2 - in), ry = std::max(0.01, (y1 - y0) / 2 - in);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    if (kind == 0) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
      cairo_close_path(cr);
    } else {
      const double a1 = std::atan2((Y(v[5]) - cy) / ry, (X(v[4]) - cx) / rx);
      double a2 = std::atan2((Y(v[7]) - cy) / ry, (X(v[6]) - cx) / rx);
      if (a2 >= a1) a2 -= 2 * M_PI;  // counterclockwise on the page: decreasing angles
      if (kind == 1) cairo_move_to(cr, 0, 0);
      else cairo_new_sub_path(cr);
      cairo_arc_negative(cr, 0, 0, 1, a1, a2);
      if (kind == 1) cairo_close_path(cr);
    }
    cairo_restore(cr);
  }

  PageFont* font(LONG index) {
    auto it = fonts_.find(index);
    if (it != fonts_.end()) return &it->second;
    auto def = objects_.find(index);
    if (def == objects_.end() || def->second.type != 82 || def->second.args.size() < 14) return nullptr;
    const auto& a = def->second.args;
    LOGFONT lf;
    lf.lfHeight = a[1];
    lf.lfWidth = a[2];
    lf.lfEscapement = a[3];
    lf.lfOrientation = a[4];
    lf.lfWeight = a[5];
    lf.lfItalic = static_cast<BYTE>(a[6]);
    lf.lfUnderline = static_cast<BYTE>(a[7]);
    lf.lfStrikeOut = static_cast<BYTE>(a[8]);
    lf.lfCharSet = static_cast<BYTE>(a[9]);
    lf.lfPitchAndFamily = static_cast<BYTE>(a[13]);
    std::strncpy(lf.lfFaceName, def->second.text.c_str(), LF_FACESIZE - 1);
    PageFont f;
    // The platform's metrics of the font and of its natural width.
    HDC scratch = CreateCompatibleDC(nullptr);
    HFONT hf = CreateFontIndirect(lf);
    LOGFONT natural = lf;
    natural.lfWidth = 0;
    natural.lfEscapement = natural.lfOrientation = 0;
    HFONT hn = CreateFontIndirect(natural);
    TEXTMETRIC tm, tn;
    HGDIOBJ old = SelectObject(scratch, hn);
    GetTextMetrics(scratch, tn);
    SelectObject(scratch, hf);
    GetTextMetrics(scratch, tm);
    SelectObject(scratch, old);
    const std::string file = fontFile(hf);
    f.symbol = tm.tmCharSet == SYMBOL_CHARSET;
    f.wingdings = isWingdings(lf.lfFaceName);
    DeleteObject(hf);
    DeleteObject(hn);
    DeleteDC(scratch);
    f.em = std::max<LONG>(1, tn.tmHeight - tn.tmInternalLeading);
    f.xscale = (lf.lfWidth > 0 && tn.tmAveCharWidth > 0) ? double(lf.lfWidth) / tn.tmAveCharWidth : 1.0;
    f.ascent = tn.tmAscent;
    f.descent = tn.tmDescent;
    f.underline = lf.lfUnderline != 0;
    f.angle = lf.lfEscapement / 10.0 * M_PI / 180.0;
    if (!file.empty() && FT_New_Face(lib_, file.c_str(), 0, &f.ft) == 0) {
      f.face = cairo_ft_font_face_create_for_ft_face(f.ft, 0);
      static cairo_user_data_key_t key;
      cairo_font_face_set_user_data(f.face, &key, f.ft, [](void* p) { FT_Done_Face(static_cast<FT_Face>(p)); });
    }
    return &fonts_.emplace(index, f).first->second;
  }

  unsigned glyph(const PageFont& f, unsigned char c) const {
    if (f.ft == nullptr) return 0;
    unsigned g = 0;
    if (f.symbol) {
      if (FT_Select_Charmap(f.ft, FT_ENCODING_MS_SYMBOL) == 0) g = FT_Get_Char_Index(f.ft, 0xF000u + c);
      if (!g && FT_Select_Charmap(f.ft, FT_ENCODING_UNICODE) == 0) g = FT_Get_Char_Index(f.ft, c);
      if (!g && FT_Select_Charmap(f.ft, FT_ENCODING_ADOBE_CUSTOM) == 0) g = FT_Get_Char_Index(f.ft, c);
      FT_Select_Charmap(f.ft, FT_ENCODING_UNICODE);
      return g;
    }
    return FT_Get_Char_Index(f.ft, c);
  }

  void text(cairo_t* cr, const MetaRecord& r) {
    PageFont* f = font(font_);
    const auto& a = r.args;
    const UINT options = static_cast<UINT>(at(a, 2));
    cairo_save(cr);
    if (at(a, 3) != 0 && (options & ETO_OPAQUE)) {
      const double l = box_.cx(X(at(a, 4))), t = box_.cy(Y(at(a, 5)));
      cairo_rectangle(cr, l, t, box_.cx(X(at(a, 6))) - l, box_.cy(Y(at(a, 7))) - t);
      source(cr, bk_);
      cairo_fill(cr);
    }
    if (f == nullptr || f->face == nullptr || r.text.empty()) {
      cairo_restore(cr);
      return;
    }
    cairo_set_font_face(cr, f->face);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, f->em * f->xscale, f->em);
    cairo_set_font_matrix(cr, &m);
    cairo_scaled_font_t* sf = cairo_get_scaled_font(cr);
    std::vector<cairo_glyph_t> glyphs;
    std::string utf8;
    std::vector<cairo_text_cluster_t> clusters;
    double pen = 0;
    for (size_t i = 0; i < r.text.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(r.text[i]);
      // A Wingdings check mark or cross: the stand-in's glyph, and its own character in the
      // page's text.
      const WingdingsGlyph wg = f->wingdings ? wingdingsGlyph(c) : WingdingsGlyph{};
      if (wg.code != 0) c = wg.code;
      cairo_glyph_t g{glyph(*f, c), pen, 0};
      glyphs.push_back(g);
      double advance;
      if (i < r.data.size()) {
        advance = static_cast<int>(r.data[i]);
      } else {
        cairo_text_extents_t e;
        cairo_scaled_font_glyph_extents(sf, &g, 1, &e);
        advance = std::round(e.x_advance);
      }
      pen += advance;
      const std::size_t before = utf8.size();
      if (wg.unicode != 0) {
        const char32_t u = wg.unicode;   // three bytes: the dingbats block
        utf8 += static_cast<char>(0xE0 | (u >> 12));
        utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (u & 0x3F));
      } else if (c < 0x80) {
        utf8 += static_cast<char>(c);
      } else {
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
      }
      clusters.push_back(cairo_text_cluster_t{static_cast<int>(utf8.size() - before), 1});
    }
    const double width = std::min(pen, 4.0e6);
    double ox = 0, oy = 0;
    if ((align_ & TA_CENTER) == TA_CENTER) ox = -width / 2;
    else if (align_ & TA_RIGHT) ox = -width;
    if ((align_ & TA_BASELINE) == TA_BASELINE) oy = 0;
    else if (align_ & TA_BOTTOM) oy = -f->descent;
    else oy = f->ascent;
    const double x = (align_ & TA_UPDATECP) ? X(current_.x) : X(at(a, 0));
    const double y = (align_ & TA_UPDATECP) ? Y(current_.y) : Y(at(a, 1));
    // A text starting far beyond the surface cannot reach it; glyphs far along it neither.
    constexpr double kReach = 2.0e6;
    if (x < box_.x0 - kReach || x > box_.x1 + kReach || y < box_.y0 - kReach || y > box_.y1 + kReach) {
      cairo_restore(cr);
      return;
    }
    while (!glyphs.empty() && std::fabs(glyphs.back().x) > kReach) {
      glyphs.pop_back();
      clusters.pop_back();
    }
    if (clusters.size() < r.text.size()) {
      size_t bytes = 0;
      for (const cairo_text_cluster_t& c : clusters) bytes += static_cast<size_t>(c.num_bytes);
      utf8.resize(bytes);
    }
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -f->angle);
    if (bkMode_ == OPAQUE) {
      cairo_rectangle(cr, ox, oy - f->ascent, width, f->ascent + f->descent);
      source(cr, bk_);
      cairo_fill(cr);
    }
    for (cairo_glyph_t& g : glyphs) {
      g.x += ox;
      g.y = oy;
    }
    source(cr, text_);
    cairo_show_text_glyphs(cr, utf8.data(), static_cast<int>(utf8.size()), glyphs.data(),
                           static_cast<int>(glyphs.size()), clusters.data(), static_cast<int>(clusters.size()),
                           static_cast<cairo_text_cluster_flags_t>(0));
    if (f->underline) {
      const double thick = std::max(1.0, f->em / 14);
      cairo_rectangle(cr, ox, oy + thick, width, thick);
      cairo_fill(cr);
    }
    cairo_restore(cr);
  }

  struct V { double x, y, r, g, b; };

  // A shaded polygon cut to the box, the colours interpolated at the cuts.
  std::vector<V> clipShaded(std::vector<V> ring) const {
    auto pass = [&](auto in, auto at) {
      std::vector<V> out;
      for (size_t i = 0; i < ring.size(); ++i) {
        const V& a = ring[i];
        const V& b = ring[(i + 1) % ring.size()];
        const bool ia = in(a), ib = in(b);
        if (ia) out.push_back(a);
        if (ia != ib) {
          const double u = at(a, b);
          out.push_back(V{a.x + u * (b.x - a.x), a.y + u * (b.y - a.y), a.r + u * (b.r - a.r),
                          a.g + u * (b.g - a.g), a.b + u * (b.b - a.b)});
        }
      }
      ring = std::move(out);
    };
    pass([&](const V& p) { return p.x >= box_.x0; }, [&](const V& a, const V& b) { return (box_.x0 - a.x) / (b.x - a.x); });
    pass([&](const V& p) { return p.x <= box_.x1; }, [&](const V& a, const V& b) { return (box_.x1 - a.x) / (b.x - a.x); });
    pass([&](const V& p) { return p.y >= box_.y0; }, [&](const V& a, const V& b) { return (box_.y0 - a.y) / (b.y - a.y); });
    pass([&](const V& p) { return p.y <= box_.y1; }, [&](const V& a, const V& b) { return (box_.y1 - a.y) / (b.y - a.y); });
    return ring;
  }

  void gradient(cairo_t* cr, const MetaRecord& r) {
    std::vector<V> v;
    for (size_t i = 0; i + 5 < r.data.size(); i += 6)
      v.push_back(V{X(static_cast<LONG>(r.data[i])), Y(static_cast<LONG>(r.data[i + 1])), (r.data[i + 2] >> 8) / 255.0,
                    (r.data[i + 3] >> 8) / 255.0, (r.data[i + 4] >> 8) / 255.0});
    const LONG mode = at(r.args, 0);
    auto ok = [&v](LONG k) { return k >= 0 && static_cast<size_t>(k) < v.size(); };
    if (mode == static_cast<LONG>(GRADIENT_FILL_TRIANGLE)) {
      cairo_pattern_t* mesh = cairo_pattern_create_mesh();
      for (size_t i = 0; i + 1 < r.points.size(); i += 2) {
        const LONG k[3] = {r.points[i].x, r.points[i].y, r.points[i + 1].x};
        if (!ok(k[0]) || !ok(k[1]) || !ok(k[2])) continue;
        std::vector<V> t = {v[k[0]], v[k[1]], v[k[2]]};
        if (!within({{t[0].x, t[0].y}, {t[1].x, t[1].y}, {t[2].x, t[2].y}})) t = clipShaded(t);
        // The part inside as a fan of triangles: colours are linear over a triangle, so each
        // keeps the colours the whole one had there.
        for (size_t j = 1; j + 1 < t.size(); ++j) {
          const V* c3[3] = {&t[0], &t[j], &t[j + 1]};
          cairo_mesh_pattern_begin_patch(mesh);
          cairo_mesh_pattern_move_to(mesh, c3[0]->x, c3[0]->y);
          cairo_mesh_pattern_line_to(mesh, c3[1]->x, c3[1]->y);
          cairo_mesh_pattern_line_to(mesh, c3[2]->x, c3[2]->y);
          for (unsigned c = 0; c < 3; ++c) cairo_mesh_pattern_set_corner_color_rgb(mesh, c, c3[c]->r, c3[c]->g, c3[c]->b);
          cairo_mesh_pattern_end_patch(mesh);
        }
      }
      cairo_set_source(cr, mesh);
      cairo_paint(cr);
      cairo_pattern_destroy(mesh);
      return;
    }
    for (const POINT& p : r.points) {
      if (!ok(p.x) || !ok(p.y)) continue;
      const V& a = v[p.x];
      const V& b = v[p.y];
      cairo_pattern_t* lin = mode == static_cast<LONG>(GRADIENT_FILL_RECT_H) ? cairo_pattern_create_linear(a.x, 0, b.x, 0)
                                                                            : cairo_pattern_create_linear(0, a.y, 0, b.y);
      cairo_pattern_add_color_stop_rgb(lin, 0, a.r, a.g, a.b);
      cairo_pattern_add_color_stop_rgb(lin, 1, b.r, b.g, b.b);
      const double l = box_.cx(a.x), t = box_.cy(a.y);
      cairo_rectangle(cr, l, t, box_.cx(b.x) - l, box_.cy(b.y) - t);
      cairo_set_source(cr, lin);
      cairo_fill(cr);
      cairo_pattern_destroy(lin);
    }
  }

  // A picture: its pixels stretched into the destination, each taking the nearest source pixel.
  void picture(cairo_t* cr, const MetaRecord& r) {
    const auto& a = r.args;
    const LONG sw = at(a, 4), sh = at(a, 5);
    if (sw <= 0 || sh <= 0 || r.data.size() < static_cast<size_t>(sw) * static_cast<size_t>(sh)) return;
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sw, sh);
    if (cairo_surface_status(img) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(img);
      return;
    }
    cairo_surface_flush(img);
    unsigned char* px = cairo_image_surface_get_data(img);
    const int stride = cairo_image_surface_get_stride(img);
    for (LONG y = 0; y < sh; ++y)
      std::memcpy(px + static_cast<size_t>(y) * static_cast<size_t>(stride), r.data.data() + static_cast<size_t>(y) * static_cast<size_t>(sw),
                  static_cast<size_t>(sw) * 4);
    cairo_surface_mark_dirty(img);
    // Only the part of the destination inside the box, placed from there: a picture's
    // corner far away would otherwise reach cairo as its offset.
    const double dx = X(at(a, 0)), dy = Y(at(a, 1)), dw = at(a, 2), dh = at(a, 3);
    const double l = box_.cx(std::min(dx, dx + dw)), t = box_.cy(std::min(dy, dy + dh));
    const double rr = box_.cx(std::max(dx, dx + dw)), b = box_.cy(std::max(dy, dy + dh));
    if (dw == 0 || dh == 0 || rr <= l || b <= t) {
      cairo_surface_destroy(img);
      return;
    }
    cairo_save(cr);
    cairo_rectangle(cr, l, t, rr - l, b - t);
    cairo_clip(cr);
    cairo_translate(cr, l, t);
    cairo_scale(cr, dw / sw, dh / sh);
    cairo_set_source_surface(cr, img, (dx - l) * sw / dw, (dy - t) * sh / dh);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(img);
  }

  void step(cairo_t* cr, const MetaRecord& r) {
    const auto& a = r.args;
    switch (r.type) {
      case 18: bkMode_ = at(a, 0); break;
      case 19: fillMode_ = at(a, 0); break;
      case 22: align_ = static_cast<UINT>(at(a, 0)); break;
      case 24: text_ = static_cast<COLORREF>(at(a, 0)); break;
      case 25: bk_ = static_cast<COLORREF>(at(a, 0)); break;
      case 27: current_ = POINT{at(a, 0), at(a, 1)}; break;
      case 54:
        strokeLine(cr, {{X(current_.x) + 0.5, Y(current_.y) + 0.5}, {X(at(a, 0)) + 0.5, Y(at(a, 1)) + 0.5}}, false);
        current_ = POINT{at(a, 0), at(a, 1)};
        break;
      case 15:
        if (!box_.inside(X(at(a, 0)), Y(at(a, 1)))) break;
        cairo_rectangle(cr, X(at(a, 0)), Y(at(a, 1)), 1, 1);
        source(cr, static_cast<COLORREF>(at(a, 2)));
        cairo_fill(cr);
        break;
      case 4: {
        std::vector<Pt> line;
        line.reserve(r.points.size());
        for (const POINT& q : r.points) line.push_back(Pt{X(q.x) + 0.5, Y(q.y) + 0.5});
        strokeLine(cr, line, false);
        break;
      }
      case 3: case 8: {
        std::vector<LONG> counts = r.type == 3 ? std::vector<LONG>{static_cast<LONG>(r.points.size())} : a;
        figure(cr, [&](double inset) {
          const double o = inset > 0 ? inset : 0;
          size_t k = 0;
          for (LONG n : counts) {
            std::vector<Pt> ring;
            for (LONG i = 0; i < n && k < r.points.size(); ++i, ++k)
              ring.push_back(Pt{X(r.points[k].x) + o, Y(r.points[k].y) + o});
            if (ring.empty()) continue;
            ringPath(cr, within(ring) ? ring : clipRing(ring));
          }
        });
        break;
      }
      case 43:
        figure(cr, [&](double inset) { boxPath(cr, at(a, 0), at(a, 1), at(a, 2), at(a, 3), inset); });
        break;
      case 42: case 45: case 47: {
        const LONG v[8] = {at(a, 0), at(a, 1), at(a, 2), at(a, 3), at(a, 4), at(a, 5), at(a, 6), at(a, 7)};
        if (r.type == 45 && farEllipse(v)) {
          strokeLine(cr, ellipsePoints(v, 0.5, 2), false);
        } else if (r.type == 45) {
          ellipsePath(cr, v, 0.5, 2);
          stroke(cr);
        } else {
          const int kind = r.type == 42 ? 0 : 1;
          figure(cr, [&](double inset) { ellipsePath(cr, v, inset, kind); });
        }
        break;
      }
      case 83: text(cr, r); break;
      case 118: gradient(cr, r); break;
      case 81: picture(cr, r); break;
      case 75:
        clipped_ = at(a, 1) != 0;
        clip_.clear();
        for (size_t i = 0; i + 1 < r.points.size(); i += 2)
          clip_.push_back(RECT{limit(r.points[i].x), limit(r.points[i].y), limit(r.points[i + 1].x), limit(r.points[i + 1].y)});
        applyClip(cr);
        break;
      case 38: case 95: case 39: case 94: case 82:
        if (!a.empty()) {
          objects_[a[0]] = r;
          fonts_.erase(a[0]);
          if (pen_ && at(pen_->args, 0) == a[0]) pen_ = nullptr;
          if (brush_ && at(brush_->args, 0) == a[0]) brush_ = nullptr;
        }
        break;
      case 40:
        if (auto it = objects_.find(at(a, 0)); it != objects_.end()) {
          if (pen_ == &it->second) pen_ = nullptr;
          if (brush_ == &it->second) brush_ = nullptr;
          if (auto f = fonts_.find(it->first); f != fonts_.end()) {
            if (f->second.face) cairo_font_face_destroy(f->second.face);
            fonts_.erase(f);
          }
          objects_.erase(it);
        }
        break;
      case 37: {
        auto it = objects_.find(at(a, 0));
        if (it == objects_.end()) break;
        const DWORD t = it->second.type;
        if (t == 38 || t == 95) pen_ = &it->second;
        else if (t == 39 || t == 94) brush_ = &it->second;
        else if (t == 82) font_ = it->first;
        break;
      }
      default: break;
    }
  }
};

bool publish(const std::string& from, const std::string& to);

class PrintJob : public PrintDevice {
 public:
  std::map<int, int> capabilities;
  std::string device, driver;
  int copies = 1;
  int widthPx = 0, heightPx = 0, dpix = 600, dpiy = 600;

  ~PrintJob() override { abort(); }

  int caps(int index) const override {
    auto it = capabilities.find(index);
    return it == capabilities.end() ? 0 : it->second;
  }

  bool started() const { return pdf_ != nullptr; }
  bool pageOpen() const { return pageOpen_; }

  int start(const DOCINFO& info) {
    if (started()) return fail(ERROR_INVALID_PARAMETER);
    if (printer::failing("StartDoc")) return SP_ERROR;
    title_ = info.lpszDocName ? info.lpszDocName : "";
    output_ = info.lpszOutput ? info.lpszOutput : "";
    std::string pattern = (std::filesystem::temp_directory_path() / "tw-print-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return fail(ERROR_WRITE_FAULT);
    ::close(fd);
    temp_ = pattern;
    pdf_ = cairo_pdf_surface_create(temp_.c_str(), widthPx * 72.0 / dpix, heightPx * 72.0 / dpiy);
    if (cairo_surface_status(pdf_) != CAIRO_STATUS_SUCCESS) {
      abort();
      return fail(ERROR_WRITE_FAULT);
    }
    // cairo takes UTF-8: a title in the code page would put the whole document in error.
    cairo_pdf_surface_set_metadata(pdf_, CAIRO_PDF_METADATA_TITLE, utf8FromCp1252(title_).c_str());
    cairo_pdf_surface_set_metadata(pdf_, CAIRO_PDF_METADATA_CREATOR, "TarnWalker");
    player_ = std::make_unique<Player>(library());
    return ++gJobs;
  }

  int startPage(MetaRecording& rec) {
    if (!started() || pageOpen_) return fail(started() ? ERROR_INVALID_PARAMETER : ERROR_SPL_NO_STARTDOC);
    if (printer::failing("StartPage")) return SP_ERROR;
    rec.records.clear();
    pageOpen_ = true;
    return 1;
  }

  int endPage(MetaRecording& rec, POINT shift) {
    if (!started() || !pageOpen_) return fail(started() ? ERROR_INVALID_PARAMETER : ERROR_SPL_NO_STARTDOC);
    pageOpen_ = false;
    if (printer::failing("EndPage")) return SP_ERROR;
    cairo_t* cr = cairo_create(pdf_);
    cairo_scale(cr, 72.0 / dpix, 72.0 / dpiy);
    player_->play(cr, rec.records, shift);
    rec.records.clear();
    cairo_show_page(cr);
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (status != CAIRO_STATUS_SUCCESS || cairo_surface_status(pdf_) != CAIRO_STATUS_SUCCESS)
      return fail(ERROR_WRITE_FAULT);
    ++pages_;
    return 1;
  }

  int end(MetaRecording& rec, POINT shift) {
    if (!started()) return fail(ERROR_SPL_NO_STARTDOC);
    if (pageOpen_ && endPage(rec, shift) <= 0) {
      const DWORD code = GetLastError();
      abort();
      return fail(code);
    }
    if (printer::failing("EndDoc")) {
      const DWORD code = GetLastError();
      abort();
      return fail(code);
    }
    cairo_surface_finish(pdf_);
    const bool written = cairo_surface_status(pdf_) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(pdf_);
    pdf_ = nullptr;
    player_.reset();
    DWORD error = written ? 0 : ERROR_WRITE_FAULT;
    if (error == 0 && pages_ == 0) error = ERROR_CANCELLED;  // nothing to print
    if (error == 0) {
      if (driver == "pdf") {
        // The document's name with ".pdf" added, unless it already ends so (a caller that
        // asked the user for the file names it whole).
        std::string out = output_;
        if (out.empty()) {
          out = title_.empty() ? std::string("document") : title_;
          const std::size_t n = out.size();
          if (n < 4 || strcasecmp(out.c_str() + n - 4, ".pdf") != 0) out += ".pdf";
        }
        if (!publish(temp_, utf8FromCp1252(out))) error = ERROR_WRITE_FAULT;
      } else if (printer::submit(device, temp_, title_, copies, error) == 0 && error == 0) {
        error = ERROR_CANCELLED;
      }
    }
    removeTemp();
    pages_ = 0;
    return error == 0 ? 1 : fail(error);
  }

  int abort() {
    if (pdf_) {
      cairo_surface_finish(pdf_);
      cairo_surface_destroy(pdf_);
      pdf_ = nullptr;
    }
    player_.reset();
    pageOpen_ = false;
    pages_ = 0;
    removeTemp();
    return 1;
  }

 private:
  static constexpr DWORD ERROR_INVALID_PARAMETER = 87;
  static inline int gJobs = 0;
  cairo_surface_t* pdf_ = nullptr;
  std::unique_ptr<Player> player_;
  std::string title_, output_, temp_;
  bool pageOpen_ = false;
  int pages_ = 0;

  static int fail(DWORD code) {
    SetLastError(code);
    return SP_ERROR;
  }
  void removeTemp() {
    if (temp_.empty()) return;
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
    temp_.clear();
  }
};

// The finished PDF, made in a private temporary file, goes to the user's file (a system name)
// whole or not at all (a temporary file beside it, renamed over it), with the mode the user's
// own new files get (the umask) or, when it replaces a file, that file's mode.
bool publish(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (in == nullptr) return false;
  std::string temp = to + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    std::fclose(in);
    return false;
  }
  mode_t mode = 0;
  struct stat existing {};
  if (::stat(to.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = ::fchmod(fd, mode) == 0;
  char buffer[65536];
  std::size_t n = 0;
  while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
    for (std::size_t done = 0; ok && done < n;) {
      const ssize_t w = ::write(fd, buffer + done, n - done);
      if (w < 0 && errno == EINTR) continue;
      ok = w > 0;
      if (ok) done += static_cast<std::size_t>(w);
    }
  }
  ok = ok && std::ferror(in) == 0;
  std::fclose(in);
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), to.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

PrintJob* jobOf(HDC h, DcData*& d) {
  d = dc(h);
  return d && d->printer ? static_cast<PrintJob*>(d->printer.get()) : nullptr;
}

POINT shiftOf(const DcData& d) {
  return POINT{d.st.windowOrg.x - d.st.viewportOrg.x, d.st.windowOrg.y - d.st.viewportOrg.y};
}

}  // namespace
}  // namespace win::gdi

namespace win {
using namespace gdi;

// A picture drawn by draw into a recording device context of width x height pixels at 96
// dots per inch, replayed by the printer's player onto an SVG surface: the same vector
// drawing the printed page gets.
std::vector<BYTE> RenderPictureSvg(int width, int height, const std::function<void(HDC)>& draw) {
  std::vector<BYTE> out;
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return out;
  HDC h = CreateCompatibleDC(nullptr);
  DcData* d = dc(h);
  if (!d) return out;
  auto rec = std::make_shared<MetaRecording>();
  rec->device = SIZE{width, height};
  rec->millimetres = SIZE{std::max(1, width * 254 / 960), std::max(1, height * 254 / 960)};
  rec->dpi = 96;
  d->rec = rec;
  draw(h);
  const POINT shift = shiftOf(*d);
  cairo_surface_t* svg = cairo_svg_surface_create_for_stream(
      [](void* closure, const unsigned char* data, unsigned int length) {
        auto* bytes = static_cast<std::vector<BYTE>*>(closure);
        bytes->insert(bytes->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &out, width * 0.75, height * 0.75);
  cairo_t* cr = cairo_create(svg);
  cairo_scale(cr, 0.75, 0.75);   // pixels at 96 dpi onto points
  Player(library()).play(cr, rec->records, shift);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_finish(svg);
  const bool written = ok && cairo_surface_status(svg) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(svg);
  DeleteDC(h);
  if (!written) out.clear();
  return out;
}

HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODE* mode) {
  if (printer::failing("CreateDC")) return nullptr;
  const printer::Record* r = printer::find(device);
  if (r == nullptr) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return nullptr;
  }
  HIC ic = CreateIC(driver, device, port, mode);
  if (ic == nullptr) return nullptr;
  auto job = std::make_shared<PrintJob>();
  for (int index : kCapIndexes) job->capabilities[index] = GetDeviceCaps(ic, index);
  DeleteDC(ic);
  job->device = r->device;
  job->driver = r->driver;
  job->widthPx = job->caps(PHYSICALWIDTH);
  job->heightPx = job->caps(PHYSICALHEIGHT);
  job->dpix = std::max(1, job->caps(LOGPIXELSX));
  job->dpiy = std::max(1, job->caps(LOGPIXELSY));
  if (mode != nullptr && (mode->dmFields & DM_COPIES) && mode->dmCopies > 0) job->copies = mode->dmCopies;

  HDC h = CreateCompatibleDC(nullptr);
  DcData* d = dc(h);
  if (!d) return nullptr;
  auto rec = std::make_shared<MetaRecording>();
  rec->device = SIZE{job->caps(HORZRES), job->caps(VERTRES)};
  rec->millimetres = SIZE{job->caps(HORZSIZE), job->caps(VERTSIZE)};
  rec->dpi = job->dpix;
  d->rec = std::move(rec);
  d->printer = std::move(job);
  return h;
}

int StartDoc(HDC h, const DOCINFO& info) {
  DcData* d;
  PrintJob* j = jobOf(h, d);
  if (!j) {
    SetLastError(6);  // invalid handle
    return SP_ERROR;
  }
  return j->start(info);
}

int StartPage(HDC h) {
  DcData* d;
  PrintJob* j = jobOf(h, d);
  if (!j) {
    SetLastError(6);
    return SP_ERROR;
  }
  return j->startPage(*d->rec);
}

int EndPage(HDC h) {
  DcData* d;
  PrintJob* j = jobOf(h, d);
  if (!j) {
    SetLastError(6);
    return SP_ERROR;
  }
  return j->endPage(*d->rec, shiftOf(*d));
}

int EndDoc(HDC h) {
  DcData* d;
  PrintJob* j = jobOf(h, d);
  if (!j) {
    SetLastError(6);
    return SP_ERROR;
  }
  return j->end(*d->rec, shiftOf(*d));
}

int AbortDoc(HDC h) {
  DcData* d;
  PrintJob* j = jobOf(h, d);
  if (!j) {
    SetLastError(6);
    return SP_ERROR;
  }
  d->rec->records.clear();
  return j->abort();
}

}  // namespace win
