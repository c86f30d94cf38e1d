#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>

namespace kestles::platform {

/// The log's subsystem.
inline constexpr std::string_view kLogSubsystem = "co.quillmoss.Kestles";

/// The system log's levels, least severe first; `notice` is the default level.
enum class LogLevel { debug, info, notice, error, fault };

/// The log's categories: the engine (engine, conductor, watcher, apps), hot keys, the store.
enum class LogCategory { engine, hotkeys, store };

/// The word for a level ("debug", "info", "default", "error", "fault").
std::string_view name(LogLevel level);
/// The category's name ("engine", "hotkeys", "store").
std::string_view name(LogCategory category);

/// One rendered log message, as the program wrote it: sinks that write lines escape it.
struct LogRecord {
  LogLevel level = LogLevel::notice;
  LogCategory category = LogCategory::engine;
  std::string message;
  bool operator==(const LogRecord&) const = default;
};

/// Where log messages go. Implementations are safe to call from any thread.
class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void write(const LogRecord& record) = 0;
};

/// Writes each record as one line to a stream: subsystem, category, level, message, with
/// the message's control characters escaped (`text::escapedControls`).
class StreamLog final : public LogSink {
 public:
  explicit StreamLog(std::FILE* stream) : stream_(stream) {}
  void write(const LogRecord& record) override;

 private:
  std::mutex mutex_;
  std::FILE* stream_;
};

/// The printf-style message format of the system log rendered with its arguments:
/// "%{public}s" is "%s", and "%{bool}d" takes the word ("true" or "false") as a C string.
std::string renderLogFormat(const char* format, ...);

/// Renders `format` with the arguments (std::string becomes its C string).
template <class... Args>
std::string formatLog(const char* format, const Args&... args) {
  auto pass = [](const auto& arg) -> decltype(auto) {
    if constexpr (std::is_same_v<std::decay_t<decltype(arg)>, std::string>)
      return arg.c_str();
    else
      return arg;
  };
  return renderLogFormat(format, pass(args)...);
}

}  // namespace kestles::platform
