#include "KestlesCore/coding/JSONFile.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesCore/library/Library.hpp"

namespace kestles {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(KESTLES_FIXTURES) / "library";

struct TemporaryFolder {
  fs::path path;
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "kestles-test-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
  }
};

std::string contents(const fs::path& path) {
  return json_style::readFile(path);
}

void write(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

Library smallLibrary() {
  Library library;
  Kestle kestle;
  kestle.name = "Web / Mail";
  kestle.created = *Date::fromISO("2026-12-04T11:41:00Z");
  library.addKestle(kestle);
  return library;
}

TEST(JSONFile, SaveWritesTheSharedStyleAndLoadsBack) {
  TemporaryFolder folder;
  JSONFile<Library> file{folder.path / "deep" / "er" / "library.json"};
  EXPECT_EQ(file.load(), std::nullopt);
  auto library = smallLibrary();
  file.save(library);
  auto text = contents(file.url);
  EXPECT_NE(text.find("\"name\": \"Web / Mail\""), std::string::npos);
  EXPECT_NE(text.find("\"created\": \"2026-12-04T11:41:00Z\""), std::string::npos);
  EXPECT_EQ(text.find("\\/"), std::string::npos);
  EXPECT_LT(text.find("\"currentLayouts\""), text.find("\"kestles\""));
  EXPECT_LT(text.find("\"layouts\""), text.find("\"rules\""));
  EXPECT_LT(text.find("\"rules\""), text.find("\"settings\""));
  EXPECT_TRUE(text.starts_with("{\n  \"currentLayouts\": {},\n"));
  EXPECT_EQ(file.load(), library);
  EXPECT_EQ(std::distance(fs::directory_iterator(file.url.parent_path()), {}), 1)
      << "no temporary file is left behind";
}

TEST(JSONFile, LoadThrowsOnADamagedFile) {
  EXPECT_THROW(JSONFile<Library>{kFixtures / "truncated.json"}.load(), std::exception);
}

TEST(JSONFile, DamagedFileIsSetAside) {
  TemporaryFolder folder;
  auto path = folder.path / "library.json";
  fs::copy_file(kFixtures / "truncated.json", path);
  JSONFile<Library> file{path};
  auto result = file.loadSettingAside(*Date::fromISO("2026-12-04T11:41:00Z"));
  const auto* unreadable = std::get_if<JSONFile<Library>::Unreadable>(&result);
  ASSERT_NE(unreadable, nullptr);
  EXPECT_FALSE(unreadable->error.empty());
  EXPECT_EQ(unreadable->error.find("[json.exception"), std::string::npos);
  auto backup = folder.path / "library.unreadable-2026-12-04T11-41-00Z.json";
  EXPECT_EQ(unreadable->backup, backup);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(contents(backup), contents(kFixtures / "truncated.json"));
  EXPECT_TRUE(std::holds_alternative<JSONFile<Library>::Missing>(file.loadSettingAside()));
}

TEST(JSONFile, DeepNestingIsRefusedNotFollowed) {
  // A layout tree nested 50,000 levels deep once ran the decoder out of stack.
  std::string bytes = R"({"layouts": [{"name": "x", "shape": {"kind": "tree", "tree": )";
  for (int i = 0; i < 50000; ++i)
    bytes += R"({"split": "columns", "children": [)";
  bytes += "{}";
  for (int i = 0; i < 50000; ++i)
    bytes += "]}";
  bytes += "}}]}";
  EXPECT_THROW(json_style::parse(bytes), std::runtime_error);

  TemporaryFolder folder;
  write(folder.path / "library.json", bytes);
  auto result = JSONFile<Library>{folder.path / "library.json"}.loadSettingAside();
  ASSERT_TRUE(std::holds_alternative<JSONFile<Library>::Unreadable>(result));
  EXPECT_EQ(std::get<JSONFile<Library>::Unreadable>(result).error,
            "the data is nested more than 256 levels deep");
}

TEST(JSONFile, LoadSettingAsideLoadsAGoodFile) {
  auto result = JSONFile<Library>{kFixtures / "version2.json"}.loadSettingAside();
  ASSERT_TRUE(std::holds_alternative<JSONFile<Library>::Loaded>(result));
  EXPECT_EQ(std::get<JSONFile<Library>::Loaded>(result).value.kestles.size(), 1u);
}

TEST(JSONFile, FailedSaveLeavesTheOldFile) {
  TemporaryFolder folder;
  auto path = folder.path / "library.json";
  write(path, "old");

  // A name that is not valid UTF-8 cannot be encoded.
  auto library = smallLibrary();
  library.kestles[0].name = "\xff\xfe";
  EXPECT_THROW(JSONFile<Library>{path}.save(library), std::exception);
  EXPECT_EQ(contents(path), "old");

  // The write itself fails part way: the file-size limit stops it, even for root.
  library = smallLibrary();
  library.kestles.resize(200, library.kestles[0]);
  rlimit original{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = original;
  small.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(JSONFile<Library>{path}.save(library), std::system_error);
  ::setrlimit(RLIMIT_FSIZE, &original);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(contents(path), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 1);
}

TEST(JSONFile, SaveIntoAFolderThatIsAFileFails) {
  TemporaryFolder folder;
  write(folder.path / "blocker", "x");
  EXPECT_THROW(JSONFile<Library>{folder.path / "blocker" / "library.json"}.save(Library{}),
               std::exception);
  EXPECT_EQ(contents(folder.path / "blocker"), "x");
}

TEST(JSONFile, SaveIntoAReadOnlyFolderFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TemporaryFolder folder;
  auto path = folder.path / "library.json";
  write(path, "old");
  fs::permissions(folder.path, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(JSONFile<Library>{path}.save(Library{}), std::system_error);
  EXPECT_EQ(contents(path), "old");
}

TEST(KestlesPaths, DataFolderFollowsTheEnvironment) {
  std::string savedData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", "/home/ada", 1);
  ::setenv("XDG_DATA_HOME", "/data", 1);
  EXPECT_EQ(KestlesPaths::library(), fs::path("/data/kestles/library.json"));
  ::setenv("XDG_DATA_HOME", "relative", 1);
  EXPECT_EQ(KestlesPaths::dataFolder(), fs::path("/home/ada/.local/share/kestles"));
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(KestlesPaths::learnedSizes(), fs::path("/home/ada/.local/share/kestles/minimums.json"));
  EXPECT_EQ(KestlesPaths::earlierVersionFolder(),
            fs::path("/home/ada/.local/share/kestles/Kestles 1"));
  ::setenv("HOME", savedHome.c_str(), 1);
  if (savedData.empty())
    ::unsetenv("XDG_DATA_HOME");
  else
    ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
}

TEST(KestlesPaths, EarlierVersionFilesMoveAside) {
  TemporaryFolder folder;
  write(folder.path / "kestles.json", "new");
  write(folder.path / "ledger.json", "ledger");
  fs::create_directories(folder.path / "Snapshots");
  fs::create_directories(folder.path / "Kestles 1" / "Snapshots");
  write(folder.path / "Kestles 1" / "kestles.json", "older");
  write(folder.path / "Kestles 1" / "kestles 2.json", "oldest");
  write(folder.path / "library.json", "{}");

  EXPECT_EQ(KestlesPaths::moveEarlierVersionFiles(folder.path), 3);
  auto earlier = folder.path / "Kestles 1";
  EXPECT_EQ(contents(earlier / "kestles.json"), "older");
  EXPECT_EQ(contents(earlier / "kestles 2.json"), "oldest");
  EXPECT_EQ(contents(earlier / "kestles 3.json"), "new");
  EXPECT_EQ(contents(earlier / "ledger.json"), "ledger");
  EXPECT_TRUE(fs::is_directory(earlier / "Snapshots 2"));
  EXPECT_TRUE(fs::exists(folder.path / "library.json"));
  EXPECT_EQ(KestlesPaths::moveEarlierVersionFiles(folder.path), 0);
}

}  // namespace
}  // namespace kestles
