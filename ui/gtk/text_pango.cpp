// Text of the settings window: measured and drawn by Pango into the
// composed pixels, the Japanese Windows fonts taken by the IPA fonts
// (fonts-ipafont-gothic), which fontconfig is asked for by name.
#include "ui/gtk/text_pango.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "ui/common/font_faces.h"
#include "ui/widgets.h"

namespace ui::gtk {
namespace {

PangoContext* Context() {
  static PangoContext* context = [] {
    PangoContext* c = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_cairo_context_set_resolution(c, 96);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    pango_cairo_context_set_font_options(c, options);
    cairo_font_options_destroy(options);
    return c;
  }();
  return context;
}

struct LayoutDeleter {
  void operator()(PangoLayout* l) const { g_object_unref(l); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

LayoutPtr MakeLayout(PangoContext* context, std::string_view text, const Font& font) {
  LayoutPtr layout(pango_layout_new(context));
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, PangoFamilyFor(font.Name).c_str());
  pango_font_description_set_absolute_size(desc, FontPixels(font) * PANGO_SCALE);
  pango_font_description_set_weight(desc, static_cast<PangoWeight>(std::clamp(font.Weight, 100, 1000)));
  pango_font_description_set_style(desc, font.Italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(layout.get(), desc);
  pango_font_description_free(desc);
  PangoAttrList* attrs = pango_attr_list_new();
  if (font.Underline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (font.Strikethrough) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
  pango_layout_set_attributes(layout.get(), attrs);
  pango_attr_list_unref(attrs);
  return layout;
}

void SetColour(cairo_t* cr, Colour c) {
  cairo_set_source_rgb(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
}

}  // namespace

std::string PangoFamilyFor(const std::string& name) {
  switch (FaceOf(name)) {
    case FontFace::kProportionalGothic: return "IPAPGothic";
    case FontFace::kGothic: return "IPAGothic";
    default: return name;
  }
}

}  // namespace ui::gtk

namespace ui {

Point MeasureText(std::string_view text, const Font& font) {
  if (text.empty()) return Point{0, 0};
  const auto layout = gtk::MakeLayout(gtk::Context(), text, font);
  PangoRectangle logical{};
  pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
  return Point{logical.width, logical.height};
}

void DrawTextInto(Picture& target, const Rect& box, const Rect& clip, std::string_view text, const Font& font,
                  Colour colour, Alignment alignment, bool enabled, bool word_wrap) {
  const Rect c{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, target.width),
               std::min(clip.bottom, target.height)};
  if (text.empty() || c.right <= c.left || c.bottom <= c.top) return;
  const int w = c.right - c.left, h = c.bottom - c.top;
  // The clip's pixels go through a cairo image and back.
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  auto* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const auto row = [&](int y) { return reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride); };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Colour p = target.At(c.left + x, c.top + y);
      row(y)[x] = (static_cast<std::uint32_t>(RedOf(p)) << 16) | (GreenOf(p) << 8) | BlueOf(p);
    }
  cairo_surface_mark_dirty(surface);

  cairo_t* cr = cairo_create(surface);
  cairo_translate(cr, -c.left, -c.top);
  PangoContext* context = gtk::Context();
  pango_cairo_update_context(cr, context);
  const auto layout = gtk::MakeLayout(context, text, font);
  const int box_width = box.right - box.left;
  double x = box.left;
  if (word_wrap) {
    pango_layout_set_width(layout.get(), std::max(box_width, 1) * PANGO_SCALE);
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout.get(), alignment == Alignment::Center  ? PANGO_ALIGN_CENTER
                                             : alignment == Alignment::Right ? PANGO_ALIGN_RIGHT
                                                                             : PANGO_ALIGN_LEFT);
  } else {
    PangoRectangle logical{};
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
    if (alignment == Alignment::Center) x += (box_width - logical.width) / 2;
    else if (alignment == Alignment::Right) x += box_width - logical.width;
  }
  // A disabled text is embossed: a white copy one pixel down and right,
  // the text itself in the shadow colour.
  if (!enabled) {
    gtk::SetColour(cr, kWhite);
    cairo_move_to(cr, x + 1, box.top + 1);
    pango_cairo_show_layout(cr, layout.get());
  }
  gtk::SetColour(cr, enabled ? colour : Rgb(128, 128, 128));
  cairo_move_to(cr, x, box.top);
  pango_cairo_show_layout(cr, layout.get());
  cairo_destroy(cr);

  cairo_surface_flush(surface);
  for (int y = 0; y < h; ++y)
    for (int x2 = 0; x2 < w; ++x2) {
      const std::uint32_t p = row(y)[x2];
      target.pixels[static_cast<std::size_t>(c.top + y) * target.width + c.left + x2] =
          Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
  cairo_surface_destroy(surface);
}

}  // namespace ui
