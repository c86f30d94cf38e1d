#include "KestlesApp/AppRuntime.hpp"

#include "KestlesApp/LinkServer.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/keyboard/KeyHolder.hpp"
#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/platform/ModifierMasks.hpp"

namespace kestles::app {

AppRuntime::AppRuntime(platform::DesktopLayer& layer, platform::LogSink& log, Notifier& notifier,
                       CommandRunner::Files files, std::filesystem::path limitsFile)
    : layer_(layer),
      parts_(layer.parts()),
      log_(log),
      mainHotKeys_(parts_.hotKeys, main_),
      engineParts_(engine::EngineParts::Desktop::of(parts_), log,
                   {clock_, threadTimers_, engineQueue_, parallel_, mainTimers_},
                   std::move(limitsFile)),
      watcher_({parts_.ax, parts_.workspace, parts_.screens, log, watcherTimers_, watcherQueue_}),
      hotKeys_(mainHotKeys_, log),
      runner_({conductor_, engine_, log, notifier}, std::move(files)) {}

AppRuntime::~AppRuntime() {
  layer_.onGone({});
  watcher_.stop();
  main_.sync([this] {
    stopping_ = true;
    if (doubleControl_) doubleControl_->stop();
    doubleControl_.reset();
    modes_.reset();
    conductor_.stop();
    for (auto id : keyIDs_)
      hotKeys_.remove(id);
  });
}

void AppRuntime::start() {
  main_.sync([this] {
    engine_.start();
    runner_.load();
    updateKeys();
    lookAtDisplays();
    startKeyboardModes();
  });
  watcher_.start([this](engine::WindowWatcher::Change change) {
    if (change == engine::WindowWatcher::Change::displays)
      main_.async([this] { lookAtDisplays(); });
    else
      main_.async([this] { runner_.windowsChanged(); });
  });
  layer_.onGone([this] {
    main_.async([this] {
      if (stopping_) return;
      stopping_ = true;
      if (onDesktopGone) onDesktopGone();
    });
  });
}

std::optional<std::string> AppRuntime::receive(const std::string& line) {
  if (auto refused = refusalOf(line)) return refused;
  log_.write({platform::LogLevel::info, platform::LogCategory::engine, "Received " + line});
  if (auto path = pathOfFileURL(line)) {
    bool settings = line.ends_with(kWithSettingsQuery);
    main_.async([this, archive = *path, settings] {
      runner_.importArchive(archive, settings);
      updateKeys();
    });
    return std::nullopt;
  }
  if (auto request = decodeRecordLink(line)) {
    main_.async([this, request = *request] { runner_.record(request); });
    return std::nullopt;
  }
  auto command = decodeCommandLink(line);
  if (!command) return "That link isn’t a command Kestles knows.";
  main_.async([this, command = *command] { run(command); });
  return std::nullopt;
}

void AppRuntime::run(const KestlesCommand& command) {
  if (modes_ && KeyboardModes::opens(command)) return modes_->open(command);
  runner_.run(command);
  updateKeys();
}

void AppRuntime::updateKeys() {
  followPanelTrigger();
  auto keys = KeyBindings::of(runner_.library());
  if (keys == keys_) return;
  for (auto id : keyIDs_)
    hotKeys_.remove(id);
  keyIDs_.clear();
  for (const auto& binding : keys.bindings) {
    auto registered = hotKeys_.add(static_cast<std::uint32_t>(binding.combo.keyCode),
                                   platform::carbonModifiers(binding.combo.modifiers),
                                   [this, command = binding.command] { run(command); });
    if (registered)
      keyIDs_.push_back(*registered);
    else
      logTakenKey(binding);
  }
  for (const auto& clash : keys.clashes)
    log_.write({platform::LogLevel::notice, platform::LogCategory::hotkeys,
                KeyLabel::written(clash.combo) + " is taken by an earlier key, so it doesn’t run " +
                    clash.title + "."});
  keys_ = std::move(keys);
}

void AppRuntime::logTakenKey(const KeyBinding& binding) {
  // The X server cannot say which client holds a grab, and the desktop's own shortcuts are
  // such grabs: every refused key is another program's unless a known system shortcut has it.
  auto holder = KeyHolder::holder(binding.combo, {}, {binding.combo});
  std::string who = "another program";
  if (holder)
    if (const auto* system = std::get_if<KeyHolder::System>(&holder->value))
      who = "the system shortcut “" + SystemShortcut::title(static_cast<int>(system->shortcut.id)) +
            "”";
  log_.write({platform::LogLevel::notice, platform::LogCategory::hotkeys,
              KeyLabel::written(binding.combo) + " is held by " + who + ", so it doesn’t run " +
                  binding.title + "."});
}

void AppRuntime::startKeyboardModes() {
  if (layer_.overlay() == nullptr) return;
  modes_ = std::make_unique<KeyboardModes>(
      KeyboardModes::Services{conductor_, engine_, runner_, main_, log_,
                              [this](const KestlesCommand& command) { run(command); }},
      layer_.overlay());
  followPanelTrigger();
}

// The double Control tap is the panel's trigger only when the settings say so; otherwise
// nothing watches the Control key, and a tap stays the terminal's and the editor's.
void AppRuntime::followPanelTrigger() {
  const auto& trigger = runner_.library().settings.panelTrigger;
  bool wanted = modes_ && std::holds_alternative<PanelTrigger::DoubleControl>(trigger.value);
  if (wanted == (doubleControl_ != nullptr)) return;
  if (!wanted) {
    doubleControl_->stop();
    doubleControl_.reset();
    return;
  }
  doubleControl_ = std::make_unique<engine::DoubleControlMonitor>(parts_.input, [this] {
    main_.async([this] {
      if (!stopping_) run(KestlesCommand{KestlesCommand::Panel{}});
    });
  });
  doubleControl_->start();
}

void AppRuntime::lookAtDisplays() {
  if (stopping_) return;
  runner_.displaysChanged(displays_.setup());
}

void AppRuntime::finishQueued() {
  main_.sync([] {});
}

}  // namespace kestles::app
