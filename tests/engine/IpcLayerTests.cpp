#include "KestlesEngine/ipc/IpcLayer.hpp"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include <nlohmann/json.hpp>

#include "KestlesEngine/PlatformChoice.hpp"

namespace kestles::ipc {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;
namespace ax = platform::ax;

/// A compositor in this process on a Unix socket: answers each request type with a set reply,
/// records the commands it runs (and can change its tree when one comes), and sends events
/// to the connections that subscribed.
class FakeCompositor {
 public:
  FakeCompositor() {
    char pattern[] = "/tmp/kestles-ipc-XXXXXX";
    folder_ = mkdtemp(pattern);
    path_ = folder_ + "/ipc.sock";
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path_.c_str());
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    if (::pipe(stop_) != 0) std::abort();
    thread_ = std::thread([this] { serve(); });
  }
  ~FakeCompositor() {
    quit();
    std::filesystem::remove_all(folder_);
  }

  const std::string& path() const { return path_; }

  void reply(Request type, json payload) {
    std::lock_guard guard(mutex_);
    replies_[static_cast<std::uint32_t>(type)] = payload.dump();
  }
  /// Called with each command; may set new replies.
  void onCommand(std::function<void(const std::string&)> handler) {
    std::lock_guard guard(mutex_);
    onCommand_ = std::move(handler);
  }
  std::vector<std::string> commands() {
    std::lock_guard guard(mutex_);
    return commands_;
  }
  std::uint32_t requestsOf(Request type) {
    std::lock_guard guard(mutex_);
    return counts_[static_cast<std::uint32_t>(type)];
  }
  void event(Event type, json payload) {
    std::lock_guard guard(mutex_);
    auto bytes = encodeMessage(kEventBit | static_cast<std::uint32_t>(type), payload.dump());
    for (int fd : subscribed_)
      (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }
  /// Closes every connection, as a compositor that quits.
  void quit() {
    if (!thread_.joinable()) return;
    (void)!::write(stop_[1], "x", 1);
    thread_.join();
    ::close(listener_);
    ::close(stop_[0]);
    ::close(stop_[1]);
  }

 private:
  void serve() {
    std::map<int, MessageReader> clients;
    while (true) {
      std::vector<pollfd> fds{{stop_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
      for (auto& [fd, reader] : clients)
        fds.push_back({fd, POLLIN, 0});
      ::poll(fds.data(), fds.size(), -1);
      if (fds[0].revents) break;
      if (fds[1].revents) clients[::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)];
      for (std::size_t i = 2; i < fds.size(); ++i) {
        if (!fds[i].revents) continue;
        char buffer[4096];
        auto count = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
        if (count <= 0) {
          ::close(fds[i].fd);
          clients.erase(fds[i].fd);
          continue;
        }
        auto& reader = clients[fds[i].fd];
        reader.feed(std::string_view(buffer, std::size_t(count)));
        while (auto message = reader.next())
          answer(fds[i].fd, *message);
      }
    }
    for (auto& [fd, reader] : clients)
      ::close(fd);
  }

  void answer(int fd, const Message& message) {
    std::function<void(const std::string&)> handler;
    {
      std::lock_guard guard(mutex_);
      ++counts_[message.type];
      if (message.type == static_cast<std::uint32_t>(Request::subscribe)) subscribed_.insert(fd);
      if (message.type == static_cast<std::uint32_t>(Request::runCommand)) {
        commands_.push_back(message.payload);
        handler = onCommand_;
      }
    }
    if (handler) handler(message.payload);
    std::string payload;
    {
      std::lock_guard guard(mutex_);
      auto found = replies_.find(message.type);
      payload = found != replies_.end() ? found->second
                : message.type == static_cast<std::uint32_t>(Request::runCommand)
                    ? R"([{"success": true}])"
                    : R"({"success": true})";
      auto bytes = encodeMessage(message.type, payload);
      (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
  }

  std::string folder_;
  std::string path_;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  std::thread thread_;
  std::mutex mutex_;
  std::map<std::uint32_t, std::string> replies_;
  std::map<std::uint32_t, std::uint32_t> counts_;
  std::vector<std::string> commands_;
  std::set<int> subscribed_;  // a connection may subscribe more than once
  std::function<void(const std::string&)> onCommand_;
};

json view(std::uint32_t id, std::int32_t pid, CGRect rect, bool floating) {
  return {{"id", id},
          {"type", floating ? "floating_con" : "con"},
          {"name", "term " + std::to_string(id)},
          {"app_id", "foot"},
          {"pid", pid},
          {"shell", "xdg_shell"},
          {"rect",
           {{"x", rect.minX()},
            {"y", rect.minY() + 20},
            {"width", rect.width()},
            {"height", rect.height() - 20}}},
          {"deco_rect", {{"x", 0}, {"y", 0}, {"width", rect.width()}, {"height", 20}}},
          {"nodes", json::array()},
          {"floating_nodes", json::array()}};
}

json treeWith(json tiled, json floating) {
  return {{"id", 1},
          {"type", "root"},
          {"nodes",
           {{{"id", 2},
             {"type", "output"},
             {"name", "HEADLESS-1"},
             {"nodes",
              {{{"id", 3},
                {"type", "workspace"},
                {"name", "1"},
                {"nodes", tiled},
                {"floating_nodes", floating}}}}}}}};
}

const json kWorkspaces = json::parse(
    R"([{"name": "1", "visible": true, "output": "HEADLESS-1",
         "rect": {"x": 0, "y": 0, "width": 1280, "height": 720}}])");

/// A fake sway with two tiled foot windows side by side.
struct Desk {
  FakeCompositor compositor;
  Desk() {
    compositor.reply(Request::getVersion, {{"human_readable", "1.8.1"}, {"variant", "sway"}});
    compositor.reply(Request::getWorkspaces, kWorkspaces);
    compositor.reply(Request::getTree, treeWith({view(7, 100, {0, 0, 640, 720}, false),
                                                 view(8, 200, {640, 0, 640, 720}, false)},
                                                json::array()));
  }
};

platform::FrameRequest request(std::uint32_t id, CGRect frame) {
  return {element::window(id), 0, frame, std::nullopt};
}

// Every window of a batch goes out in one command, and the landings are read back from the
// compositor's tree; a window put back where the tiling had it is tiled again, not floated.
TEST(IpcLayer, PlacesABatchInOneCommandAndTilesAWindowPutBack) {
  Desk desk;
  auto layer = IpcLayer::open(desk.compositor.path());
  ASSERT_TRUE(layer);
  EXPECT_EQ(layer->compositor(), Compositor::sway);
  auto& ax = layer->parts().ax;
  desk.compositor.onCommand([&](const std::string&) {
    desk.compositor.reply(Request::getTree,
                          treeWith(json::array(), {view(7, 100, {10, 10, 400, 300}, true),
                                                   view(8, 200, {500, 10, 400, 302}, true)}));
  });
  platform::FrameRequest batch[] = {request(7, {10, 10, 400, 300}), request(8, {500, 10, 400, 300}),
                                    request(99, {0, 0, 10, 10})};
  auto results = ax.setFrames(batch);
  EXPECT_EQ(desk.compositor.commands(),
            (std::vector<std::string>{
                "[con_id=7] floating enable, resize set 400 300, move absolute position 10 10; "
                "[con_id=8] floating enable, resize set 400 300, move absolute position 500 10"}));
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0], (platform::FrameResult{0, CGRect{10, 10, 400, 300}}));
  // Where the compositor put it, not where it was asked to.
  EXPECT_EQ(results[1], (platform::FrameResult{0, CGRect{500, 10, 400, 302}}));
  EXPECT_EQ(results[2].error, platform::ax_error::invalidElement);

