#include "KestlesCore/settings/Settings.hpp"

#include <algorithm>
#include <utility>
#include <variant>

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

constexpr int kControl = KeyModifiers::control;
constexpr int kControlOption = KeyModifiers::control | KeyModifiers::option;
constexpr int kControlOptionShift = kControlOption | KeyModifiers::shift;

constexpr int kSuper = KeyModifiers::command;
constexpr int kSuperAlt = KeyModifiers::command | KeyModifiers::option;
constexpr int kSuperAltShift = kSuperAlt | KeyModifiers::shift;

// Every default key in one place. On Linux the keys terminals, editors, shells and input
// methods live on (Ctrl and Alt with letters, digits and arrows, Ctrl+Space, Alt+Tab) stay
// theirs: each default holds Super, the key desktops leave to window management.
struct DefaultKey {
  std::variant<KeyCommand, SnapAction> use;
  int keyCode;
  int modifiers;
};

constexpr std::array<DefaultKey, 29> kDefaultKeys{{
    {KeyCommand::nextKestle, 48, kSuperAlt},    {KeyCommand::undo, 6, kSuperAlt},
    {KeyCommand::redo, 6, kSuperAltShift},      {KeyCommand::tileWindows, 0, kSuperAlt},
    {KeyCommand::windowHints, 13, kSuperAlt},   {KeyCommand::arrangeWithKeys, 49, kSuperAlt},
    {SnapAction::leftHalf, 123, kSuper},        {SnapAction::rightHalf, 124, kSuper},
    {SnapAction::topHalf, 126, kSuper},         {SnapAction::bottomHalf, 125, kSuper},
    {SnapAction::topLeft, 32, kSuperAlt},       {SnapAction::topRight, 34, kSuperAlt},
    {SnapAction::bottomLeft, 38, kSuperAlt},    {SnapAction::bottomRight, 40, kSuperAlt},
    {SnapAction::firstThird, 2, kSuperAlt},     {SnapAction::centerThird, 3, kSuperAlt},
    {SnapAction::lastThird, 5, kSuperAlt},      {SnapAction::firstTwoThirds, 14, kSuperAlt},
    {SnapAction::lastTwoThirds, 17, kSuperAlt}, {SnapAction::maximize, 36, kSuper},
    {SnapAction::center, 8, kSuperAlt},         {SnapAction::fillSpace, 36, kSuperAlt},
    {SnapAction::restore, 51, kSuperAlt},       {SnapAction::moveLeft, 123, kSuperAlt},
    {SnapAction::moveRight, 124, kSuperAlt},    {SnapAction::moveUp, 126, kSuperAlt},
    {SnapAction::moveDown, 125, kSuperAlt},     {SnapAction::larger, 24, kSuperAlt},
    {SnapAction::smaller, 27, kSuperAlt},
}};

template <class Use>
std::optional<KeyCombo> defaultKeyOf(Use use) {
  for (const auto& entry : kDefaultKeys)
    if (const auto* each = std::get_if<Use>(&entry.use); each && *each == use)
      return KeyCombo{entry.keyCode, KeyModifiers{entry.modifiers}};
  return std::nullopt;
}

// The defaults that libraries stored before the keys moved to Super; they were written out
// verbatim, so these values say nothing about what the user chose.
constexpr KeyCombo kFormerPanelKeys{49, KeyModifiers{KeyModifiers::control}};
constexpr int kFormerKestleModifiers = KeyModifiers::control;
constexpr int kFormerLayoutModifiers = KeyModifiers::control | KeyModifiers::option;

using Flag = std::pair<const char*, bool Settings::*>;

constexpr std::array<Flag, 13> kFlags{{
    {"snapKeysEnabled", &Settings::snapKeysEnabled},
    {"snapFlashEnabled", &Settings::snapFlashEnabled},
    {"dragToZonesEnabled", &Settings::dragToZonesEnabled},
    {"edgeZonesEnabled", &Settings::edgeZonesEnabled},
    {"resizesNeighbours", &Settings::resizesNeighbours},
    {"restoresSizeOnDragOut", &Settings::restoresSizeOnDragOut},
    {"adaptsToDisplays", &Settings::adaptsToDisplays},
    {"rulesEnabled", &Settings::rulesEnabled},
    {"showsUndoToast", &Settings::showsUndoToast},
    {"showsTips", &Settings::showsTips},
    {"assistantEnabled", &Settings::assistantEnabled},
    {"takesSystemShortcuts", &Settings::takesSystemShortcuts},
    {"tilesComeBack", &Settings::tilesComeBack},
}};

// The first binding whose `field` is `subject`, or null.
template <class Binding, class Subject>
const Binding* findBinding(const std::vector<Binding>& bindings, Subject subject,
                           Subject Binding::*field) {
  auto found = std::find_if(bindings.begin(), bindings.end(),
                            [&](const Binding& binding) { return binding.*field == subject; });
  return found == bindings.end() ? nullptr : &*found;
}

