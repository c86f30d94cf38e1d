#include "KestlesApp/KeyboardModes.hpp"

#include <variant>

namespace kestles::app {

KeyboardModes::KeyboardModes(Services services, platform::Overlay* overlay)
    : services_(std::move(services)), overlay_(overlay) {
  if (!overlay_) return;
  std::weak_ptr<bool> alive = alive_;
  overlay_->onKey([this, main = &services_.main, alive](const TypedKey& key) {
    main->async([this, alive, key] {
      if (alive.lock()) typed(key);
    });
  });
}

KeyboardModes::~KeyboardModes() {
  // Keys already queued find the modes gone.
  alive_.reset();
  if (!overlay_) return;
  overlay_->onKey({});
  if (mode_) overlay_->hide();
}

void KeyboardModes::open(const KestlesCommand& command) {
  close();
  if (!overlay_) return tell("The keyboard modes need an X display to show their keys on.");
  auto opened = KeyboardMode::open(command, services_.conductor.snapshot(),
                                   services_.runner.library(), services_.runner.state(), front());
  if (auto* refused = std::get_if<std::string>(&opened)) return tell(*refused);
  mode_ = std::move(std::get<KeyboardMode>(opened));
  showMode();
}

void KeyboardModes::close() {
  if (!mode_) return;
  mode_.reset();
  shown_.reset();
  overlay_->hide();
}

void KeyboardModes::showMode() {
  auto labels = mode_->labels();
  if (labels == shown_) return;
  if (overlay_->show(labels)) {
    shown_ = std::move(labels);
    return;
  }
  mode_.reset();
  shown_.reset();
  services_.log.write({platform::LogLevel::notice, platform::LogCategory::hotkeys,
                       "Another program holds the keyboard, so the keyboard mode didn’t open."});
}

void KeyboardModes::typed(const TypedKey& key) {
  if (!mode_) return;
  auto before = mode_->world();
  auto step = mode_->typed(key);
  if (!step.follow.empty()) place(step.follow);
  if (step.refusal) tell(*step.refusal);
  if (step.recent)
    services_.runner.record(RecordRequest{RecordRequest::PaletteRecent{*step.recent}});
  if (step.outcome) {
    services_.runner.carryOutMode(*step.command, *step.outcome, before);
  } else if (step.command) {
    // A mode that ended with the key (the palette) lets the keyboard go first: the command
    // may open another mode, or act on the window that has the focus.
    if (!mode_->isOpen()) close();
    services_.run(*step.command);
  }
  // The command run may have opened another mode or ended this one.
  if (!mode_) return;
  if (!mode_->isOpen()) return close();
  // The legend follows the windows and the front window the key left.
  if (mode_->isArranging())
    mode_->see(services_.conductor.snapshot(), services_.runner.state(), front());
  showMode();
}

void KeyboardModes::place(const std::map<std::uint32_t, CGRect>& frames) {
  // Against the windows as they stand now: the engine leaves alone a window already at its
  // target, and the opening world no longer says where the edit has put them.
  auto now = services_.conductor.snapshot();
  std::vector<ApplyPlan::Move> moves;
  for (const auto& window : now.windows)
    if (auto target = frames.find(window.id); target != frames.end())
      moves.push_back({window.id, window.pid, {}, 0, target->second});
  if (!moves.empty()) services_.conductor.place(moves, now);
}

std::optional<std::uint32_t> KeyboardModes::front() {
  if (auto window = services_.engine.focusedWindow()) return window->id;
  return std::nullopt;
}

void KeyboardModes::tell(const std::string& sentence) {
  services_.runner.notice(sentence);
}

}  // namespace kestles::app
