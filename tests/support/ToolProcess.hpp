#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kestles::testing {

/// What a finished process wrote and how it ended.
struct ProcessResult {
  std::string out;
  std::string err;
  int status = -1;
};

/// What a process reads on standard input: the text, given at once or only after the process
/// has closed its standard output (as a menu answers once it has read the whole list).
struct ProcessInput {
  std::string text;
  bool afterOutput = false;
};

/// Runs a program with arguments and extra environment variables (an empty value unsets one),
/// collecting its output; without input the process reads /dev/null.
ProcessResult runProcess(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {},
                         const std::optional<ProcessInput>& input = std::nullopt);

/// The lines of a text, without their line feeds.
std::vector<std::string> linesOf(const std::string& text);

/// A fresh temporary folder, removed with everything in it when the value goes.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

/// Stands in for the running app: listens on `<runtime>/kestles/app.sock`, records every line it
/// receives and answers each with `reply`.
class FakeApp {
 public:
  FakeApp(const std::filesystem::path& runtimeFolder, std::string reply = "ok");
  ~FakeApp();
  FakeApp(const FakeApp&) = delete;
  FakeApp& operator=(const FakeApp&) = delete;

  /// The lines received so far.
  std::vector<std::string> received() const;

 private:
  void serve();
  int listener_ = -1;
  int wake_[2] = {-1, -1};
  std::string reply_;
  mutable std::mutex mutex_;
  std::vector<std::string> received_;
  std::thread thread_;
};

}  // namespace kestles::testing
