#pragma once

#include <mutex>
#include <vector>

#include "KestlesEngine/platform/LogSink.hpp"

namespace kestles::sim {

/// Keeps every log record in memory, in order, for tests to read.
class MemoryLog final : public platform::LogSink {
 public:
  void write(const platform::LogRecord& record) override;
  std::vector<platform::LogRecord> records();
  /// The records of one category at or above `level`.
  std::vector<platform::LogRecord> records(platform::LogCategory category,
                                           platform::LogLevel level);
  void clear();

 private:
  std::mutex mutex_;
  std::vector<platform::LogRecord> records_;
};

}  // namespace kestles::sim
