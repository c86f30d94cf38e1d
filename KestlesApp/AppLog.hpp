#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "KestlesEngine/platform/LogSink.hpp"

namespace kestles::app {

/// The app's log as a file a user can find: each line with the local time, and the file kept
/// under a size bound by moving it to "<name>.1" (the one old file kept) once it grows past
/// it. Safe from any thread.
class FileLog final : public platform::LogSink {
 public:
  static constexpr std::uintmax_t kDefaultBound = 1024 * 1024;

  FileLog(std::filesystem::path file, platform::LogLevel minimum,
          std::uintmax_t bound = kDefaultBound);
  ~FileLog() override;
  FileLog(const FileLog&) = delete;
  FileLog& operator=(const FileLog&) = delete;

  void write(const platform::LogRecord& record) override;

  /// One line as written, line feed included: "2026-12-11 09:41:00.123 engine default: text".
  static std::string line(const platform::LogRecord& record,
                          std::chrono::system_clock::time_point at);

 private:
  /// Opens the file for appending (making its folder); false when it cannot be.
  bool open();

  std::filesystem::path file_;
  platform::LogLevel minimum_;
  std::uintmax_t bound_;
  std::mutex mutex_;
  std::FILE* stream_ = nullptr;
  std::uintmax_t size_ = 0;
};

/// Where the running app's log goes.
struct LogPlace {
  enum class Where {
    journalStream,  // standard error is the journal's stream already (a systemd unit)
    standardError,  // standard error goes to a pipe or a file: whoever started it collects it
    journal,        // the systemd journal, which keeps the times
    file,           // `KestlesPaths::appLog()`
  };
  Where where = Where::file;
  bool terminal = false;  // standard error is a terminal: the log goes there too

  /// Where a user finds it, in words.
  std::string text() const;
};

/// What the app's standard error and the machine offer: standard error that is the
/// journal's stream, a pipe or a file stays so; else (nothing, /dev/null or a terminal) the
/// journal when its socket is present, else the file, and a terminal on standard error as
/// well. An app started by the tool or the scheme handler has standard error on /dev/null,
/// so it logs to the journal or the file.
LogPlace chooseLogPlace(const std::filesystem::path& journalSocket);

/// The running app's log at `place`, keeping `minimum` and above.
std::unique_ptr<platform::LogSink> makeAppLog(LogPlace place, platform::LogLevel minimum);

}  // namespace kestles::app
