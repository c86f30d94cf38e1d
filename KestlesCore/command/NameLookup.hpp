#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/model/Failure.hpp"
#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/AppSnapshot.hpp"
#include "KestlesCore/world/WindowSnapshot.hpp"

namespace kestles {

/// What a name a user typed found: the record, or the failure that says why nothing was (one
/// sentence naming the text as typed). The command line checks a command with these before
/// sending it, and the app looks the same names up with them when it carries the command out,
/// so both agree on every name.
template <class Record>
using Lookup = Outcome<Record>;

/// The lookups' failure: the system's one `Failure`.
using LookupFailure = Failure;

/// The kestle a user names: by identifier, then by number, then by the name rule.
Lookup<Kestle> lookUpKestle(const Library& library, std::string_view text);

/// The kestle `step` places after the current one (`Library::kestleAfterCurrent`); fails
/// only when there are no kestles at all.
Lookup<Kestle> lookUpNextKestle(const Library& library, int step);

/// The layout a user names by the name rule over the saved layouts' names followed by the
/// built-in ones', so that a saved layout wins a tie with a template.
Lookup<LayoutRef> lookUpLayout(const Library& library, std::string_view text);

/// The connected display a user names (`DisplaySetup::matching`).
Lookup<DisplayInfo> lookUpDisplay(const DisplaySetup& setup, std::string_view text);

/// The running app a user names, by the name rule over the running apps' names, each desktop
/// app counted once however many processes it runs (the first of them is given). The
/// failure names each app once, with its number of `windows` when they are given.
Lookup<AppSnapshot> lookUpOpenApp(std::span<const AppSnapshot> running, std::string_view text,
                                  std::span<const WindowSnapshot> windows = {});

/// The app a user names among the running apps followed by the installed ones.
Lookup<AppRef> lookUpApp(std::span<const AppSnapshot> running, std::span<const AppRef> installed,
                         std::string_view text);

}  // namespace kestles
