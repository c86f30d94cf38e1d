#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/coding/JSONStream.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesCore/library/Library.hpp"
#include "tests/support/ScopedEnvironment.hpp"

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
  Kestle kestle = Kestle::make("Web / Mail");
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
  auto text = contents(file.path);
  EXPECT_NE(text.find("\"name\": \"Web / Mail\""), std::string::npos);
  EXPECT_NE(text.find("\"created\": \"2026-12-04T11:41:00Z\""), std::string::npos);
  EXPECT_EQ(text.find("\\/"), std::string::npos);
  EXPECT_LT(text.find("\"currentLayouts\""), text.find("\"kestles\""));
  EXPECT_LT(text.find("\"layouts\""), text.find("\"rules\""));
  EXPECT_LT(text.find("\"rules\""), text.find("\"settings\""));
  EXPECT_TRUE(text.starts_with("{\n  \"currentLayouts\": {},\n"));
  EXPECT_EQ(file.load(), library);
  EXPECT_EQ(std::distance(fs::directory_iterator(file.path.parent_path()), {}), 1)
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

TEST(KestlesPaths, RelativeBaseFoldersAreIgnored) {
  // Regression: a relative XDG folder was taken relative to the working folder.
  struct Row {
    const char* value;
    fs::path data, config;
  };
  const Row rows[] = {
      {"/base", "/base", "/base"},
      {"relative/base", "/home/ada/.local/share", "/home/ada/.config"},
      {"./base", "/home/ada/.local/share", "/home/ada/.config"},
      {"", "/home/ada/.local/share", "/home/ada/.config"},
  };
  for (const auto& row : rows) {
    testing::ScopedEnvironment environment{{"HOME", "/home/ada"},
                                           {"XDG_DATA_HOME", row.value},
                                           {"XDG_CONFIG_HOME", row.value},
                                           {"XDG_RUNTIME_DIR", row.value}};
    EXPECT_EQ(KestlesPaths::dataHome(), row.data) << row.value;
    EXPECT_EQ(KestlesPaths::configHome(), row.config) << row.value;
    EXPECT_EQ(KestlesPaths::xdgFolder("XDG_RUNTIME_DIR").has_value(), row.value[0] == '/')
        << row.value;
  }
}

TEST(JSONFile, ReadersRefuseWhatIsNotARegularFile) {
  // Regression: a FIFO hung the reader, a link to /dev/zero read until memory ran out, and
  // a folder, a loop or a broken link passed for a missing library.
  TemporaryFolder folder;
  auto at = [&](const char* name) { return folder.path / name; };
  fs::create_directory(at("folder"));
  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", at("zero"));
  fs::create_symlink(at("nowhere"), at("broken"));
  fs::create_symlink(at("loop"), at("loop"));
  write(at("file"), "{}");
  fs::resize_file(at("file"), json_style::kMaxFileSize + 1);  // sparse: costs no disk
  write(at("plain"), "{}");
  struct Row {
    const char* name;
    const char* reason;
  };
  const Row rows[] = {
      {"folder", "Is a directory"},
      {"fifo", "Not a regular file"},
      {"zero", "Not a regular file"},
      {"broken", "Broken symbolic link"},
      {"loop", "Too many levels of symbolic links"},
      {"file", "File too large (over 32 MB)"},
      {"plain/library.json", "Not a directory"},  // a data folder that is a file
  };
  for (const auto& row : rows) {
    try {
      json_style::readFile(at(row.name));
      ADD_FAILURE() << row.name << " was read";
    } catch (const std::system_error& error) {
      EXPECT_EQ(error.code().message(), row.reason) << row.name;
    }
    EXPECT_THROW(JSONFile<Library>{at(row.name)}.load(), std::system_error) << row.name;
    auto result = JSONFile<Library>{at(row.name)}.loadSettingAside();
    EXPECT_TRUE(std::holds_alternative<JSONFile<Library>::Unreadable>(result)) << row.name;
  }
  // Only nothing at all is a missing file.
  EXPECT_EQ(JSONFile<Library>{at("absent")}.load(), std::nullopt);
  EXPECT_EQ(JSONFile<Library>{at("absent/library.json")}.load(), std::nullopt);
}

