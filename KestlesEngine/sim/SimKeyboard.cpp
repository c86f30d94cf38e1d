#include "KestlesEngine/sim/SimKeyboard.hpp"

namespace kestles::sim {

namespace {

// A symbolic shortcut that is not set reads as failing, like an unknown id.
constexpr std::int32_t kUnknownShortcut = 1001;

}  // namespace

void SimKeyboard::setKey(std::uint16_t keyCode, std::string text) {
  std::lock_guard lock(mutex_);
  keys_[keyCode] = {0, std::move(text)};
}

void SimKeyboard::failKey(std::uint16_t keyCode, std::int32_t status) {
  std::lock_guard lock(mutex_);
  keys_[keyCode] = {status, {}};
}

void SimKeyboard::switchLayout(std::map<std::uint16_t, std::string> keys, Change change) {
  std::vector<Observer> told;
  {
    std::lock_guard lock(mutex_);
    hasLayout_ = true;
    keys_.clear();
    for (auto& [code, text] : keys)
      keys_[code] = {0, std::move(text)};
    for (const auto& [token, observer] : observers_)
      if (observer.first == change) told.push_back(observer.second);
  }
  for (const auto& observer : told)
    observer();
}

void SimKeyboard::removeLayout() {
  std::lock_guard lock(mutex_);
  hasLayout_ = false;
}

int SimKeyboard::translations() const {
  std::lock_guard lock(mutex_);
  return translations_;
}

std::size_t SimKeyboard::observers() const {
  std::lock_guard lock(mutex_);
  return observers_.size();
}

void SimKeyboard::setEntryPoints(bool read, bool change) {
  std::lock_guard lock(mutex_);
  canRead_ = read;
  canSwitch_ = change;
}

void SimKeyboard::setShortcut(std::int32_t id, Value value, bool enabled) {
  std::lock_guard lock(mutex_);
  shortcuts_[id] = {value, enabled, 0, 0};
}

void SimKeyboard::failShortcut(std::int32_t id, std::int32_t status) {
  std::lock_guard lock(mutex_);
  shortcuts_[id].readStatus = status;
}

void SimKeyboard::refuseSwitch(std::int32_t id, std::int32_t status) {
  std::lock_guard lock(mutex_);
  shortcuts_[id].switchStatus = status;
}

std::vector<std::pair<std::int32_t, bool>> SimKeyboard::switches() const {
  std::lock_guard lock(mutex_);
  return switches_;
}

bool SimKeyboard::isOn(std::int32_t id) const {
  std::lock_guard lock(mutex_);
  auto found = shortcuts_.find(id);
  return found != shortcuts_.end() && found->second.enabled;
}

std::optional<platform::KeyboardLayout::Translation> SimKeyboard::translate(std::uint16_t keyCode) {
  std::lock_guard lock(mutex_);
  ++translations_;
  if (!hasLayout_) return std::nullopt;
  auto found = keys_.find(keyCode);
  // A key the layout does not know translates to nothing, as an unused code does.
  if (found == keys_.end()) return Translation{};
  return found->second;
}

std::uint64_t SimKeyboard::observe(Change change, Observer observer) {
  std::lock_guard lock(mutex_);
  auto token = nextObserver_++;
  observers_[token] = {change, std::move(observer)};
  return token;
}

void SimKeyboard::removeObserver(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  observers_.erase(token);
}

bool SimKeyboard::canRead() {
  std::lock_guard lock(mutex_);
  return canRead_;
}

bool SimKeyboard::canSwitch() {
  std::lock_guard lock(mutex_);
  return canSwitch_;
}

platform::SymbolicHotKeySource::Reading SimKeyboard::value(std::int32_t id) {
  std::lock_guard lock(mutex_);
  auto found = shortcuts_.find(id);
  if (found == shortcuts_.end()) return {kUnknownShortcut, {}};
  return {found->second.readStatus, found->second.value};
}

bool SimKeyboard::isEnabled(std::int32_t id) {
  std::lock_guard lock(mutex_);
  auto found = shortcuts_.find(id);
  return found != shortcuts_.end() && found->second.enabled;
}

std::int32_t SimKeyboard::setEnabled(std::int32_t id, bool on) {
  std::lock_guard lock(mutex_);
  switches_.emplace_back(id, on);
  auto found = shortcuts_.find(id);
  if (found == shortcuts_.end()) return kUnknownShortcut;
  if (found->second.switchStatus != 0) return found->second.switchStatus;
  found->second.enabled = on;
  return 0;
}

}  // namespace kestles::sim
