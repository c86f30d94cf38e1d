#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kestles {

/// What an app is for; ordered by declaration.
enum class AppRole { editor, browser, terminal, chat, mail, notes, media, design, utility, other };

inline constexpr std::array<AppRole, 10> kAllAppRoles{
    AppRole::editor, AppRole::browser, AppRole::terminal, AppRole::chat,    AppRole::mail,
    AppRole::notes,  AppRole::media,   AppRole::design,   AppRole::utility, AppRole::other};

/// The raw value stored in files ("editor").
std::string_view rawValue(AppRole role);

/// The role of a raw value, or nothing.
std::optional<AppRole> appRoleFromRawValue(std::string_view raw);

/// The role of an app: its id in the known-apps table (exact), then in the table of Linux
/// desktop ids and WM_CLASS classes (lower-cased, ".desktop" dropped), then JetBrains ids as
/// editors, then words in its lower-cased name, else `other`.
AppRole role(std::string_view bundleID, std::string_view name);

}  // namespace kestles
