// The socket of a running `kestles-app`, as clients and a hostile environment meet it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "KestlesEngine/PlatformChoice.hpp"
#include "tests/app/AppProcess.hpp"
#include "tests/support/ToolProcess.hpp"

namespace kestles::testing {
namespace {

const std::string kTimedOut = "error Kestles didn’t receive a whole line in time.";
// The answer to an undo on a fresh app: served, with nothing to put back.
const std::string kNothingToUndo = "error There’s nothing to undo.";

class AppSocket : public ::testing::Test {
 protected:
  std::filesystem::path socketPath() const { return socketIn(runtime.path()); }
  TemporaryFolder runtime;
};

TEST_F(AppSocket, SilentClientsDelayNobody) {
  // The app used to serve one client at a time with a 2 s wait for each line: three silent
  // clients made every other client wait 6 s, and the tool gave up.
  AppProcess app(runtime.path());
  ASSERT_TRUE(app.waitUntilListening());
  std::vector<link::FileDescriptor> silent;
  for (int i = 0; i < 3; ++i) {
    silent.push_back(connectClient(socketPath()));
    ASSERT_TRUE(silent.back());
  }
  EXPECT_EQ(ask(socketPath(), "kestles://undo\n"), kNothingToUndo);
  // The answer came before any silent client's deadline ran out...
  for (const auto& client : silent)
    EXPECT_FALSE(hasPendingInput(client.get()));
  // ...and each of them is told in the end why it got nothing done.
  for (const auto& client : silent)
    EXPECT_EQ(replyLine(client.get()), kTimedOut);
}

TEST_F(AppSocket, ASlowClientIsCutOffAtItsDeadline) {
  // A byte every now and then used to keep the app's 2 s read timeout from ever running out.
  AppProcess app(runtime.path());
  ASSERT_TRUE(app.waitUntilListening());
  auto slow = connectClient(socketPath());
  ASSERT_TRUE(slow);
  std::string line = "kestles://tile?style=spiral\n";
  for (char c : line) {
    if (hasPendingInput(slow.get())) break;
    sendText(slow.get(), std::string(1, c));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  EXPECT_EQ(replyLine(slow.get()), kTimedOut);
  EXPECT_EQ(ask(socketPath(), "kestles://undo\n"), kNothingToUndo);
}

TEST_F(AppSocket, ABurstOfTwentyClientsWaitsInTheQueue) {
  // With a queue of 16, the 18th client of a burst was refused while the app was busy.
  AppProcess app(runtime.path());
  ASSERT_TRUE(app.waitUntilListening());
  ASSERT_EQ(kill(app.pid(), SIGSTOP), 0);  // busy: nobody is accepted until it goes on
  std::vector<link::FileDescriptor> clients;
  for (int i = 0; i < 20; ++i) {
    link::FileDescriptor client(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath().c_str(), sizeof(address.sun_path) - 1);
    int connected = connect(client.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address));
    EXPECT_EQ(connected, 0) << "client " << i << ": " << std::strerror(errno);
    sendText(client.get(), "kestles://undo\n");
    clients.push_back(std::move(client));
  }
  ASSERT_EQ(kill(app.pid(), SIGCONT), 0);
  for (const auto& client : clients) {
    int flags = fcntl(client.get(), F_GETFL);
    fcntl(client.get(), F_SETFL, flags & ~O_NONBLOCK);
    EXPECT_EQ(replyLine(client.get()), kNothingToUndo);
  }
}

TEST_F(AppSocket, AClosedErrorPipeDoesNotKillTheApp) {
  // Writing the log line to a pipe nobody reads any more used to end the app with SIGPIPE
  // in the middle of the request.
  AppProcess app(runtime.path(), AppProcess::Errors::captured);
  ASSERT_TRUE(app.waitUntilListening());
  app.closeErrors();
  EXPECT_EQ(ask(socketPath(), "kestles://undo\n"), kNothingToUndo);
  EXPECT_EQ(ask(socketPath(), "kestles://undo\n"), kNothingToUndo);
  EXPECT_EQ(app.exitStatus(), std::nullopt);
}

TEST_F(AppSocket, ReceivedLinksAreLoggedWithControlCharactersEscaped) {
  AppProcess app(runtime.path(), AppProcess::Errors::captured);
  ASSERT_TRUE(app.waitUntilListening());
  EXPECT_EQ(ask(socketPath(), "file:///tmp/a\x1b]0;owned\x07\x1b[2J.kestles\n"), "ok");
  app.stop();
  std::vector<std::string> lines;
  std::istringstream log(app.errorsToEnd());
  for (std::string line; std::getline(log, line);)
    lines.push_back(line);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "co.quillmoss.Kestles [engine] info: Received "
                      "file:///tmp/a\\x1B]0;owned\\x07\\x1B[2J.kestles"),
            lines.end());
}

