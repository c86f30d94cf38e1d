#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ToolProcess.hpp"

namespace kestles::testing {

/// A home folder for the app's one-shot commands: the fixture library with two kestles in
/// place, the simulated desktop of a laptop with three apps, and no X display or session bus.
class AppCommandHome {
 public:
  AppCommandHome() {
    std::filesystem::create_directories(libraryPath().parent_path());
    std::filesystem::copy_file(
        std::filesystem::path(KESTLES_FIXTURES) / "library" / "plan-kestles.json", libraryPath());
  }

  /// Runs `kestles-app` with the arguments; `extra` adds to the environment or, with an empty
  /// value, unsets a variable.
  ProcessResult runApp(const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& extra = {},
                       const std::optional<ProcessInput>& input = std::nullopt) const {
    auto environment = extra;
    environment.insert(
        {{"HOME", home.path().string()},
         {"XDG_RUNTIME_DIR", runtimePath().string()},
         {"XDG_DATA_HOME", (home.path() / "data").string()},
         {"XDG_STATE_HOME", (home.path() / "state").string()},
         {"DISPLAY", ""},
         {"DBUS_SESSION_BUS_ADDRESS", ""},
         {"KESTLES_PLATFORM", "sim"},
         {"KESTLES_SIM_WORLD",
          (std::filesystem::path(KESTLES_FIXTURES) / "worlds" / "laptop-three.json").string()}});
    return runProcess(std::filesystem::path(KESTLES_BIN_DIR) / "kestles-app", arguments,
                      environment, input);
  }

  std::filesystem::path runtimePath() const { return home.path() / "run"; }
  std::filesystem::path libraryPath() const {
    return home.path() / "data" / "kestles" / "library.json";
  }
  std::filesystem::path statePath() const {
    return home.path() / "state" / "kestles" / "state.json";
  }

  TemporaryFolder home;
};

}  // namespace kestles::testing
