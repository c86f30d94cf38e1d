#include "KestlesEngine/sim/SimKeyboard.hpp"

namespace kestles::sim {

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

}  // namespace kestles::sim
