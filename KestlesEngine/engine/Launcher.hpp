#pragma once

#include <optional>
#include <string>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesEngine/platform/AppOpener.hpp"

namespace kestles::engine {

/// Opens apps without bringing them to the front.
class Launcher {
 public:
  /// Why an app could not be opened: it is not installed.
  struct Failure {
    std::string name;  // the app's name
    /// "<name> isn’t installed"
    std::string description() const { return name + " isn’t installed"; }
    bool operator==(const Failure&) const = default;
  };

  explicit Launcher(platform::AppOpener& opener) : opener_(opener) {}

  /// Nothing when the app opened; otherwise the sentence that says why not: the failure's
  /// description, or the platform's own error.
  std::optional<std::string> open(const AppRef& app);

 private:
  platform::AppOpener& opener_;
};

}  // namespace kestles::engine
