#include "KestlesEngine/ipc/IpcLayer.hpp"

#include <unistd.h>

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
  auto* raw = layer.get();
  auto appNames = [raw](IpcTree& tree) { nameApps(tree, raw->catalog_.entries()); };
  layer->session_.setAppNames(appNames);
  auto start = layer->session_.tree();
  if (!start) return nullptr;
  IpcListener listener{
      [raw](std::int32_t pid, std::uint32_t window, std::string_view name) {
        raw->ax_.deliver(pid, window, name);
        if (name == platform::ax::elementDestroyed) raw->ax_.forget(window);
      },
      [raw](const platform::WorkspaceNotification& note) { raw->workspace_.post(note); },
      [raw] { raw->screens_.post(); },
      [raw] { raw->gone_.fire(); },
      [raw] { return raw->session_.tree(); },
      [raw] { raw->session_.invalidate(); },
      [raw](std::string_view command) { raw->bindings_.heard(command); },
      [raw] { raw->bindings_.rebind(); },
      appNames};
  layer->events_ = IpcEvents::start(path, *start, std::move(listener));
  if (!layer->events_) return nullptr;
  return layer;
}

IpcLayer::IpcLayer(std::unique_ptr<IpcConnection> connection, Compositor compositor)
    : compositor_(compositor),
      session_(std::move(connection)),
      bindings_(session_, ::getpid()),
      input_(std::make_unique<platform::NoInput>()) {}

IpcLayer::~IpcLayer() {
  events_.reset();
}

platform::LayerParts IpcLayer::parts() {
  platform::HotKeyService& hotKeys = hotKeys_ ? *hotKeys_ : bindings_;
  return {ax_, windowServer_, workspace_, screens_, opener_, hotKeys, *input_, catalog_};
}

void IpcLayer::adoptKeyboard(std::unique_ptr<platform::HotKeyService> hotKeys,
                             std::unique_ptr<platform::InputMonitor> input) {
  if (hotKeys) hotKeys_ = std::move(hotKeys);
  if (input) input_ = std::move(input);
}

void IpcLayer::onGone(std::function<void()> gone) {
  gone_.set(std::move(gone));
}

}  // namespace kestles::ipc
