#pragma once

#include <ostream>
#include <string_view>

#include "KestlesEngine/platform/LogSink.hpp"

namespace kestles::app {

/// Prints "kestles-app: " and the sentence, its control characters escaped, on `err`; returns
/// the failure status 1.
int fail(std::ostream& err, std::string_view sentence);

/// A log on standard error that keeps messages at `minimum` and above (for one command, the
/// default level; the running app also keeps info).
class CommandLog final : public platform::LogSink {
 public:
  explicit CommandLog(platform::LogLevel minimum = platform::LogLevel::notice)
      : minimum_(minimum) {}
  void write(const platform::LogRecord& record) override;

 private:
  platform::LogLevel minimum_;
  platform::StreamLog stream_{stderr};
};

}  // namespace kestles::app
