#pragma once

#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/display/DisplayShape.hpp"
#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// One connected display as the engine sees it.
struct DisplayInfo {
  std::string id;       // stable identifier (the display's UUID string)
  std::string name;     // localized name
  CGRect frame;         // the whole display
  CGRect visibleFrame;  // without menu bar and Dock; tiles are laid out in it
  bool isBuiltIn = false;
  bool isMain = false;

  DisplayShape shape() const { return displayShape(frame.width(), frame.height(), isBuiltIn); }

  bool operator==(const DisplayInfo&) const = default;
};

/// Keys "id", "name", "frame", "visibleFrame", "isBuiltIn", "isMain". Reading requires
/// "id", "name" and "frame"; a missing visible frame is the frame, missing flags are false.
void to_json(nlohmann::json& json, const DisplayInfo& display);
void from_json(const nlohmann::json& json, DisplayInfo& display);

}  // namespace kestles
