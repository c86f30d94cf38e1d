#include "KestlesApp/AppRuntime.hpp"

#include <unistd.h>

#include <algorithm>

#include "KestlesApp/LinkServer.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/keyboard/KeyHolder.hpp"
#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesCore/settings/PanelTrigger.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/platform/Environment.hpp"
#include "KestlesEngine/platform/ModifierMasks.hpp"

namespace kestles::app {
namespace {

/// A request line that starts so is carried out as the rest, and its outcome is shown as a
/// notice as well as answered.
constexpr std::string_view kNotifyPrefix = "notify ";

}  // namespace

AppRuntime::AppRuntime(platform::DesktopLayer& layer, platform::LogSink& log, Notifier& notifier,
                       CommandRunner::Files files, std::filesystem::path limitsFile, About about)
    : layer_(layer),
      parts_(layer.parts()),
      log_(log),
      mainHotKeys_(parts_.hotKeys, main_),
      engineParts_(engine::EngineParts::Desktop::of(parts_), log,
                   {clock_, threadTimers_, engineQueue_, parallel_, mainTimers_},
                   std::move(limitsFile)),
      watcher_({parts_.ax, parts_.workspace, parts_.screens, log, watcherTimers_, watcherQueue_}),
      hotKeys_(mainHotKeys_, log),
      runner_({conductor_, engine_, log, notifier}, std::move(files)),
      notifier_(notifier),
      about_(std::move(about)) {}

AppRuntime::~AppRuntime() {
  layer_.onGone({});
  watcher_.stop();
  main_.sync([this] {
    stopping_ = true;
    runner_.onSnapped = nullptr;
    dragging_.reset();
    feedback_.reset();
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
    startSnapping();
  });
  if (dragging_)
    watcher_.followDrags(layer_.drags(), [this](const platform::WindowDragEvent& event) {
      main_.async([this, event] {
        if (!stopping_ && dragging_) dragging_->follow(event);
      });
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

void AppRuntime::receive(const std::string& received, CommandRunner::Answer answer) {
  std::string line = received;
  if (line.starts_with(kNotifyPrefix)) {
    // The scheme handler has no terminal to print on: the outcome is shown as a notice.
    line.erase(0, kNotifyPrefix.size());
    answer = [this, answer = std::move(answer)](const link::LinkReply& reply) {
      if (reply.kind == link::LinkReply::Kind::error || reply.kind == link::LinkReply::Kind::partly)
        notifier_.notify("Kestles", reply.sentence);
      answer(reply);
    };
  }
  if (auto refused = refusalOf(line)) return answer(link::LinkReply::refused(*refused));
  log_.write({platform::LogLevel::info, platform::LogCategory::engine, "Received " + line});
  if (auto path = pathOfFileURL(line)) {
    bool settings = line.ends_with(kWithSettingsQuery);
    main_.async([this, archive = *path, settings, answer] {
      runner_.importArchive(archive, settings);
      updateKeys();
      answer(link::LinkReply::accepted());
    });
    return;
  }
  if (auto request = decodeRecordLink(line)) {
    main_.async([this, request = *request, answer] {
      runner_.record(request);
      answer(link::LinkReply::accepted());
    });
    return;
  }
  auto command = decodeCommandLink(line);
  if (!command) return answer(link::LinkReply::refused("That link isn’t a command Kestles knows."));
  // Without an overlay (sway: a Wayland client cannot draw above the others) no mode opens.
  if (layer_.overlay() == nullptr && KeyboardModes::opens(*command))
    return answer(link::LinkReply::refused("Keyboard modes are not available on this desktop."));
  main_.async([this, command = *command, answer] { run(command, answer); });
}

void AppRuntime::run(const KestlesCommand& command, CommandRunner::Answer answer) {
  const auto& value = command.value;
  if (std::holds_alternative<KestlesCommand::Status>(value)) {
    if (answer) answer(status());
    return;
  }
  if (std::holds_alternative<KestlesCommand::Keys>(value)) {
    if (answer) answer(keys());
    return;
  }
  if (std::holds_alternative<KestlesCommand::Quit>(value)) {
    if (answer) answer(link::LinkReply::accepted());
    log_.write({platform::LogLevel::notice, platform::LogCategory::engine, "Asked to quit."});
    if (onQuit) onQuit();
    return;
  }
  if (modes_ && KeyboardModes::opens(command)) {
    modes_->open(command);
    if (answer) answer(link::LinkReply::accepted());
    return;
  }
  runner_.run(command, std::move(answer));
  updateKeys();
}

link::LinkReply AppRuntime::status() const {
  auto reply = link::LinkReply::accepted();
  auto& said = reply.said;
  said.push_back("Kestles is running on " + about_.desktop + " (process " +
                 std::to_string(getpid()) + ").");
  std::vector<std::string> kept;
  auto setup = displays_.setup();
  for (const auto& id : runner_.library().settings.keptTiled) {
    auto display = setup.displayWithID(id);
    kept.push_back(display ? display->name : id);
  }
  said.push_back(kept.empty() ? "Keep tiled: off."
                              : "Keep tiled: on for " + text::joined(kept, ", ") + ".");
  std::vector<std::string> held;
  std::vector<std::string> elsewhere;
  for (const auto& binding : keys_ ? keys_->bindings : std::vector<KeyBinding>{})
    (isHeldElsewhere(binding) ? elsewhere : held).push_back(KeyLabel::written(binding.combo));
  said.push_back("Keys it holds: " + (held.empty() ? "none" : text::joined(held, ", ")) + ".");
  said.push_back("Keys another program holds: " +
                 (elsewhere.empty() ? "none" : text::joined(elsewhere, ", ")) + ".");
  said.insert(said.end(), about_.notes.begin(), about_.notes.end());
  said.push_back("Log: " + about_.logPlace);
  return reply;
}

link::LinkReply AppRuntime::keys() const {
  struct Row {
    std::string combo;
    std::string title;
    std::string state;
  };
  std::vector<Row> rows;
  if (keys_) {
    for (const auto& binding : keys_->bindings)
      rows.push_back({KeyLabel::written(binding.combo), binding.title,
                      isHeldElsewhere(binding) ? "held by another program" : "held"});
    for (const auto& clash : keys_->clashes)
      rows.push_back({KeyLabel::written(clash.combo), clash.title, "taken by an earlier key"});
  }
  std::size_t comboWidth = 0;
  std::size_t titleWidth = 0;
  for (const auto& row : rows) {
    comboWidth = std::max(comboWidth, text::characterCount(row.combo));
    titleWidth = std::max(titleWidth, text::characterCount(row.title));
  }
  auto padded = [](const std::string& text, std::size_t width) {
    return text + std::string(width - text::characterCount(text) + 2, ' ');
  };
  auto reply = link::LinkReply::accepted();
  if (rows.empty()) reply.said.push_back("No keys are set.");
  for (const auto& row : rows)
    reply.said.push_back(padded(row.combo, comboWidth) + padded(row.title, titleWidth) + row.state);
  return reply;
}

bool AppRuntime::isHeldElsewhere(const KeyBinding& binding) const {
  return std::find(heldElsewhere_.begin(), heldElsewhere_.end(), binding) != heldElsewhere_.end();
}

void AppRuntime::updateKeys() {
  followPanelTrigger();
  auto keys = KeyBindings::of(runner_.library());
  if (keys == keys_) return;
  for (auto id : keyIDs_)
    hotKeys_.remove(id);
  keyIDs_.clear();
  heldElsewhere_.clear();
  for (const auto& binding : keys.bindings) {
    auto registered = hotKeys_.add(static_cast<std::uint32_t>(binding.combo.keyCode),
                                   platform::carbonModifiers(binding.combo.modifiers),
                                   [this, command = binding.command] { run(command); });
    if (registered) {
      keyIDs_.push_back(*registered);
    } else {
      logTakenKey(binding);
      heldElsewhere_.push_back(binding);
    }
  }
  tellKeysHeldElsewhere();
  for (const auto& clash : keys.clashes)
    log_.write({platform::LogLevel::notice, platform::LogCategory::hotkeys,
                KeyLabel::written(clash.combo) + " is taken by an earlier key, so it doesn’t run " +
                    clash.title + "."});
  keys_ = std::move(keys);
}

void AppRuntime::tellKeysHeldElsewhere() {
  std::vector<std::string> named;
  for (const auto& binding : heldElsewhere_)
    named.push_back(KeyLabel::written(binding.combo) + " (" + binding.title + ")");
  // Told once when the app starts, and again only when the keys held elsewhere change.
  if (named == announcedElsewhere_) return;
  announcedElsewhere_ = named;
  if (named.empty()) return;
  notifier_.notify(named.size() == 1 ? "A key Kestles can’t use" : "Keys Kestles can’t use",
                   "Another program holds " + text::joined(named, ", ") + ".");
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
      if (!stopping_) run(KestlesCommand{KestlesCommand::Panel{}}, {});
    });
  });
  doubleControl_->start();
}

void AppRuntime::startSnapping() {
  if (auto* overlay = layer_.overlay()) {
    feedback_ = std::make_unique<SnapFeedback>(*overlay, mainTimers_);
    runner_.onSnapped = [this](const SnapFlash::Shown& shown) { feedback_->flash(shown); };
  }
  if (layer_.drags())
    dragging_ = std::make_unique<DragSnapping>(
        DragSnapping::Services{conductor_, runner_, feedback_.get()});
}

void AppRuntime::lookAtDisplays() {
  if (stopping_) return;
  runner_.displaysChanged(displays_.setup());
}

void AppRuntime::finishQueued() {
  main_.sync([] {});
}

}  // namespace kestles::app
