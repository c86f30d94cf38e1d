#include "KestlesEngine/x11/overlay/X11Overlay.hpp"

#include <cairo-xcb.h>
#include <cairo.h>
#include <xcb/shape.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "KestlesCore/keyboard/GlyphWords.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11KeyEvents.hpp"
#include "KestlesEngine/x11/X11KeyMapping.hpp"
#include "KestlesEngine/x11/X11KeyTable.hpp"

namespace kestles::x11 {
namespace {

/// The overlays' font, named rather than left to the "sans-serif" alias: DejaVu Sans is on
/// every Debian desktop (fonts-dejavu-core) and has every key glyph the modes show but ⎋,
/// which `drawable` writes as a word.
constexpr const char* kFontFamily = "DejaVu Sans";
constexpr double kFontSize = 22;
// The palette's panel: a field, then rows.
constexpr double kFieldFontSize = 18;
constexpr double kFieldHeight = 36;
constexpr double kRowFontSize = 15;
constexpr double kHeadingFontSize = 12;
constexpr double kRowHeight = 26;
constexpr double kLineHeight = 28;
constexpr double kPadding = 12;
constexpr double kMinimumSide = 44;
/// A mode opened by a hot key starts while the key that opened it is still held, and the
/// hot key's own grab lasts until that key is released: the grab is tried for this long.
constexpr auto kGrabPatience = std::chrono::milliseconds(1500);
constexpr auto kGrabRetry = std::chrono::milliseconds(20);
/// The outline of the frame a drop fills or a snap filled, and of the tiles around it.
constexpr int kFrameOutline = 6;
constexpr int kContextOutline = 2;

void roundedRectangleAt(cairo_t* cairo, double x, double y, double width, double height,
                        double radius);

xcb_visualtype_t* rootVisual(const xcb_screen_t& screen) {
  for (auto depths = xcb_screen_allowed_depths_iterator(&screen); depths.rem;
       xcb_depth_next(&depths))
    for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
         xcb_visualtype_next(&visuals))
      if (visuals.data->visual_id == screen.root_visual) return visuals.data;
  return nullptr;
}

void setFont(cairo_t* cairo, double size = kFontSize,
             cairo_font_weight_t weight = CAIRO_FONT_WEIGHT_BOLD) {
  cairo_select_font_face(cairo, kFontFamily, CAIRO_FONT_SLANT_NORMAL, weight);
  cairo_set_font_size(cairo, size);
}

/// Whether the font draws every character of the text: cairo draws a character the font
/// lacks as glyph 0, an empty box.
bool hasGlyphs(cairo_scaled_font_t* font, std::string_view text) {
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  auto status =
      cairo_scaled_font_text_to_glyphs(font, 0, 0, text.data(), static_cast<int>(text.size()),
                                       &glyphs, &count, nullptr, nullptr, nullptr);
  bool drawn = status == CAIRO_STATUS_SUCCESS && count > 0;
  for (int i = 0; drawn && i < count; ++i)
    drawn = glyphs[i].index != 0;
  cairo_glyph_free(glyphs);
  return drawn;
}

/// The label with its key glyphs that the font lacks written as words.
ModeLabel drawableLabel(ModeLabel label) {
  for (auto& line : label.lines)
    line = X11Overlay::drawable(line);
  return label;
}

/// Shows the text from `x` at the baseline `y`, cut at `right`.
void showClipped(cairo_t* cairo, const std::string& text, double x, double y, double right) {
  cairo_save(cairo);
  cairo_rectangle(cairo, x, y - kRowHeight, std::max(0.0, right - x), 2 * kRowHeight);
  cairo_clip(cairo);
  cairo_move_to(cairo, x, y);
  cairo_show_text(cairo, text.c_str());
  cairo_restore(cairo);
}

double advance(cairo_t* cairo, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cairo, text.c_str(), &extents);
  return extents.x_advance;
}

