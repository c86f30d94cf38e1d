#include "KestlesEngine/ipc/IpcHotKeys.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>
#include <vector>

#include "KestlesCore/text/Text.hpp"
#include "KestlesEngine/ipc/IpcCommands.hpp"
#include "KestlesEngine/platform/ModifierMasks.hpp"

namespace kestles::ipc {
namespace {

constexpr std::string_view kMarker = "nop kestles ";

/// The compositor's modifier names and their aliases (lower-cased), in the order a canonical
/// combination lists them.
struct ModifierName {
  std::string_view name;
  std::array<std::string_view, 3> aliases;
};
constexpr std::array<ModifierName, 8> kModifierNames{{
    {"Mod4", {"mod4", "super", "logo"}},
    {"Mod1", {"mod1", "alt", {}}},
    {"Control", {"control", "ctrl", {}}},
    {"Shift", {"shift", {}, {}}},
    {"Lock", {"lock", "caps", {}}},
    {"Mod2", {"mod2", {}, {}}},
    {"Mod3", {"mod3", {}, {}}},
    {"Mod5", {"mod5", {}, {}}},
}};

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> found;
  std::size_t at = 0;
  while (at < line.size()) {
    auto start = line.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    auto end = line.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = line.size();
    found.push_back(line.substr(start, end - start));
    at = end;
  }
  return found;
}

/// The combination of a binding's words (after `bindsym`, or a line of a `bindsym` block):
/// the first word that is not a flag.
std::optional<std::string> comboOf(const std::vector<std::string_view>& words, std::size_t from) {
  for (auto i = from; i < words.size(); ++i)
    if (!words[i].starts_with("--")) return canonicalCombo(words[i]);
  return std::nullopt;
}

/// Replaces `$name` variables, the longest name first, as the compositor does.
std::string substituted(std::string_view line,
                        const std::vector<std::pair<std::string, std::string>>& variables) {
  std::string text(line);
  for (const auto& [name, value] : variables) {
    auto at = text.find(name);
    while (at != std::string::npos) {
      text.replace(at, name.size(), value);
      at = text.find(name, at + value.size());
    }
  }
  return text;
}

}  // namespace

std::string bindingCombo(KeyModifiers modifiers, std::string_view key) {
  std::string combo;
  auto add = [&](int bit, std::string_view name) {
    if (modifiers.contains(bit)) combo.append(name).append("+");
  };
  add(KeyModifiers::command, "Mod4");
  add(KeyModifiers::option, "Mod1");
  add(KeyModifiers::control, "Control");
  add(KeyModifiers::shift, "Shift");
  return combo.append(key);
}

std::string canonicalCombo(std::string_view combo) {
  std::array<bool, kModifierNames.size()> held{};
  std::vector<std::string> keys;
  std::size_t at = 0;
  while (at <= combo.size()) {
    auto end = std::min(combo.find('+', at), combo.size());
    auto word = text::asciiLowercased(combo.substr(at, end - at));
    at = end + 1;
    if (word.empty()) continue;
    bool isModifier = false;
    for (std::size_t i = 0; i < kModifierNames.size(); ++i) {
      const auto& aliases = kModifierNames[i].aliases;
      if (std::find(aliases.begin(), aliases.end(), word) == aliases.end()) continue;
      held[i] = isModifier = true;
    }
    if (!isModifier) keys.push_back(std::move(word));
  }
  std::sort(keys.begin(), keys.end());
  std::string canonical;
  for (std::size_t i = 0; i < kModifierNames.size(); ++i)
    if (held[i]) canonical.append(kModifierNames[i].name).append("+");
  for (const auto& key : keys)
    canonical.append(key).append("+");
  if (!canonical.empty()) canonical.pop_back();
  return canonical;
}

