#include "KestlesCore/coding/JSONFile.hpp"

#include <algorithm>

namespace kestles::json_style {

std::filesystem::path setAsidePath(const std::filesystem::path& path, const Date& date) {
  auto stamp = date.iso();
  std::replace(stamp.begin(), stamp.end(), ':', '-');
  auto name = path.stem().string();
  name.append(".unreadable-").append(stamp).append(".json");
  return path.parent_path() / name;
}

}  // namespace kestles::json_style
