#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/assistant/AssistantIdea.hpp"
#include "KestlesCore/assistant/AssistantTrouble.hpp"
#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// The arrangement assistant's core: what its model is told, and how the model's idea
/// becomes a kestle.
struct Assistant {
  /// The most windows one idea may place; more is `tooMuch`.
  static constexpr std::size_t kMostWindows = 16;
  /// The longest sentence, in characters, any model is asked about; longer is `tooMuch`.
  static constexpr std::size_t kLongestSentence = 1000;
  /// The longest name, in characters, of an idea or of an app in it; longer is `other`.
  static constexpr std::size_t kLongestName = 200;

  /// What the model is told besides the user's sentence.
  struct Situation {
    std::vector<DisplayInfo> displays;   // left to right; display n is displays[n − 1]
    std::optional<std::string> inUseID;  // the display that counts as current
    std::vector<AppRef> openApps;        // in the order the apps were listed
    std::vector<AppRef> otherApps;       // known apps that are not open, in standard order

    /// The situation of the connected displays and apps. The display in use is the one with
    /// the active id, else the setup's fallback; open apps are deduplicated by bundle id, and
    /// the other apps are the installed ones that are not open.
    static Situation of(const DisplaySetup& setup, const std::optional<std::string>& activeID,
                        const std::vector<AppRef>& open, const std::vector<AppRef>& installed);
    /// The same from a world's displays, active display and running apps.
    static Situation of(const World& world, const std::vector<AppRef>& installed);

    /// The lines "Displays, numbered left to right:", one per display ("2. Studio Display
    /// (the one in use)"), "Open apps: …" and, when there are any, "Other apps: …".
    std::string text() const;

    /// The number itself when it names a display, else the number of the display in use (also
    /// for a number that names no display); nothing only without displays.
    std::optional<int> resolved(std::optional<int> number) const;
    /// The number of the display in use, 1 without one.
    int inUseNumber() const;
    /// The open apps, then the other apps.
    std::vector<AppRef> knownApps() const;
  };

  /// A kestle built from an idea, and the app names that matched no known app.
  struct Result {
    Kestle kestle;
    std::vector<std::string> unknown;
    bool operator==(const Result&) const = default;
  };

  /// Why no model is asked about the sentence: `tooMuch` past `kLongestSentence` characters.
  /// Nothing when it may be asked.
  static std::optional<AssistantTrouble> troubleWith(std::string_view sentence);
  /// Why a model's idea cannot become a kestle: `tooMuch` past `kMostWindows` windows,
  /// `other` for a name or an app's name past `kLongestName` characters. Nothing when it can.
  static std::optional<AssistantTrouble> troubleWith(const AssistantIdea& idea);

  /// The instructions a model is given before the situation and the sentence.
  static std::string_view instructions();

  /// The known app a name means: the name rule over the apps' names (folded, exact, else the
  /// only one starting with it), else an app whose bundle id, or its last dot-separated part,
  /// equals the name regardless of case. Nothing when none does.
  static std::optional<AppRef> matchApp(std::string_view name, const std::vector<AppRef>& apps);

  /// The idea as a new kestle for the situation's displays. Each matched window is pinned to
  /// a tile covering its place on its display; a display's places become a tree of splits
  /// when they can be cut apart, else freely drawn tiles. Unmatched names go to `unknown`.
  static Result convert(const AssistantIdea& idea, const Situation& situation);
};

}  // namespace kestles
