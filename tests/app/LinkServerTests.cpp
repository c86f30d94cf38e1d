#include "KestlesApp/LinkServer.hpp"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "tests/support/ToolProcess.hpp"

namespace kestles::app {
namespace {

/// Sends one line to a socket and returns the line that comes back.
std::string ask(const std::filesystem::path& path, const std::string& line) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  std::string reply;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n')
      reply += c;
  }
  close(fd);
  return reply;
}

TEST(LinkServer, AcceptsLinksAndFilesAndRefusesTheRest) {
  EXPECT_EQ(refusalOf("kestles://tile?style=spiral"), std::nullopt);
  EXPECT_EQ(refusalOf("file:///home/me/Work.kestles"), std::nullopt);
  EXPECT_EQ(refusalOf("kestles://fly"), "That link isn’t a command Kestles knows.");
  EXPECT_EQ(refusalOf("file://"), "That link isn’t a command Kestles knows.");
}

TEST(LinkServer, AnswersEachLineAndRefusesASecondServer) {
  testing::TemporaryFolder folder;
  auto socketPath = folder.path() / "kestles" / "app.sock";
  std::vector<std::string> handled;
  LinkServer server([&](const std::string& line) {
    handled.push_back(line);
    return refusalOf(line);
  });
  ASSERT_EQ(server.listen(socketPath), std::nullopt);
  std::thread serving([&] { server.run(); });

  EXPECT_EQ(ask(socketPath, "kestles://undo\n"), "ok");
  EXPECT_EQ(ask(socketPath, "kestles://nothing\n"),
            "error That link isn’t a command Kestles knows.");
  LinkServer second([](const std::string&) { return std::nullopt; });
  EXPECT_EQ(second.listen(socketPath), "Kestles is already running.");

  server.stop();
  serving.join();
  EXPECT_EQ(handled, (std::vector<std::string>{"kestles://undo", "kestles://nothing"}));
}

}  // namespace
}  // namespace kestles::app