  // Undo: window 7 back at its tiled frame goes back into the tiling; 8 elsewhere floats on.
  platform::FrameRequest undo[] = {request(7, {0, 0, 640, 720}), request(8, {600, 0, 300, 300})};
  ax.setFrames(undo);
  ASSERT_EQ(desk.compositor.commands().size(), 2u);
  EXPECT_EQ(desk.compositor.commands()[1],
            "[con_id=7] floating disable; "
            "[con_id=8] floating enable, resize set 300 300, move absolute position 600 0");
}

// Raising goes out as one command, in the plan's order, and the window that keeps the focus
// (the one named, else the one focused before) comes last; windows that are gone are left out.
TEST(IpcLayer, RaisesInOneCommandAndTheFocusKeeperComesLast) {
  Desk desk;
  auto focusedEight = view(8, 200, {640, 0, 640, 720}, false);
  focusedEight["focused"] = true;
  desk.compositor.reply(Request::getTree,
                        treeWith({view(7, 100, {0, 0, 640, 720}, false), focusedEight,
                                  view(9, 300, {0, 0, 640, 720}, false)},
                                 json::array()));
  auto layer = IpcLayer::open(desk.compositor.path());
  ASSERT_TRUE(layer);
  auto& ax = layer->parts().ax;
  platform::AXElement order[] = {element::window(8), element::window(7), element::window(99),
                                 element::window(9)};
  EXPECT_TRUE(ax.raiseInOrder(order, std::nullopt));
  EXPECT_TRUE(ax.raiseInOrder(order, element::window(7)));
  EXPECT_EQ(desk.compositor.commands(),
            (std::vector<std::string>{"[con_id=7] focus; [con_id=9] focus; [con_id=8] focus",
                                      "[con_id=8] focus; [con_id=9] focus; [con_id=7] focus"}));
}

