#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "KestlesCore/keyboard/WindowHints.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/world/WindowID.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// Picking windows by letter and choosing how to tile them.
///
/// The mode first picks (letters toggle windows), then, after `arrange`, chooses among the
/// ways of tiling the picked windows; `back` returns to picking.
struct PickToTile {
  /// One way of tiling the picked windows.
  struct Choice {
    std::string name;
    TileShape shape;
    std::optional<LayoutRef> layout;
    bool operator==(const Choice&) const = default;
  };

  /// The picked windows, in pick order, the display they go to and the way to tile them.
  struct Pick {
    std::vector<std::uint32_t> windows;
    std::string displayID;
    Choice choice;
    bool operator==(const Pick&) const = default;
  };

  /// The inputs of the mode.
  struct Key {
    struct Letter {
      std::string letter;
      bool operator==(const Letter&) const = default;
    };
    struct Choose {
      int number = 1;  // from 1
      bool operator==(const Choose&) const = default;
    };
    struct Rotate {
      bool backward = false;
      bool operator==(const Rotate&) const = default;
    };
    struct Display {
      int number = 1;  // from 1, in the setup's order
      bool operator==(const Display&) const = default;
    };
    enum class Plain { unpickLast, arrange, next, previous, tile, back, close };
    std::variant<Letter, Choose, Rotate, Display, Plain> value;

    static Key letter(std::string letter) { return {Letter{std::move(letter)}}; }
    static Key choose(int number) { return {Choose{number}}; }
    static Key rotate(bool backward) { return {Rotate{backward}}; }
    static Key display(int number) { return {Display{number}}; }
    static Key unpickLast() { return {Plain::unpickLast}; }
    static Key arrange() { return {Plain::arrange}; }
    static Key next() { return {Plain::next}; }
    static Key previous() { return {Plain::previous}; }
    static Key tile() { return {Plain::tile}; }
    static Key back() { return {Plain::back}; }
    static Key close() { return {Plain::close}; }
    bool operator==(const Key&) const = default;
  };

  /// What a key did.
  enum class Outcome {
    changed,  // the mode's state changed
    refused,  // the key does nothing now; nothing changed
    tile,     // apply `pick()`; the mode ends
    closed,   // the mode ends without a change
  };

  enum class Stage { picking, choosing };

  /// The most windows one pick holds.
  static constexpr int mostWindows = 9;

  std::vector<WindowHints::Hint> hints;  // the lettered windows
  std::vector<WindowID> picked;          // in pick order
  std::string displayID;                 // where the pick is tiled
  Stage stage = Stage::picking;
  std::vector<Choice> choices;  // while choosing
  int chosen = 0;               // index into `choices`

  /// The mode opened on a world: every visible window lettered, the pick going to the
  /// active display (else the setup's fallback).
  static PickToTile open(const World& world);

  /// Carries out one key; the world gives the displays for `display(n)`.
  Outcome handle(const Key& key, const World& world);

  /// The pick as it stands; nothing before a window is picked.
  std::optional<Pick> pick() const;

  /// The distinct app names of the picked windows, in pick order: "Picked Windows" for
  /// none, the names joined with " + " up to three, else two and " + N More".
  std::string title() const;
  static std::string title(const std::vector<std::string>& appNames);

  /// The ways of tiling `count` windows on a display: the tiling styles in their order, the
  /// templates for that many tiles that suit the display, then "Fill" (every window over
  /// the whole display); shapes offered twice are offered once.
  static std::vector<Choice> choicesFor(int count, const DisplayInfo& display);

  bool operator==(const PickToTile&) const = default;

 private:
  Outcome toggle(const std::string& letter);
  Outcome arrange(const World& world);
};

}  // namespace kestles
