#include "KestlesEngine/platform/LogSink.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace kestles::platform {
namespace {

/// What a stream log wrote for the records.
std::string streamed(const std::vector<LogRecord>& records) {
  std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::tmpfile(), &std::fclose);
  StreamLog log(file.get());
  for (const auto& record : records)
    log.write(record);
  std::rewind(file.get());
  std::string text;
  char buffer[256];
  while (auto count = std::fread(buffer, 1, sizeof buffer, file.get()))
    text.append(buffer, count);
  return text;
}

TEST(LogSinkTests, TextFromOtherProgramsCannotForgeALine) {
  // Regression: a window class holding a line break and escape sequences wrote a second,
  // forged log line ("Learned size limits for a window of …") and commanded the terminal.
  const std::string windowClass =
      "Evil\x1B[2K\r\nco.quillmoss.Kestles [engine] error: forged \\x41 \xC2\x9B"
      "31m\xFF";
  auto message = formatLog("Learned size limits for a window of %{public}s: at least %f×%f",
                           windowClass, 300.0, 200.0);
  EXPECT_EQ(streamed({{LogLevel::info, LogCategory::engine, message},
                      {LogLevel::error, LogCategory::store, "Plain"}}),
            "co.quillmoss.Kestles [engine] info: Learned size limits for a window of "
            "Evil\\x1B[2K\\r\\nco.quillmoss.Kestles [engine] error: forged \\\\x41 \\xC2\\x9B31m"
            "\\xFF: at least 300.000000×200.000000\n"
            "co.quillmoss.Kestles [store] error: Plain\n");
}

}  // namespace
}  // namespace kestles::platform
