// The tool's side of the app's socket: whom it trusts, how long it waits, how it starts the app.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "tests/tool/ToolGoldenFixture.hpp"

extern char** environ;

namespace kestles::testing {
namespace {

namespace fs = std::filesystem;

sockaddr_un addressOf(const fs::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  return address;
}

class ToolSocket : public ToolGoldenFixture {
 protected:
  fs::path folder() const { return home.path() / "run" / "kestles"; }
  fs::path socketPath() const { return folder() / "app.sock"; }
  void makeFolder() const {
    fs::create_directories(folder());
    chmod(folder().c_str(), 0700);
  }
};

/// A listener planted at the app's socket: a child process that binds it, gives the socket
/// file to `fileOwner`, listens as `listener` and reports on a pipe whatever it receives.
class PlantedListener {
 public:
  PlantedListener(const fs::path& path, uid_t fileOwner, uid_t listener) {
    int report[2];
    int ready[2];
    if (pipe2(report, O_CLOEXEC) != 0 || pipe2(ready, O_CLOEXEC) != 0) return;
    auto address = addressOf(path);
    pid_ = fork();
    if (pid_ == 0) {
      // Only async-signal-safe calls from here: the test program has threads.
      int fd = socket(AF_UNIX, SOCK_STREAM, 0);
      if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
          chown(address.sun_path, fileOwner, fileOwner) != 0 ||
          setresgid(listener, listener, listener) != 0 ||
          setresuid(listener, listener, listener) != 0 || listen(fd, 8) != 0)
        _exit(1);
      [[maybe_unused]] auto told = write(ready[1], "x", 1);
      while (true) {
        int client = accept(fd, nullptr, nullptr);
        char buffer[512];
        auto count = read(client, buffer, sizeof(buffer));
        if (count > 0) [[maybe_unused]]
          auto copied = write(report[1], buffer, static_cast<std::size_t>(count));
        [[maybe_unused]] auto answered = send(client, "ok\n", 3, MSG_NOSIGNAL);
        close(client);
      }
    }
    close(report[1]);
    close(ready[1]);
    report_ = report[0];
    char c = 0;
    listening_ = read(ready[0], &c, 1) == 1;
    close(ready[0]);
  }
  ~PlantedListener() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (report_ >= 0) close(report_);
  }
  bool listening() const { return listening_; }
  bool receivedAnything() const {
    pollfd waiting{report_, POLLIN, 0};
    char c = 0;
    return poll(&waiting, 1, 0) > 0 && read(report_, &c, 1) == 1;
  }

 private:
  pid_t pid_ = -1;
  int report_ = -1;
  bool listening_ = false;
};

TEST_F(ToolSocket, RefusesAListenerThatIsNotThisUsers) {
  // The tool used to send to whoever listened in its folder.
  if (getuid() != 0) GTEST_SKIP() << "planting another user's listener needs root";
  const uid_t nobody = 65534;
  struct Case {
    const char* what;
    uid_t fileOwner;
    uid_t listener;
  };
  const Case cases[] = {{"another user listens", getuid(), nobody},
                        {"the socket file is another user's", nobody, getuid()}};
  for (const auto& c : cases) {
    makeFolder();
    PlantedListener planted(socketPath(), c.fileOwner, c.listener);
    ASSERT_TRUE(planted.listening()) << c.what;
    auto result = run({"undo"});
    EXPECT_EQ(result.err, "kestles: Couldn’t reach Kestles: the program listening at " +
                              socketPath().string() +
                              " isn’t yours, so Kestles won’t talk to it.\n")
        << c.what;
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(planted.receivedAnything()) << c.what;
    fs::remove(socketPath());
  }
}

