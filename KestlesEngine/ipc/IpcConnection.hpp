#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "KestlesEngine/ipc/IpcMessage.hpp"

namespace kestles::ipc {

/// The compositor's IPC socket: `SWAYSOCK`, else `I3SOCK`; nothing when neither is set.
std::optional<std::string> socketPath();

/// One connection to the compositor's IPC socket. Requests are answered in order; a
/// connection that subscribed also receives events, which `exchange` skips and `read` returns.
class IpcConnection {
 public:
  /// How long a request waits for the compositor's answer before the connection counts as
  /// dead: a compositor answers in microseconds, so this only bounds a hung one.
  static constexpr int kAnswerLimitMs = 2000;

  /// Connects; nothing when nothing listens there.
  static std::unique_ptr<IpcConnection> open(const std::string& path);
  ~IpcConnection();
  IpcConnection(const IpcConnection&) = delete;
  IpcConnection& operator=(const IpcConnection&) = delete;

  /// Sends every request at once and reads the replies in order: one round trip. Nothing
  /// when the socket failed, the compositor did not answer in time or broke the framing.
  std::optional<std::vector<std::string>> exchange(
      std::span<const std::pair<Request, std::string>> requests);
  /// One request's reply payload; nothing as for `exchange`.
  std::optional<std::string> request(Request type, std::string payload = {});
  /// The next message, waiting until one arrives or `wake` becomes readable (then nothing);
  /// nothing too when the compositor closed the connection.
  std::optional<Message> read(int wake);
  /// Whether the connection failed for good.
  bool broken() const { return fd_ < 0; }
  /// Round trips made so far.
  std::uint64_t roundTrips() const { return roundTrips_; }

 private:
  explicit IpcConnection(int fd) : fd_(fd) {}
  bool fill(int wake, int limitMs);
  void close();

  int fd_ = -1;
  MessageReader reader_;
  std::uint64_t roundTrips_ = 0;
};

}  // namespace kestles::ipc
