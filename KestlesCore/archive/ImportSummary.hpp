#pragma once

#include <string>

namespace kestles {

/// What an import changed in the library.
struct ImportSummary {
  int kestlesAdded = 0;
  int kestlesReplaced = 0;
  int layoutsAdded = 0;
  int layoutsReplaced = 0;
  int rules = 0;
  bool settings = false;

  /// "2 kestles, 1 layout and settings"; empty when nothing changed.
  std::string text() const;

  bool operator==(const ImportSummary&) const = default;
};

}  // namespace kestles
