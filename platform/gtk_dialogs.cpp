// platform/gtk_dialogs.cpp: the desktop's own dialogs behind the layer's common dialogs:
// GTK's file chooser for open, save and folders, a page set-up of GTK widgets over the
// printers and papers the layer lists, and GTK's colour chooser. Each runs GTK's modal loop
// over a dialog transient for the owner's desktop window; the rules stay the layer's (the
// request's accept), the questions they put are GTK message dialogs over the chooser.
// No window procedure runs meanwhile: the backend's handlers only queue what reaches our
// windows, as everywhere else.
#include <fnmatch.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "platform/gtk_internal.h"
#include "platform/gtk_keys.h"
#include "platform/native_dialogs.h"
#include "platform/window_internal.h"

namespace win::gtkbackend {
namespace {

// Questions over a dialog, each a GTK message dialog.
native::Questions questionsOver(GtkWidget* dialog) {
  auto box = [dialog](GtkMessageType type, GtkButtonsType buttons, const std::string& text, const std::string& title) {
    GtkWidget* m = gtk_message_dialog_new(GTK_WINDOW(dialog), GTK_DIALOG_MODAL, type, buttons, "%s", utf8FromCp1252(text).c_str());
    gtk_window_set_title(GTK_WINDOW(m), utf8FromCp1252(title).c_str());
    const int response = gtk_dialog_run(GTK_DIALOG(m));
    gtk_widget_destroy(m);
    return response;
  };
  return {[box](const std::string& text, const std::string& title) {
            return box(GTK_MESSAGE_QUESTION, GTK_BUTTONS_YES_NO, text, title) == GTK_RESPONSE_YES;
          },
          [box](const std::string& text, const std::string& title) {
            box(GTK_MESSAGE_WARNING, GTK_BUTTONS_OK, text, title);
          }};
}

// A pattern of the filter text matched as the platform matches: without case, "*.*" all.
gboolean filterMatches(const GtkFileFilterInfo* info, gpointer data) {
  const auto* patterns = static_cast<const std::vector<std::string>*>(data);
  const char* name = info->display_name != nullptr ? info->display_name : info->filename;
  if (name == nullptr) return FALSE;
  const std::string base = name;
  for (const std::string& p : *patterns)
    if (p == "*.*" || p == "*" || ::fnmatch(p.c_str(), base.c_str(), FNM_CASEFOLD) == 0) return TRUE;
  return FALSE;
}

// Placed over the owner, or in the middle of the screen without one.
void place(GtkWidget* dialog) {
  gtk_window_set_position(GTK_WINDOW(dialog), gtk_window_get_transient_for(GTK_WINDOW(dialog)) != nullptr
                                                  ? GTK_WIN_POS_CENTER_ON_PARENT
                                                  : GTK_WIN_POS_CENTER);
}

void settle() {
  // Let the desktop take the closed dialog down before the program goes on.
  for (int i = 0; i < 50 && g_main_context_pending(nullptr); ++i) g_main_context_iteration(nullptr, FALSE);
}

int fileDialog(native::FileRequest& r) {
  const GtkFileChooserAction action = r.kind == native::FileRequest::Save     ? GTK_FILE_CHOOSER_ACTION_SAVE
                                      : r.kind == native::FileRequest::Folder ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
                                                                              : GTK_FILE_CHOOSER_ACTION_OPEN;
  GtkWidget* d = gtk_file_chooser_dialog_new(utf8FromCp1252(r.title).c_str(), windowOf(r.owner), action, "_Cancel",
                                             GTK_RESPONSE_CANCEL,
                                             r.kind == native::FileRequest::Save ? "_Save"
                                             : r.kind == native::FileRequest::Folder ? "_Select"
                                                                                     : "_Open",
                                             GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(d);
  place(d);
  gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_ACCEPT);
  gtk_file_chooser_set_select_multiple(chooser, r.multiple ? TRUE : FALSE);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  gtk_file_chooser_set_create_folders(chooser, TRUE);
  gtk_file_chooser_set_current_folder(chooser, r.folder.c_str());
  if (r.kind == native::FileRequest::Save) {
    gtk_file_chooser_set_current_name(chooser, r.name.c_str());
  } else if (!r.name.empty()) {
    const std::string path = r.name[0] == '/' ? r.name : r.folder + "/" + r.name;
    gtk_file_chooser_select_filename(chooser, path.c_str());
  }
  std::vector<GtkFileFilter*> filters;
  // The patterns as the names they match are spelt.
  std::vector<std::vector<std::string>> patterns;
  for (const native::FileFilter& f : r.filters) {
    patterns.emplace_back();
    for (const std::string& p : f.patterns) patterns.back().push_back(utf8FromCp1252(p));
  }
  for (const native::FileFilter& f : r.filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, utf8FromCp1252(f.description).c_str());
    gtk_file_filter_add_custom(filter, GTK_FILE_FILTER_DISPLAY_NAME, filterMatches,
                               &patterns[filters.size()], nullptr);
    gtk_file_chooser_add_filter(chooser, filter);   // the chooser holds it from here on
    filters.push_back(filter);
  }
  if (r.filter >= 0 && r.filter < static_cast<int>(filters.size()))
    gtk_file_chooser_set_filter(chooser, filters[static_cast<std::size_t>(r.filter)]);
  const native::Questions q = questionsOver(d);
  // A dialog's size, not the whole screen that the chooser takes without a size it
  // remembers; it sets its own size as it comes up, so ours follows.
  gtk_widget_show(d);
  settle();
  const int width = 760, height = 520;
  gtk_window_resize(GTK_WINDOW(d), width, height);
  int x = 0, y = 0, w = 0, h = 0;
  if (GtkWindow* parent = gtk_window_get_transient_for(GTK_WINDOW(d))) {
    gtk_window_get_position(parent, &x, &y);
    gtk_window_get_size(parent, &w, &h);
  } else if (GdkMonitor* m = gdk_display_get_primary_monitor(gdk_display_get_default())) {
    GdkRectangle r;
    gdk_monitor_get_geometry(m, &r);
    x = r.x, y = r.y, w = r.width, h = r.height;
  }
  if (w > 0 && h > 0) gtk_window_move(GTK_WINDOW(d), std::max(0, x + (w - width) / 2), std::max(0, y + (h - height) / 2));
  int answer = 0;
  while (gtk_dialog_run(GTK_DIALOG(d)) == GTK_RESPONSE_ACCEPT) {
    std::vector<std::string> paths;
    GSList* names = gtk_file_chooser_get_filenames(chooser);
    for (GSList* n = names; n != nullptr; n = n->next) {
      paths.emplace_back(static_cast<char*>(n->data));
      g_free(n->data);
    }
    g_slist_free(names);
    if (paths.empty()) continue;
    const auto in = std::find(filters.begin(), filters.end(), gtk_file_chooser_get_filter(chooser));
    const int filter = in == filters.end() ? r.filter : static_cast<int>(in - filters.begin());
    if (r.accept && !r.accept(paths, filter, q)) continue;
    r.paths = paths;
    r.filter = filter;
    answer = 1;
    break;
  }
  gtk_widget_destroy(d);
  settle();
  return answer;
}

GtkWidget* label(const char* text) {
  GtkWidget* l = gtk_label_new_with_mnemonic(text);
  gtk_widget_set_halign(l, GTK_ALIGN_START);
  return l;
}

int pageDialog(native::PageRequest& r) {
  GtkWidget* d = gtk_dialog_new_with_buttons("Page Setup", windowOf(r.owner), GTK_DIALOG_MODAL, "_Cancel",
                                             GTK_RESPONSE_CANCEL, "_OK", GTK_RESPONSE_OK, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_OK);
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
  gtk_container_set_border_width(GTK_CONTAINER(grid), 12);
  gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(d))), grid);

  GtkWidget* printer = gtk_combo_box_text_new();
  for (const std::string& p : r.printers) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(printer), utf8FromCp1252(p).c_str());
  gtk_combo_box_set_active(GTK_COMBO_BOX(printer), r.printer);
  GtkWidget* paper = gtk_combo_box_text_new();
  for (const std::string& p : r.papers) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(paper), utf8FromCp1252(p).c_str());
  gtk_combo_box_set_active(GTK_COMBO_BOX(paper), r.paper);
  GtkWidget* portrait = gtk_radio_button_new_with_mnemonic(nullptr, "_Portrait");
  GtkWidget* landscape = gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(portrait), "_Landscape");
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(r.landscape ? landscape : portrait), TRUE);
  GtkWidget* orientation = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  gtk_container_add(GTK_CONTAINER(orientation), portrait);
  gtk_container_add(GTK_CONTAINER(orientation), landscape);

  GtkWidget* printerLabel = label("P_rinter:");
  gtk_label_set_mnemonic_widget(GTK_LABEL(printerLabel), printer);
  GtkWidget* paperLabel = label("Paper _size:");
  gtk_label_set_mnemonic_widget(GTK_LABEL(paperLabel), paper);
  gtk_grid_attach(GTK_GRID(grid), printerLabel, 0, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), printer, 1, 0, 3, 1);
  gtk_grid_attach(GTK_GRID(grid), paperLabel, 0, 1, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), paper, 1, 1, 3, 1);
  gtk_grid_attach(GTK_GRID(grid), label("Orientation:"), 0, 2, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), orientation, 1, 2, 3, 1);
  const std::string unit = std::string("Margins (") + r.unit + "):";
  gtk_grid_attach(GTK_GRID(grid), label(unit.c_str()), 0, 3, 4, 1);
  static const char* const names[4] = {"L_eft:", "_Top:", "Ri_ght:", "_Bottom:"};
  GtkWidget* margins[4] = {};
  const bool inches = std::string(r.unit) == "in";
  for (int i = 0; i < 4; ++i) {
    margins[i] = gtk_spin_button_new_with_range(0, inches ? 40 : 1000, inches ? 0.01 : 0.1);
    gtk_spin_button_set_digits(GTK_SPIN_BUTTON(margins[i]), inches ? 2 : 1);
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(margins[i]), r.margins[i]);
    gtk_entry_set_activates_default(GTK_ENTRY(margins[i]), TRUE);
    GtkWidget* l = label(names[i]);
    gtk_label_set_mnemonic_widget(GTK_LABEL(l), margins[i]);
    gtk_grid_attach(GTK_GRID(grid), l, (i % 2) * 2, 4 + i / 2, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), margins[i], (i % 2) * 2 + 1, 4 + i / 2, 1, 1);
  }
  // Enter on a closed printer or paper list is the dialog's OK, as everywhere else in it,
  // rather than opening the list (a list that is open has the keys to itself).
  GtkWidget* lists[2] = {printer, paper};
  g_signal_connect(d, "key-press-event", G_CALLBACK(+[](GtkWidget* w, GdkEventKey* e, gpointer data) -> gboolean {
                     if (e->keyval != GDK_KEY_Return && e->keyval != GDK_KEY_KP_Enter) return FALSE;
                     if ((e->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SHIFT_MASK)) != 0) return FALSE;
                     GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(w));
                     for (GtkWidget* list : {static_cast<GtkWidget**>(data)[0], static_cast<GtkWidget**>(data)[1]})
                       if (focus != nullptr && (focus == list || gtk_widget_is_ancestor(focus, list))) {
                         gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_OK);
                         return TRUE;
                       }
                     return FALSE;
                   }),
                   lists);
  place(d);
  gtk_widget_show_all(d);
  gtk_widget_grab_focus(printer);
  const int response = gtk_dialog_run(GTK_DIALOG(d));
  if (response == GTK_RESPONSE_OK) {
    r.printer = gtk_combo_box_get_active(GTK_COMBO_BOX(printer));
    r.paper = gtk_combo_box_get_active(GTK_COMBO_BOX(paper));
    r.landscape = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(landscape)) != FALSE;
    for (int i = 0; i < 4; ++i) {
      gtk_spin_button_update(GTK_SPIN_BUTTON(margins[i]));
      r.margins[i] = gtk_spin_button_get_value(GTK_SPIN_BUTTON(margins[i]));
    }
  }
  gtk_widget_destroy(d);
  settle();
  return response == GTK_RESPONSE_OK ? 1 : 0;
}