TEST(IpcLayer, ReadsWindowsAppsAndDisplaysFromTheTree) {
  Desk desk;
  desk.compositor.reply(
      Request::getOutputs,
      json::parse(
          R"([{"name": "HEADLESS-1", "make": "headless", "model": "headless", "active": true,
                       "rect": {"x": 0, "y": 0, "width": 1280, "height": 720},
                       "current_workspace": "1"}])"));
  auto layer = IpcLayer::open(desk.compositor.path());
  ASSERT_TRUE(layer);
  auto parts = layer->parts();
  auto windows = parts.ax.elements(parts.ax.application(200), ax::windows);
  ASSERT_EQ(windows, (std::vector<platform::AXElement>{element::window(8)}));
  EXPECT_EQ(parts.ax.frame(windows[0]), (CGRect{640, 0, 640, 720}));
  EXPECT_EQ(parts.ax.string(windows[0], ax::title), "term 8");
  EXPECT_EQ(parts.ax.string(windows[0], ax::subrole), ax::standardWindow);
  EXPECT_EQ(parts.workspace.runningApplications().size(), 2u);
  auto displays = parts.screens.screens();
  ASSERT_EQ(displays.size(), 1u);
  EXPECT_EQ(displays[0].id, "headless headless HEADLESS-1");
  // One snapshot's reads share one tree: not a round trip per attribute.
  EXPECT_LE(desk.compositor.requestsOf(Request::getTree), 2u);
}

// A kestle applied right after a script moved the windows (`swaymsg … move absolute position`,
// which sends no event) left a window where the script put it: the snapshot read the tree kept
// from the command before, where the window already had its kestle frame.
TEST(IpcLayer, ASnapshotSeesWindowsMovedWithoutAnEvent) {
  Desk desk;
  auto layer = IpcLayer::open(desk.compositor.path());
  ASSERT_TRUE(layer);
  auto parts = layer->parts();
  auto window = parts.ax.elements(parts.ax.application(100), ax::windows).at(0);
  EXPECT_EQ(parts.ax.frame(window), (CGRect{0, 0, 640, 720}));
  desk.compositor.reply(Request::getTree, treeWith({view(8, 200, {640, 0, 640, 720}, false)},
                                                   {view(7, 100, {40, 40, 300, 200}, true)}));
  parts.workspace.runningApplications();
  auto reads = desk.compositor.requestsOf(Request::getTree);
  EXPECT_EQ(parts.ax.frame(window), (CGRect{40, 40, 300, 200}));
  EXPECT_EQ(parts.ax.string(window, ax::title), "term 7");
  // The snapshot's own reads after the list of apps share its tree.
  EXPECT_EQ(desk.compositor.requestsOf(Request::getTree), reads);
}