TEST(JSONFile, NewFilesHonourTheUmaskAndReplacedFilesKeepTheirMode) {
  TemporaryFolder folder;
  auto modeOf = [](const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
  };
  mode_t original = ::umask(077);
  json_style::writeAtomically(folder.path / "private.kestles", "{}");
  ::umask(022);
  json_style::writeAtomically(folder.path / "shared.kestles", "{}");
  ::umask(original);
  EXPECT_EQ(modeOf(folder.path / "private.kestles"), 0600u);
  EXPECT_EQ(modeOf(folder.path / "shared.kestles"), 0644u);
  ::chmod((folder.path / "shared.kestles").c_str(), 0640);
  json_style::writeAtomically(folder.path / "shared.kestles", "{\"a\": 1}");
  EXPECT_EQ(modeOf(folder.path / "shared.kestles"), 0640u);
  EXPECT_EQ(contents(folder.path / "shared.kestles"), "{\"a\": 1}");
}

TEST(JSONFile, AFileItsOwnerCannotReadIsReplacedWithANewFilesMode) {
  // A state file of mode 000 could not be read, and every save copied that mode onto the new
  // file, so it stayed unreadable for ever.
  TemporaryFolder folder;
  auto path = folder.path / "state.json";
  struct Row {
    mode_t before;
    mode_t after;
  };
  const Row rows[] = {{0000, 0644}, {0200, 0644}, {0044, 0644}, {0400, 0400}, {0600, 0600}};
  mode_t original = ::umask(022);
  for (const auto& row : rows) {
    fs::remove(path);
    write(path, "{}");
    ::chmod(path.c_str(), row.before);
    JSONFile<Library>{path}.save(Library{});
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, row.after) << std::oct << row.before;
  }
  ::umask(original);
}

TEST(JSONFile, WritingRemovesTemporariesThatAKilledWriterLeft) {
  TemporaryFolder folder;
  auto path = folder.path / "library.json";
  auto stale = folder.path / ".library.json.Ab12Cd";
  auto live = folder.path / ".library.json.Zz99Yy";
  auto others = {folder.path / ".library.json.short", folder.path / ".minimums.json.Ab12Cd",
                 folder.path / "library.json.Ab12Cd"};
  write(stale, "left by a writer that was killed");
  write(live, "being written");
  for (const auto& other : others)
    write(other, "not ours to remove");
  // A writer still at work holds its temporary file locked.
  int held = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  json_style::writeAtomically(path, "{}");
  ::close(held);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(live));
  for (const auto& other : others)
    EXPECT_TRUE(fs::exists(other)) << other;
  EXPECT_EQ(contents(path), "{}");
}

TEST(JSONFile, WritingToTheRootOrAFolderNameFails) {
  for (const char* path : {"/", "/tmp/", "/tmp/.."})
    EXPECT_THROW(json_style::writeAtomically(path, "{}"), std::system_error) << path;
}

TEST(JSONFile, AnOverflowingNumberCostsOnlyItsItem) {
  // Regression: one number too large for a double (1e400) made the whole library unreadable.
  struct Row {
    const char* bytes;
    const char* parsed;
  };
  const Row rows[] = {
      {R"({"a": 1e400})", R"({"a": []})"},
      {R"({"a": [-1.5E+999, 2]})", R"({"a": [[], 2]})"},
      {R"({"a": "1e400", "b\"1e400": 1})", R"({"a": "1e400", "b\"1e400": 1})"},
      {R"({"a": 1e-400})", R"({"a": 0.0})"},  // too small reads as 0, as before
      {R"({"a": 1e99999999999999999999999})", R"({"a": []})"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(json_style::parse(row.bytes), nlohmann::json::parse(row.parsed)) << row.bytes;
  std::string huge(400, '9');
  EXPECT_EQ(json_style::parse("[" + huge + "]"), nlohmann::json::parse("[[]]"));

  auto library = decodeDocument(R"({"kestles": [
      {"name": 1e400},
      {"name": "Kept", "arrangements": {"fp": {"screens": []}}}],
    "layouts": [
      {"name": "Lost", "shape": {"kind": "tree", "tree": {"weight": 1e400}}},
      {"name": "Kept", "shape": {"kind": "tree", "tree": {}}}]})",
                                std::type_identity<Library>{});
  ASSERT_EQ(library.kestles.size(), 1u);
  EXPECT_EQ(library.kestles[0].name, "Kept");
  ASSERT_EQ(library.layouts.size(), 1u);
  EXPECT_EQ(library.layouts[0].name, "Kept");
  EXPECT_THROW(json_style::parse("{\"a\": 1e400"), coding::DecodeError);
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
