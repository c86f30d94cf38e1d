#include "KestlesEngine/engine/KeyNames.hpp"

#include <utf8proc.h>

#include "KestlesCore/text/Text.hpp"

namespace kestles::engine {
namespace {

std::string uppercased(std::string_view text) {
  std::string out;
  auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  auto left = static_cast<utf8proc_ssize_t>(text.size());
  while (left > 0) {
    utf8proc_int32_t point = 0;
    auto used = utf8proc_iterate(bytes, left, &point);
    if (used <= 0) break;
    utf8proc_uint8_t encoded[4];
    auto length = utf8proc_encode_char(utf8proc_toupper(point), encoded);
    out.append(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(length));
    bytes += used;
    left -= used;
  }
  return out;
}

}  // namespace

std::optional<std::string> KeyNames::name(std::int64_t keyCode) {
  if (keyCode < 0 || keyCode > 0xFFFF) return std::nullopt;
  auto key = static_cast<std::uint16_t>(keyCode);
  {
    std::lock_guard lock(mutex_);
    if (auto cached = cache_.find(key); cached != cache_.end()) return cached->second;
  }
  // A layout that cannot answer now is asked again next time rather than remembered.
  auto translation = layout_.translate(key);
  if (!translation || translation->status != 0) return std::nullopt;
  auto text = text::trimmed(text::repairedUTF8(translation->text));
  std::optional<std::string> name;
  if (!text.empty()) name = uppercased(text);
  std::lock_guard lock(mutex_);
  cache_[key] = name;
  return name;
}

void KeyNames::clearCache() {
  std::lock_guard lock(mutex_);
  cache_.clear();
}

}  // namespace kestles::engine
