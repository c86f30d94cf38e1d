#include "KestlesEngine/platform/Defaults.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "tests/support/ScopedEnvironment.hpp"
#include "tests/support/ToolProcess.hpp"

namespace kestles::platform {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
  return json_style::readFile(path);
}

/// A private config folder for one test.
class DefaultsTests : public ::testing::Test {
 protected:
  testing::TemporaryFolder home;
  testing::ScopedEnvironment environment{{"XDG_CONFIG_HOME", home.path().c_str()}};
  fs::path file = home.path() / "kestles" / "defaults.json";

  void put(const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
};

TEST_F(DefaultsTests, WritingKeepsEveryOtherValue) {
  put(R"({"other.suite": {"kept": "text"}, "co.quillmoss.Kestles": {"Old": false}})");
  EXPECT_EQ(writeDefaultBool(kDefaultsSuite, "KestlesDebugLinks", true), std::nullopt);
  EXPECT_EQ(readDefaultBool(kDefaultsSuite, "KestlesDebugLinks"), true);
  EXPECT_EQ(nlohmann::json::parse(contents(file)),
            nlohmann::json::parse(R"({"other.suite": {"kept": "text"},
              "co.quillmoss.Kestles": {"Old": false, "KestlesDebugLinks": true}})"));
}

TEST_F(DefaultsTests, ADamagedFileIsLeftAsItIsAndNothingIsWritten) {
  // Regression: over a damaged file a new one was written without the other suites' values.
  const char* damaged[] = {
      R"({"other.suite": {"kept": true})",  // cut short
      R"([true])",
      R"({"co.quillmoss.Kestles": 5})",
  };
  for (const char* bytes : damaged) {
    put(bytes);
    auto failure = writeDefaultBool(kDefaultsSuite, "KestlesDebugLinks", true);
    ASSERT_TRUE(failure.has_value()) << bytes;
    const auto& sentence = failure->message;
    EXPECT_TRUE(sentence.starts_with("The defaults file " + file.string() + " can’t be read ("))
        << sentence;
    EXPECT_TRUE(sentence.ends_with("), so nothing was written. Mend or remove it, then try again."))
        << sentence;
    EXPECT_EQ(contents(file), bytes);
    EXPECT_EQ(readDefaultBool(kDefaultsSuite, "KestlesDebugLinks"), std::nullopt);
  }
}

TEST_F(DefaultsTests, TextThatIsNotUTF8IsASentence) {
  // Regression: a key that was not valid UTF-8 aborted the process.
  put(R"({"co.quillmoss.Kestles": {"Old": false}})");
  for (auto [suite, key] : {std::pair<std::string, std::string>{kDefaultsSuite, "bad\xff"},
                            {"bad\xc3", "KestlesDebugLinks"}})
    EXPECT_EQ(writeDefaultBool(suite, key, true),
              Failure{"The suite and the key must be valid UTF-8; nothing was written."});
  EXPECT_EQ(contents(file), R"({"co.quillmoss.Kestles": {"Old": false}})");
}

TEST_F(DefaultsTests, ConcurrentWritersKeepEveryKey) {
  // Regression: two writers at once read the same file and the second write dropped the
  // first one's key.
  constexpr int kWriters = 6;
  constexpr int kKeysEach = 15;
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool ok = true;
      for (int k = 0; k < kKeysEach; ++k)
        ok = !writeDefaultBool(kDefaultsSuite, "key" + std::to_string(w * 100 + k), true) && ok;
      ::_exit(ok ? 0 : 1);
    }
    writers.push_back(child);
  }
  for (pid_t child : writers) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto suites = nlohmann::json::parse(contents(file));
  EXPECT_EQ(suites[kDefaultsSuite].size(), static_cast<std::size_t>(kWriters * kKeysEach));
}

TEST_F(DefaultsTests, BaseFoldersThatAreRelativeAreIgnored) {
  testing::ScopedEnvironment relative{
      {"XDG_CONFIG_HOME", "config"}, {"XDG_RUNTIME_DIR", "run"}, {"HOME", home.path().c_str()}};
  EXPECT_EQ(defaultsFile(), home.path() / ".config" / "kestles" / "defaults.json");
  EXPECT_EQ(socketFolder(), fs::path("/tmp/kestles-" + std::to_string(::getuid())));
}

}  // namespace
}  // namespace kestles::platform
