// The running app on a live X server, end to end: a tile of 10 windows (terminals and windows
// without size increments) and a snap, each from the tool's start until every window has
// landed, against the same frames set by wmctrl and by one client at once; a link's round trip,
// a burst of links from 20 clients, and keep tiled taking in a new window. bench/app-x11.sh
// sets the desktop up; this prints medians.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11Desktop.hpp"
#include "KestlesEngine/x11/X11Placement.hpp"
#include "KestlesLink/LinkSocket.hpp"

extern char** environ;

namespace {

using namespace kestles;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

int run(const std::vector<std::string>& argv) {
  std::vector<char*> arguments;
  for (const auto& argument : argv)
    arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0)
    return -1;
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Desk {
  std::unique_ptr<x11::X11Connection> connection = x11::X11Connection::open();
  std::vector<xcb_window_t> windows;
  std::string tool;

  std::vector<x11::Box> frames(const std::vector<xcb_window_t>& which) {
    std::vector<x11::Box> result;
    for (const auto& reading : x11::readFrames(*connection, which))
      result.push_back(reading.frame);
    return result;
  }
  /// Polls every half millisecond until the frames satisfy the condition; false after 5 s.
  bool waitFor(const std::vector<xcb_window_t>& which,
               const std::function<bool(const std::vector<x11::Box>&)>& condition) {
    auto deadline = Clock::now() + 5s;
    while (Clock::now() < deadline) {
      if (condition(frames(which))) return true;
      std::this_thread::sleep_for(500us);
    }
    return false;
  }
};

/// When the last of the windows' frames changed after `start`, in milliseconds, from the
/// frames `before` the change began: frames are read every half millisecond until none has
/// changed for 300 ms (or 5 s have passed). A change already made when the first read comes
/// counts at that read.
double millisecondsUntilSettled(Desk& desk, Clock::time_point start,
                                const std::function<std::vector<xcb_window_t>()>& windows,
                                std::vector<x11::Box> before = {}) {
  auto last = before.empty() ? desk.frames(windows()) : std::move(before);
  auto lastChange = start;
  while (Clock::now() - lastChange < 300ms && Clock::now() - start < 5s) {
    auto now = desk.frames(windows());
    if (now != last) {
      lastChange = Clock::now();
      last = std::move(now);
    }
    std::this_thread::sleep_for(500us);
  }
  return std::chrono::duration<double, std::milli>(lastChange - start).count();
}

bool overlap(const x11::Box& a, const x11::Box& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool apart(const std::vector<x11::Box>& frames) {
  for (std::size_t i = 0; i < frames.size(); ++i)
    for (std::size_t j = i + 1; j < frames.size(); ++j)
      if (overlap(frames[i], frames[j])) return false;
  return true;
}

/// Puts the windows at the frames by one client, untimed, and waits until they stand still.
void restore(Desk& desk, const std::vector<xcb_window_t>& windows,
             const std::vector<x11::Box>& frames) {
  std::vector<x11::Placement> placements;
  for (std::size_t i = 0; i < windows.size(); ++i)
    placements.push_back({windows[i], frames[i]});
  x11::placeWindows(*desk.connection, placements);
  millisecondsUntilSettled(desk, Clock::now(), [&] { return windows; });
}

std::string geometryOf(const x11::Box& f) {
  return "0," + std::to_string(f.x) + "," + std::to_string(f.y) + "," + std::to_string(f.width) +
         "," + std::to_string(f.height);
}

std::string idOf(xcb_window_t window) {
  char id[16];
  std::snprintf(id, sizeof id, "0x%08x", window);
  return id;
}

/// The same frames set by one wmctrl call per window that moves; the time until they landed.
double byWmctrl(Desk& desk, const std::vector<xcb_window_t>& windows,
                const std::vector<x11::Box>& frames) {
  auto before = desk.frames(windows);
  auto start = Clock::now();
  for (std::size_t w = 0; w < windows.size(); ++w)
    run({"wmctrl", "-i", "-r", idOf(windows[w]), "-e", geometryOf(frames[w])});
  return millisecondsUntilSettled(
      desk, start, [&] { return windows; }, before);
}

/// The same frames set by one client sending every request at once.
double byOneClient(Desk& desk, const std::vector<xcb_window_t>& windows,
                   const std::vector<x11::Box>& frames) {
  std::vector<x11::Placement> placements;
  for (std::size_t i = 0; i < windows.size(); ++i)
    placements.push_back({windows[i], frames[i]});
  auto before = desk.frames(windows);
  auto start = Clock::now();
  x11::placeWindows(*desk.connection, placements);
  return millisecondsUntilSettled(
      desk, start, [&] { return windows; }, before);
}

void printAgainst(double tool, const std::vector<double>& others, const char* other) {
  auto them = median(others);
  std::printf("  %-34s median %7.1f ms (%.1fx the tool's time)\n", other, them,
              tool > 0 ? them / tool : 0.0);
}

constexpr auto kLateLandingCheck = 700ms;

/// A command from the tool's start until every window it moved has landed, beside the same
/// frames set by wmctrl (one call per window) and by one client at once. Each run starts
/// from the same scattered frames, and each comparison sets the frames that run gave.
void againstWmctrl(Desk& desk, const char* what, const std::vector<std::string>& command,
                   const std::vector<xcb_window_t>& windows, int runs) {
  auto scattered = desk.frames(windows);
  std::vector<double> tool, wmctrl, oneClient;
  int moved = 0;
  for (int i = 0; i < runs; ++i) {
    restore(desk, windows, scattered);
    auto start = Clock::now();
    run(command);
    tool.push_back(millisecondsUntilSettled(
        desk, start, [&] { return windows; }, scattered));
    auto landed = desk.frames(windows);
    if (landed != scattered) ++moved;
    // The app looks again half a second after a move for windows that changed their size
    // late; scattering them before that would look to it like such a window.
    std::this_thread::sleep_until(start + kLateLandingCheck);
    restore(desk, windows, scattered);
    wmctrl.push_back(byWmctrl(desk, windows, landed));
    restore(desk, windows, scattered);
    oneClient.push_back(byOneClient(desk, windows, landed));
  }
  restore(desk, windows, scattered);
  std::printf(
      "%s: tool start to the last landed: median %.1f ms (moved windows in %d of %d "
      "runs)\n",
      what, median(tool), moved, runs);
  printAgainst(median(tool), wmctrl, "the same by wmctrl calls:");
  printAgainst(median(tool), oneClient, "the same by one client at once:");
}

/// One link from connect to reply.
bool ask(const std::string& line) {
  auto connection = link::connectTo(platform::socketPath(), 2000ms);
  if (connection.outcome != link::ConnectOutcome::connected) return false;
  auto deadline = link::Clock::now() + 5s;
  if (!link::sendAll(connection.socket.get(), line + "\n", deadline)) return false;
  // Listings come first as "say" lines; the last line is the outcome.
  std::string reply;
  link::LineReader reader(connection.socket.get());
  while (reader.next(deadline, reply) == link::ReadOutcome::line)
    if (!reply.starts_with("say")) return reply == "ok";
  return false;
}

// A link the app answers and carries out without moving a window.
constexpr const char* kQuietLink = "kestles://keys";

void roundTrips(int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    if (!ask(kQuietLink)) return std::fputs("round trip: no answer\n", stderr), void();
    times.push_back(millisecondsSince(start));
  }
  std::printf("link round trip: median %.3f ms\n", median(times));
}

void burst(int clients, int each) {
  std::atomic<int> answered = 0;
  auto start = Clock::now();
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c)
    threads.emplace_back([&] {
      for (int i = 0; i < each; ++i)
        if (ask(kQuietLink)) ++answered;
    });
  for (auto& thread : threads)
    thread.join();
  std::printf("burst of %d links from %d clients: %d answered in %.0f ms\n", clients * each,
              clients, answered.load(), millisecondsSince(start));
}

