#include "KestlesEngine/sim/SimWorld.hpp"

#include <algorithm>

namespace kestles::sim {

SimCall SimCall::of(Kind kind, std::int32_t pid, std::uint32_t window, std::string name,
                    std::optional<platform::AXValue> value) {
  SimCall call;
  call.kind = kind;
  call.pid = pid;
  call.window = window;
  call.name = std::move(name);
  call.value = std::move(value);
  return call;
}

std::ostream& operator<<(std::ostream& out, const SimWrite& write) {
  out << "{window " << write.window << ", pid " << write.pid << ", " << write.name;
  if (write.value)
    std::visit(
        [&](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, CGPoint>)
            out << " (" << value.x << ", " << value.y << ")";
          else if constexpr (std::is_same_v<T, CGSize>)
            out << " " << value.width << "×" << value.height;
          else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, double> ||
                             std::is_same_v<T, std::string>)
            out << " " << value;
          else
            out << " (value)";
        },
        *write.value);
  return out << "}";
}

SimWindow::SimWindow(WindowSnapshot window)
    : snapshot(std::move(window)), subrole(std::string(platform::ax::standardWindow)) {}

SimWorld::SimWorld(const World& world, FakeClock& fakeClock, std::optional<std::uint32_t> focused)
    : clock(fakeClock), setup(world.setup), focusedWindow(focused) {
  for (const auto& app : world.apps)
    apps.emplace_back(app, apps.size() + 1);
  for (const auto& window : world.windows) {
    windows.push_back(SimWindow(window));
    nextZ = std::min(nextZ, window.zIndex - 1);
  }
}

SimWindow* SimWorld::windowNumbered(std::uint32_t id) {
  for (auto& window : windows)
    if (window.exists && window.snapshot.id == id) return &window;
  return nullptr;
}

SimApp* SimWorld::appOf(std::int32_t pid) {
  for (auto& app : apps)
    if (app.app.pid == pid && app.running) return &app;
  return nullptr;
}

std::vector<std::size_t> SimWorld::zOrder() {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < windows.size(); ++i)
    if (windows[i].exists) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
    return windows[a].snapshot.zIndex < windows[b].snapshot.zIndex;
  });
  return order;
}

void SimWorld::record(SimCall call) {
  if (!recording_) return;
  call.at = clock.now();
  calls_.push_back(std::move(call));
}

void SimWorld::post(const platform::WorkspaceNotification& notification) {
  // Copied so that the observers run without the lock.
  std::vector<platform::Workspace::Observer> observers;
  {
    std::lock_guard lock(mutex);
    for (const auto& [token, observer] : workspaceObservers)
      observers.push_back(observer);
  }
  for (const auto& observer : observers)
    observer(notification);
}

std::vector<SimCall> SimWorld::calls() {
  std::lock_guard lock(mutex);
  return calls_;
}

std::vector<SimWrite> SimWorld::writes(std::optional<std::int32_t> pid) {
  std::lock_guard lock(mutex);
  std::vector<SimWrite> result;
  for (const auto& call : calls_) {
    bool changes =
        call.kind == SimCall::Kind::setValue || call.kind == SimCall::Kind::performAction;
    if (changes && (!pid || call.pid == *pid))
      result.push_back({call.window, call.pid, call.name, call.value});
  }
  return result;
}

void SimWorld::clearCalls() {
  std::lock_guard lock(mutex);
  calls_.clear();
}

void SimWorld::setRecording(bool on) {
  std::lock_guard lock(mutex);
  recording_ = on;
}

}  // namespace kestles::sim
