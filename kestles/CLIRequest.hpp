#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/model/Failure.hpp"

namespace kestles::tool {

/// What `list` prints.
enum class Listing { all, kestles, layouts };

/// The raw value of a listing ("kestles").
std::string_view rawValue(Listing listing);

/// The listing of a raw value, or nothing.
std::optional<Listing> listingFromRawValue(std::string_view raw);

/// What the command line asks of the tool.
struct CLIRequest {
  struct Send {
    KestlesCommand command;
    bool operator==(const Send&) const = default;
  };
  struct List {
    Listing listing = Listing::all;
    bool operator==(const List&) const = default;
  };
  struct ExportArchive {
    std::optional<std::string> path;  // nothing: print the archive
    bool operator==(const ExportArchive&) const = default;
  };
  struct ImportArchive {
    std::string path;
    bool settings = false;  // the archive's settings replace the user's
    bool operator==(const ImportArchive&) const = default;
  };
  struct Help {
    bool operator==(const Help&) const = default;
  };
  struct Version {
    bool operator==(const Version&) const = default;
  };
  std::variant<Send, List, ExportArchive, ImportArchive, Help, Version> value;
  bool operator==(const CLIRequest&) const = default;
};

/// A parse gives a request or the failure that stopped it.
using ParseResult = Outcome<CLIRequest>;

}  // namespace kestles::tool
