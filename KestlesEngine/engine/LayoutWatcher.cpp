#include "KestlesEngine/engine/LayoutWatcher.hpp"

namespace kestles::engine {

using Change = platform::KeyboardLayout::Change;

LayoutWatcher::~LayoutWatcher() {
  stop();
}

void LayoutWatcher::start() {
  if (!observers_.empty()) return;
  for (auto change : {Change::selectedSourceChanged, Change::enabledSourcesChanged})
    observers_.push_back(layout_.observe(change, [this] { names_.clearCache(); }));
}

void LayoutWatcher::stop() {
  for (auto token : observers_)
    layout_.removeObserver(token);
  observers_.clear();
}

}  // namespace kestles::engine
