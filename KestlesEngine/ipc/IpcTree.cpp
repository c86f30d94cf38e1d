#include "KestlesEngine/ipc/IpcTree.hpp"

#include <algorithm>
#include <cstdint>

#include <nlohmann/json.hpp>

namespace kestles::ipc {
namespace {

using nlohmann::json;

std::string stringOf(const json& node, const char* key) {
  auto found = node.find(key);
  return found != node.end() && found->is_string() ? found->get<std::string>() : std::string();
}

template <class Number>
Number numberOf(const json& node, const char* key, Number fallback = 0) {
  auto found = node.find(key);
  return found != node.end() && found->is_number() ? found->get<Number>() : fallback;
}

bool flagOf(const json& node, const char* key) {
  auto found = node.find(key);
  return found != node.end() && found->is_boolean() && found->get<bool>();
}

CGRect rectOf(const json& node) {
  auto rect = node.find("rect");
  if (rect == node.end() || !rect->is_object()) return {};
  return {numberOf<double>(*rect, "x"), numberOf<double>(*rect, "y"),
          numberOf<double>(*rect, "width"), numberOf<double>(*rect, "height")};
}

std::uint64_t containerOf(const json& node) {
  return node.is_object() ? numberOf<std::uint64_t>(node, "id") : 0;
}

/// A container shows a client when it names an app id (Wayland) or an X window.
bool isClient(const json& node) {
  auto appID = node.find("app_id");
  auto window = node.find("window");
  return (appID != node.end() && appID->is_string()) ||
         (window != node.end() && window->is_number());
}

std::vector<std::string> shownWorkspaces(const json& workspaces) {
  std::vector<std::string> shown{std::string(kScratchpad)};
  if (!workspaces.is_array()) return shown;
  for (const auto& workspace : workspaces)
    if (workspace.is_object() && flagOf(workspace, "visible"))
      shown.push_back(stringOf(workspace, "name"));
  return shown;
}

struct Walk {
  const std::vector<std::string>& shown;
  IpcTree& tree;

  // `outer` is the floating wrapper i3 puts around a floating client: its rect is the frame.
  void visit(const json& node, const std::string& workspace, bool floating, const json* outer) {
    if (!node.is_object()) return;
    auto type = stringOf(node, "type");
    // Docks (bars, i3's message bar) are no app windows.
    if (type == "dockarea") return;
    auto here = type == "workspace" ? stringOf(node, "name") : workspace;
    if (isClient(node)) {
      add(node, here, floating, outer);
      return;
    }
    const json* wrapper = type == "floating_con" ? &node : nullptr;
    for (const char* key : {"nodes", "floating_nodes"}) {
      auto children = node.find(key);
      if (children == node.end() || !children->is_array()) continue;
      bool inFloating = floating || std::string_view(key) == "floating_nodes";
      for (std::size_t i = 0; i < children->size(); ++i) {
        auto before = tree.windows.size();
        visit((*children)[i], here, inFloating, wrapper);
        // A tiled window's neighbours, for putting it back between them.
        if (inFloating || tree.windows.size() != before + 1 || !(*children)[i].is_object() ||
            numberOf<std::uint64_t>((*children)[i], "id") != tree.windows.back().container)
          continue;
        if (i > 0) tree.windows.back().previousSibling = containerOf((*children)[i - 1]);
        if (i + 1 < children->size())
          tree.windows.back().nextSibling = containerOf((*children)[i + 1]);
      }
    }
  }

  void add(const json& node, const std::string& workspace, bool floating, const json* outer) {
    IpcWindow window;
    auto container = numberOf<std::uint64_t>(node, "id");
    auto xWindow = numberOf<std::uint64_t>(node, "window");
    window.container = container;
    if (container > 0 && container <= UINT32_MAX) {
      window.id = static_cast<std::uint32_t>(container);
    } else if (container > 0 && xWindow > 0 && xWindow <= UINT32_MAX) {
      window.id = static_cast<std::uint32_t>(xWindow);
      window.xWindowID = true;
    } else {
      return;
    }
    window.pid = numberOf<std::int32_t>(node, "pid");
    window.app = stringOf(node, "app_id");
    if (window.app.empty()) {
      auto properties = node.find("window_properties");
      if (properties != node.end() && properties->is_object())
        window.app = stringOf(*properties, "class");
    }
    window.title = stringOf(node, "name");
    window.frame = rectOf(outer ? *outer : node);
    // sway leaves the title bar out of a view's rect (i3 keeps it in): it sits right above.
    if (node.contains("shell")) {
      auto deco = node.find("deco_rect");
      auto title = deco != node.end() && deco->is_object() ? numberOf<double>(*deco, "height") : 0;
      window.frame = {window.frame.origin.x, window.frame.origin.y - title, window.frame.size.width,
                      window.frame.size.height + title};
    }
    window.floating = floating;
    window.focused = flagOf(node, "focused");
    window.fullScreen = numberOf<int>(node, "fullscreen_mode") != 0;
    window.urgent = flagOf(node, "urgent");
    window.workspace = workspace;
    window.minimized = workspace == kScratchpad;
    window.shown = std::find(shown.begin(), shown.end(), workspace) != shown.end();
    if (window.focused) tree.focused = window.id;
    tree.windows.push_back(std::move(window));
  }
};

bool isBuiltInConnector(std::string_view name) {
  for (std::string_view prefix : {"eDP", "LVDS", "DSI"})
    if (name.substr(0, prefix.size()) == prefix) return true;
  return false;
}

std::string identityOf(const json& output) {
  auto known = [](const std::string& text) { return !text.empty() && text != "Unknown"; };
  std::string id;
  auto add = [&](const std::string& part) {
    if (!known(part)) return;
    if (!id.empty()) id += ' ';
    id += part;
  };
  add(stringOf(output, "make"));
  add(stringOf(output, "model"));
  auto serial = stringOf(output, "serial");
  add(known(serial) ? serial : stringOf(output, "name"));
  return id;
}

}  // namespace

const IpcWindow* IpcTree::find(std::uint32_t id) const {
  auto found = std::find_if(windows.begin(), windows.end(),
                            [&](const IpcWindow& window) { return window.id == id; });
  return found == windows.end() ? nullptr : &*found;
}

IpcTree parseTree(const json& tree, const json& workspaces) {
  IpcTree parsed;
  auto shown = shownWorkspaces(workspaces);
  Walk{shown, parsed}.visit(tree, {}, false, nullptr);
  return parsed;
}

std::vector<DisplayInfo> parseDisplays(const json& outputs, const json& workspaces) {
  std::vector<DisplayInfo> displays;
  if (!outputs.is_array()) return displays;
  std::optional<std::size_t> primary;
  for (const auto& output : outputs) {
    if (!output.is_object() || !flagOf(output, "active")) continue;
    DisplayInfo display;
    auto name = stringOf(output, "name");
    display.id = identityOf(output);
    auto model = stringOf(output, "model");
    display.name = model.empty() || model == "Unknown" ? name : model;
    display.frame = rectOf(output);
    display.visibleFrame = display.frame;
    auto current = stringOf(output, "current_workspace");
    if (workspaces.is_array())
      for (const auto& workspace : workspaces)
        if (workspace.is_object() && stringOf(workspace, "name") == current &&
            stringOf(workspace, "output") == name)
          display.visibleFrame = rectOf(workspace);
    display.isBuiltIn = isBuiltInConnector(name);
    if (flagOf(output, "primary") && !primary) primary = displays.size();
    displays.push_back(std::move(display));
  }
  if (!displays.empty()) displays[primary.value_or(0)].isMain = true;
  return displays;
}

}  // namespace kestles::ipc
