#pragma once

#include <string>

namespace kestles::tool {

/// The tool's help text, built once on first use; every line ends in a newline.
const std::string& helpText();

}  // namespace kestles::tool
