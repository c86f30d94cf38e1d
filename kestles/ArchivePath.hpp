#pragma once

#include <filesystem>
#include <string>

namespace kestles::tool {

/// The archive file a typed path names: a leading tilde expanded, relative paths taken from
/// `workingFolder`, ".kestles" added when the name has no extension, "." and ".." resolved.
std::filesystem::path archivePath(const std::string& typed,
                                  const std::filesystem::path& workingFolder,
                                  const std::filesystem::path& home);

/// The file URL of an absolute path, escaped for a URL ("file:///home/me/My%20Work.kestles").
std::string fileURL(const std::filesystem::path& path);

}  // namespace kestles::tool
