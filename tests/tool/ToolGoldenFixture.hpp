#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ToolProcess.hpp"

namespace kestles::testing {

inline const std::filesystem::path kTool = std::filesystem::path(KESTLES_BIN_DIR) / "kestles";
inline const std::filesystem::path kToolFixtures = std::filesystem::path(KESTLES_FIXTURES) / "tool";

inline std::string fileContents(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

/// The process listening on a socket, found by the peer credentials of a connection.
inline std::optional<pid_t> listenerOf(const std::filesystem::path& socketPath) {
  int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
  ucred credentials{};
  socklen_t length = sizeof(credentials);
  bool found = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
               getsockopt(probe, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0;
  close(probe);
  return found ? std::optional<pid_t>(credentials.pid) : std::nullopt;
}

/// Stops whichever process listens on a socket; false when nothing does.
inline bool stopListener(const std::filesystem::path& socketPath) {
  auto pid = listenerOf(socketPath);
  return pid && kill(*pid, SIGTERM) == 0;
}

/// A private home for one run of the built tool: its own data, config and runtime folders,
/// no X display, and a simulated desktop read from a fixture world.
class ToolGoldenFixture : public ::testing::Test {
 protected:
  std::map<std::string, std::string> environment() const {
    return {{"XDG_RUNTIME_DIR", (home.path() / "run").string()},
            {"XDG_CONFIG_HOME", (home.path() / "config").string()},
            {"XDG_DATA_HOME", (home.path() / "data").string()},
            {"HOME", home.path().string()},
            {"DISPLAY", ""},
            {"KESTLES_PLATFORM", "sim"},
            {"KESTLES_SIM_WORLD", (kToolFixtures / world).string()}};
  }
  ProcessResult run(const std::vector<std::string>& arguments,
                    const std::filesystem::path& tool = kTool) const {
    return runProcess(tool, arguments, environment());
  }
  std::filesystem::path libraryPath() const {
    return home.path() / "data" / "kestles" / "library.json";
  }
  /// Puts a fixture library where the tool reads it.
  void useLibrary(const std::string& fixture = "library.json") const {
    std::filesystem::create_directories(libraryPath().parent_path());
    std::filesystem::copy_file(kToolFixtures / fixture, libraryPath(),
                               std::filesystem::copy_options::overwrite_existing);
  }

  TemporaryFolder home;
  std::string world = "world.json";
};

}  // namespace kestles::testing
