// helppdf: lays the help pages (their headings, paragraphs, list items, table rows and
// pictures; the other markup is dropped) out as an A4 PDF user manual with cairo.
//   helppdf OUTPUT.pdf PAGE.htm...
#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kWidth = 595.0, kHeight = 842.0, kMargin = 60.0;

struct Block {
  int kind;   // 1 heading, 2 subheading, 3 paragraph, 4 list item, 5 table row, 6 picture
  std::string text;   // the picture's file for a picture
};

std::string entities(std::string s) {
  const std::pair<const char*, const char*> table[] = {
      {"&gt;", ">"}, {"&lt;", "<"}, {"&quot;", "\""}, {"&#178;", "\xc2\xb2"}, {"&nbsp;", " "}, {"&amp;", "&"}};
  for (const auto& [from, to] : table)
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + std::string(to).size()))
      s.replace(at, std::string(from).size(), to);
  return s;
}

// The blocks of one page: text between the opening and closing tag of each kind.
std::vector<Block> blocks(const std::string& html) {
  std::vector<Block> out;
  std::string text;
  int kind = 0;
  bool row = false;
  for (std::size_t i = 0; i < html.size();) {
    if (html[i] != '<') {
      const char c = html[i] == '\n' ? ' ' : html[i];
      if (kind != 0 || row) text += c;
      ++i;
      continue;
    }
    const std::size_t end = html.find('>', i);
    if (end == std::string::npos) break;
    std::string tag = html.substr(i + 1, end - i - 1);
    i = end + 1;
    if (tag.starts_with("img ")) {
      const std::size_t a = tag.find("src=\"");
      const std::size_t b = a == std::string::npos ? a : tag.find('"', a + 5);
      if (b != std::string::npos) out.push_back({6, tag.substr(a + 5, b - a - 5)});
      continue;
    }
    const bool closing = !tag.empty() && tag[0] == '/';
    if (closing) tag.erase(0, 1);
    tag = tag.substr(0, tag.find(' '));
    auto flush = [&](int k) {
      std::string t = entities(text);
      while (t.find("  ") != std::string::npos) t.replace(t.find("  "), 2, " ");
      const std::size_t a = t.find_first_not_of(' '), b = t.find_last_not_of(' ');
      if (a != std::string::npos) out.push_back({k, t.substr(a, b - a + 1)});
      text.clear();
    };
    if (!closing && (tag == "h1" || tag == "h2" || tag == "p" || tag == "li")) {
      kind = tag == "h1" ? 1 : tag == "h2" ? 2 : tag == "p" ? 3 : 4;
      text.clear();
    } else if (closing && (tag == "h1" || tag == "h2" || tag == "p" || tag == "li")) {
      flush(kind);
      kind = 0;
    } else if (!closing && tag == "tr") {
      row = true;
      text.clear();
    } else if (closing && tag == "tr") {
      flush(5);
      row = false;
    } else if (row && closing && (tag == "td" || tag == "th")) {
      text += " \xe2\x80\x94 ";
    }
  }
  // A table row ends with the separator of its last cell.
  for (Block& b : out)
    if (b.kind == 5 && b.text.size() > 4 && b.text.ends_with("\xe2\x80\x94")) b.text.erase(b.text.size() - 4);
  return out;
}

struct Writer {
  cairo_t* cr;
  double y = kMargin;
  void newpage() {
    cairo_show_page(cr);
    y = kMargin;
  }
  // Words laid out over lines of the text width; a new page when the page is full.
  void paragraph(const std::string& text, double size, bool bold, double indent, double after) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    const double width = kWidth - 2 * kMargin - indent;
    std::istringstream words(text);
    std::string word, line;
    auto emit = [&] {
      if (y + size * 1.4 > kHeight - kMargin) newpage();
      y += size * 1.35;
      cairo_move_to(cr, kMargin + indent, y);
      cairo_show_text(cr, line.c_str());
      line.clear();
    };
    while (words >> word) {
      const std::string trial = line.empty() ? word : line + " " + word;
      cairo_text_extents_t e;
      cairo_text_extents(cr, trial.c_str(), &e);
      if (e.x_advance > width && !line.empty()) {
        emit();
        line = word;
      } else {
        line = trial;
      }
    }
    if (!line.empty()) emit();
    y += after;
  }
  // A PNG picture at the text width or smaller; false when it cannot be read.
  bool picture(const std::string& path) {
    cairo_surface_t* img = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(img) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(img);
      return false;
    }
    const double w = cairo_image_surface_get_width(img), h = cairo_image_surface_get_height(img);
    const double scale = std::min({1.0, (kWidth - 2 * kMargin) / w, (kHeight - 2 * kMargin) / h * 0.6});
    if (y + h * scale + 8 > kHeight - kMargin) newpage();
    cairo_save(cr);
    cairo_translate(cr, kMargin, y + 4);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, img, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    y += h * scale + 12;
    cairo_surface_destroy(img);
    return true;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: helppdf OUTPUT.pdf PAGE.htm...\n");
    return 2;
  }
  cairo_surface_t* surface = cairo_pdf_surface_create(argv[1], kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  Writer w{cr};
  w.paragraph("TarnWalker", 28, true, 0, 6);
  w.paragraph("User manual", 16, false, 0, 24);
  for (int k = 2; k < argc; ++k) {
    std::ifstream in(argv[k]);
    if (!in) {
      std::fprintf(stderr, "helppdf: cannot read %s\n", argv[k]);
      return 1;
    }
    const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const Block& b : blocks(html)) {
      switch (b.kind) {
        case 1:
          if (k > 2) w.newpage();
          w.paragraph(b.text, 18, true, 0, 8);
          break;
        case 2: w.paragraph(b.text, 13, true, 0, 4); break;
        case 4: w.paragraph("\xe2\x80\xa2 " + b.text, 10, false, 12, 3); break;
        case 5: w.paragraph(b.text, 10, false, 12, 3); break;
        case 6: {
          // Pictures lie beside their page.
          const std::string page = argv[k];
          const std::size_t slash = page.find_last_of('/');
          const std::string path = (slash == std::string::npos ? "" : page.substr(0, slash + 1)) + b.text;
          if (!w.picture(path)) {
            std::fprintf(stderr, "helppdf: cannot read the picture %s\n", path.c_str());
            std::remove(argv[1]);   // no manual without its pictures
            return 1;
          }
          break;
        }
        default: w.paragraph(b.text, 10, false, 0, 6); break;
      }
    }
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok ? 0 : 1;
}
