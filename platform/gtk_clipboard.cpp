// platform/gtk_clipboard.cpp: the clipboard store and the desktop's clipboard. What the
// program puts on the clipboard is offered to the desktop when the store is closed: text as
// UTF-8 (and the other text targets), a picture (bitmap or metafile) as PNG, a metafile also as SVG, a registered
// format under its own name. When another
// program holds the desktop's clipboard, opening the store (or asking what it holds) takes
// that program's text in as Windows-1252 with CR LF line ends, and the registered formats it
// offers by name. The data offered is read from the store when a program asks for it, so
// the desktop always gets what the store holds.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/clipboard.h"
#include "platform/clipboard_text.h"
#include "platform/gdi.h"
#include "platform/gtk_internal.h"
#include "platform/window_internal.h"

namespace win::gtkbackend {
namespace {

// Target infos: the text targets, the PNG image, the SVG drawing, rich text; a registered
// format is its own number.
constexpr guint kText = 1, kPng = 2, kSvg = 3, kRtf = 4;

// The registered format rich text travels under in the program; the desktop's programs
// exchange it as "text/rtf".
constexpr const char* kRtfFormatName = "Rich Text Format";

bool owned = false;          // the desktop's clipboard holds what our store offers
bool fromDesktop = false;    // the store holds what another program offered

GtkClipboard* desktop() { return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD); }

// A desktop image as a bitmap of the drawing layer, transparent parts on white.
HBITMAP bitmapOf(GdkPixbuf* pixbuf) {
  const int w = gdk_pixbuf_get_width(pixbuf), h = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf) != FALSE;
  if (w <= 0 || h <= 0 || channels < 3 || gdk_pixbuf_get_bits_per_sample(pixbuf) != 8) return nullptr;
  const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
  std::vector<unsigned char> bits(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const guchar* p = src + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + static_cast<std::size_t>(x * channels);
      const int a = alpha ? p[3] : 255;
      unsigned char* q = &bits[(static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * 4];
      for (int c = 0; c < 3; ++c) q[2 - c] = static_cast<unsigned char>((p[c] * a + 255 * (255 - a) + 127) / 255);
      q[3] = 0;
    }
  return CreateBitmap(w, h, 1, 32, bits.data());
}

void give(GtkClipboard*, GtkSelectionData* data, guint info, gpointer) {
  if (info == kPng) {
    const std::vector<unsigned char> png = clipboard::desktopPng();
    gtk_selection_data_set(data, gtk_selection_data_get_target(data), 8, png.data(), static_cast<gint>(png.size()));
    return;
  }
  if (info == kSvg) {
    const std::vector<unsigned char> svg = clipboard::desktopSvg();
    gtk_selection_data_set(data, gtk_selection_data_get_target(data), 8, svg.data(), static_cast<gint>(svg.size()));
    return;
  }
  if (info == kRtf) {
    // The store's copy ends in the terminator the program gave it; the desktop gets the document.
    std::vector<unsigned char> bytes = clipboard::storedBytes(RegisterClipboardFormat(kRtfFormatName));
    while (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
    gtk_selection_data_set(data, gtk_selection_data_get_target(data), 8, bytes.data(), static_cast<gint>(bytes.size()));
    return;
  }
  if (info == kText) {
    const std::vector<unsigned char> bytes = clipboard::storedBytes(CF_TEXT);
    const std::string text = clipboard::desktopTextFromStore(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    gtk_selection_data_set_text(data, text.c_str(), static_cast<gint>(text.size()));
    return;
  }
  const std::vector<unsigned char> bytes = clipboard::storedBytes(info);
  gtk_selection_data_set(data, gtk_selection_data_get_target(data), 8, bytes.data(), static_cast<gint>(bytes.size()));
}

void cleared(GtkClipboard*, gpointer) { owned = false; }

std::string formatName(UINT format) {
  char name[256] = {};
  return GetClipboardFormatName(format, name, sizeof name) > 0 ? std::string(name) : std::string();
}

void publish() {
  const std::vector<UINT> formats = clipboard::storedFormats();
  GtkTargetList* list = gtk_target_list_new(nullptr, 0);
  bool image = false;
  for (UINT f : formats) {
    if ((f == CF_BITMAP || f == CF_ENHMETAFILE || f == CF_METAFILEPICT) && !image) {
      gtk_target_list_add(list, gdk_atom_intern_static_string("image/png"), 0, kPng);
      if (f != CF_BITMAP) gtk_target_list_add(list, gdk_atom_intern_static_string("image/svg+xml"), 0, kSvg);
      image = true;
    } else if (f == CF_TEXT) {
      gtk_target_list_add_text_targets(list, kText);
    } else if (f >= 0xC000) {
      const std::string name = formatName(f);
      if (!name.empty()) gtk_target_list_add(list, gdk_atom_intern(name.c_str(), FALSE), 0, f);
      if (g_ascii_strcasecmp(name.c_str(), kRtfFormatName) == 0)
        gtk_target_list_add(list, gdk_atom_intern_static_string("text/rtf"), 0, kRtf);
    }
  }
  gint n = 0;
  GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &n);
  gtk_target_list_unref(list);
  fromDesktop = false;
  if (n == 0) {
    // Emptied: the desktop's clipboard is given up only when it held ours.
    if (owned) gtk_clipboard_clear(desktop());
    owned = false;
  } else if (gtk_clipboard_set_with_data(desktop(), targets, static_cast<guint>(n), give, cleared, nullptr)) {
    owned = true;   // after the call: it clears our previous offer first
  }
  gtk_target_table_free(targets, n);
}

// The registered format of a desktop target name, 0 when the program has not registered it.
UINT registeredFormat(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto& atoms = ws().atoms;
  auto it = atoms.find(upper);
  return it == atoms.end() || it->second < 0xC000 ? 0 : it->second;
}

void refresh() {
  if (owned) return;
  GdkAtom* targets = nullptr;
  gint n = 0;
  std::vector<std::pair<UINT, std::vector<unsigned char>>> items;
  std::vector<std::pair<UINT, HGLOBAL>> objects;
  const bool offered = gtk_clipboard_wait_for_targets(desktop(), &targets, &n) != FALSE;
  if (offered) {
    if (gtk_targets_include_text(targets, n)) {
      if (gchar* text = gtk_clipboard_wait_for_text(desktop())) {
        std::string store = clipboard::storeTextFromDesktop(text);
        g_free(text);
        std::vector<unsigned char> bytes(store.begin(), store.end());
        bytes.push_back(0);
        items.emplace_back(CF_TEXT, std::move(bytes));
      }
    }
    if (gtk_targets_include_image(targets, n, FALSE)) {
      if (GdkPixbuf* pixbuf = gtk_clipboard_wait_for_image(desktop())) {
        if (HBITMAP bitmap = bitmapOf(pixbuf)) objects.emplace_back(CF_BITMAP, reinterpret_cast<HGLOBAL>(bitmap));
        g_object_unref(pixbuf);
      }
    }
    for (gint i = 0; i < n; ++i) {
      gchar* name = gdk_atom_name(targets[i]);
      const UINT format = registeredFormat(name);
      g_free(name);
      if (format == 0) continue;
      if (GtkSelectionData* data = gtk_clipboard_wait_for_contents(desktop(), targets[i])) {
        const guchar* p = gtk_selection_data_get_data(data);
        const gint length = gtk_selection_data_get_length(data);
        if (p != nullptr && length >= 0) items.emplace_back(format, std::vector<unsigned char>(p, p + length));
        gtk_selection_data_free(data);
      }
    }
    g_free(targets);
  }
  // Nothing on offer: the store keeps the program's own data, but not a departed program's.
  if (items.empty() && objects.empty() && !fromDesktop) return;
  fromDesktop = !items.empty() || !objects.empty();
  clipboard::replaceFromDesktop(items, objects);
}

}  // namespace

void installClipboard() {
  clipboard::bridge.publish = publish;
  clipboard::bridge.refresh = refresh;
}

}  // namespace win::gtkbackend
