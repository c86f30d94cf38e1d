#include "KestlesEngine/platform/LogSink.hpp"

#include <array>
#include <cstdarg>
#include <utility>

#include "KestlesCore/text/Text.hpp"

namespace kestles::platform {
namespace {

constexpr std::array<std::pair<LogLevel, std::string_view>, 5> kLevels{{
    {LogLevel::debug, "debug"},
    {LogLevel::info, "info"},
    {LogLevel::notice, "default"},
    {LogLevel::error, "error"},
    {LogLevel::fault, "fault"},
}};

constexpr std::array<std::pair<LogCategory, std::string_view>, 3> kCategories{{
    {LogCategory::engine, "engine"},
    {LogCategory::hotkeys, "hotkeys"},
    {LogCategory::store, "store"},
}};

template <class Table, class Key>
std::string_view lookup(const Table& table, Key key) {
  for (const auto& [entry, word] : table)
    if (entry == key) return word;
  return {};
}

// The system log's privacy and type annotations become plain conversions.
std::string plainFormat(std::string_view format) {
  std::string plain;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format.substr(i).starts_with("%{public}")) {
      plain += '%';
      i += 8;
    } else if (format.substr(i).starts_with("%{bool}d")) {
      plain += "%s";
      i += 7;
    } else {
      plain += format[i];
    }
  }
  return plain;
}

}  // namespace

std::string_view name(LogLevel level) {
  return lookup(kLevels, level);
}

std::string_view name(LogCategory category) {
  return lookup(kCategories, category);
}

void StreamLog::write(const LogRecord& record) {
  // Messages carry names and titles that other programs chose; escaped here, once for every
  // message, none of them can break the line, forge another one or command the terminal.
  auto message = text::escapedControls(record.message);
  std::lock_guard lock(mutex_);
  std::fprintf(stream_, "%.*s [%.*s] %.*s: %.*s\n", int(kLogSubsystem.size()), kLogSubsystem.data(),
               int(name(record.category).size()), name(record.category).data(),
               int(name(record.level).size()), name(record.level).data(), int(message.size()),
               message.data());
}

std::string renderLogFormat(const char* format, ...) {
  auto plain = plainFormat(format);
  std::va_list args;
  va_start(args, format);
  std::va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, plain.c_str(), copy);
  va_end(copy);
  std::string text(length > 0 ? std::size_t(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, plain.c_str(), args);
  va_end(args);
  return text;
}

}  // namespace kestles::platform