/// The palette's panel: the field with its text (or the dimmed placeholder) and a caret,
/// then the rows, the chosen one on a blue band, headings small and grey, a detail after a
/// tab at the row's right end.
void drawList(cairo_t* cairo, const ModeLabel& label, double width) {
  const auto& list = *label.list;
  cairo_set_source_rgb(cairo, 0.16, 0.16, 0.19);
  cairo_paint(cairo);
  double right = width - kPadding;
  roundedRectangleAt(cairo, kPadding, kPadding, width - 2 * kPadding, kFieldHeight, 6);
  cairo_set_source_rgb(cairo, 0.26, 0.26, 0.3);
  cairo_fill(cairo);
  setFont(cairo, kFieldFontSize, CAIRO_FONT_WEIGHT_NORMAL);
  double fieldBaseline = kPadding + kFieldHeight / 2 + kFieldFontSize / 3;
  double textX = 2 * kPadding;
  if (list.field.empty()) {
    cairo_set_source_rgb(cairo, 0.6, 0.6, 0.64);
    showClipped(cairo, list.placeholder, textX, fieldBaseline, right - kPadding);
  } else {
    cairo_set_source_rgb(cairo, 1, 1, 1);
    showClipped(cairo, list.field, textX, fieldBaseline, right - kPadding);
  }
  double caret =
      std::min(textX + (list.field.empty() ? 0 : advance(cairo, list.field)) + 1, right - kPadding);
  cairo_set_source_rgb(cairo, 1, 1, 1);
  cairo_rectangle(cairo, caret, kPadding + 8, 2, kFieldHeight - 16);
  cairo_fill(cairo);

  double top = 2 * kPadding + kFieldHeight;
  for (std::size_t row = 0; row < label.lines.size(); ++row) {
    double rowTop = top + static_cast<double>(row) * kRowHeight;
    double baseline = rowTop + kRowHeight / 2 + kRowFontSize / 3;
    if (list.selected == row) {
      roundedRectangleAt(cairo, kPadding / 2, rowTop, width - kPadding, kRowHeight, 4);
      cairo_set_source_rgb(cairo, 0.2, 0.45, 0.9);
      cairo_fill(cairo);
    }
    const auto& line = label.lines[row];
    if (std::find(list.dimmed.begin(), list.dimmed.end(), row) != list.dimmed.end()) {
      setFont(cairo, kHeadingFontSize, CAIRO_FONT_WEIGHT_BOLD);
      cairo_set_source_rgb(cairo, 0.62, 0.62, 0.68);
      showClipped(cairo, line, kPadding, baseline, right);
      continue;
    }
    auto tab = line.find('\t');
    std::string title = line.substr(0, tab);
    setFont(cairo, kRowFontSize, CAIRO_FONT_WEIGHT_NORMAL);
    double titleRight = right;
    if (tab != std::string::npos) {
      auto detail = line.substr(tab + 1);
      double detailX = right - advance(cairo, detail);
      cairo_set_source_rgb(cairo, 0.78, 0.8, 0.86);
      cairo_move_to(cairo, detailX, baseline);
      cairo_show_text(cairo, detail.c_str());
      titleRight = detailX - kPadding;
    }
    cairo_set_source_rgb(cairo, 1, 1, 1);
    showClipped(cairo, title, 2 * kPadding, baseline, titleRight);
  }
}

/// The width of the widest line, measured on a scratch surface.
double textWidth(const std::vector<std::string>& lines) {
  auto* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  auto* cairo = cairo_create(surface);
  setFont(cairo);
  double widest = 0;
  for (const auto& line : lines) {
    cairo_text_extents_t extents;
    cairo_text_extents(cairo, line.c_str(), &extents);
    widest = std::max(widest, extents.x_advance);
  }
  cairo_destroy(cairo);
  cairo_surface_destroy(surface);
  return widest;
}

