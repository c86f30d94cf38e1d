#pragma once

#include <memory>
#include <string>

#include "KestlesEngine/platform/LogSink.hpp"

namespace kestles::app {

/// Tells the user what a command did, in the place a desktop user looks for it.
class Notifier {
 public:
  virtual ~Notifier() = default;
  /// Shows one notice: a short title and a sentence (the body may be empty).
  virtual void notify(const std::string& title, const std::string& body) = 0;
};

/// Writes every notice to the log, and to the desktop's notification service when the
/// session has one; a missing or silent service leaves the log alone. Showing never blocks
/// the caller: notices go out one at a time on a thread of their own.
std::unique_ptr<Notifier> makeDesktopNotifier(platform::LogSink& log);

}  // namespace kestles::app
