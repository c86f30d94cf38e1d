#pragma once

#include <filesystem>
#include <string>

namespace kestles::tool {

/// The file URL of an absolute path, escaped for a URL ("file:///home/me/My%20Work.kestles").
std::string fileURL(const std::filesystem::path& path);

}  // namespace kestles::tool
