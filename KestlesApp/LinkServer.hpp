#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "KestlesLink/FileDescriptor.hpp"
#include "KestlesLink/LinkReply.hpp"

namespace kestles::app {

/// Why the server is not listening.
struct ListenRefusal {
  std::string sentence;
  bool anotherApp = false;  // another app holds the socket: it listens, or is about to
};

/// Serves command links on the app's Unix socket: one line in, the answer back once the line
/// is carried out ("say" lines, then "ok", "partly", "error" or, past a bound, "working"), from
/// peers of this user only. Clients are served side by side on one thread, so a silent or slow
/// client delays nobody: each has its own deadline for its line, and a command that runs long
/// holds up only its own answer.
class LinkServer {
 public:
  /// Sends the answer to one line; callable once, from any thread. Later calls, and calls
  /// after the bound answered "working", send nothing.
  using Respond = std::function<void(const link::LinkReply& reply)>;
  /// Takes one received line and answers it through `respond`, at once or later.
  using Handler = std::function<void(const std::string& line, Respond respond)>;
  /// Decides on one received line at once: nothing accepts it ("ok"), a sentence refuses it.
  using Decider = std::function<std::optional<std::string>(const std::string& line)>;

  struct Limits {
    std::chrono::milliseconds lineDeadline{2000};  // from accepting a client to its line feed
    std::chrono::milliseconds answerBound{2000};   // from its line to "working"
    std::size_t openClients = 64;  // beyond these, new clients wait in the listen queue
    int backlog = 128;             // the listen queue; holds a burst of clients at once
  };

  LinkServer(Handler handler, Limits limits);
  explicit LinkServer(Handler handler) : LinkServer(std::move(handler), Limits{}) {}
  LinkServer(const Decider& decide, Limits limits);
  explicit LinkServer(const Decider& decide) : LinkServer(decide, Limits{}) {}
  /// Removes the socket, but only while it is still the one this server made.
  ~LinkServer();
  LinkServer(const LinkServer&) = delete;
  LinkServer& operator=(const LinkServer&) = delete;

  /// Makes the private socket folder (refusing one that is not private), takes the folder's
  /// lock so that one app at a time owns the socket, and starts listening at `socket`.
  std::optional<ListenRefusal> listen(const std::filesystem::path& socket);

  /// Answers clients until `stop()`.
  void run();

  /// Makes `run()` return; safe from another thread or a signal handler.
  void stop();

 private:
  struct Client;
  struct Answer;
  void accept(std::vector<Client>& clients);
  /// Reads what a client sent; true once it is answered and can go.
  bool serve(Client& client);

  /// Answers "working" for every line whose bound ran out; drops the answered ones.
  void lookAtAnswers();

  Handler handler_;
  Limits limits_;
  std::vector<std::shared_ptr<Answer>> answers_;  // lines handed over and not yet answered
  std::filesystem::path socket_;
  dev_t socketDevice_ = 0;
  ino_t socketInode_ = 0;
  link::FileDescriptor lock_;
  link::FileDescriptor listener_;
  link::FileDescriptor wakeReader_;
  link::FileDescriptor wakeWriter_;
};

/// Whether a line is a command this app knows: a command link, or a file URL to import.
std::optional<std::string> refusalOf(const std::string& line);

}  // namespace kestles::app
