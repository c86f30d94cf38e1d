#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11Desktop.hpp"

namespace kestles::x11 {

/// What a display's EDID says about it.
struct EdidFacts {
  std::string id;           // a UUID-form id derived from the EDID's identifying bytes
  std::string productName;  // the display product name descriptor; empty when there is none
};

/// Reads an EDID block; nothing when it is shorter than 128 bytes or lacks the header.
std::optional<EdidFacts> readEdid(std::span<const std::uint8_t> edid);

/// Whether an output (or monitor) name is a computer's own panel: eDP, LVDS or DSI.
bool isBuiltInName(std::string_view name);

/// The part of a monitor that the struts (in `_NET_WM_STRUT_PARTIAL` form, relative to the
/// root's edges) leave free.
Box visibleArea(const Box& monitor, std::span<const std::array<std::uint32_t, 12>> struts,
                std::int32_t rootWidth, std::int32_t rootHeight);

/// The RandR 1.5 monitors as displays: id from the EDID (else the output name, else the
/// monitor name), name from the EDID product name (else the output name, else the monitor
/// name), built-in for eDP, LVDS and DSI, main for the primary (else the first), and the
/// visible frame free of the struts of dock windows. Empty when RandR is missing.
std::vector<DisplayInfo> readDisplays(X11Connection& connection);

}  // namespace kestles::x11
