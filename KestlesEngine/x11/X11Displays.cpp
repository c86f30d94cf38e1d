#include "KestlesEngine/x11/X11Displays.hpp"

#include <xcb/randr.h>

#include <algorithm>
#include <cstdio>

#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/x11/X11Reply.hpp"

namespace kestles::x11 {
namespace {

constexpr std::array<std::uint8_t, 8> kEdidHeader = {0x00, 0xFF, 0xFF, 0xFF,
                                                     0xFF, 0xFF, 0xFF, 0x00};

/// 64-bit FNV-1a over the bytes, from a chosen starting value.
std::uint64_t fnv1a(std::span<const std::uint8_t> bytes, std::uint64_t hash) {
  for (auto byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

/// A name-based UUID string (version 5 layout, upper case) made from the bytes.
std::string uuidFrom(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, 16> uuid{};
  auto high = fnv1a(bytes, 0xcbf29ce484222325ULL);
  auto low = fnv1a(bytes, high ^ 0x6c62272e07bb0142ULL);
  for (int i = 0; i < 8; ++i) {
    uuid[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(high >> (56 - 8 * i));
    uuid[static_cast<std::size_t>(8 + i)] = static_cast<std::uint8_t>(low >> (56 - 8 * i));
  }
  uuid[6] = static_cast<std::uint8_t>((uuid[6] & 0x0F) | 0x50);
  uuid[8] = static_cast<std::uint8_t>((uuid[8] & 0x3F) | 0x80);
  std::string text;
  char hex[3];
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    std::snprintf(hex, sizeof hex, "%02X", uuid[i]);
    text.append(hex);
  }
  return text;
}

/// The text of a display descriptor (13 bytes, ended by a line feed, padded with spaces).
std::string descriptorText(std::span<const std::uint8_t> descriptor) {
  std::string value(descriptor.begin() + 5, descriptor.begin() + 18);
  value = value.substr(0, value.find('\n'));
  while (!value.empty() && value.back() == ' ')
    value.pop_back();
  return text::repairedUTF8(value);  // meant to be ASCII, but a panel may say anything
}

struct MonitorCookies {
  xcb_get_atom_name_cookie_t name;
  std::optional<xcb_randr_get_output_info_cookie_t> output;
  std::optional<xcb_randr_get_output_property_cookie_t> edid;
};

struct Monitor {
  Box frame;
  bool primary = false;
  std::string monitorName;
  std::string outputName;
  std::optional<EdidFacts> edid;
};

std::string atomName(xcb_connection_t* c, xcb_get_atom_name_cookie_t cookie) {
  Reply<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(c, cookie, nullptr));
  if (!reply) return {};
  // Any client can name a monitor (xrandr --setmonitor), with any bytes.
  return text::repairedUTF8({xcb_get_atom_name_name(reply.get()),
                             static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get()))});
}

std::string outputName(xcb_connection_t* c, xcb_randr_get_output_info_cookie_t cookie) {
  Reply<xcb_randr_get_output_info_reply_t> reply(
      xcb_randr_get_output_info_reply(c, cookie, nullptr));
  if (!reply) return {};
  return text::repairedUTF8(
      {reinterpret_cast<const char*>(xcb_randr_get_output_info_name(reply.get())),
       static_cast<std::size_t>(xcb_randr_get_output_info_name_length(reply.get()))});
}

std::optional<EdidFacts> edidOf(xcb_connection_t* c,
                                xcb_randr_get_output_property_cookie_t cookie) {
  Reply<xcb_randr_get_output_property_reply_t> reply(
      xcb_randr_get_output_property_reply(c, cookie, nullptr));
  if (!reply || reply->format != 8) return std::nullopt;
  auto* data = xcb_randr_get_output_property_data(reply.get());
  return readEdid(
      {data, static_cast<std::size_t>(xcb_randr_get_output_property_data_length(reply.get()))});
}

std::vector<Monitor> readMonitors(X11Connection& connection) {
  auto* c = connection.raw();
  auto* extension = xcb_get_extension_data(c, &xcb_randr_id);
  if (extension == nullptr || !extension->present) return {};
  auto version = xcb_randr_query_version(c, 1, 5);
  auto monitorsCookie = xcb_randr_get_monitors(c, connection.root(), 1);
  connection.noteRoundTrip();
  Reply<xcb_randr_query_version_reply_t> versionReply(
      xcb_randr_query_version_reply(c, version, nullptr));
  Reply<xcb_randr_get_monitors_reply_t> reply(
      xcb_randr_get_monitors_reply(c, monitorsCookie, nullptr));
  if (!reply) return {};

  std::vector<Monitor> monitors;
  std::vector<MonitorCookies> cookies;
  for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem > 0;
       xcb_randr_monitor_info_next(&it)) {
    const auto* info = it.data;
    Monitor monitor;
    monitor.frame = {info->x, info->y, info->width, info->height};
    monitor.primary = info->primary != 0;
    MonitorCookies cookie{xcb_get_atom_name(c, info->name), std::nullopt, std::nullopt};
    if (xcb_randr_monitor_info_outputs_length(info) > 0) {
      auto output = xcb_randr_monitor_info_outputs(info)[0];
      cookie.output = xcb_randr_get_output_info(c, output, XCB_CURRENT_TIME);
      cookie.edid = xcb_randr_get_output_property(c, output, connection.atom(Atom::edid),
                                                  XCB_ATOM_ANY, 0, 256, 0, 0);
    }
    monitors.push_back(monitor);
    cookies.push_back(cookie);
  }
  connection.noteRoundTrip();
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    monitors[i].monitorName = atomName(c, cookies[i].name);
    if (cookies[i].output) monitors[i].outputName = outputName(c, *cookies[i].output);
    if (cookies[i].edid) monitors[i].edid = edidOf(c, *cookies[i].edid);
  }
  return monitors;
}

