#pragma once

#include "KestlesCore/library/Library.hpp"

namespace kestles {

/// A library of about 5 MB: 2,000 kestles with one arrangement each and 50 saved layouts.
/// Built once and shared.
const Library& largeLibrary();

}  // namespace kestles
