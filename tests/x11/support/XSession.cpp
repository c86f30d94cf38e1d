#include "tests/x11/support/XSession.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace kestles::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& extra) {
  std::vector<std::string> result;
  for (char** item = environ; *item != nullptr; ++item) {
    std::string entry = *item;
    auto name = entry.substr(0, entry.find('='));
    if (!extra.contains(name)) result.push_back(entry);
  }
  for (const auto& [name, value] : extra) {
    std::string entry = name;
    entry.append("=").append(value);
    result.push_back(std::move(entry));
  }
  return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (auto& s : strings)
    result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

bool programExists(const char* name) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    auto end = folders.find(':', start);
    auto folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
    folder.append("/").append(name);
    if (access(folder.c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

Child::Child(const std::vector<std::string>& argv,
             const std::map<std::string, std::string>& environment, bool captureErrors,
             bool leadsGroup)
    : leadsGroup_(leadsGroup) {
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  if (captureErrors) posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (leadsGroup) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  auto args = argv;
  auto env = mergedEnvironment(environment);
  auto argp = pointers(args);
  auto envp = pointers(env);
  if (posix_spawnp(&pid_, argp[0], &actions, &attributes, argp.data(), envp.data()) != 0) pid_ = -1;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  input_ = in[1];
  output_ = out[0];
  error_ = err[0];
}

Child::~Child() {
  stop();
}

std::optional<std::string> Child::readLine(std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  while (true) {
    if (auto end = buffered_.find('\n'); end != std::string::npos) {
      auto line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (output_ < 0 || left.count() <= 0) return std::nullopt;
    pollfd descriptor{output_, POLLIN, 0};
    if (poll(&descriptor, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[256];
    auto count = read(output_, chunk, sizeof chunk);
    if (count <= 0) return std::nullopt;
    buffered_.append(chunk, static_cast<std::size_t>(count));
  }
}

std::string Child::errorOutput(std::chrono::milliseconds timeout) {
  std::string text;
  auto deadline = Clock::now() + timeout;
  while (error_ >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd descriptor{error_, POLLIN, 0};
    if (left.count() <= 0 || poll(&descriptor, 1, static_cast<int>(left.count())) <= 0) break;
    char chunk[256];
    auto count = read(error_, chunk, sizeof chunk);
    if (count <= 0) break;
    text.append(chunk, static_cast<std::size_t>(count));
  }
  return text;
}

std::optional<int> Child::wait(std::chrono::milliseconds timeout) {
  if (status_ || pid_ <= 0) return status_;
  auto deadline = Clock::now() + timeout;
  while (true) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return status_;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    // A child's end raises no event this process can poll without a signal handler.
    usleep(2000);
  }
}

void Child::writeLine(const std::string& line) {
  auto text = line + "\n";
  if (input_ < 0) return;
  [[maybe_unused]] auto written = write(input_, text.data(), text.size());
}

void Child::stop() {
  if (input_ >= 0) close(input_);
  input_ = -1;
  // A group is signalled as a whole: its leader may be gone while the rest still runs.
  auto target = leadsGroup_ ? -pid_ : pid_;
  if (pid_ > 0 && (leadsGroup_ || !status_)) {
    if (!wait(std::chrono::milliseconds(0)) || leadsGroup_) kill(target, SIGTERM);
    if (!wait(std::chrono::seconds(5))) kill(target, SIGKILL);
    wait(std::chrono::seconds(5));
    if (leadsGroup_) kill(target, SIGKILL);
  }
  if (output_ >= 0) close(output_);
  if (error_ >= 0) close(error_);
  output_ = -1;
  error_ = -1;
}

bool testProgramExists(const char* name) {
  if (programExists(name)) return true;
  // Where the tests are run to prove the X11 layer (CI), a missing server is a failure.
  if (const char* required = std::getenv("KESTLES_REQUIRE_XVFB");
      required != nullptr && std::string_view(required) == "1")
    throw std::runtime_error(std::string(name) + " is missing, and KESTLES_REQUIRE_XVFB=1");
  return false;
}

WindowManager testWindowManager() {
  const char* name = std::getenv("KESTLES_TEST_WM");
  std::string_view chosen = name != nullptr ? name : "";
  if (chosen.empty() || chosen == "openbox") return WindowManager::openbox;
  if (chosen == "xfwm4") return WindowManager::xfwm4;
  std::string message = "KESTLES_TEST_WM names ";
  message.append(chosen).append(", not openbox or xfwm4");
  throw std::runtime_error(message);
}

const char* programOf(WindowManager manager) {
  return manager == WindowManager::xfwm4 ? "xfwm4" : "openbox";
}

std::unique_ptr<XSession> XSession::start(Options options) {
  auto manager = testWindowManager();
  if (!testProgramExists("Xvfb")) return nullptr;
  if (options.windowManager) {
    if (!testProgramExists(programOf(manager))) return nullptr;
    // xfwm4 keeps its settings behind a session bus and gives up without one.
    if (manager == WindowManager::xfwm4 && !testProgramExists("dbus-run-session")) return nullptr;
  }
  std::unique_ptr<XSession> session(new XSession());
  session->kind_ = manager;
  if (!session->startServer(options)) throw std::runtime_error("Xvfb did not start");
  if (options.windowManager && !session->startWindowManager()) {
    std::string message = programOf(manager);
    message.append(" did not start managing windows within ")
        .append(std::to_string(kManagerStart.count()))
        .append(" s");
    throw std::runtime_error(message);
  }
  return session;
}

bool XSession::startServer(Options options) {
  std::string screen = std::to_string(options.width);
  screen.append("x").append(std::to_string(options.height)).append("x24");
  for (int number = 90; number < 190; ++number) {
    std::string name = ":";
    name.append(std::to_string(number));
    std::string lock = "/tmp/.X";
    lock.append(std::to_string(number)).append("-lock");
    if (std::filesystem::exists(lock)) continue;
    auto server = std::make_unique<Child>(std::vector<std::string>{
        "Xvfb", name, "-screen", "0", screen, "-noreset", "-nolisten", "tcp", "-displayfd", "1"});
    if (auto written = server->readLine(); written && *written == std::to_string(number)) {
      server_ = std::move(server);
      display_ = name;
      break;
    }
  }
  if (!server_) return false;
  setenv("DISPLAY", display_.c_str(), 1);
  probe_ = xcb_connect(display_.c_str(), nullptr);
  if (xcb_connection_has_error(probe_)) return false;
  root_ = xcb_setup_roots_iterator(xcb_get_setup(probe_)).data->root;
  std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY |
                       XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(probe_, root_, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(probe_);
  return true;
}

std::optional<xcb_window_t> XSession::managerCheckWindow() {
  auto check = cardinals(root_, "_NET_SUPPORTING_WM_CHECK");
  if (check.empty()) return std::nullopt;
  auto self = cardinals(check.front(), "_NET_SUPPORTING_WM_CHECK");
  if (self.empty() || self.front() != check.front()) return std::nullopt;
  return check.front();
}

bool XSession::startWindowManager(bool replacing) {
  if (configHome_.empty()) {
    // A private configuration folder keeps the user's settings out of the tests.
    char folder[] = "/tmp/kestles-x11-test-XXXXXX";
    if (mkdtemp(folder) == nullptr) return false;
    configHome_ = folder;
  }
  std::map<std::string, std::string> environment{{"XDG_CONFIG_HOME", configHome_}};
  std::vector<std::string> argv;
  if (kind_ == WindowManager::openbox) {
    argv = {"openbox", "--sm-disable"};
  } else {
    argv = {"dbus-run-session", "--", "xfwm4", "--compositor=off", "--sm-client-disable"};
    // No accessibility bus: it only slows the start.
    environment.emplace("NO_AT_BRIDGE", std::string(1, '1'));
  }
  if (replacing) argv.push_back("--replace");
  auto before = managerCheckWindow();
  auto previous = std::move(manager_);
  // The launcher of xfwm4 does not pass signals on: the whole group is ended with it.
  manager_ = std::make_unique<Child>(argv, environment, false, true);
  bool announced = waitUntil(
      [&] {
        auto check = managerCheckWindow();
        return check && check != before;
      },
      kManagerStart);
  bool taking = announced && managerTakesWindows();
  previous.reset();
  return taking;
}

bool XSession::restartWindowManager() {
  if (!manager_) return false;
  if (kind_ != WindowManager::openbox) return startWindowManager(true);
  // openbox starts itself again in the same process, with the same check window.
  return run({"openbox", "--restart"}) == 0 && managerTakesWindows();
}

// openbox announces itself before it handles map requests, and a window mapped in between
// stays unmanaged. A probe window mapped until the manager takes it marks the moment.
bool XSession::managerTakesWindows() {
  auto window = xcb_generate_id(probe_);
  auto* screen = xcb_setup_roots_iterator(xcb_get_setup(probe_)).data;
  xcb_create_window(probe_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 10, 10, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  bool managed = false;
  for (int attempt = 0; attempt < 100 && !managed; ++attempt) {
    xcb_unmap_window(probe_, window);
    xcb_map_window(probe_, window);
    xcb_flush(probe_);
    managed = waitUntil([&] { return isManaged(window); }, std::chrono::milliseconds(100));
  }
  xcb_destroy_window(probe_, window);
  xcb_flush(probe_);
  return managed && waitUntil([&] { return !isManaged(window); });
}

XSession::~XSession() {
  if (probe_ != nullptr) xcb_disconnect(probe_);
  manager_.reset();
  server_.reset();
  if (!configHome_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(configHome_, ignored);
  }
}

void XSession::stopServer() {
  manager_.reset();
  server_.reset();
}

std::optional<int> XSession::run(const std::vector<std::string>& argv) {
  Child child(argv);
  return child.wait();
}

TestWindows XSession::openWindows(const std::vector<std::string>& flags) {
  std::vector<std::string> argv{testWindowProgram()};
  argv.insert(argv.end(), flags.begin(), flags.end());
  TestWindows windows{std::make_unique<Child>(argv), {}};
  int count = 1;
  for (std::size_t i = 0; i + 1 < flags.size(); ++i)
    if (flags[i] == "--count") count = std::stoi(flags[i + 1]);
  for (int i = 0; i < count; ++i) {
    auto line = windows.process->readLine();
    if (!line) break;
    windows.ids.push_back(static_cast<xcb_window_t>(std::stoul(*line, nullptr, 16)));
  }
  bool managerRuns = manager_ != nullptr;
  bool overrideRedirect =
      std::find(flags.begin(), flags.end(), "--override-redirect") != flags.end();
  if (managerRuns && !overrideRedirect)
    waitUntil([&] {
      for (auto id : windows.ids)
        if (!isManaged(id)) return false;
      return true;
    });
  return windows;
}

TestWindows XSession::openXterm(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{"xterm"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  TestWindows xterm{std::make_unique<Child>(argv), {}};
  std::vector<std::uint32_t> pid{std::uint32_t(xterm.process->pid())};
  waitUntil(
      [&] {
        for (auto id : cardinals(root_, "_NET_CLIENT_LIST"))
          if (cardinals(id, "_NET_WM_PID") == pid) xterm.ids = {id};
        return !xterm.ids.empty();
      },
      std::chrono::seconds(10));
  return xterm;
}

bool XSession::waitUntil(const std::function<bool()>& condition,
                         std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  while (true) {
    if (condition()) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    // Events on the root are the cue; the short ceiling covers changes that raise none.
    pollfd descriptor{xcb_get_file_descriptor(probe_), POLLIN, 0};
    poll(&descriptor, 1, static_cast<int>(std::min<long>(left.count(), 20)));
    while (xcb_generic_event_t* event = xcb_poll_for_event(probe_))
      std::free(event);
  }
}

xcb_atom_t XSession::atom(const char* name) {
  auto* reply = xcb_intern_atom_reply(
      probe_, xcb_intern_atom(probe_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr);
  xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return result;
}

std::vector<std::uint32_t> XSession::cardinals(xcb_window_t window, const char* property) {
  auto* reply = xcb_get_property_reply(
      probe_,
      xcb_get_property(probe_, 0, window, atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
      nullptr);
  std::vector<std::uint32_t> items;
  if (reply != nullptr && reply->format == 32) {
    auto* data = static_cast<std::uint32_t*>(xcb_get_property_value(reply));
    items.assign(data, data + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return items;
}

void XSession::changeState(xcb_window_t window, std::uint32_t action, const char* first,
                           const char* second) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = atom("_NET_WM_STATE");
  message.data.data32[0] = action;
  message.data.data32[1] = atom(first);
  message.data.data32[2] = second ? atom(second) : 0;
  message.data.data32[3] = 2;
  xcb_send_event(probe_, 0, root_,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(probe_);
}

bool XSession::hasState(xcb_window_t window, const char* state) {
  auto states = cardinals(window, "_NET_WM_STATE");
  return std::find(states.begin(), states.end(), atom(state)) != states.end();
}

std::optional<xcb_window_t> XSession::activeWindow() {
  auto active = cardinals(root_, "_NET_ACTIVE_WINDOW");
  if (active.empty() || active.front() == XCB_WINDOW_NONE) return std::nullopt;
  return active.front();
}

bool XSession::isManaged(xcb_window_t window) {
  auto clients = cardinals(root_, "_NET_CLIENT_LIST");
  return std::find(clients.begin(), clients.end(), window) != clients.end();
}

std::vector<xcb_window_t> XSession::clients() {
  auto clients = cardinals(root_, "_NET_CLIENT_LIST");
  return {clients.begin(), clients.end()};
}

std::optional<Frame> XSession::frameOf(xcb_window_t window) {
  auto* geometry = xcb_get_geometry_reply(probe_, xcb_get_geometry(probe_, window), nullptr);
  if (geometry == nullptr) return std::nullopt;
  auto* origin = xcb_translate_coordinates_reply(
      probe_, xcb_translate_coordinates(probe_, window, root_, 0, 0), nullptr);
  if (origin == nullptr) {
    std::free(geometry);
    return std::nullopt;
  }
  auto extents = cardinals(window, "_NET_FRAME_EXTENTS");
  if (extents.size() < 4) extents = {0, 0, 0, 0};
  std::int32_t border = geometry->border_width;
  auto left = static_cast<std::int32_t>(extents[0]), right = static_cast<std::int32_t>(extents[1]);
  auto top = static_cast<std::int32_t>(extents[2]), bottom = static_cast<std::int32_t>(extents[3]);
  Frame frame{origin->dst_x - border - left, origin->dst_y - border - top,
              geometry->width + 2 * border + left + right,
              geometry->height + 2 * border + top + bottom};
  std::free(geometry);
  std::free(origin);
  return frame;
}

std::string testWindowProgram() {
  return KESTLES_TEST_WINDOW;
}

}  // namespace kestles::testing
