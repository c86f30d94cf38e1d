#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kestles::testing {

/// A child process with its standard input and output on pipes; stopped and reaped on
/// destruction.
class Child {
 public:
  /// Starts `argv` with `environment` added to this process's own. Standard error goes to a
  /// pipe only with `captureErrors` (a pipe nobody reads would stall a chatty server).
  Child(const std::vector<std::string>& argv,
        const std::map<std::string, std::string>& environment = {}, bool captureErrors = false);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  /// The next line of standard output, without its line feed; nothing at end or after `timeout`.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Writes the line and its line feed to its standard input.
  void writeLine(const std::string& line);
  /// Everything it wrote on standard error until it closed it (bounded).
  std::string errorOutput(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Waits for the exit status (bounded); nothing when it did not end in time.
  std::optional<int> wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Closes its standard input, asks it to stop and reaps it.
  void stop();

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int error_ = -1;
  std::string buffered_;
  std::optional<int> status_;
};

/// Windows of the test client, open while this object lives.
struct TestWindows {
  std::unique_ptr<Child> process;
  std::vector<xcb_window_t> ids;
  xcb_window_t id() const { return ids.front(); }
};

/// An outer frame as the test reads it back on its own: position, size and extents.
struct Frame {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Frame&) const = default;
};

inline void PrintTo(const Frame& frame, std::ostream* out) {
  *out << frame.x << "," << frame.y << " " << frame.width << "x" << frame.height;
}

/// A fresh Xvfb (with -noreset) on a free display, optionally with openbox, for one test.
class XSession {
 public:
  struct Options {
    int width = 1920;
    int height = 1080;
    bool windowManager = true;
  };
  /// Starts the server (and manager) and waits until both answer; nothing when Xvfb or
  /// openbox is not installed (see `testProgramExists`). Throws `std::runtime_error` when they
  /// do not start.
  static std::unique_ptr<XSession> start(Options options);
  ~XSession();

  const std::string& display() const { return display_; }
  xcb_connection_t* probe() const { return probe_; }
  xcb_window_t root() const { return root_; }

  /// Stops the window manager and the server, as when a desktop session ends.
  void stopServer();

  /// Runs a program on the display to its end; its exit status (nothing: it hung).
  std::optional<int> run(const std::vector<std::string>& argv);
  /// Opens test-client windows with the given flags; they are mapped when this returns,
  /// and managed by the window manager when one runs.
  TestWindows openWindows(const std::vector<std::string>& flags);

  /// Polls `condition` until it holds, waking on the root's property and structure events;
  /// false after `timeout`.
  bool waitUntil(const std::function<bool()>& condition,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5));

  /// The outer frame read with one request at a time: geometry, translated origin, extents.
  std::optional<Frame> frameOf(xcb_window_t window);
  /// The 32-bit items of a property.
  std::vector<std::uint32_t> cardinals(xcb_window_t window, const char* property);
  xcb_atom_t atom(const char* name);
  /// Asks the manager to add (1) or remove (0) up to two `_NET_WM_STATE` atoms.
  void changeState(xcb_window_t window, std::uint32_t action, const char* first,
                   const char* second = nullptr);
  /// Whether the window's `_NET_WM_STATE` holds the atom.
  bool hasState(xcb_window_t window, const char* state);
  /// Whether the window is in the manager's client list.
  bool isManaged(xcb_window_t window);

 private:
  XSession() = default;
  bool startServer(Options options);
  bool startWindowManager();
  bool managerTakesWindows();

  std::unique_ptr<Child> server_;
  std::unique_ptr<Child> manager_;
  std::string display_;
  std::string configHome_;
  xcb_connection_t* probe_ = nullptr;
  xcb_window_t root_ = 0;
};

/// Whether a program is on the search path.
bool programExists(const char* name);

/// Whether a program a test needs is on the search path; with KESTLES_REQUIRE_XVFB=1 a missing
/// one throws instead, so that the test fails rather than skips.
bool testProgramExists(const char* name);

/// The path of the test client program.
std::string testWindowProgram();

}  // namespace kestles::testing
