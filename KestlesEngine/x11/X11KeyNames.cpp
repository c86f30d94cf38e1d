#include "KestlesEngine/x11/X11KeyNames.hpp"

#include <vector>

#include "KestlesEngine/x11/X11KeyTable.hpp"

namespace kestles::x11 {

std::unique_ptr<X11KeyboardLayout> X11KeyboardLayout::open(
    const std::optional<std::string>& display) {
  auto connection = X11Connection::open(display);
  if (!connection) return nullptr;
  auto mapping = X11KeyMapping::read(connection->raw());
  if (!mapping) return nullptr;
  return std::unique_ptr<X11KeyboardLayout>(
      new X11KeyboardLayout(std::move(connection), std::move(mapping)));
}

X11KeyboardLayout::X11KeyboardLayout(std::unique_ptr<X11Connection> connection,
                                     std::unique_ptr<X11KeyMapping> mapping)
    : connection_(std::move(connection)), mapping_(std::move(mapping)) {
  mapping_->selectEvents();
  events_ =
      std::make_unique<X11KeyEvents>(connection_->raw(), connection_->root(),
                                     [this](const xcb_generic_event_t& event) { handle(event); });
}

X11KeyboardLayout::~X11KeyboardLayout() {
  events_->stop();
}

std::optional<platform::KeyboardLayout::Translation> X11KeyboardLayout::translate(
    std::uint16_t keyCode) {
  auto keysym = keysymForKeyCode(keyCode);
  if (!keysym) return Translation{};
  std::lock_guard lock(mutex_);
  auto key = mapping_->keycodeFor(*keysym);
  if (!key) return Translation{};
  return Translation{0, mapping_->text(*key)};
}

std::uint64_t X11KeyboardLayout::observe(Change change, Observer observer) {
  std::lock_guard lock(mutex_);
  auto token = nextToken_++;
  observers_[token] = {change, std::move(observer)};
  return token;
}

void X11KeyboardLayout::removeObserver(std::uint64_t token) {
  std::lock_guard delivering(delivery_);
  std::lock_guard lock(mutex_);
  observers_.erase(token);
}

void X11KeyboardLayout::handle(const xcb_generic_event_t& event) {
  std::lock_guard delivering(delivery_);
  std::vector<Observer> told;
  {
    std::lock_guard lock(mutex_);
    auto changed = mapping_->follow(event);
    if (changed == X11KeyMapping::Change::none) return;
    auto change = changed == X11KeyMapping::Change::keymap ? Change::enabledSourcesChanged
                                                           : Change::selectedSourceChanged;
    for (const auto& [token, observer] : observers_)
      if (observer.first == change) told.push_back(observer.second);
  }
  for (const auto& observer : told)
    observer();
}

}  // namespace kestles::x11
