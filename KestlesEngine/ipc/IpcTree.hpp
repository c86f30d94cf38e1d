#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles::ipc {

/// The workspace where the compositor keeps its scratchpad: a window there is minimized.
inline constexpr std::string_view kScratchpad = "__i3_scratch";

/// One window (a container that shows a client) as the compositor's tree has it.
struct IpcWindow {
  std::uint32_t id = 0;         // the window's number: the container id, or on i3 the X window id
  bool xWindowID = false;       // `id` is the X window id (i3's container ids do not fit 32 bits)
  std::uint64_t container = 0;  // the container id, whatever its size
  // The tiled container's neighbours in its parent (0: none), where it goes back to.
  std::uint64_t previousSibling = 0;
  std::uint64_t nextSibling = 0;
  std::int32_t pid = 0;  // 0 when the compositor does not say (i3 does not)
  std::string app;       // the Wayland app id, else the X class
  std::string title;
  CGRect frame;  // the whole container, decorations included, in global logical pixels
  bool floating = false;
  bool focused = false;
  bool fullScreen = false;
  bool urgent = false;
  bool minimized = false;  // in the scratchpad
  bool shown = false;      // on a workspace some output shows, or in the scratchpad
  std::string workspace;
  bool operator==(const IpcWindow&) const = default;
};

/// The windows of the tree in its order, and which one has the focus.
struct IpcTree {
  std::vector<IpcWindow> windows;
  std::optional<std::uint32_t> focused;

  /// The window with this container id; null when there is none.
  const IpcWindow* find(std::uint32_t id) const;
};

/// The windows of a `get_tree` reply, with which workspaces the outputs show taken from a
/// `get_workspaces` reply. Tolerant: a node it cannot read is skipped, not an error.
IpcTree parseTree(const nlohmann::json& tree, const nlohmann::json& workspaces);

/// The active outputs of a `get_outputs` reply as displays, in its order. The id is the
/// make, model and serial when the serial is known, else make, model and the output's name
/// (two identical monitors without serials are told apart by their connectors). The visible
/// frame is the rect of the workspace the output shows (the compositor takes bars out of it).
/// The main display is the primary output, else the first.
std::vector<DisplayInfo> parseDisplays(const nlohmann::json& outputs,
                                       const nlohmann::json& workspaces);

}  // namespace kestles::ipc
