#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kestles::app {

/// Serves command links on the app's Unix socket: one line in, one line back ("ok", or "error "
/// and a sentence), from peers of this user only.
class LinkServer {
 public:
  /// Decides on one received line: nothing accepts it, a sentence refuses it.
  using Handler = std::function<std::optional<std::string>(const std::string& line)>;

  explicit LinkServer(Handler handler);
  ~LinkServer();
  LinkServer(const LinkServer&) = delete;
  LinkServer& operator=(const LinkServer&) = delete;

  /// Makes the private socket folder and starts listening at `socket`. Returns a whole sentence
  /// when it cannot, or when another app already listens there.
  std::optional<std::string> listen(const std::filesystem::path& socket);

  /// Answers connections one after another until `stop()`.
  void run();

  /// Makes `run()` return; safe from another thread or a signal handler.
  void stop();

 private:
  void serve(int client);

  Handler handler_;
  std::filesystem::path socket_;
  int listener_ = -1;
  int wake_[2] = {-1, -1};
};

/// Whether a line is a command this app knows: a command link, or a file URL to import.
std::optional<std::string> refusalOf(const std::string& line);

}  // namespace kestles::app
