#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/layout/SizeLimits.hpp"

namespace kestles {

/// Size limits learned from windows that refused a size, per app and per window.
struct LearnedSizes {
  /// What one `learn` changed.
  struct Learned {
    bool appChanged = false;      // the app-wide limits changed
    bool minimumChanged = false;  // the window's own minimum width or height changed
    bool operator==(const Learned&) const = default;
  };

  std::map<std::string, SizeLimits> apps;       // by bundle identifier, as valid UTF-8
  std::map<std::uint32_t, SizeLimits> windows;  // by window number; never written to file

  /// The window's own limits, else the app's, else none.
  SizeLimits limits(std::uint32_t window, const std::string& app) const;

  /// Learns from a window asked for `requested` that came out at `actual`, in both the
  /// window's and the app's entries (the app's key repaired to valid UTF-8, as `limits`
  /// looks it up). Nothing when neither changed.
  std::optional<Learned> learn(std::uint32_t window, const std::string& app, CGSize requested,
                               CGSize actual, bool forgetting);

  bool operator==(const LearnedSizes&) const = default;
};

/// The "minimums.json" form: an object from bundle identifier to limits (apps only; a key
/// that is not valid UTF-8 is written repaired, so that it cannot fail the whole file).
/// Reading keeps the window entries empty and drops an entry that is not an object.
void to_json(nlohmann::json& json, const LearnedSizes& sizes);
void from_json(const nlohmann::json& json, LearnedSizes& sizes);

}  // namespace kestles