std::set<std::string> boundCombos(std::string_view config) {
  std::set<std::string> bound;
  std::vector<std::pair<std::string, std::string>> variables;  // longest name first
  enum class Block { bindings, other };
  std::vector<Block> blocks;
  std::size_t at = 0;
  while (at < config.size()) {
    auto end = std::min(config.find('\n', at), config.size());
    auto raw = text::trimmed(config.substr(at, end - at));
    at = end + 1;
    if (raw.empty() || raw.front() == '#') continue;
    bool topLevel = blocks.empty();
    auto rawParts = words(raw);
    if (topLevel && rawParts.size() >= 3 && rawParts[0] == "set" && rawParts[1].starts_with("$")) {
      // The name is taken as written; its value may use the variables set before it.
      std::string name(rawParts[1]);
      auto value = substituted(text::trimmed(std::string_view(raw).substr(
                                   rawParts[1].data() - raw.data() + name.size())),
                               variables);
      std::erase_if(variables, [&](const auto& variable) { return variable.first == name; });
      variables.emplace_back(std::move(name), std::move(value));
      std::stable_sort(variables.begin(), variables.end(), [](const auto& a, const auto& b) {
        return a.first.size() > b.first.size();
      });
      continue;
    }
    auto line = substituted(raw, variables);
    auto parts = words(line);
    if (parts.empty()) continue;
    if (parts.front() == "}") {
      if (!blocks.empty()) blocks.pop_back();
      continue;
    }
    bool opens = parts.back() == "{";
    if (opens) {
      // A mode's bindings are not the default mode's; a `bindsym {` block's lines are bindings.
      bool bindings = topLevel && parts.front() == "bindsym";
      blocks.push_back(bindings ? Block::bindings : Block::other);
      continue;
    }
    std::optional<std::string> combo;
    if (topLevel && parts.front() == "bindsym") combo = comboOf(parts, 1);
    if (!topLevel && blocks.size() == 1 && blocks.back() == Block::bindings)
      combo = comboOf(parts, 0);
    if (combo) bound.insert(std::move(*combo));
  }
  return bound;
}

std::string bindingMarker(std::int32_t pid, std::uint64_t ref) {
  return std::string(kMarker) + std::to_string(pid) + ":" + std::to_string(ref);
}

std::optional<std::uint64_t> markedRef(std::string_view command, std::int32_t pid) {
  auto prefix = std::string(kMarker) + std::to_string(pid) + ":";
  if (!command.starts_with(prefix)) return std::nullopt;
  auto digits = command.substr(prefix.size());
  std::uint64_t ref = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), ref);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return ref;
}

IpcHotKeys::~IpcHotKeys() {
  std::string commands;
  for (const auto& [ref, binding] : bindings_)
    commands += (commands.empty() ? "" : "; ") + commands::unbind(binding.combo);
  if (!commands.empty()) session_.run(commands);
}

void IpcHotKeys::setKeyNames(KeyNames names) {
  std::lock_guard lock(mutex_);
  names_ = std::move(names);
}

std::int32_t IpcHotKeys::installHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
  return 0;
}

platform::HotKeyService::Registration IpcHotKeys::registerHotKey(std::uint32_t keyCode,
                                                                 std::uint32_t modifiers,
                                                                 HotKeyID id) {
  std::lock_guard lock(mutex_);
  if (!names_) return {kNoHotKeys, std::nullopt};
  auto key = names_(keyCode);
  if (!key) return {kKeyUnknown, std::nullopt};
  auto combo = bindingCombo(platform::keyModifiersFromCarbon(modifiers), *key);
  auto canonical = canonicalCombo(combo);
  // Binding a combination again replaces the binding: the one registered first would be lost.
  for (const auto& [ref, other] : bindings_)
    if (canonicalCombo(other.combo) == canonical) return {kKeyHeld, std::nullopt};
  // The compositor answers a `bindsym` over one of its own bindings with success, so what it
  // binds is read from its config.
  auto config = session_.config();
  if (!config) return {kDesktopGone, std::nullopt};
  if (boundCombos(*config).contains(canonical)) return {kKeyHeld, std::nullopt};
  auto ref = nextRef_;
  auto results = session_.run(commands::bind(combo, bindingMarker(pid_, ref)));
  if (!results) return {kDesktopGone, std::nullopt};
  if (results->empty() || !results->front().success) return {kKeyUnknown, std::nullopt};
  ++nextRef_;
  bindings_[ref] = {id, std::move(combo)};
  return {0, ref};
}

std::int32_t IpcHotKeys::unregisterHotKey(std::uint64_t ref) {
  std::lock_guard lock(mutex_);
  auto found = bindings_.find(ref);
  if (found == bindings_.end()) return kRefUnknown;
  auto combo = std::move(found->second.combo);
  bindings_.erase(found);
  return session_.run(commands::unbind(combo)) ? 0 : kDesktopGone;
}

void IpcHotKeys::heard(std::string_view command) {
  auto ref = markedRef(command, pid_);
  if (!ref) return;
  std::optional<Handler> handler;
  Event event;
  {
    std::lock_guard lock(mutex_);
    auto found = bindings_.find(*ref);
    if (found == bindings_.end() || !handler_) return;
    event.hotKey = found->second.id;
    handler = handler_;
  }
  // Outside the lock: the action may register or unregister keys.
  (*handler)(&event);
}

void IpcHotKeys::rebind() {
  std::lock_guard lock(mutex_);
  std::string commands;
  for (const auto& [ref, binding] : bindings_)
    commands +=
        (commands.empty() ? "" : "; ") + commands::bind(binding.combo, bindingMarker(pid_, ref));
  if (!commands.empty()) session_.run(commands);
}

}  // namespace kestles::ipc