/// Keep tiled: from a new window's map to every window in its tile.
void keepTiled(Desk& desk, const std::string& client, int runs) {
  run({desk.tool, "keep-tiled", "on"});
  desk.waitFor(desk.windows, apart);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    pid_t child = 0;
    std::string title = "--title";
    std::string name = "Newcomer";
    std::string pos = "--pos";
    std::string at = "200,200";
    char* arguments[] = {const_cast<char*>(client.c_str()),
                         title.data(),
                         name.data(),
                         pos.data(),
                         at.data(),
                         nullptr};
    // The client lives while its standard input is open.
    int input[2];
    if (pipe(input) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn(&child, client.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    // Every client the server lists, the new one as soon as it is there.
    times.push_back(millisecondsUntilSettled(desk, start, [&] {
      std::vector<xcb_window_t> all;
      for (const auto& window : x11::readDesktop(*desk.connection).clients)
        all.push_back(window.id);
      return all;
    }));
    close(input[1]);
    waitpid(child, nullptr, 0);
    desk.waitFor(desk.windows, apart);
    std::this_thread::sleep_for(300ms);
  }
  run({desk.tool, "keep-tiled", "off"});
  std::printf("keep tiled, new client started to all landed: median %.1f ms\n", median(times));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "app_bench takes the tool, the test client and the window id file.\n");
    return 1;
  }
  Desk desk;
  if (!desk.connection) return std::fputs("app_bench: no X display\n", stderr), 1;
  desk.tool = argv[1];
  // Every client: the test windows (no size increments) and the terminals (cells).
  std::vector<xcb_window_t> terminals;
  std::ifstream ids(argv[3]);
  std::vector<xcb_window_t> tests;
  for (std::string line; std::getline(ids, line);)
    tests.push_back(static_cast<xcb_window_t>(std::stoul(line, nullptr, 16)));
  for (const auto& client : x11::readDesktop(*desk.connection).clients) {
    desk.windows.push_back(client.id);
    if (std::find(tests.begin(), tests.end(), client.id) == tests.end())
      terminals.push_back(client.id);
  }
  std::printf("%zu windows, %zu of them terminals\n", desk.windows.size(), terminals.size());
  if (!terminals.empty()) {
    run({"wmctrl", "-i", "-a", idOf(terminals.front())});
    desk.waitFor(desk.windows, [](const auto&) { return true; });
    std::this_thread::sleep_for(100ms);
    againstWmctrl(desk, "snap left-half of a terminal", {desk.tool, "snap", "left-half"},
                  {terminals.front()}, 9);
  }
  againstWmctrl(desk, "tile", {desk.tool, "tile"}, desk.windows, 9);
  roundTrips(200);
  burst(20, 50);
  keepTiled(desk, argv[2], 9);
  return 0;
}
