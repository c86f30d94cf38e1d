#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesEngine/platform/AppOpener.hpp"
#include "KestlesEngine/sim/SimAccessibility.hpp"
#include "KestlesEngine/sim/SimWorld.hpp"

namespace kestles::sim {

/// How an installed app behaves when it is opened.
struct LaunchScript {
  std::int32_t pid = 0;
  std::vector<WindowSnapshot> windows;            // shown together as its first windows
  std::optional<platform::Duration> firstWindow;  // after opening; nothing: never
  bool onlyAfterSecondOpen = false;               // the windows come only when opened again
};

/// Opens the simulated desktop's installed apps as their scripts say; their windows come
/// through the accessibility interface, as new windows do.
class SimOpener final : public platform::AppOpener {
 public:
  SimOpener(SimWorld& world, SimAccessibility& ax) : world_(world), ax_(ax) {}

  /// An app that can be opened, and how it behaves when it is.
  void install(const AppRef& app, LaunchScript script);

  std::optional<std::filesystem::path> applicationURL(const std::string& bundleID) override;
  std::optional<std::string> open(const std::filesystem::path& app, bool activates) override;

 private:
  struct Installed {
    AppRef app;
    LaunchScript script;
    int opens = 0;
    bool scheduled = false;
  };

  void startApp(Installed& installed);
  void showWindows(std::int32_t pid, std::vector<WindowSnapshot> windows);

  SimWorld& world_;
  SimAccessibility& ax_;
  std::map<std::string, Installed> installed_;  // by bundle identifier
};

}  // namespace kestles::sim
