#include "KestlesEngine/ipc/IpcLayer.hpp"

#include <nlohmann/json.hpp>

#include "KestlesEngine/platform/NoKeyboard.hpp"

namespace kestles::ipc {

std::unique_ptr<IpcLayer> IpcLayer::open(const std::string& path) {
  auto connection = IpcConnection::open(path);
  if (!connection) return nullptr;
  auto version = connection->request(Request::getVersion);
  if (!version) return nullptr;
  // sway names itself in its version reply; i3 does not.
  auto parsed = nlohmann::json::parse(*version, nullptr, false);
  auto text = parsed.is_object() ? parsed.value("human_readable", std::string()) : std::string();
  auto compositor = text.find("sway") != std::string::npos || parsed.contains("variant")
                        ? Compositor::sway
                        : Compositor::i3;
  std::unique_ptr<IpcLayer> layer(new IpcLayer(std::move(connection), compositor));
  auto start = layer->session_.tree();
  if (!start) return nullptr;
  auto* raw = layer.get();
  IpcListener listener{
      [raw](std::int32_t pid, std::uint32_t window, std::string_view name) {
        raw->ax_.deliver(pid, window, name);
        if (name == platform::ax::elementDestroyed) raw->ax_.forget(window);
      },
      [raw](const platform::WorkspaceNotification& note) { raw->workspace_.post(note); },
      [raw] { raw->screens_.post(); },
      [raw] { raw->gone_.fire(); },
      [raw] { return raw->session_.tree(); },
      [raw] { raw->session_.invalidate(); }};
  layer->events_ = IpcEvents::start(path, *start, std::move(listener));
  if (!layer->events_) return nullptr;
  return layer;
}

IpcLayer::IpcLayer(std::unique_ptr<IpcConnection> connection, Compositor compositor)
    : compositor_(compositor),
      session_(std::move(connection)),
      hotKeys_(std::make_unique<platform::NoHotKeys>()),
      input_(std::make_unique<platform::NoInput>()) {}

IpcLayer::~IpcLayer() {
  events_.reset();
}

platform::LayerParts IpcLayer::parts() {
  return {ax_, windowServer_, workspace_, screens_, opener_, *hotKeys_, *input_, catalog_};
}

void IpcLayer::onGone(std::function<void()> gone) {
  gone_.set(std::move(gone));
}

}  // namespace kestles::ipc
