#include "KestlesEngine/x11/X11Layer.hpp"

#include "KestlesEngine/platform/NoKeyboard.hpp"

namespace kestles::x11 {

std::unique_ptr<X11Layer> X11Layer::open(const std::optional<std::string>& display) {
  auto connection = X11Connection::open(display);
  if (!connection) return nullptr;
  std::unique_ptr<X11Layer> layer(new X11Layer(std::move(connection)));
  X11Events::Listener listener{
      [ax = &layer->ax_](std::int32_t pid, xcb_window_t window, std::string_view name) {
        ax->deliver(pid, window, name);
      },
      [workspace = &layer->workspace_](const platform::WorkspaceNotification& note) {
        workspace->post(note);
      },
      [screens = &layer->screens_] { screens->post(); },
      [raw = layer.get()] { raw->gone_.fire(); }};
  layer->events_ = X11Events::start(display, layer->session_, std::move(listener));
  if (!layer->events_) return nullptr;
  return layer;
}

X11Layer::X11Layer(std::unique_ptr<X11Connection> connection)
    : session_(std::move(connection)),
      hotKeys_(std::make_unique<platform::NoHotKeys>()),
      input_(std::make_unique<platform::NoInput>()) {}

X11Layer::~X11Layer() {
  events_.reset();
}

platform::LayerParts X11Layer::parts() {
  return {ax_, windowServer_, workspace_, screens_, opener_, *hotKeys_, *input_, catalog_};
}

void X11Layer::onGone(std::function<void()> gone) {
  gone_.set(std::move(gone));
}

void X11Layer::adoptKeyboard(std::unique_ptr<platform::HotKeyService> hotKeys,
                             std::unique_ptr<platform::InputMonitor> input) {
  if (hotKeys) hotKeys_ = std::move(hotKeys);
  if (input) input_ = std::move(input);
}

std::uint64_t X11Layer::roundTrips() {
  auto guard = session_.lock();
  return session_.connection().roundTrips();
}

}  // namespace kestles::x11