void roundedRectangleAt(cairo_t* cairo, double x, double y, double width, double height,
                        double radius) {
  cairo_new_sub_path(cairo);
  cairo_arc(cairo, x + width - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cairo, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
  cairo_arc(cairo, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cairo, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cairo);
}

void roundedRectangle(cairo_t* cairo, double width, double height, double radius) {
  roundedRectangleAt(cairo, 0, 0, width, height, radius);
}

KeyModifiers modifiersOf(std::uint16_t state) {
  int bits = 0;
  if (state & XCB_MOD_MASK_CONTROL) bits |= KeyModifiers::control;
  if (state & XCB_MOD_MASK_1) bits |= KeyModifiers::option;
  if (state & XCB_MOD_MASK_SHIFT) bits |= KeyModifiers::shift;
  if (state & XCB_MOD_MASK_4) bits |= KeyModifiers::command;
  return {bits};
}

/// A mode's plate: its lines centred on a rounded plate, orange when highlighted.
void drawPlate(cairo_t* cairo, const ModeLabel& label, int width, int height) {
  cairo_set_source_rgb(cairo, 0.12, 0.12, 0.14);
  cairo_paint(cairo);
  roundedRectangle(cairo, width, height, 8);
  if (label.highlighted)
    cairo_set_source_rgb(cairo, 0.95, 0.6, 0.1);
  else
    cairo_set_source_rgb(cairo, 0.2, 0.45, 0.9);
  cairo_fill(cairo);
  setFont(cairo);
  cairo_set_source_rgb(cairo, 1, 1, 1);
  double baseline = kPadding / 2 + kFontSize;
  for (const auto& line : label.lines) {
    cairo_text_extents_t extents;
    cairo_text_extents(cairo, line.c_str(), &extents);
    cairo_move_to(cairo, (width - extents.x_advance) / 2, baseline);
    cairo_show_text(cairo, line.c_str());
    baseline += kLineHeight;
  }
}

}  // namespace

std::string X11Overlay::drawable(std::string_view text) {
  auto* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  auto* cairo = cairo_create(surface);
  setFont(cairo);
  auto* font = cairo_get_scaled_font(cairo);
  auto words =
      withGlyphWords(text, [font](std::string_view glyph) { return hasGlyphs(font, glyph); });
  cairo_destroy(cairo);
  cairo_surface_destroy(surface);
  return words;
}

std::unique_ptr<X11Overlay> X11Overlay::open(const std::optional<std::string>& display) {
  auto connection = X11Connection::open(display);
  if (!connection) return nullptr;
  auto mapping = X11KeyMapping::read(connection->raw());
  if (!mapping) return nullptr;
  return std::unique_ptr<X11Overlay>(new X11Overlay(std::move(connection), std::move(mapping)));
}

X11Overlay::X11Overlay(std::unique_ptr<X11Connection> connection,
                       std::unique_ptr<X11KeyMapping> mapping)
    : connection_(std::move(connection)),
      mapping_(std::move(mapping)),
      visual_(rootVisual(connection_->screen())) {
  const auto* shape = xcb_get_extension_data(connection_->raw(), &xcb_shape_id);
  hasShape_ = shape != nullptr && shape->present;
  mapping_->selectEvents();
  events_ =
      std::make_unique<X11KeyEvents>(connection_->raw(), connection_->root(),
                                     [this](const xcb_generic_event_t& event) { handle(event); });
}

X11Overlay::~X11Overlay() {
  events_->stop();
  hidePassive();
  hide();
}

void X11Overlay::onKey(KeyHandler handler) {
  std::lock_guard lock(mutex_);
  onKey_ = std::move(handler);
}

bool X11Overlay::show(const std::vector<ModeLabel>& labels) {
  std::lock_guard lock(mutex_);
  if (!holding_ && !grabKeyboard()) return false;
  holding_ = true;
  // The palette's panel shown again as the user types keeps its window: a new window for
  // every key would flicker.
  if (panels_.size() == 1 && labels.size() == 1 && panels_[0].label.list && labels[0].list) {
    reshape(panels_[0], labels[0]);
    xcb_flush(connection_->raw());
    return true;
  }
  destroyPanels();
  for (const auto& label : labels)
    panels_.push_back(makePanel(label));
  auto* raw = connection_->raw();
  for (const auto& panel : panels_)
    xcb_map_window(raw, panel.window);
  xcb_flush(raw);
  return true;
}

void X11Overlay::hide() {
  std::lock_guard lock(mutex_);
  destroyPanels();
  if (holding_) xcb_ungrab_keyboard(connection_->raw(), XCB_CURRENT_TIME);
  holding_ = false;
  xcb_flush(connection_->raw());
}

