#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestles::x11 {

/// Frees what XCB allocated with malloc.
struct FreeDeleter {
  void operator()(void* pointer) const { std::free(pointer); }
};

/// An owned XCB reply; empty when the request failed (a vanished window gives BadWindow).
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

/// The property reply of a cookie, or nothing on error; errors are discarded.
Reply<xcb_get_property_reply_t> propertyReply(xcb_connection_t* connection,
                                              xcb_get_property_cookie_t cookie);

/// The 32-bit items of a property reply (empty for another format or no reply).
std::vector<std::uint32_t> cardinals(const xcb_get_property_reply_t* reply);

/// The bytes of an 8-bit property as they are (empty for another format or no reply).
std::string bytes(const xcb_get_property_reply_t* reply);

/// An 8-bit property holding UTF-8 (or ASCII) text, made valid as it enters the model: a
/// character cut by the read's length limit is dropped, any other invalid byte becomes U+FFFD.
/// Empty for another format or no reply.
std::string text(const xcb_get_property_reply_t* reply);

/// The first item of a WINDOW property, or nothing.
std::optional<xcb_window_t> windowProperty(xcb_connection_t* connection,
                                           xcb_get_property_cookie_t cookie);

/// Reads a property of up to `longs` 32-bit units, any type.
xcb_get_property_cookie_t requestProperty(xcb_connection_t* connection, xcb_window_t window,
                                          xcb_atom_t property, std::uint32_t longs = 1024);

}  // namespace kestles::x11