// Moving a tiled window alone (a late-landing correction after the tiling widened it around a
// snapped neighbour) floated it out of the tiling: the tiling places tiled windows.
TEST(IpcLayer, ATiledWindowIsNotMovedOutOfTheTilingByItsPositionAlone) {
  Desk desk;
  auto layer = IpcLayer::open(desk.compositor.path());
  ASSERT_TRUE(layer);
  auto& ax = layer->parts().ax;
  EXPECT_EQ(ax.setPosition(element::window(7), {5, 5}), platform::ax_error::attributeUnsupported);
  EXPECT_EQ(ax.attributeIsSettable(element::window(7), ax::position), false);
  EXPECT_TRUE(desk.compositor.commands().empty());
  // A floating window moves.
  desk.compositor.reply(Request::getTree,
                        treeWith(json::array(), {view(7, 100, {0, 0, 640, 720}, true)}));
  layer->forgetTree();
  EXPECT_EQ(ax.setPosition(element::window(7), {5, 5}), platform::ax_error::success);
  EXPECT_EQ(desk.compositor.commands(),
            (std::vector<std::string>{
                "[con_id=7] floating enable, resize set 640 720, move absolute position 5 5"}));
}

TEST(IpcLayer, HearsEventsAndTheCompositorGoingAway) {
  Desk desk;
  auto layer = IpcLayer::open(desk.compositor.path());
  ASSERT_TRUE(layer);
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<platform::WorkspaceNotification::Kind> heard;
  bool gone = false;
  layer->parts().workspace.observe([&](const platform::WorkspaceNotification& note) {
    std::lock_guard guard(mutex);
    heard.push_back(note.kind);
    changed.notify_all();
  });
  layer->onGone([&] {
    std::lock_guard guard(mutex);
    gone = true;
    changed.notify_all();
  });
  desk.compositor.event(Event::window,
                        {{"change", "new"}, {"container", view(9, 300, {0, 0, 10, 10}, false)}});
  desk.compositor.event(Event::workspace, {{"change", "focus"}});
  std::unique_lock lock(mutex);
  ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return heard.size() == 2; }));
  EXPECT_EQ(heard, (std::vector{platform::WorkspaceNotification::Kind::didLaunch,
                                platform::WorkspaceNotification::Kind::activeSpaceDidChange}));
  lock.unlock();
  desk.compositor.quit();
  lock.lock();
  EXPECT_TRUE(changed.wait_for(lock, 5s, [&] { return gone; }));
}