template <class Binding, class Subject>
void storeBinding(std::vector<Binding>& bindings, Subject subject, Subject Binding::*field,
                  std::optional<KeyCombo> combo, std::optional<KeyCombo> fallback) {
  std::erase_if(bindings, [&](const Binding& binding) { return binding.*field == subject; });
  if (combo == fallback) return;
  Binding binding;
  binding.*field = subject;
  binding.keys = combo;
  bindings.push_back(binding);
}

bool hasCommandModifier(const KeyCombo& combo) {
  return (combo.modifiers.rawValue &
          (KeyModifiers::control | KeyModifiers::option | KeyModifiers::command)) != 0;
}

bool isDigitKey(int keyCode) {
  return std::find(kDigitKeyCodes.begin(), kDigitKeyCodes.end(), keyCode) != kDigitKeyCodes.end();
}

// Clears the key of every command and snap place (other than `keep`) whose key is one of
// `combos`; gives the first use cleared.
std::optional<ShortcutUse> takeAway(Settings& settings, const std::vector<KeyCombo>& combos,
                                    const std::optional<ShortcutUse>& keep) {
  std::optional<ShortcutUse> first;
  auto holds = [&](const std::optional<KeyCombo>& key) {
    return key && std::find(combos.begin(), combos.end(), *key) != combos.end();
  };
  auto clear = [&](auto subject) {
    auto use = ShortcutUse{subject};
    if (use == keep || !holds(settings.keys(subject))) return;
    settings.setKeys(subject, std::nullopt);
    if (!first) first = use;
  };
  for (auto command : allKeyCommands())
    clear(command);
  for (auto action : allSnapActions())
    clear(action);
  return first;
}

}  // namespace

std::optional<KeyCombo> defaultKeys(KeyCommand command) {
  return defaultKeyOf(command);
}

std::optional<KeyCombo> defaultKeys(SnapAction action) {
  return defaultKeyOf(action);
}

std::vector<KeyCombo> digitKeys(KeyModifiers modifiers) {
  std::vector<KeyCombo> combos;
  for (int code : kDigitKeyCodes)
    combos.push_back({code, modifiers});
  return combos;
}

std::optional<KeyCombo> Settings::keys(KeyCommand command) const {
  if (const auto* binding = findBinding(commandShortcuts, command, &CommandBinding::command))
    return binding->keys;
  return unlessTaken(defaultKeys(command));
}

std::optional<KeyCombo> Settings::keys(SnapAction action) const {
  if (const auto* binding = findBinding(shortcuts, action, &ShortcutBinding::action))
    return binding->keys;
  return unlessTaken(defaultKeys(action));
}

// A key the user gave to something keeps working when a default later lands on the same
// combination: the default gives way.
std::optional<KeyCombo> Settings::unlessTaken(std::optional<KeyCombo> fallback) const {
  if (!fallback || reservedUse(*fallback)) return std::nullopt;
  auto holds = [&](const auto& binding) { return binding.keys == fallback; };
  if (std::ranges::any_of(commandShortcuts, holds) || std::ranges::any_of(shortcuts, holds))
    return std::nullopt;
  return fallback;
}

std::vector<KeyCombo> Settings::keys(const ShortcutUse& use) const {
  std::optional<KeyCombo> one;
  if (const auto* command = std::get_if<KeyCommand>(&use.value))
    one = keys(*command);
  else if (const auto* action = std::get_if<SnapAction>(&use.value))
    one = keys(*action);
  else if (std::holds_alternative<ShortcutUse::Panel>(use.value))
    one = panelTrigger.combo();
  else if (std::holds_alternative<ShortcutUse::Kestles>(use.value))
    return digitKeys(kestleModifiers);
  else
    return digitKeys(layoutModifiers);
  return one ? std::vector<KeyCombo>{*one} : std::vector<KeyCombo>{};
}

void Settings::setKeys(KeyCommand command, std::optional<KeyCombo> combo) {
  storeBinding(commandShortcuts, command, &CommandBinding::command, combo, defaultKeys(command));
}

void Settings::setKeys(SnapAction action, std::optional<KeyCombo> combo) {
  storeBinding(shortcuts, action, &ShortcutBinding::action, combo, defaultKeys(action));
}

std::optional<ShortcutUse> Settings::reservedUse(const KeyCombo& combo) const {
  if (panelTrigger.combo() == combo) return ShortcutUse::panel();
  if (!isDigitKey(combo.keyCode)) return std::nullopt;
  if (combo.modifiers == kestleModifiers) return ShortcutUse::kestles();
  if (combo.modifiers == layoutModifiers) return ShortcutUse::layouts();
  return std::nullopt;
}

RecordResult Settings::record(const KeyCombo& combo, const ShortcutUse& use) {
  if (!hasCommandModifier(combo)) return RecordResult::needsModifier();
  if (std::holds_alternative<ShortcutUse::Kestles>(use.value)) return recordDigitKeys(combo, true);
  if (std::holds_alternative<ShortcutUse::Layouts>(use.value)) return recordDigitKeys(combo, false);
  if (auto reserved = reservedUse(combo); reserved && *reserved != use)
    return RecordResult::reserved(*reserved);
  auto takenFrom = takeAway(*this, {combo}, use);
  if (const auto* command = std::get_if<KeyCommand>(&use.value))
    setKeys(*command, combo);
  else if (const auto* action = std::get_if<SnapAction>(&use.value))
    setKeys(*action, combo);
  else
    panelTrigger = PanelTrigger::keys(combo);
  return RecordResult::recorded(takenFrom);
}

