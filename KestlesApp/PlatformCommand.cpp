#include "KestlesApp/PlatformCommand.hpp"

#include "KestlesEngine/engine/InstalledApps.hpp"

#include <algorithm>

namespace kestles::app {

int fail(std::ostream& err, std::string_view sentence) {
  err << "kestles-app: " << sentence << '\n';
  return 1;
}

void CommandLog::write(const platform::LogRecord& record) {
  if (record.level >= minimum_) stream_.write(record);
}

std::unique_ptr<DesktopSession> DesktopSession::open(std::ostream& err,
                                                     const std::filesystem::path& limitsFile) {
  auto choice = choosePlatform();
  if (!choice.layer) {
    fail(err, choice.error);
    return nullptr;
  }
  return std::unique_ptr<DesktopSession>(new DesktopSession(std::move(choice), limitsFile));
}

DesktopSession::DesktopSession(PlatformChoice choice, const std::filesystem::path& limitsFile)
    : choice_(std::move(choice)),
      parts_(choice_.layer->parts()),
      engine_({parts_.ax, parts_.windowServer, parts_.workspace, log_, clock_, timers_, queue_,
               parallel_, limitsFile}),
      apps_(parts_.workspace, log_, clock_),
      displays_(parts_.screens) {
  engine_.start();
}

DesktopSession::~DesktopSession() = default;

WorldFile DesktopSession::world() {
  WorldFile file;
  file.world = engine_.snapshot(apps_.list(), displays_.setup());
  if (auto focused = engine_.focusedWindow()) file.focusedWindow = focused->id;
  file.installedApps = engine::InstalledApps(parts_.catalog, parts_.workspace, clock_).list();
  return file;
}

std::optional<CGRect> DesktopSession::place(std::uint32_t window, const CGRect& frame) {
  auto world = engine_.snapshot(apps_.list(), displays_.setup());
  auto found = std::find_if(world.windows.begin(), world.windows.end(),
                            [&](const WindowSnapshot& w) { return w.id == window; });
  if (found == world.windows.end()) return std::nullopt;
  auto outcome = engine_.arrange({{window, found->frame, frame, std::nullopt}}, {});
  auto landed = outcome.frames.find(window);
  if (landed == outcome.frames.end()) return std::nullopt;
  return landed->second;
}

}  // namespace kestles::app
