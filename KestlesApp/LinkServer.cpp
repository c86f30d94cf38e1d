#include "KestlesApp/LinkServer.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "KestlesApp/CommandRunner.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesLink/LinkReply.hpp"
#include "KestlesLink/LinkSocket.hpp"

namespace kestles::app {

struct LinkServer::Client {
  link::FileDescriptor socket;
  std::string received;
  link::Clock::time_point deadline;
  bool done = false;  // answered
};

/// A line handed over: its client waits for the answer until the bound.
struct LinkServer::Answer {
  std::mutex mutex;
  link::FileDescriptor socket;  // closed once answered
  link::Clock::time_point bound;

  /// Sends the reply unless one went already; true when this one went.
  bool send(const link::LinkReply& reply);
  bool answered() {
    std::lock_guard lock(mutex);
    return !socket;
  }
};

namespace {

std::string reasonOfErrno() {
  return std::string(std::strerror(errno)) + ".";
}

/// Takes the lock beside the socket without waiting; false with errno EWOULDBLOCK when
/// another app holds it.
bool takeLock(const std::filesystem::path& file, link::FileDescriptor& lock) {
  lock.reset(open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  return lock && flock(lock.get(), LOCK_EX | LOCK_NB) == 0;
}

/// Removes a socket that nobody listens on any more; anything else at the path stays.
void removeStaleSocket(const std::filesystem::path& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode)) unlink(path.c_str());
}

int millisecondsUntil(link::Clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - link::Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

void reply(int socket, const link::LinkReply& reply) {
  // The reply is one short line into an empty socket buffer: it never has to wait.
  link::sendAll(socket, reply.line(), link::Clock::now());
}

}  // namespace

bool LinkServer::Answer::send(const link::LinkReply& answer) {
  std::lock_guard lock(mutex);
  if (!socket) return false;
  // A listing can outgrow an empty socket buffer; a client that reads nothing for a second
  // gets what fitted.
  link::sendAll(socket.get(), answer.line(), link::Clock::now() + std::chrono::seconds(1));
  socket.reset();
  return true;
}

std::optional<std::string> refusalOf(const std::string& line) {
  if (line.starts_with("file://")
          ? pathOfFileURL(line).has_value()
          : decodeCommandLink(line).has_value() || decodeRecordLink(line).has_value())
    return std::nullopt;
  return "That link isn’t a command Kestles knows.";
}

LinkServer::LinkServer(const Decider& decide, Limits limits)
    : LinkServer(
          [decide](const std::string& line, const Respond& respond) {
            auto refusal = decide(line);
            respond(refusal ? link::LinkReply::refused(*refusal) : link::LinkReply::accepted());
          },
          limits) {}

LinkServer::LinkServer(Handler handler, Limits limits)
    : handler_(std::move(handler)), limits_(limits) {
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeReader_.reset(wake[0]);
    wakeWriter_.reset(wake[1]);
  }
}

LinkServer::~LinkServer() {
  if (!listener_) return;
  listener_.reset();
  // Another app may have put its own socket here since (after this one's was removed by
  // hand): that one is not ours to remove.
  struct stat status {};
  if (lstat(socket_.c_str(), &status) == 0 && status.st_dev == socketDevice_ &&
      status.st_ino == socketInode_)
    unlink(socket_.c_str());
}

std::optional<ListenRefusal> LinkServer::listen(const std::filesystem::path& socketPath) {
  auto folder = socketPath.parent_path();
  auto state = link::makePrivateFolder(folder);
  if (state == link::FolderState::missing)
    return ListenRefusal{"The socket folder " + folder.string() +
                         " can’t be made: " + reasonOfErrno()};
  if (state == link::FolderState::notPrivate)
    return ListenRefusal{"The socket folder " + folder.string() +
                         " isn’t a private folder of yours (yours alone, closed to others), "
                         "so Kestles won’t use it."};
  if (!wakeWriter_) return ListenRefusal{"Kestles can’t listen: " + reasonOfErrno()};
  if (!takeLock(folder / "app.lock", lock_)) {
    if (errno == EWOULDBLOCK) return ListenRefusal{"Kestles is already running.", true};
    return ListenRefusal{"Kestles can’t lock " + (folder / "app.lock").string() + ": " +
                         reasonOfErrno()};
  }
  // Holding the lock, no other app can be starting; a listener here is an app that predates
  // the lock, and a socket without one was left by an app that ended without cleaning up.
  if (link::connectTo(socketPath, std::chrono::milliseconds(500)).outcome !=
      link::ConnectOutcome::nobodyListens)
    return ListenRefusal{"Kestles is already running.", true};
  removeStaleSocket(socketPath);
  auto listener = link::listenAt(socketPath, limits_.backlog);
  if (!listener)
    return ListenRefusal{"Kestles can’t listen at " + socketPath.string() + ": " + reasonOfErrno()};
  struct stat status {};
  if (lstat(socketPath.c_str(), &status) == 0) {
    socketDevice_ = status.st_dev;
    socketInode_ = status.st_ino;
  }
  listener_ = std::move(*listener);
  socket_ = socketPath;
  return std::nullopt;
}

