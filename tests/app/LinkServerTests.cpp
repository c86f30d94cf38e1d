#include "KestlesApp/LinkServer.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "KestlesApp/CommandRunner.hpp"
#include "KestlesApp/LogText.hpp"
#include "KestlesLink/LinkReply.hpp"
#include "tests/app/AppProcess.hpp"
#include "tests/support/ToolProcess.hpp"

namespace kestles::app {
namespace {

using testing::ask;

TEST(LinkServer, AcceptsLinksAndFilesAndRefusesTheRest) {
  EXPECT_EQ(refusalOf("kestles://tile?style=spiral"), std::nullopt);
  EXPECT_EQ(refusalOf("file:///home/me/Work.kestles"), std::nullopt);
  EXPECT_EQ(refusalOf("kestles://fly"), "That link isn’t a command Kestles knows.");
  EXPECT_EQ(refusalOf("file://"), "That link isn’t a command Kestles knows.");
  EXPECT_EQ(refusalOf("file://elsewhere/a.kestles"), "That link isn’t a command Kestles knows.");
}

TEST(LinkServer, RefusesAFileLinkWithANul) {
  // "a.kestles%00.x" imported "a.kestles": the path was cut short at the NUL.
  EXPECT_EQ(pathOfFileURL("file:///tmp/a.kestles%00.x"), std::nullopt);
  EXPECT_EQ(refusalOf("file:///tmp/a.kestles%00.x"), "That link isn’t a command Kestles knows.");
}

TEST(LinkServer, ALinePastTheBoundIsRefusedWhereverItsLineFeedFalls) {
  // The bound was checked only while no line feed had come, so a line feed read together with
  // the bytes past 64 KiB let lines of up to 68 KiB in.
  testing::TemporaryFolder folder;
  auto socketPath = folder.path() / "kestles" / "app.sock";
  std::vector<std::size_t> handled;
  LinkServer server([&](const std::string& line) -> std::optional<std::string> {
    handled.push_back(line.size());
    return std::nullopt;
  });
  ASSERT_EQ(server.listen(socketPath), std::nullopt);
  std::thread serving([&] { server.run(); });
  const std::string tooLong = "error That line is too long for Kestles.";
  struct Row {
    std::size_t length;  // line feed excluded
    std::string reply;
  };
  const Row rows[] = {{link::kLongestLinkLine, "ok"},
                      {link::kLongestLinkLine + 1, tooLong},
                      {link::kLongestLinkLine + 3000, tooLong}};
  for (const auto& row : rows)
    EXPECT_EQ(ask(socketPath, std::string(row.length, 'a') + "\n"), row.reply) << row.length;
  server.stop();
  serving.join();
  EXPECT_EQ(handled, std::vector<std::size_t>{link::kLongestLinkLine});
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
  auto refusal = second.listen(socketPath);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->sentence, "Kestles is already running.");
  EXPECT_TRUE(refusal->anotherApp);

