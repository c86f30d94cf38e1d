#include "KestlesEngine/x11/X11Reply.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles::x11 {

Reply<xcb_get_property_reply_t> propertyReply(xcb_connection_t* connection,
                                              xcb_get_property_cookie_t cookie) {
  xcb_generic_error_t* error = nullptr;
  Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, &error));
  std::free(error);
  return reply;
}

std::vector<std::uint32_t> cardinals(const xcb_get_property_reply_t* reply) {
  if (reply == nullptr || reply->format != 32) return {};
  auto* items = static_cast<const std::uint32_t*>(
      xcb_get_property_value(const_cast<xcb_get_property_reply_t*>(reply)));
  auto count = static_cast<std::size_t>(
      xcb_get_property_value_length(const_cast<xcb_get_property_reply_t*>(reply)) / 4);
  return {items, items + count};
}

std::string bytes(const xcb_get_property_reply_t* reply) {
  if (reply == nullptr || reply->format != 8) return {};
  auto* value = static_cast<const char*>(
      xcb_get_property_value(const_cast<xcb_get_property_reply_t*>(reply)));
  auto length = xcb_get_property_value_length(const_cast<xcb_get_property_reply_t*>(reply));
  return {value, static_cast<std::size_t>(length)};
}

std::string text(const xcb_get_property_reply_t* reply) {
  auto value = bytes(reply);
  // Any client can write any bytes here, and a long value is cut where the read stops.
  std::string_view whole = value;
  if (reply != nullptr && reply->bytes_after > 0) whole = text::withoutPartialEnd(whole);
  return text::repairedUTF8(whole);
}

std::optional<xcb_window_t> windowProperty(xcb_connection_t* connection,
                                           xcb_get_property_cookie_t cookie) {
  auto items = cardinals(propertyReply(connection, cookie).get());
  if (items.empty() || items.front() == XCB_WINDOW_NONE) return std::nullopt;
  return items.front();
}

xcb_get_property_cookie_t requestProperty(xcb_connection_t* connection, xcb_window_t window,
                                          xcb_atom_t property, std::uint32_t longs) {
  return xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, longs);
}

}  // namespace kestles::x11
