#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <variant>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/model/UUID.hpp"

namespace kestles {

/// Where a layout comes from: a built-in template by identifier or a saved layout by id.
/// JSON: {"template": string} or {"saved": UUID string}; "saved" is read first.
struct LayoutRef {
  struct Template {
    std::string identifier;
    auto operator<=>(const Template&) const = default;
  };
  struct Saved {
    UUID id;
    auto operator<=>(const Saved&) const = default;
  };
  std::variant<Template, Saved> value;

  static LayoutRef templateLayout(std::string identifier) {
    return {Template{std::move(identifier)}};
  }
  static LayoutRef saved(UUID id) { return {Saved{id}}; }

  /// The saved layout's id, or nothing for a template.
  std::optional<UUID> savedID() const;

  bool operator==(const LayoutRef&) const = default;
};

void to_json(nlohmann::json& json, const LayoutRef& ref);
void from_json(const nlohmann::json& json, LayoutRef& ref);

}  // namespace kestles

template <>
struct std::hash<kestles::LayoutRef> {
  std::size_t operator()(const kestles::LayoutRef& ref) const noexcept;
};