GdkRGBA rgbaOf(COLORREF c) {
  return GdkRGBA{(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0, 1.0};
}

int colourDialog(native::ColourRequest& r) {
  GtkWidget* d = gtk_color_chooser_dialog_new("Color", windowOf(r.owner));
  GtkColorChooser* chooser = GTK_COLOR_CHOOSER(d);
  place(d);
  gtk_color_chooser_set_use_alpha(chooser, FALSE);
  GdkRGBA custom[16];
  for (int i = 0; i < 16; ++i) custom[i] = rgbaOf(r.custom[i]);
  gtk_color_chooser_add_palette(chooser, GTK_ORIENTATION_HORIZONTAL, 8, 16, custom);
  const GdkRGBA start = rgbaOf(r.colour);
  gtk_color_chooser_set_rgba(chooser, &start);
  // The full form: the editor with its fields, as the caller's colour is meant to be adjusted.
  g_object_set(d, "show-editor", TRUE, nullptr);
  const int response = gtk_dialog_run(GTK_DIALOG(d));
  if (response == GTK_RESPONSE_OK) {
    GdkRGBA c;
    gtk_color_chooser_get_rgba(chooser, &c);
    auto byte = [](double v) { return static_cast<COLORREF>(std::clamp(std::lround(v * 255.0), 0L, 255L)); };
    r.colour = byte(c.red) | (byte(c.green) << 8) | (byte(c.blue) << 16);
  }
  gtk_widget_destroy(d);
  settle();
  return response == GTK_RESPONSE_OK ? 1 : 0;
}

}  // namespace

void installDialogs() {
  native::dialogs.file = fileDialog;
  native::dialogs.page = pageDialog;
  native::dialogs.colour = colourDialog;
}

}  // namespace win::gtkbackend
