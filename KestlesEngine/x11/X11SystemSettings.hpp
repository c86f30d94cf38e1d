#pragma once

#include "KestlesEngine/platform/SystemPreferences.hpp"

namespace kestles::x11 {

/// An X session has none of the system's own edge tiling or Stage Manager: it keeps no
/// preference domains, so both read as off and writes go nowhere.
class X11SystemSettings final : public platform::SystemPreferences {
 public:
  bool synchronize(std::string_view) override { return false; }
  std::optional<platform::PreferenceValue> value(std::string_view, std::string_view) override {
    return std::nullopt;
  }
  void setValue(std::string_view, std::string_view,
                const std::optional<platform::PreferenceValue>&) override {}
};

}  // namespace kestles::x11
