#include "KestlesEngine/sim/MemoryLog.hpp"

namespace kestles::sim {

void MemoryLog::write(const platform::LogRecord& record) {
  std::lock_guard lock(mutex_);
  records_.push_back(record);
}

std::vector<platform::LogRecord> MemoryLog::records() {
  std::lock_guard lock(mutex_);
  return records_;
}

std::vector<platform::LogRecord> MemoryLog::records(platform::LogCategory category,
                                                    platform::LogLevel level) {
  std::lock_guard lock(mutex_);
  std::vector<platform::LogRecord> kept;
  for (const auto& record : records_)
    if (record.category == category && record.level >= level) kept.push_back(record);
  return kept;
}

void MemoryLog::clear() {
  std::lock_guard lock(mutex_);
  records_.clear();
}

}  // namespace kestles::sim
