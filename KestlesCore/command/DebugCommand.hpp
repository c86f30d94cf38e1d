#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kestles {

/// An appearance the app's windows can be shown in.
enum class Look { light, dark, contrast, contrastDark, system };

/// The look's raw value ("contrast-dark").
std::string_view rawValue(Look look);

/// The look of a raw value, or nothing.
std::optional<Look> lookFromRawValue(std::string_view raw);

/// A command for trying the app's own windows out, sent only when debug links are on.
struct DebugCommand {
  struct Appearance {
    Look look = Look::system;
    bool operator==(const Appearance&) const = default;
  };
  struct Transparency {
    std::optional<bool> solid;  // true solid, false glass, nothing: as the system says
    bool operator==(const Transparency&) const = default;
  };
  struct Close {
    bool operator==(const Close&) const = default;
  };
  struct Toast {
    bool operator==(const Toast&) const = default;
  };
  std::variant<Appearance, Transparency, Close, Toast> value;
  bool operator==(const DebugCommand&) const = default;
};

/// The debug path ("appearance/dark", "transparency/glass", "close", "toast").
std::string debugPath(const DebugCommand& command);

/// Reads a debug path, lower-cased and split at slashes; anything else is nothing.
std::optional<DebugCommand> readDebugPath(std::string_view path);

}  // namespace kestles
