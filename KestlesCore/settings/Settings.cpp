#include "KestlesCore/settings/Settings.hpp"

#include <algorithm>
#include <utility>

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

constexpr int kControl = KeyModifiers::control;
constexpr int kControlOption = KeyModifiers::control | KeyModifiers::option;
constexpr int kControlOptionShift = kControlOption | KeyModifiers::shift;

struct SnapDefault {
  SnapAction action;
  int keyCode;
  int modifiers;
};

constexpr std::array<SnapDefault, 23> kSnapDefaults{{
    {SnapAction::leftHalf, 123, kControl},
    {SnapAction::rightHalf, 124, kControl},
    {SnapAction::topHalf, 126, kControl},
    {SnapAction::bottomHalf, 125, kControl},
    {SnapAction::topLeft, 32, kControlOption},
    {SnapAction::topRight, 34, kControlOption},
    {SnapAction::bottomLeft, 38, kControlOption},
    {SnapAction::bottomRight, 40, kControlOption},
    {SnapAction::firstThird, 2, kControlOption},
    {SnapAction::centerThird, 3, kControlOption},
    {SnapAction::lastThird, 5, kControlOption},
    {SnapAction::firstTwoThirds, 14, kControlOption},
    {SnapAction::lastTwoThirds, 17, kControlOption},
    {SnapAction::maximize, 36, kControl},
    {SnapAction::center, 8, kControlOption},
    {SnapAction::fillSpace, 36, kControlOption},
    {SnapAction::restore, 51, kControlOption},
    {SnapAction::moveLeft, 123, kControlOption},
    {SnapAction::moveRight, 124, kControlOption},
    {SnapAction::moveUp, 126, kControlOption},
    {SnapAction::moveDown, 125, kControlOption},
    {SnapAction::larger, 24, kControlOption},
    {SnapAction::smaller, 27, kControlOption},
}};

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

std::optional<KeyCombo> defaultKeys(SnapAction action) {
  for (const auto& entry : kSnapDefaults)
    if (entry.action == action) return KeyCombo{entry.keyCode, KeyModifiers{entry.modifiers}};
  return std::nullopt;
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
  return defaultKeys(command);
}

std::optional<KeyCombo> Settings::keys(SnapAction action) const {
  if (const auto* binding = findBinding(shortcuts, action, &ShortcutBinding::action))
    return binding->keys;
  return defaultKeys(action);
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