TEST_F(ToolSocket, GivesUpOnAListenerThatNeverAccepts) {
  // A blocking connect to a full queue used to wait for as long as the listener hung.
  makeFolder();
  int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  auto address = addressOf(socketPath());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  std::vector<int> queued;
  while (true) {
    int client = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
      close(client);
      break;
    }
    queued.push_back(client);
  }
  // `timeout` turns a hang into a failure instead of a stuck test.
  auto result = runProcess("/usr/bin/timeout", {"30", kTool.string(), "undo"}, environment());
  EXPECT_EQ(result.err, "kestles: Couldn’t reach Kestles: it didn’t answer.\n");
  EXPECT_EQ(result.status, 1);
  for (int fd : queued)
    close(fd);
  close(listener);
}

TEST_F(ToolSocket, ReportsWhyTheAppItStartedCannotListen) {
  // The tool used to wait 5 s and say only that the app did not start listening.
  makeFolder();
  fs::create_directory(socketPath());  // not a socket, and in the way of one
  auto result = run({"undo"});
  EXPECT_EQ(result.err, "kestles: Couldn’t reach Kestles: Kestles can’t listen at " +
                            socketPath().string() + ": Address already in use.\n");
  EXPECT_EQ(result.status, 1);
}

TEST_F(ToolSocket, WithoutADesktopTheToolSaysWhyAndNoAppStays) {
  // The app used to start without a display and answer every link, so the command and every
  // later one ended with status 0 and moved nothing.
  auto withoutDesktop = environment();
  withoutDesktop["KESTLES_PLATFORM"] = "";
  auto result = runProcess(kTool, {"tile"}, withoutDesktop);
  EXPECT_EQ(result.err,
            "kestles: Couldn’t reach Kestles: There is no X display: set DISPLAY, or set "
            "KESTLES_PLATFORM=sim and KESTLES_SIM_WORLD.\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(listenerOf(socketPath()));
}

TEST_F(ToolSocket, TheStartedAppIsDetached) {
  // The app used to inherit the caller's descriptors, so `kestles tile 3>&1 | cat` waited
  // for the app to end, its working folder and its blocked signals.
  int inherited[2];
  ASSERT_EQ(pipe(inherited), 0);  // not close-on-exec: the tool inherits it as descriptor 3
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, inherited[1], 3);
  std::vector<std::string> storage;
  for (const auto& [name, value] : environment())
    if (!value.empty()) storage.push_back(name + "=" + value);
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string item(*entry);
    if (!environment().contains(item.substr(0, item.find('=')))) storage.push_back(item);
  }
  std::vector<char*> envp;
  for (auto& item : storage)
    envp.push_back(item.data());
  envp.push_back(nullptr);
  auto program = kTool.string();
  // A command that changes a setting: done even on a desktop without windows.
  std::string word = "gaps";
  std::string wider = "wider";
  char* argv[] = {program.data(), word.data(), wider.data(), nullptr};
  pid_t tool = 0;
  // A caller that blocks SIGTERM (as some supervisors do) used to pass that on to the app.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  posix_spawnattr_setsigmask(&attributes, &blocked);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  ASSERT_EQ(posix_spawn(&tool, program.c_str(), &actions, &attributes, argv, envp.data()), 0);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(inherited[1]);
  int status = 0;
  waitpid(tool, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  auto app = listenerOf(socketPath());
  ASSERT_TRUE(app);
  // Whatever fails below, the app started for this test does not outlive it.
  std::unique_ptr<pid_t, void (*)(pid_t*)> killer(&*app, [](pid_t* pid) { kill(*pid, SIGKILL); });

  // With the tool gone, nothing holds the pipe's write end any more.
  pollfd end{inherited[0], POLLIN, 0};
  char c = 0;
  if (poll(&end, 1, 10000) == 1)
    EXPECT_EQ(read(inherited[0], &c, 1), 0);
  else
    ADD_FAILURE() << "the started app holds the caller's descriptor 3";
  close(inherited[0]);

  EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(*app) + "/cwd"), "/");
  EXPECT_EQ(getsid(*app), *app);  // a session of its own
  ASSERT_EQ(kill(*app, SIGTERM), 0);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (listenerOf(socketPath()) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(listenerOf(socketPath())) << "the app did not stop on SIGTERM";
}

}  // namespace
}  // namespace kestles::testing