  server.stop();
  serving.join();
  EXPECT_EQ(handled, (std::vector<std::string>{"kestles://undo", "kestles://nothing"}));
}

TEST(LinkServer, RefusesASocketFolderThatIsNotPrivateAndLeavesItAlone) {
  // The app used to make such a folder private and go on; now it refuses and changes nothing.
  testing::TemporaryFolder home;
  struct Case {
    const char* name;
    mode_t mode;
    bool foreignOwner;  // only where the tests run as root
  };
  const Case cases[] = {{"open", 0755, false}, {"group", 0710, false}, {"foreign", 0700, true}};
  for (const auto& c : cases) {
    if (c.foreignOwner && getuid() != 0) continue;
    auto folder = home.path() / c.name;
    std::filesystem::create_directory(folder);
    chmod(folder.c_str(), c.mode);
    if (c.foreignOwner) {
      ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
    }
    LinkServer server([](const std::string&) { return std::nullopt; });
    auto refusal = server.listen(folder / "app.sock");
    ASSERT_TRUE(refusal) << c.name;
    EXPECT_EQ(refusal->sentence, "The socket folder " + folder.string() +
                                     " isn’t a private folder of yours (yours alone, closed to "
                                     "others), so Kestles won’t use it.");
    EXPECT_FALSE(refusal->anotherApp);
    struct stat status {};
    ASSERT_EQ(lstat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, c.mode) << c.name;
    EXPECT_FALSE(std::filesystem::exists(folder / "app.sock")) << c.name;
  }
  // A link to a private folder is not the folder itself.
  std::filesystem::create_directory(home.path() / "real");
  chmod((home.path() / "real").c_str(), 0700);
  std::filesystem::create_directory_symlink(home.path() / "real", home.path() / "link");
  LinkServer server([](const std::string&) { return std::nullopt; });
  EXPECT_TRUE(server.listen(home.path() / "link" / "app.sock"));
}

TEST(LinkServer, LeavesASocketThatIsNoLongerItsOwn) {
  testing::TemporaryFolder folder;
  auto socketPath = folder.path() / "kestles" / "app.sock";
  auto first = std::make_unique<LinkServer>([](const std::string&) { return std::nullopt; });
  ASSERT_EQ(first->listen(socketPath), std::nullopt);
  // Someone clears the folder by hand and a second app takes over.
  std::filesystem::remove(socketPath);
  std::filesystem::remove(socketPath.parent_path() / "app.lock");
  LinkServer second([](const std::string&) { return std::nullopt; });
  ASSERT_EQ(second.listen(socketPath), std::nullopt);
  first.reset();
  EXPECT_TRUE(std::filesystem::exists(socketPath));
  std::thread serving([&] { second.run(); });
  EXPECT_EQ(ask(socketPath, "kestles://undo\n"), "ok");
  second.stop();
  serving.join();
}

TEST(LinkServer, ALineIsCutOffAtItsDeadlineWhileOthersAreServed) {
  // A client dribbling a byte at a time used to hold the server for as long as it liked.
  testing::TemporaryFolder folder;
  auto socketPath = folder.path() / "kestles" / "app.sock";
  LinkServer::Limits limits;
  limits.lineDeadline = std::chrono::milliseconds(300);
  LinkServer server(refusalOf, limits);
  ASSERT_EQ(server.listen(socketPath), std::nullopt);
  std::thread serving([&] { server.run(); });

  auto slow = testing::connectClient(socketPath);
  ASSERT_TRUE(slow);
  std::string line = "kestles://undo\n";
  std::optional<std::string> slowReply;
  for (char c : line) {
    testing::sendText(slow.get(), std::string(1, c));
    EXPECT_EQ(ask(socketPath, "kestles://undo\n"), "ok");  // served meanwhile
    if (testing::hasPendingInput(slow.get())) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(testing::replyLine(slow.get()), "error Kestles didn’t receive a whole line in time.");
  server.stop();
  serving.join();
}

TEST(LinkServer, AnswersOnceTheLineIsCarriedOutOrSaysItIsStillWorking) {
  // The app used to answer "ok" as soon as it had read a line, before carrying it out, so the
  // tool could never say what became of the command.
  testing::TemporaryFolder folder;
  auto socketPath = folder.path() / "kestles" / "app.sock";
  LinkServer::Limits limits;
  limits.answerBound = std::chrono::milliseconds(300);
  std::vector<LinkServer::Respond> late;
  std::vector<std::thread> carriers;
  LinkServer server(
      [&](const std::string& line, LinkServer::Respond respond) {
        if (line == "slow") return late.push_back(std::move(respond));
        // Answered later, from another thread, with a listing before the final line.
        carriers.emplace_back([respond, line] {
          std::this_thread::sleep_for(std::chrono::milliseconds(50));
          auto reply = link::LinkReply::partial("Only part of " + line + ".");
          reply.said = {"first", "second"};
          respond(reply);
          respond(link::LinkReply::accepted());  // a second answer goes nowhere
        });
      },
      limits);
  ASSERT_EQ(server.listen(socketPath), std::nullopt);
  std::thread serving([&] { server.run(); });

  auto client = testing::connectClient(socketPath);
  testing::sendText(client.get(), "quick\n");
  EXPECT_EQ(testing::replyLine(client.get()), "say first");
  EXPECT_EQ(testing::replyLine(client.get()), "say second");
  EXPECT_EQ(testing::replyLine(client.get()), "partly Only part of quick.");
  EXPECT_EQ(testing::replyLine(client.get()), std::nullopt);  // then the server closes

  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(testing::ask(socketPath, "slow\n"), "working");
  EXPECT_GE(std::chrono::steady_clock::now() - start, limits.answerBound);
  ASSERT_EQ(late.size(), 1u);
  late.front()(link::LinkReply::accepted());  // finishing later sends nothing, and is safe
  server.stop();
  serving.join();
  for (auto& carrier : carriers)
    carrier.join();
}

TEST(LinkReply, RepliesAreOneLineEachWay) {
  using link::LinkReply;
  EXPECT_EQ(LinkReply::accepted().line(), "ok\n");
  EXPECT_EQ(LinkReply::refused("No kestle.").line(), "error No kestle.\n");
  EXPECT_EQ(LinkReply::partial("Tiled 4 of 6.").line(), "partly Tiled 4 of 6.\n");
  EXPECT_EQ(LinkReply::stillWorking().line(), "working\n");
  // A sentence with a line break must not end the reply early.
  EXPECT_EQ(LinkReply::refused("One\nTwo\r").line(), "error One Two \n");
  auto listing = LinkReply::accepted();
  listing.said = {"Super+Left\tLeft Half", "two\nlines"};
  EXPECT_EQ(listing.line(), "say Super+Left\tLeft Half\nsay two lines\nok\n");
  EXPECT_EQ(LinkReply::saidText("say Keep tiled: off."), "Keep tiled: off.");
  EXPECT_EQ(LinkReply::saidText("ok"), std::nullopt);
  struct Row {
    const char* line;
    std::optional<LinkReply> parsed;
  };
  const Row rows[] = {
      {"ok", LinkReply::accepted()},
      {"error Nope.", LinkReply::refused("Nope.")},
      {"error ", LinkReply::refused("")},
      {"partly Tiled 4 of 6.", LinkReply::partial("Tiled 4 of 6.")},
      {"working", LinkReply::stillWorking()},
      {"working ", std::nullopt},
      {"say text", std::nullopt},
      {"OK", std::nullopt},
      {"ok ", std::nullopt},
      {"error", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& row : rows)
    EXPECT_EQ(LinkReply::parsed(row.line), row.parsed) << row.line;
}

TEST(LinkReply, ALineIsTakenOnlyWithinTheBound) {
  // The tool reads the app's replies with the same rule as the app reads lines.
  const auto bound = link::kLongestLinkLine;
  struct Row {
    std::string buffer;
    link::LineState state;
  };
  const Row rows[] = {{std::string(bound, 'a') + "\nnext", link::LineState::line},
                      {std::string(bound, 'a'), link::LineState::waiting},
                      {std::string(bound + 1, 'a'), link::LineState::tooLong},
                      {std::string(bound + 1, 'a') + "\n", link::LineState::tooLong}};
  for (auto row : rows) {
    std::string line;
    auto size = row.buffer.size();
    EXPECT_EQ(link::takeLine(row.buffer, line), row.state) << size;
    if (row.state == link::LineState::line) {
      EXPECT_EQ(line.size(), bound);
      EXPECT_EQ(row.buffer, "next");
    } else {
      EXPECT_EQ(row.buffer.size(), size);
    }
  }
}

TEST(LogText, ControlCharactersAreEscaped) {
  struct Row {
    std::string text;
    std::string logged;
  };
  const Row rows[] = {
      {"kestles://kestle/Caf%C3%A9", "kestles://kestle/Caf%C3%A9"},
      {"file:///a\x1b[31mb", "file:///a\\x1B[31mb"},
      {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"del\x7f", "del\\x7F"},
      {"csi\xc2\x9b"
       "31m",
       "csi\\xC2\\x9B31m"},                              // U+009B, the one-character CSI
      {"Caf\xc3\xa9 \xc2\xa0", "Caf\xc3\xa9 \xc2\xa0"},  // letters and a no-break space stay
      {"back\\x1B", "back\\\\x1B"},  // a typed escape cannot pass for a real one
  };
  for (const auto& row : rows)
    EXPECT_EQ(escapedForLog(row.text), row.logged) << row.logged;
}

}  // namespace
}  // namespace kestles::app