// The kestle or layout keys are recorded by pressing one of them: its modifiers become the
// group's modifiers.
RecordResult Settings::recordDigitKeys(const KeyCombo& combo, bool forKestles) {
  if (!isDigitKey(combo.keyCode)) return RecordResult::needsNumber();
  if (combo.modifiers == (forKestles ? layoutModifiers : kestleModifiers))
    return RecordResult::reserved(forKestles ? ShortcutUse::layouts() : ShortcutUse::kestles());
  auto combos = digitKeys(combo.modifiers);
  if (auto panel = panelTrigger.combo();
      panel && std::find(combos.begin(), combos.end(), *panel) != combos.end())
    return RecordResult::reserved(ShortcutUse::panel());
  auto takenFrom = takeAway(*this, combos, std::nullopt);
  (forKestles ? kestleModifiers : layoutModifiers) = combo.modifiers;
  return RecordResult::recorded(takenFrom);
}

void Settings::migrate() {
  bool modifiersChanged = false;
  if (kestleModifiers.rawValue == kControlOption && layoutModifiers.rawValue != kControl) {
    kestleModifiers = KeyModifiers{kControl};
    modifiersChanged = true;
  }
  if (layoutModifiers.rawValue == kControlOptionShift &&
      kestleModifiers.rawValue != kControlOption) {
    layoutModifiers = KeyModifiers{kControlOption};
    modifiersChanged = true;
  }
  if (modifiersChanged) {
    // Keys that the new digit keys now shadow lose their combination rather than
    // silently never firing.
    std::vector<KeyCombo> reserved = digitKeys(kestleModifiers);
    auto layoutDigits = digitKeys(layoutModifiers);
    reserved.insert(reserved.end(), layoutDigits.begin(), layoutDigits.end());
    takeAway(*this, reserved, std::nullopt);
  }
  if (std::holds_alternative<PanelTrigger::DoubleControl>(panelTrigger.value)) {
    auto standard = PanelTrigger{}.combo();
    bool taken = isDigitKey(standard->keyCode) &&
                 (standard->modifiers == kestleModifiers || standard->modifiers == layoutModifiers);
    if (!taken) panelTrigger = PanelTrigger{};
  }
}

void Settings::adoptSuperKeys() {
  if (panelTrigger.combo() == kFormerPanelKeys) panelTrigger = PanelTrigger{};
  const Settings standard;
  if (kestleModifiers.rawValue == kFormerKestleModifiers &&
      layoutModifiers != standard.kestleModifiers)
    kestleModifiers = standard.kestleModifiers;
  if (layoutModifiers.rawValue == kFormerLayoutModifiers &&
      kestleModifiers != standard.layoutModifiers)
    layoutModifiers = standard.layoutModifiers;
}

void to_json(nlohmann::json& json, const Settings& settings) {
  json = nlohmann::json::object();
  json["gaps"] = settings.gaps;
  json["tilingStyle"] = rawValue(settings.tilingStyle);
  json["tileChanges"] = rawValue(settings.tileChanges);
  json["panelTrigger"] = settings.panelTrigger;
  json["kestleModifiers"] = settings.kestleModifiers;
  json["layoutModifiers"] = settings.layoutModifiers;
  json["commandShortcuts"] = settings.commandShortcuts;
  json["shortcuts"] = settings.shortcuts;
  for (const auto& [key, field] : kFlags)
    json[key] = settings.*field;
  json["keptTiled"] = settings.keptTiled;
  json["floatingApps"] = settings.floatingApps;
}

void from_json(const nlohmann::json& json, Settings& settings) {
  coding::requireObject(json, "the settings");
  settings = Settings{};
  settings.gaps = coding::value(json, "gaps", settings.gaps);
  if (auto raw = coding::optional<std::string>(json, "tilingStyle"))
    settings.tilingStyle = tilingStyleFromRawValue(*raw).value_or(settings.tilingStyle);
  if (auto raw = coding::optional<std::string>(json, "tileChanges"))
    settings.tileChanges = tileChangesFromRawValue(*raw).value_or(settings.tileChanges);
  settings.panelTrigger = coding::value(json, "panelTrigger", settings.panelTrigger);
  settings.kestleModifiers = coding::value(json, "kestleModifiers", settings.kestleModifiers);
  settings.layoutModifiers = coding::value(json, "layoutModifiers", settings.layoutModifiers);
  settings.commandShortcuts = coding::lossyList<CommandBinding>(json, "commandShortcuts");
  settings.shortcuts = coding::lossyList<ShortcutBinding>(json, "shortcuts");
  for (const auto& [key, field] : kFlags)
    settings.*field = coding::value(json, key, settings.*field);
  auto kept = coding::lossyList<std::string>(json, "keptTiled");
  settings.keptTiled = {kept.begin(), kept.end()};
  settings.floatingApps = coding::lossyList<AppRef>(json, "floatingApps");
}

}  // namespace kestles
