#include "KestlesApp/PlatformCommand.hpp"

#include <algorithm>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/engine/InstalledApps.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesLink/AppDelivery.hpp"

namespace kestles::app {

int fail(std::ostream& err, std::string_view sentence) {
  // Sentences quote titles, names and paths that other programs chose.
  err << "kestles-app: " << text::escapedControls(sentence, text::Backslash::kept) << '\n';
  return 1;
}

std::optional<Library> readLibrary(const std::filesystem::path& file, std::ostream& err) {
  try {
    return JSONFile<Library>{file}.load().value_or(Library{});
  } catch (const std::exception& error) {
    fail(err, file.string() + " can’t be read (" + json_style::describe(error) + ").");
    return std::nullopt;
  }
}

std::optional<std::string> deliverToRunningApp(const std::string& line) {
  std::error_code error;
  auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  std::optional<std::filesystem::path> app;
  if (!error) app = self;
  return link::deliverToApp(line, {platform::socketPath(), app});
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

const WindowSnapshot* DesktopSession::findNow(std::uint32_t window) {
  current_ = engine_.snapshot(apps_.list(), displays_.setup());
  auto found = std::find_if(current_.windows.begin(), current_.windows.end(),
                            [&](const WindowSnapshot& w) { return w.id == window; });
  return found == current_.windows.end() ? nullptr : &*found;
}

std::optional<CGRect> DesktopSession::place(std::uint32_t window, const CGRect& frame) {
  const auto* found = findNow(window);
  if (found == nullptr) return std::nullopt;
  auto outcome = engine_.arrange({{window, found->frame, frame, std::nullopt}}, {});
  auto landed = outcome.frames.find(window);
  if (landed == outcome.frames.end()) return std::nullopt;
  return landed->second;
}

bool DesktopSession::focus(std::uint32_t window) {
  if (findNow(window) == nullptr) return false;
  engine_.raise({window}, window);
  return true;
}

}  // namespace kestles::app
