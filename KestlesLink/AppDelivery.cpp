#include "KestlesLink/AppDelivery.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <variant>
#include <vector>

#include "KestlesLink/LinkReply.hpp"
#include "KestlesLink/LinkSocket.hpp"

extern char** environ;

namespace kestles::link {
namespace {

using namespace std::chrono_literals;

// The app accepts a waiting client at once; the bounds only matter when it hangs.
constexpr auto kConnectBound = 2000ms;
constexpr auto kStartTimeout = 5s;
constexpr auto kReplyTimeout = 5s;
// The descriptor on which a started app reports whether it listens.
constexpr int kReadyDescriptor = 3;

std::string unreachable(const std::string& reason) {
  return "Couldn’t reach Kestles: " + reason;
}

std::optional<std::string> folderRefusal(const std::filesystem::path& folder) {
  if (folderState(folder) != FolderState::notPrivate) return std::nullopt;
  return unreachable("its folder " + folder.string() +
                     " isn’t a private folder of yours, so Kestles won’t use it.");
}

/// The started app's report on its ready pipe: nothing until the deadline, else its one line
/// (empty when it ended without a word).
std::optional<std::string> readReport(int pipe, Clock::time_point deadline) {
  std::string line;
  switch (readLine(pipe, deadline, line)) {
    case ReadOutcome::line:
      return line;
    case ReadOutcome::timedOut:
      return std::nullopt;
    case ReadOutcome::closed:
    case ReadOutcome::tooLong:
      return std::string();
  }
  return std::nullopt;
}

/// Starts the app detached from this process: in a session of its own, in the root folder,
/// with standard input and output on /dev/null, default signal handling and none of this
/// process's other descriptors but `readyWriter`, as descriptor 3.
bool startApp(const std::filesystem::path& app, int readyWriter) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, readyWriter, kReadyDescriptor);
  posix_spawn_file_actions_addclosefrom_np(&actions, kReadyDescriptor + 1);
  posix_spawn_file_actions_addchdir_np(&actions, "/");
  posix_spawnattr_init(&attributes);
  // Nor the caller's blocked or ignored signals: an app started under nohup must still stop.
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  auto path = app.string();
  std::string option = "--ready-fd";
  std::string descriptor = std::to_string(kReadyDescriptor);
  char* arguments[] = {path.data(), option.data(), descriptor.data(), nullptr};
  pid_t child = 0;
  int result = posix_spawn(&child, path.c_str(), &actions, &attributes, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return result == 0;
}

/// Connects until the deadline, while the app that reported it listens gets there.
Connection connectUntil(const std::filesystem::path& path, Clock::time_point deadline) {
  while (true) {
    auto connection = connectTo(path, kConnectBound);
    if (connection.outcome != ConnectOutcome::nobodyListens || Clock::now() >= deadline)
      return connection;
    std::this_thread::sleep_for(10ms);
  }
}

/// Starts the app beside the tool and connects once it says it listens; its own reason when
/// it cannot.
std::variant<Connection, std::string> startAndConnect(const AppAddress& address) {
  const auto& app = address.app;
  if (!app)
    return unreachable("it isn’t running, and there’s no kestles-app beside kestles to start.");
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) return unreachable(std::strerror(errno) + std::string("."));
  FileDescriptor reader(ready[0]);
  FileDescriptor writer(ready[1]);
  if (!startApp(*app, writer.get())) return unreachable("kestles-app couldn’t be started.");
  writer.reset();  // the app's copy is then the only one: its end is the report's end
  auto deadline = Clock::now() + kStartTimeout;
  auto report = readReport(reader.get(), deadline);
  if (!report) return unreachable("kestles-app didn’t start listening within 5 seconds.");
  auto reply = LinkReply::parsed(*report);
  if (reply && reply->isRefusal()) return unreachable(reply->sentence);
  auto connection = connectUntil(address.socket, reply ? deadline : Clock::now());
  if (connection.outcome == ConnectOutcome::connected) return connection;
  return unreachable(reply ? "kestles-app didn’t start listening within 5 seconds."
                           : "kestles-app stopped before it listened.");
}

/// Refuses a listener that is not this user's: the socket file must be a socket of this
/// user's, and the process that listens on it must run as this user.
std::optional<std::string> peerRefusal(const std::filesystem::path& path, int socket) {
  if (!isOwnSocket(path) || peerUser(socket) != getuid())
    return unreachable("the program listening at " + path.string() +
                       " isn’t yours, so Kestles won’t talk to it.");
  return std::nullopt;
}

std::variant<Connection, std::string> connectOrStart(const AppAddress& address) {
  const auto& path = address.socket;
  if (auto refused = folderRefusal(path.parent_path())) return *refused;
  auto connection = connectTo(path, kConnectBound);
  if (connection.outcome == ConnectOutcome::nobodyListens) {
    auto started = startAndConnect(address);
    if (auto* failure = std::get_if<std::string>(&started)) return *failure;
    connection = std::move(std::get<Connection>(started));
    // The app made the folder; it must still be private now that something listens in it.
    if (auto refused = folderRefusal(path.parent_path())) return *refused;
  }
  switch (connection.outcome) {
    case ConnectOutcome::connected:
      break;
    case ConnectOutcome::busy:
      return unreachable("it didn’t answer.");
    case ConnectOutcome::nobodyListens:
    case ConnectOutcome::failed:
      return unreachable(std::strerror(connection.error) + std::string("."));
  }
  if (auto refused = peerRefusal(path, connection.socket.get())) return *refused;
  return connection;
}

}  // namespace

AppAnswer askApp(const std::string& line, const AppAddress& address) {
  auto connected = connectOrStart(address);
  if (auto* failure = std::get_if<std::string>(&connected)) return *failure;
  int socket = std::get<Connection>(connected).socket.get();
  // The app answers once the command is carried out, or says it is still working after 2 s.
  auto deadline = Clock::now() + kReplyTimeout;
  if (!sendAll(socket, line + "\n", deadline))
    return unreachable("the connection broke while sending.");
  LineReader reader(socket);
  std::vector<std::string> said;
  while (true) {
    std::string reply;
    switch (reader.next(deadline, reply)) {
      case ReadOutcome::line:
        break;
      case ReadOutcome::timedOut:
        return unreachable("it didn’t answer.");
      case ReadOutcome::closed:
        return unreachable("it closed the connection without answering.");
      case ReadOutcome::tooLong:
        return unreachable("it gave an answer Kestles doesn’t know.");
    }
    if (auto text = LinkReply::saidText(reply)) {
      said.push_back(std::move(*text));
      continue;
    }
    auto parsed = LinkReply::parsed(reply);
    if (!parsed) return unreachable("it gave an answer Kestles doesn’t know: " + reply);
    parsed->said = std::move(said);
    return *parsed;
  }
}

std::optional<std::string> deliverToApp(const std::string& line, const AppAddress& address) {
  auto answer = askApp(line, address);
  if (auto* failure = std::get_if<std::string>(&answer)) return *failure;
  return std::get<LinkReply>(answer).refusal();
}

bool appListens(const std::filesystem::path& socket) {
  return connectTo(socket, kConnectBound).outcome != ConnectOutcome::nobodyListens;
}

}  // namespace kestles::link
