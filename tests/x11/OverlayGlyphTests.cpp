#include <cairo.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KestlesCore/keyboard/KeyboardMode.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/x11/overlay/X11Overlay.hpp"

namespace kestles {
namespace {

/// The characters of the text that the overlays' font draws as an empty box (glyph 0).
std::vector<std::string> missingGlyphs(const std::string& text) {
  auto* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  auto* cairo = cairo_create(surface);
  cairo_select_font_face(cairo, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  std::vector<std::string> missing;
  for (const auto& character : text::characters(text)) {
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    cairo_scaled_font_text_to_glyphs(cairo_get_scaled_font(cairo), 0, 0, character.data(),
                                     static_cast<int>(character.size()), &glyphs, &count, nullptr,
                                     nullptr, nullptr);
    for (int i = 0; i < count; ++i)
      if (glyphs[i].index == 0) missing.push_back(character);
    cairo_glyph_free(glyphs);
  }
  cairo_destroy(cairo);
  cairo_surface_destroy(surface);
  return missing;
}

// The arrange-with-keys legend showed ⎋ as an empty box: the font the overlays draw with has
// no such glyph. Every key of every legend line must be drawn, as a glyph or as its word.
TEST(OverlayGlyphs, TheOverlaysDrawEveryKeyOfTheLegend) {
  ArrangeKeys::Context context;
  context.appName = "Editor";
  context.hasOtherDisplays = true;
  context.undoTitle = "Tile Windows";
  for (const auto& column : legendColumns(context))
    for (const auto& line : column)
      EXPECT_EQ(missingGlyphs(x11::X11Overlay::drawable(line)), std::vector<std::string>{}) << line;
  EXPECT_EQ(x11::X11Overlay::drawable("⎋  Done"), "Esc  Done");
  EXPECT_EQ(x11::X11Overlay::drawable("⌃⌥←  Move Left"), "⌃⌥←  Move Left")
      << "glyphs the font has stay glyphs";
}

}  // namespace
}  // namespace kestles