void X11Overlay::showPassive(const platform::PassiveMarks& marks) {
  std::lock_guard lock(mutex_);
  destroyPassive();
  for (const auto& tile : marks.context)
    if (auto ring = makeRing(tile, kContextOutline, pixelOf(0.75, 0.78, 0.85)))
      rings_.push_back(*ring);
  if (marks.frame)
    if (auto ring = makeRing(*marks.frame, kFrameOutline, pixelOf(0.2, 0.45, 0.9)))
      rings_.push_back(*ring);
  for (const auto& label : marks.labels) {
    passivePanels_.push_back(makePanel(label));
    passClicks(passivePanels_.back().window);
  }
  auto* raw = connection_->raw();
  for (auto ring : rings_)
    xcb_map_window(raw, ring);
  for (const auto& panel : passivePanels_)
    xcb_map_window(raw, panel.window);
  xcb_flush(raw);
}

void X11Overlay::hidePassive() {
  std::lock_guard lock(mutex_);
  destroyPassive();
  xcb_flush(connection_->raw());
}

std::optional<xcb_window_t> X11Overlay::makeRing(const CGRect& frame, int width,
                                                 std::uint32_t pixel) {
  auto w = static_cast<int>(std::lround(frame.size.width));
  auto h = static_cast<int>(std::lround(frame.size.height));
  if (!hasShape_ || w <= 0 || h <= 0) return std::nullopt;
  auto* raw = connection_->raw();
  const auto& screen = connection_->screen();
  xcb_window_t window = xcb_generate_id(raw);
  std::uint32_t values[] = {pixel, 1};
  xcb_create_window(raw, XCB_COPY_FROM_PARENT, window, screen.root,
                    static_cast<std::int16_t>(std::lround(frame.origin.x)),
                    static_cast<std::int16_t>(std::lround(frame.origin.y)),
                    static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  auto side = static_cast<std::uint16_t>(std::min({width, w, h}));
  auto ww = static_cast<std::uint16_t>(w);
  auto hh = static_cast<std::uint16_t>(h);
  xcb_rectangle_t ring[] = {{0, 0, ww, side},
                            {0, static_cast<std::int16_t>(h - side), ww, side},
                            {0, 0, side, hh},
                            {static_cast<std::int16_t>(w - side), 0, side, hh}};
  xcb_shape_rectangles(raw, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                       window, 0, 0, 4, ring);
  passClicks(window);
  return window;
}

void X11Overlay::passClicks(xcb_window_t window) {
  if (!hasShape_) return;
  xcb_shape_rectangles(connection_->raw(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                       XCB_CLIP_ORDERING_UNSORTED, window, 0, 0, 0, nullptr);
}

std::uint32_t X11Overlay::pixelOf(double red, double green, double blue) const {
  if (visual_ == nullptr) return connection_->screen().white_pixel;
  // A true-colour visual: each channel scaled into its mask.
  auto channel = [](double value, std::uint32_t mask) -> std::uint32_t {
    if (mask == 0) return 0;
    auto shift = static_cast<std::uint32_t>(__builtin_ctz(mask));
    auto most = mask >> shift;
    return (static_cast<std::uint32_t>(std::lround(value * most)) << shift) & mask;
  };
  return channel(red, visual_->red_mask) | channel(green, visual_->green_mask) |
         channel(blue, visual_->blue_mask);
}

void X11Overlay::destroyPassive() {
  for (auto ring : rings_)
    xcb_destroy_window(connection_->raw(), ring);
  rings_.clear();
  for (const auto& panel : passivePanels_)
    xcb_destroy_window(connection_->raw(), panel.window);
  passivePanels_.clear();
}

bool X11Overlay::grabKeyboard() {
  auto* raw = connection_->raw();
  auto giveUp = std::chrono::steady_clock::now() + kGrabPatience;
  while (true) {
    auto cookie = xcb_grab_keyboard(raw, 0, connection_->root(), XCB_CURRENT_TIME,
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    auto* reply = xcb_grab_keyboard_reply(raw, cookie, nullptr);
    bool grabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    free(reply);
    if (grabbed) return true;
    if (std::chrono::steady_clock::now() >= giveUp) return false;
    std::this_thread::sleep_for(kGrabRetry);
  }
}

X11Overlay::Panel X11Overlay::placed(const ModeLabel& label) {
  Panel panel{0, drawableLabel(label), 0, 0};
  double lines = static_cast<double>(std::max<std::size_t>(label.lines.size(), 1));
  double top = 0;
  if (label.list) {
    panel.width = static_cast<int>(std::ceil(std::max(kMinimumSide, label.list->width)));
    panel.height = static_cast<int>(std::ceil(
        3 * kPadding + kFieldHeight + static_cast<double>(label.lines.size()) * kRowHeight));
    top = label.centre.y;  // a list hangs from its centre point
  } else {
    panel.width = static_cast<int>(
        std::ceil(std::max(kMinimumSide, textWidth(panel.label.lines) + 2 * kPadding)));
    panel.height =
        static_cast<int>(std::ceil(std::max(kMinimumSide, lines * kLineHeight + kPadding)));
    top = label.centre.y - panel.height / 2.0;
  }
  panel.x = static_cast<std::int16_t>(std::lround(label.centre.x - panel.width / 2.0));
  panel.y = static_cast<std::int16_t>(std::lround(top));
  return panel;
}

X11Overlay::Panel X11Overlay::makePanel(const ModeLabel& label) {
  auto panel = placed(label);
  panel.window = xcb_generate_id(connection_->raw());
  const auto& screen = connection_->screen();
  // Override-redirect: the window manager neither frames nor moves the panels, and they
  // never take the focus from the window the user is working in.
  std::uint32_t values[] = {screen.black_pixel, 1, XCB_EVENT_MASK_EXPOSURE};
  xcb_create_window(connection_->raw(), XCB_COPY_FROM_PARENT, panel.window, screen.root, panel.x,
                    panel.y, static_cast<std::uint16_t>(panel.width),
                    static_cast<std::uint16_t>(panel.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screen.root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
  return panel;
}

void X11Overlay::reshape(Panel& panel, const ModeLabel& label) {
  auto next = placed(label);
  next.window = panel.window;
  panel = std::move(next);
  std::uint32_t values[] = {
      static_cast<std::uint32_t>(panel.x), static_cast<std::uint32_t>(panel.y),
      static_cast<std::uint32_t>(panel.width), static_cast<std::uint32_t>(panel.height)};
  auto* raw = connection_->raw();
  xcb_configure_window(raw, panel.window,
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                           XCB_CONFIG_WINDOW_HEIGHT,
                       values);
  // Drawn on the expose this asks for, as every panel is.
  xcb_clear_area(raw, 1, panel.window, 0, 0, 0, 0);
}

void X11Overlay::draw(const Panel& panel) {
  if (visual_ == nullptr) return;
  auto* surface = cairo_xcb_surface_create(connection_->raw(), panel.window, visual_, panel.width,
                                           panel.height);
  auto* cairo = cairo_create(surface);
  if (panel.label.list)
    drawList(cairo, panel.label, panel.width);
  else
    drawPlate(cairo, panel.label, panel.width, panel.height);
  cairo_destroy(cairo);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  xcb_flush(connection_->raw());
}

void X11Overlay::destroyPanels() {
  for (const auto& panel : panels_)
    xcb_destroy_window(connection_->raw(), panel.window);
  panels_.clear();
}

std::optional<TypedKey> X11Overlay::keyOf(xcb_keycode_t keycode, std::uint16_t state) const {
  auto row = rowForKeysym(mapping_->baseKeysym(keycode));
  if (!row || row->modifierFlag != 0) return std::nullopt;
  return TypedKey{row->keyCode, modifiersOf(state), mapping_->text(keycode)};
}

void X11Overlay::handle(const xcb_generic_event_t& event) {
  std::optional<TypedKey> key;
  KeyHandler handler;
  {
    std::lock_guard lock(mutex_);
    mapping_->follow(event);
    switch (event.response_type & 0x7f) {
      case XCB_EXPOSE: {
        const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
        if (expose.count != 0) break;
        for (const auto* panels : {&panels_, &passivePanels_})
          for (const auto& panel : *panels)
            if (panel.window == expose.window) draw(panel);
        break;
      }
      case XCB_KEY_PRESS: {
        const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
        if (holding_) key = keyOf(press.detail, press.state);
        handler = onKey_;
        break;
      }
      default:
        break;
    }
  }
  // Outside the lock: the handler may show or hide at once.
  if (key && handler) handler(*key);
}

}  // namespace kestles::x11
