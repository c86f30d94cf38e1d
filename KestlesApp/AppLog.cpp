#include "KestlesApp/AppLog.hpp"

#include <sys/stat.h>
#include <systemd/sd-journal.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string_view>
#include <system_error>

#include "KestlesApp/CommandLog.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/platform/Environment.hpp"

namespace kestles::app {
namespace {

using platform::LogLevel;

/// Whether $JOURNAL_STREAM ("device:inode") names the file standard error is.
bool standardErrorIsJournal() {
  auto stream = platform::environment("JOURNAL_STREAM");
  struct stat status {};
  if (!stream || fstat(STDERR_FILENO, &status) != 0) return false;
  return *stream == std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

/// The journal's priority for a level (syslog's numbers).
int priorityOf(LogLevel level) {
  switch (level) {
    case LogLevel::debug:
      return 7;
    case LogLevel::info:
      return 6;
    case LogLevel::notice:
      return 5;
    case LogLevel::error:
      return 3;
    case LogLevel::fault:
      return 2;
  }
  return 5;
}

class JournalLog final : public platform::LogSink {
 public:
  explicit JournalLog(LogLevel minimum) : minimum_(minimum) {}
  void write(const platform::LogRecord& record) override {
    if (record.level < minimum_) return;
    auto category = std::string(platform::name(record.category));
    sd_journal_send("MESSAGE=%s", record.message.c_str(), "PRIORITY=%i", priorityOf(record.level),
                    "SYSLOG_IDENTIFIER=kestles-app", "KESTLES_CATEGORY=%s", category.c_str(),
                    nullptr);
  }

 private:
  LogLevel minimum_;
};

/// Every record to both sinks.
class BothLogs final : public platform::LogSink {
 public:
  BothLogs(std::unique_ptr<platform::LogSink> first, std::unique_ptr<platform::LogSink> second)
      : first_(std::move(first)), second_(std::move(second)) {}
  void write(const platform::LogRecord& record) override {
    first_->write(record);
    second_->write(record);
  }

 private:
  std::unique_ptr<platform::LogSink> first_;
  std::unique_ptr<platform::LogSink> second_;
};

}  // namespace

FileLog::FileLog(std::filesystem::path file, LogLevel minimum, std::uintmax_t bound)
    : file_(std::move(file)), minimum_(minimum), bound_(bound) {}

FileLog::~FileLog() {
  if (stream_ != nullptr) std::fclose(stream_);
}

bool FileLog::open() {
  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  stream_ = std::fopen(file_.c_str(), "ae");
  if (stream_ == nullptr) return false;
  struct stat status {};
  size_ = fstat(fileno(stream_), &status) == 0 ? static_cast<std::uintmax_t>(status.st_size) : 0;
  return true;
}

std::string FileLog::line(const platform::LogRecord& record,
                          std::chrono::system_clock::time_point at) {
  auto seconds = std::chrono::system_clock::to_time_t(at);
  auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch() %
                                                                            std::chrono::seconds(1))
                          .count();
  std::tm local{};
  localtime_r(&seconds, &local);
  char time[32];
  std::strftime(time, sizeof(time), "%Y-%m-%d %H:%M:%S", &local);
  char fraction[8];
  std::snprintf(fraction, sizeof(fraction), ".%03d", static_cast<int>(milliseconds));
  // Messages carry names and titles that other programs chose: escaped, none can forge a line.
  return std::string(time) + fraction + " " + std::string(platform::name(record.category)) + " " +
         std::string(platform::name(record.level)) + ": " +
         text::escapedControls(record.message, text::Backslash::doubled) + "\n";
}

void FileLog::write(const platform::LogRecord& record) {
  if (record.level < minimum_) return;
  auto text = line(record, std::chrono::system_clock::now());
  std::lock_guard lock(mutex_);
  if (stream_ != nullptr && size_ > 0 && size_ + text.size() > bound_) {
    // The old file is kept once; the one before it goes.
    std::fclose(stream_);
    stream_ = nullptr;
    std::error_code error;
    std::filesystem::rename(file_, file_.string() + ".1", error);
  }
  if (stream_ == nullptr && !open()) return;
  if (std::fwrite(text.data(), 1, text.size(), stream_) == text.size()) size_ += text.size();
  std::fflush(stream_);
}

std::string LogPlace::text() const {
  switch (where) {
    case Where::journalStream:
    case Where::journal:
      return platform::logPlaceText(true);
    case Where::standardError:
      return "standard error, where Kestles was started";
    case Where::file:
      return platform::logPlaceText(false);
  }
  return {};
}

LogPlace chooseLogPlace(const std::filesystem::path& journalSocket) {
  if (standardErrorIsJournal()) return {LogPlace::Where::journalStream, false};
  struct stat status {};
  if (fstat(STDERR_FILENO, &status) == 0 &&
      (S_ISFIFO(status.st_mode) || S_ISREG(status.st_mode) || S_ISSOCK(status.st_mode)))
    return {LogPlace::Where::standardError, false};
  std::error_code error;
  auto where = std::filesystem::exists(journalSocket, error) ? LogPlace::Where::journal
                                                             : LogPlace::Where::file;
  return {where, isatty(STDERR_FILENO) == 1};
}

std::unique_ptr<platform::LogSink> makeAppLog(LogPlace place, LogLevel minimum) {
  std::unique_ptr<platform::LogSink> log;
  switch (place.where) {
    case LogPlace::Where::journalStream:
    case LogPlace::Where::standardError:
      return std::make_unique<CommandLog>(minimum);
    case LogPlace::Where::journal:
      log = std::make_unique<JournalLog>(minimum);
      break;
    case LogPlace::Where::file:
      log = std::make_unique<FileLog>(KestlesPaths::appLog(), minimum);
      break;
  }
  if (!place.terminal) return log;
  return std::make_unique<BothLogs>(std::make_unique<CommandLog>(minimum), std::move(log));
}

}  // namespace kestles::app
