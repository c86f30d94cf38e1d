#include "KestlesEngine/engine/Permissions.hpp"

#include <array>
#include <utility>

namespace kestles::engine {
namespace {

constexpr std::array<std::pair<Permissions::Pane, std::string_view>, 3> kAnchors{{
    {Permissions::Pane::accessibility, "Privacy_Accessibility"},
    {Permissions::Pane::screenRecording, "Privacy_ScreenCapture"},
    {Permissions::Pane::automation, "Privacy_Automation"},
}};

}  // namespace

std::string_view Permissions::anchor(Pane pane) {
  for (const auto& [entry, word] : kAnchors)
    if (entry == pane) return word;
  return {};
}

std::string Permissions::settingsURL(Pane pane) {
  return "x-apple.systempreferences:com.apple.preference.security?" + std::string(anchor(pane));
}

}  // namespace kestles::engine