TEST_F(AppSocket, WithoutADesktopTheAppDoesNotStart) {
  // Without a display the app used to run anyway, answering "ok" to every link and moving
  // nothing, so every later command did nothing until the app was killed.
  struct Case {
    const char* what;
    std::map<std::string, std::string> changes;
    std::string sentence;
  };
  const Case cases[] = {
      {"no display", {{"KESTLES_PLATFORM", ""}}, noDesktopMessage()},
      {"a display nobody answers on",
       {{"KESTLES_PLATFORM", ""}, {"DISPLAY", "127.0.0.1:5999"}},
       "Couldn’t connect to the X display “127.0.0.1:5999”."},
  };
  for (const auto& [what, changes, sentence] : cases) {
    AppProcess app(runtime.path(), AppProcess::Errors::captured, changes);
    EXPECT_EQ(app.exitStatus(std::chrono::seconds(10)), 1) << what;
    app.stop();  // one that runs anyway
    EXPECT_EQ(app.errorsToEnd(), "kestles-app: " + sentence + "\n") << what;
    EXPECT_FALSE(std::filesystem::exists(socketPath())) << what;
  }
}

TEST_F(AppSocket, AFolderOthersCanEnterEndsTheAppWithASentence) {
  // The app used to make such a folder private and serve from it.
  auto folder = socketPath().parent_path();
  std::filesystem::create_directories(folder);
  chmod(folder.c_str(), 0755);
  AppProcess app(runtime.path(), AppProcess::Errors::captured);
  EXPECT_EQ(app.exitStatus(std::chrono::seconds(5)), 1);
  EXPECT_EQ(app.errorsToEnd(), "kestles-app: The socket folder " + folder.string() +
                                   " isn’t a private folder of yours (yours alone, closed to "
                                   "others), so Kestles won’t use it.\n");
}

TEST_F(AppSocket, AnAppFindingTheSocketBeingTakenLeavesItAlone) {
  // Two apps starting together could both find no listener; the second then replaced the
  // first one's socket and both ran. Whoever holds the folder's lock owns the socket, even
  // before it listens: here the test holds it, as an app still starting would.
  auto folder = socketPath().parent_path();
  std::filesystem::create_directories(folder);
  chmod(folder.c_str(), 0700);
  link::FileDescriptor lock(
      open((folder / "app.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  ASSERT_EQ(flock(lock.get(), LOCK_EX), 0);
  AppProcess app(runtime.path());
  EXPECT_EQ(app.exitStatus(std::chrono::seconds(5)), 1);
  EXPECT_FALSE(std::filesystem::exists(socketPath()));
}

TEST_F(AppSocket, OfAppsStartedAtOnceExactlyOneStays) {
  // Two apps starting together could both see no listener; the second then replaced the
  // first one's socket and both ran, one of them unreachable.
  for (int round = 0; round < 3; ++round) {
    std::vector<std::unique_ptr<AppProcess>> apps;
    for (int i = 0; i < 6; ++i)
      apps.push_back(std::make_unique<AppProcess>(runtime.path()));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::size_t running = apps.size();
    while (running > 1 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      running = std::count_if(apps.begin(), apps.end(),
                              [](const auto& app) { return !app->exitStatus(); });
    }
    EXPECT_EQ(running, 1u) << "round " << round;
    for (auto& app : apps) {
      if (auto status = app->exitStatus()) {
        EXPECT_EQ(*status, 1);
      }
    }
    EXPECT_EQ(ask(socketPath(), "kestles://undo\n"), kNothingToUndo);
  }
}

}  // namespace
}  // namespace kestles::testing
