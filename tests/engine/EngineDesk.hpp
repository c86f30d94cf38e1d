#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "KestlesEngine/engine/EngineParts.hpp"
#include "KestlesEngine/sim/FakeTime.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/sim/SimDesktop.hpp"

namespace kestles {
inline void PrintTo(const CGRect& rect, std::ostream* out) {
  *out << "[[" << rect.origin.x << ", " << rect.origin.y << "], [" << rect.size.width << ", "
       << rect.size.height << "]]";
}
}  // namespace kestles

namespace kestles::engine::testing {

inline constexpr std::int32_t kEditor = 101;  // windows 11 and 12
inline constexpr std::int32_t kViewer = 202;  // window 21

inline WindowSnapshot window(std::uint32_t id, std::int32_t pid, CGRect frame, std::int64_t z) {
  WindowSnapshot snapshot;
  snapshot.id = id;
  snapshot.pid = pid;
  snapshot.bundleID = pid == kEditor ? "com.example.editor" : "com.example.viewer";
  snapshot.appName = pid == kEditor ? "Editor" : "Viewer";
  snapshot.title = "Window " + std::to_string(id);
  snapshot.frame = frame;
  snapshot.zIndex = z;
  return snapshot;
}

/// Two displays side by side; an editor with two windows and a viewer with one, all on the
/// left display.
inline World smallWorld() {
  World world;
  world.setup.displays = {
      DisplayInfo{"LEFT", "Built-in", {0, 0, 1440, 900}, {0, 25, 1440, 875}, true, true},
      DisplayInfo{"RIGHT", "Studio", {1440, 0, 1920, 1080}, {1440, 0, 1920, 1080}, false, false},
  };
  world.apps = {{kEditor, "com.example.editor", "Editor", false},
                {kViewer, "com.example.viewer", "Viewer", false}};
  world.windows = {window(11, kEditor, {100, 100, 800, 600}, 0),
                   window(12, kEditor, {200, 200, 600, 400}, 1),
                   window(21, kViewer, {0, 25, 500, 500}, 2)};
  return world;
}

/// The simulated desktop, a fake clock, an inline queue and the engine's parts over them.
struct EngineDesk {
  explicit EngineDesk(const World& initial = smallWorld(), std::filesystem::path limits = {})
      : world(initial),
        sim(initial, clock),
        parts(EngineParts::Desktop::of(sim.parts()), log, {clock, clock, queue, parallel, clock},
              std::move(limits)) {
    engine.start();
    log.clear();
    sim.clearCalls();
  }

  /// A snapshot of the world's apps; the calls it made are forgotten.
  World snapshot() {
    auto taken = engine.snapshot(world.apps, world.setup);
    sim.clearCalls();
    log.clear();
    return taken;
  }

  std::vector<std::string> messages(platform::LogLevel level) {
    std::vector<std::string> texts;
    for (const auto& record : log.records())
      if (record.level == level) texts.push_back(record.message);
    return texts;
  }

  World world;
  sim::FakeClock clock;
  sim::InlineExecutor queue;
  sim::SequentialFor parallel;
  sim::MemoryLog log;
  sim::SimDesktop sim;
  EngineParts parts;
  WindowEngine& engine = parts.engine;
};

inline sim::SimWrite sizeWrite(std::uint32_t id, std::int32_t pid, double w, double h) {
  return {id, pid, "AXSize", platform::AXValue{CGSize{w, h}}};
}
inline sim::SimWrite positionWrite(std::uint32_t id, std::int32_t pid, double x, double y) {
  return {id, pid, "AXPosition", platform::AXValue{CGPoint{x, y}}};
}
inline sim::SimWrite flagWrite(std::uint32_t id, std::int32_t pid, std::string name, bool on) {
  return {id, pid, std::move(name), platform::AXValue{on}};
}
inline sim::SimWrite action(std::uint32_t id, std::int32_t pid, std::string name) {
  return {id, pid, std::move(name), std::nullopt};
}

}  // namespace kestles::engine::testing