// Keys are bound in the compositor, since a Wayland client cannot grab them: a combination
// the config binds, or that another registration holds, is refused as held; a binding event
// carrying one of this app's markers is the press; a reload binds them again, and
// unregistering or stopping removes them.
TEST(IpcLayer, BindsKeysInTheCompositorAndHearsTheirPresses) {
  Desk desk;
  desk.compositor.reply(Request::getConfig,
                        {{"config", "set $mod Mod4\nbindsym $mod+Return exec foot\n"}});
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::uint32_t> pressed;
  std::size_t commandsRun = 0;
  desk.compositor.onCommand([&](const std::string&) {
    std::lock_guard guard(mutex);
    ++commandsRun;
    changed.notify_all();
  });
  auto layer = IpcLayer::open(desk.compositor.path());
  ASSERT_TRUE(layer);
  auto& keys = layer->parts().hotKeys;
  constexpr std::uint32_t kSuper = 0x100, kAlt = 0x800, kLeft = 123, kReturn = 36, kA = 0, kZ = 6;
  // Only the running app names its keys; without names nothing is bound.
  EXPECT_EQ(keys.registerHotKey(kLeft, kSuper, {1, 1}).status, IpcHotKeys::kNoHotKeys);
  layer->adoptKeyNames([](std::uint32_t keyCode) -> std::optional<std::string> {
    if (keyCode == 123) return "Left";
    if (keyCode == 36) return "Return";
    if (keyCode == 0) return "a";
    if (keyCode == 6) return "z";
    return std::nullopt;
  });
  keys.installHandler([&](const platform::HotKeyService::Event* event) {
    std::lock_guard guard(mutex);
    if (event && event->hotKey) pressed.push_back(event->hotKey->id);
    changed.notify_all();
    return 0;
  });

  auto left = keys.registerHotKey(kLeft, kSuper | kAlt, {1, 1});
  ASSERT_EQ(left.status, 0);
  ASSERT_TRUE(left.ref);
  auto marker = bindingMarker(getpid(), *left.ref);
  EXPECT_EQ(desk.compositor.commands(),
            (std::vector<std::string>{"bindsym --no-repeat Mod4+Mod1+Left " + marker}));
  EXPECT_EQ(keys.registerHotKey(kReturn, kSuper, {1, 2}).status, IpcHotKeys::kKeyHeld);
  EXPECT_EQ(keys.registerHotKey(kLeft, kAlt | kSuper, {1, 3}).status, IpcHotKeys::kKeyHeld);
  EXPECT_EQ(keys.registerHotKey(99, kSuper, {1, 4}).status, IpcHotKeys::kKeyUnknown);
  desk.compositor.reply(Request::runCommand,
                        json::parse(R"([{"success": false, "error": "Unknown key"}])"));
  EXPECT_EQ(keys.registerHotKey(kZ, kSuper, {1, 5}).status, IpcHotKeys::kKeyUnknown);
  desk.compositor.reply(Request::runCommand, json::parse(R"([{"success": true}])"));
  EXPECT_EQ(desk.compositor.commands().size(), 2u) << "a held combination was bound";
  auto a = keys.registerHotKey(kA, kSuper, {1, 2});
  ASSERT_EQ(a.status, 0);
  ASSERT_TRUE(a.ref);
  auto aMarker = bindingMarker(getpid(), *a.ref);
  EXPECT_EQ(desk.compositor.commands().back(), "bindsym --no-repeat Mod4+a " + aMarker);

  // Markers of another process and of no registration are not presses of this app's keys;
  // they go first, so that the press after them shows they were passed over.
  auto press = [&](const std::string& command) {
    desk.compositor.event(Event::binding, {{"change", "run"}, {"binding", {{"command", command}}}});
  };
  press(bindingMarker(getpid() + 1, *left.ref));
  press(bindingMarker(getpid(), *a.ref + 100));
  press(aMarker);
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return !pressed.empty(); }));
    EXPECT_EQ(pressed, (std::vector<std::uint32_t>{2}));
  }

  // The compositor drops bindings made over the socket when it reloads its config.
  std::size_t beforeReload = desk.compositor.commands().size();
  desk.compositor.event(Event::workspace, {{"change", "reload"}});
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return commandsRun > beforeReload; }));
  }
  EXPECT_EQ(desk.compositor.commands().back(), "bindsym --no-repeat Mod4+Mod1+Left " + marker +
                                                   "; bindsym --no-repeat Mod4+a " + aMarker);

  EXPECT_EQ(keys.unregisterHotKey(*left.ref), 0);
  EXPECT_EQ(desk.compositor.commands().back(), "unbindsym Mod4+Mod1+Left");
  EXPECT_EQ(keys.unregisterHotKey(*left.ref), IpcHotKeys::kRefUnknown);
  // Its combination is free again; what is still bound when the app stops is removed then.
  EXPECT_EQ(keys.registerHotKey(kLeft, kSuper | kAlt, {1, 6}).status, 0);
  auto before = desk.compositor.commands().size();
  layer.reset();
  auto commands = desk.compositor.commands();
  ASSERT_EQ(commands.size(), before + 1);
  EXPECT_EQ(commands.back(), "unbindsym Mod4+a; unbindsym Mod4+Mod1+Left");
}

TEST(IpcLayer, PlatformChoicePicksTheCompositorWhenItsSocketIsSet) {
  Desk desk;
  auto restore = [](const char* name, const char* value) {
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  };
  std::string oldPlatform = getenv("KESTLES_PLATFORM") ? getenv("KESTLES_PLATFORM") : "";
  unsetenv("KESTLES_PLATFORM");
  setenv("SWAYSOCK", desk.compositor.path().c_str(), 1);
  auto choice = choosePlatform();
  EXPECT_EQ(choice.kind, PlatformKind::ipc);
  EXPECT_EQ(choice.desktop, "sway");
  EXPECT_FALSE(choice.seesDoubleControl);
  EXPECT_TRUE(choice.layer) << choice.error;
  // A socket nothing listens on is a sentence, not a fall back to X11.
  setenv("SWAYSOCK", (desk.compositor.path() + ".none").c_str(), 1);
  choice = choosePlatform();
  EXPECT_FALSE(choice.layer);
  EXPECT_EQ(choice.error.back(), '.');
  unsetenv("SWAYSOCK");
  restore("KESTLES_PLATFORM", oldPlatform.empty() ? nullptr : oldPlatform.c_str());
}

}  // namespace
}  // namespace kestles::ipc
