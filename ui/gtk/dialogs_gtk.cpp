// The settings window's dialogs on GTK 3: the colour chooser, the file
// chooser, message boxes, and the link handed to the desktop's handler.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string_view>
#include <vector>

#include "ui/backend.h"
#include "ui/gtk/backend_gtk.h"

namespace ui::gtk {
namespace {

// Texts come with Windows line ends.
std::string WithoutCarriageReturns(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

}  // namespace

// "*.MP3" also matches "x.mp3" and "x.Mp3": each letter of the pattern
// becomes a class of both its cases.
std::string AnyCase(const std::string& pattern) {
  std::string out;
  for (char c : pattern) {
    const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    const char upper = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (lower != upper) out += std::string("[") + upper + lower + "]";
    else out += c;
  }
  return out;
}

GtkFileFilter* MusicFilter(const std::string& description, const std::string& patterns) {
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, description.c_str());
  std::stringstream list(patterns);
  for (std::string pattern; std::getline(list, pattern, ';');)
    if (!pattern.empty()) gtk_file_filter_add_pattern(filter, AnyCase(pattern).c_str());
  return filter;
}

namespace {

// The UTF-16 code units of a UTF-8 text, which the Windows limit counts.
std::size_t Utf16Length(const std::string& utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}
constexpr std::size_t kMaxPathChars = 254;

GtkWindow* Owner(WindowHandle owner) { return WindowFromHandle(owner); }

int Run(GtkWidget* dialog, WindowHandle owner) {
  if (GtkWindow* parent = Owner(owner)) gtk_window_set_transient_for(GTK_WINDOW(dialog), parent);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  // The dialog's window goes before control returns to the program.
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  return response;
}

}  // namespace

void ShowMessage(WindowHandle owner, const std::string& text, const std::string& title) {
  EnsureStarted();
  GtkWidget* dialog = gtk_message_dialog_new(Owner(owner), GTK_DIALOG_MODAL, GTK_MESSAGE_WARNING, GTK_BUTTONS_NONE,
                                             "%s", WithoutCarriageReturns(text).c_str());
  gtk_dialog_add_button(GTK_DIALOG(dialog), "OK", GTK_RESPONSE_OK);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
  Run(dialog, owner);
}

GtkWidget* FindNamed(GtkWidget* widget, const char* name) {
  if (std::string_view(gtk_widget_get_name(widget)) == name) return widget;
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  GtkWidget* found = nullptr;
  for (GList* c = children; c && !found; c = c->next) found = FindNamed(GTK_WIDGET(c->data), name);
  g_list_free(children);
  return found;
}

// GTK's chooser has a "Custom" row whose + button, like the Customize item
// of a swatch's menu, opens an editor of colours: the row is hidden (the
// label before the button's box goes with it), and the editor is put away
// again as soon as anything opens it.
void KeepToPalette(GtkWidget* chooser_dialog) {
  g_object_set(chooser_dialog, "show-editor", FALSE, nullptr);
  g_signal_connect(chooser_dialog, "notify::show-editor", G_CALLBACK(+[](GObject* dialog, GParamSpec*, gpointer) {
                     gboolean shown = FALSE;
                     g_object_get(dialog, "show-editor", &shown, nullptr);
                     if (shown) g_object_set(dialog, "show-editor", FALSE, nullptr);
                   }),
                   nullptr);
  GtkWidget* add = FindNamed(chooser_dialog, "add-color-button");
  GtkWidget* row = add ? gtk_widget_get_parent(add) : nullptr;
  GtkWidget* palette = row ? gtk_widget_get_parent(row) : nullptr;
  if (!row || !palette) return;
  gtk_widget_set_no_show_all(row, TRUE);
  gtk_widget_hide(row);
  GList* children = gtk_container_get_children(GTK_CONTAINER(palette));
  for (GList* c = children; c && c->next; c = c->next)
    if (c->next->data == row && GTK_IS_LABEL(c->data)) {
      gtk_widget_set_no_show_all(GTK_WIDGET(c->data), TRUE);
      gtk_widget_hide(GTK_WIDGET(c->data));
    }
  g_list_free(children);
}

}  // namespace ui::gtk

namespace ui::sys {

Colour WindowTextColour() { return 0; }

// The chooser opens on black, with the palette only.
std::optional<Colour> ChooseColour(WindowHandle owner) {
  GtkWidget* dialog = gtk_color_chooser_dialog_new("色の設定", nullptr);
  gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(dialog), FALSE);
  const GdkRGBA black{0, 0, 0, 1};
  gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(dialog), &black);
  gtk::KeepToPalette(dialog);
  GdkRGBA chosen{};
  const bool ok = [&] {
    if (GtkWindow* parent = gtk::WindowFromHandle(owner)) gtk_window_set_transient_for(GTK_WINDOW(dialog), parent);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(dialog), &chosen);
    gtk_widget_destroy(dialog);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    return response == GTK_RESPONSE_OK;
  }();
  if (!ok) return std::nullopt;
  const auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return Rgb(byte(chosen.red), byte(chosen.green), byte(chosen.blue));
}

std::optional<std::string> ChooseMusicFile(WindowHandle owner, const std::string& title,
                                           const std::string& filter_description, const std::string& patterns) {
  GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "キャンセル",
                                                  GTK_RESPONSE_CANCEL, "開く", GTK_RESPONSE_ACCEPT, nullptr);
  gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), gtk::MusicFilter(filter_description, patterns));
  gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  gtk_window_set_default_size(GTK_WINDOW(dialog), 640, 420);
  std::optional<std::string> path;
  if (GtkWindow* parent = gtk::WindowFromHandle(owner)) gtk_window_set_transient_for(GTK_WINDOW(dialog), parent);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
      path = name;
      g_free(name);
    }
  }
  gtk_widget_destroy(dialog);
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  if (path && gtk::Utf16Length(*path) > gtk::kMaxPathChars) return std::nullopt;
  return path;
}

// The desktop's handler, started and left to itself; its result is not
// waited for, as the shell's is not on Windows.
void OpenDocument(WindowHandle, const std::string& target) {
  const gchar* argv[] = {"xdg-open", target.c_str(), nullptr};
  g_spawn_async(nullptr, const_cast<gchar**>(argv), nullptr,
                static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL),
                nullptr, nullptr, nullptr, nullptr);
}

}  // namespace ui::sys
