#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "KestlesCore/library/Library.hpp"

namespace kestles::app {

/// The library in `file`: a missing file is a new library; a damaged one is reported on `err`
/// and gives nothing.
std::optional<Library> readLibrary(const std::filesystem::path& file, std::ostream& err);

}  // namespace kestles::app
