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
  /// pipe only with `captureErrors` (a pipe nobody reads would stall a chatty server). With
  /// `leadsGroup` it starts a process group of its own, and stopping it ends the whole group
  /// (a program run under a launcher that does not pass signals on).
  Child(const std::vector<std::string>& argv,
        const std::map<std::string, std::string>& environment = {}, bool captureErrors = false,
        bool leadsGroup = false);
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
  bool leadsGroup_ = false;
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

/// The window managers the tests run under.
enum class WindowManager { openbox, xfwm4 };

/// The window manager that KESTLES_TEST_WM names (openbox when it is unset or empty); throws
/// `std::runtime_error` for any other name.
WindowManager testWindowManager();

/// The manager's program name.
const char* programOf(WindowManager manager);

/// A fresh Xvfb (with -noreset) on a free display, optionally with the window manager of
/// `testWindowManager()`, for one test.
class XSession {
 public:
  /// How long a window manager may take to come up on a loaded machine.
  static constexpr std::chrono::seconds kManagerStart{30};

  struct Options {
    int width = 1920;
    int height = 1080;
    bool windowManager = true;
  };
  /// Starts the server (and manager) and waits until both answer; nothing when Xvfb or
  /// the manager is not installed (see `testProgramExists`). Throws `std::runtime_error`
  /// when they do not start.
  static std::unique_ptr<XSession> start(Options options);
  ~XSession();

  const std::string& display() const { return display_; }
  xcb_connection_t* probe() const { return probe_; }
  xcb_window_t root() const { return root_; }

  /// The window manager running, when one does.
  std::optional<WindowManager> windowManager() const {
    return manager_ ? std::optional(kind_) : std::nullopt;
  }

  /// Stops the window manager and the server, as when a desktop session ends.
  void stopServer();

  /// Has the window manager restart (openbox) or be replaced by a new one of its kind (the
  /// others), and waits until it manages windows again; false when it does not.
  bool restartWindowManager();

  /// Runs a program on the display to its end; its exit status (nothing: it hung).
  std::optional<int> run(const std::vector<std::string>& argv);
  /// Opens test-client windows with the given flags; they are mapped when this returns,
  /// and managed by the window manager when one runs.
  TestWindows openWindows(const std::vector<std::string>& flags);

  /// Starts xterm with the arguments and waits (bounded) until the manager took its window;
  /// no ids when it did not.
  TestWindows openXterm(const std::vector<std::string>& arguments);

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
  /// The window the manager calls active (the first item of `_NET_ACTIVE_WINDOW`; xfwm4
  /// adds a second); nothing when none is.
  std::optional<xcb_window_t> activeWindow();
  /// Whether the window is in the manager's client list.
  bool isManaged(xcb_window_t window);
  /// The manager's client list, oldest first.
  std::vector<xcb_window_t> clients();

 private:
  XSession() = default;
  bool startServer(Options options);
  /// The check window of the manager that names itself on the root; nothing without one.
  std::optional<xcb_window_t> managerCheckWindow();
  bool startWindowManager(bool replacing = false);
  bool managerTakesWindows();

  std::unique_ptr<Child> server_;
  std::unique_ptr<Child> manager_;
  WindowManager kind_ = WindowManager::openbox;
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