void LinkServer::run() {
  std::vector<Client> clients;
  std::vector<pollfd> watched;
  while (true) {
    watched.clear();
    watched.push_back({wakeReader_.get(), POLLIN, 0});
    // A full house leaves new clients in the listen queue until one of these is done.
    bool accepting = clients.size() < limits_.openClients;
    watched.push_back({accepting ? listener_.get() : -1, POLLIN, 0});
    auto nearest = link::Clock::time_point::max();
    for (const auto& client : clients) {
      watched.push_back({client.socket.get(), POLLIN, 0});
      nearest = std::min(nearest, client.deadline);
    }
    for (const auto& answer : answers_)
      nearest = std::min(nearest, answer->bound);
    int timeout = clients.empty() && answers_.empty() ? -1 : millisecondsUntil(nearest);
    if (poll(watched.data(), watched.size(), timeout) < 0) {
      if (errno == EINTR) continue;  // a stop request is then waiting on the wake pipe
      return;
    }
    if (watched[0].revents != 0) return;
    for (std::size_t i = 0; i < clients.size(); ++i)
      if (watched[i + 2].revents != 0) clients[i].done = serve(clients[i]);
    auto now = link::Clock::now();
    for (auto& client : clients)
      if (!client.done && client.deadline <= now) {
        reply(client.socket.get(),
              link::LinkReply::refused("Kestles didn’t receive a whole line in time."));
        client.done = true;
      }
    std::erase_if(clients, [](const Client& client) { return client.done; });
    lookAtAnswers();
    if (watched[1].revents != 0) accept(clients);
  }
}

void LinkServer::accept(std::vector<Client>& clients) {
  while (clients.size() < limits_.openClients) {
    link::FileDescriptor socket(
        accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!socket) return;  // the queue is empty (or the client left already)
    if (link::peerUser(socket.get()) != getuid()) {
      reply(socket.get(),
            link::LinkReply::refused("Kestles takes commands only from its own user."));
      continue;
    }
    clients.push_back({std::move(socket), {}, link::Clock::now() + limits_.lineDeadline, false});
  }
}

bool LinkServer::serve(Client& client) {
  char chunk[4096];
  while (true) {
    auto count = recv(client.socket.get(), chunk, sizeof(chunk), 0);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
    if (count <= 0) {
      reply(client.socket.get(), link::LinkReply::refused("Kestles didn’t receive a whole line."));
      return true;
    }
    client.received.append(chunk, static_cast<std::size_t>(count));
    std::string line;
    switch (link::takeLine(client.received, line)) {
      case link::LineState::line: {
        auto answer = std::make_shared<Answer>();
        answer->socket = std::move(client.socket);
        answer->bound = link::Clock::now() + limits_.answerBound;
        answers_.push_back(answer);
        handler_(line, [answer](const link::LinkReply& reply) { answer->send(reply); });
        return true;
      }
      case link::LineState::tooLong:
        reply(client.socket.get(), link::LinkReply::refused("That line is too long for Kestles."));
        return true;
      case link::LineState::waiting:
        break;
    }
  }
}

void LinkServer::lookAtAnswers() {
  auto now = link::Clock::now();
  // The command goes on and finishes on its own; its client need not wait for it.
  for (const auto& answer : answers_)
    if (answer->bound <= now) answer->send(link::LinkReply::stillWorking());
  std::erase_if(answers_, [](const auto& answer) { return answer->answered(); });
}

void LinkServer::stop() {
  if (wakeWriter_) [[maybe_unused]]
    auto written = write(wakeWriter_.get(), "x", 1);
}

}  // namespace kestles::app