DisplayInfo displayOf(const Monitor& monitor, const Box& visible) {
  const auto& fallbackName = monitor.outputName.empty() ? monitor.monitorName : monitor.outputName;
  DisplayInfo display;
  display.id = monitor.edid ? monitor.edid->id : fallbackName;
  display.name =
      monitor.edid && !monitor.edid->productName.empty() ? monitor.edid->productName : fallbackName;
  display.frame = rectOf(monitor.frame);
  display.visibleFrame = rectOf(visible);
  display.isBuiltIn = isBuiltInName(fallbackName);
  display.isMain = monitor.primary;
  return display;
}

}  // namespace

std::optional<EdidFacts> readEdid(std::span<const std::uint8_t> edid) {
  if (edid.size() < 128 || !std::equal(kEdidHeader.begin(), kEdidHeader.end(), edid.begin()))
    return std::nullopt;
  EdidFacts facts;
  std::string serialText;
  for (std::size_t offset = 54; offset + 18 <= 126; offset += 18) {
    auto descriptor = edid.subspan(offset, 18);
    if (descriptor[0] != 0 || descriptor[1] != 0) continue;  // a timing, not a descriptor
    if (descriptor[3] == 0xFC) facts.productName = descriptorText(descriptor);
    if (descriptor[3] == 0xFF) serialText = descriptorText(descriptor);
  }
  // Maker, product code, serial number, date and the serial text tell one panel from another.
  std::vector<std::uint8_t> identity(edid.begin() + 8, edid.begin() + 18);
  identity.insert(identity.end(), serialText.begin(), serialText.end());
  facts.id = uuidFrom(identity);
  return facts;
}

bool isBuiltInName(std::string_view name) {
  auto lowered = text::asciiLowercased(name);
  return lowered.starts_with("edp") || lowered.starts_with("lvds") || lowered.starts_with("dsi");
}

Box visibleArea(const Box& monitor, std::span<const std::array<std::uint32_t, 12>> struts,
                std::int32_t rootWidth, std::int32_t rootHeight) {
  std::int64_t left = monitor.x, top = monitor.y;
  std::int64_t right = std::int64_t{monitor.x} + monitor.width;
  std::int64_t bottom = std::int64_t{monitor.y} + monitor.height;
  // Does the band [start, end] (inclusive, as struts give it) overlap [low, high)?
  auto overlaps = [](std::uint32_t start, std::uint32_t end, std::int64_t low, std::int64_t high) {
    return std::int64_t{start} < high && std::int64_t{end} >= low;
  };
  for (const auto& s : struts) {
    if (s[0] > 0 && overlaps(s[4], s[5], top, bottom) && std::int64_t{s[0]} > left)
      left = std::min<std::int64_t>(std::int64_t{s[0]}, right);
    if (s[1] > 0 && overlaps(s[6], s[7], top, bottom) && rootWidth - std::int64_t{s[1]} < right)
      right = std::max<std::int64_t>(rootWidth - std::int64_t{s[1]}, left);
    if (s[2] > 0 && overlaps(s[8], s[9], left, right) && std::int64_t{s[2]} > top)
      top = std::min<std::int64_t>(std::int64_t{s[2]}, bottom);
    if (s[3] > 0 && overlaps(s[10], s[11], left, right) && rootHeight - std::int64_t{s[3]} < bottom)
      bottom = std::max<std::int64_t>(rootHeight - std::int64_t{s[3]}, top);
  }
  return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
          static_cast<std::int32_t>(right - left), static_cast<std::int32_t>(bottom - top)};
}

std::vector<DisplayInfo> readDisplays(X11Connection& connection) {
  auto monitors = readMonitors(connection);
  if (monitors.empty()) return {};
  auto desktop = readDesktop(connection, {.struts = true});
  std::vector<std::array<std::uint32_t, 12>> struts;
  for (const auto& client : desktop.clients)
    if (client.strut && (client.viewable || !desktop.hasWindowManager))
      struts.push_back(*client.strut);
  const auto& screen = connection.screen();
  bool anyPrimary =
      std::any_of(monitors.begin(), monitors.end(), [](const Monitor& m) { return m.primary; });
  if (!anyPrimary) monitors.front().primary = true;
  std::vector<DisplayInfo> displays;
  for (const auto& monitor : monitors)
    displays.push_back(displayOf(monitor, visibleArea(monitor.frame, struts, screen.width_in_pixels,
                                                      screen.height_in_pixels)));
  return displays;
}

}  // namespace kestles::x11
