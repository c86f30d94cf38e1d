#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestles::ipc {

/// The request types of the compositor's IPC that the layer sends.
enum class Request : std::uint32_t {
  runCommand = 0,
  getWorkspaces = 1,
  subscribe = 2,
  getOutputs = 3,
  getTree = 4,
  getVersion = 7,
  getConfig = 9,
};

/// The event types (without the event bit) that a subscription delivers.
enum class Event : std::uint32_t {
  workspace = 0,
  output = 1,
  mode = 2,
  window = 3,
  barconfigUpdate = 4,
  binding = 5,
  shutdown = 6,
  tick = 7,
};

/// The bit of a message's type that marks an event rather than a reply.
inline constexpr std::uint32_t kEventBit = 0x80000000u;

/// The largest payload accepted: a tree of thousands of windows stays far below it, and a
/// corrupt length cannot make the reader hold gigabytes.
inline constexpr std::uint32_t kMaxPayload = 64u << 20;

/// One framed message: the magic "i3-ipc", the payload's length and the type, both 32-bit in
/// the host's byte order, then the payload (JSON, or a command's text).
struct Message {
  std::uint32_t type = 0;
  std::string payload;

  bool isEvent() const { return (type & kEventBit) != 0; }
  /// The event's type without the event bit; meaningful only for events.
  std::uint32_t eventType() const { return type & ~kEventBit; }
  bool operator==(const Message&) const = default;
};

/// The bytes that carry one message.
std::string encodeMessage(std::uint32_t type, std::string_view payload);
inline std::string encodeMessage(Request type, std::string_view payload) {
  return encodeMessage(static_cast<std::uint32_t>(type), payload);
}

/// Cuts a byte stream into messages, however the stream was split when it arrived.
class MessageReader {
 public:
  /// Appends bytes read from the socket.
  void feed(std::string_view bytes);
  /// The next whole message; nothing when more bytes are needed or the stream is broken.
  std::optional<Message> next();
  /// Why the stream cannot be read on (a wrong magic or a payload over the limit), in a
  /// sentence; nothing while it is sound. A broken stream stays broken.
  const std::optional<std::string>& error() const { return error_; }

 private:
  std::string buffer_;
  std::size_t start_ = 0;  // where the unread bytes begin in `buffer_`
  std::optional<std::string> error_;
};

}  // namespace kestles::ipc
