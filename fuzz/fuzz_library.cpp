// Decodes any bytes as a library file, both item by item and through the whole parsed
// document: the two must agree, and whatever decodes must save and load back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/library/Library.hpp"

namespace {

template <class Item>
std::vector<std::string> names(const std::vector<Item>& items) {
  std::vector<std::string> result;
  for (const auto& item : items)
    result.push_back(item.name);
  return result;
}

// Missing ids and dates are made up anew by each decoding, so compare everything else.
bool agree(const kestles::Library& a, const kestles::Library& b) {
  return a.version == b.version && names(a.kestles) == names(b.kestles) &&
         names(a.layouts) == names(b.layouts) && a.rules == b.rules &&
         a.currentKestleID.has_value() == b.currentKestleID.has_value() &&
         a.currentLayouts == b.currentLayouts && a.settings == b.settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kestles::Library library;
  bool streamed = false;
  try {
    library = kestles::decodeDocument(bytes, std::type_identity<kestles::Library>{});
    streamed = true;
  } catch (const std::exception&) {
  }
  bool whole = false;
  kestles::Library document;
  try {
    document = kestles::json_style::parse(bytes).get<kestles::Library>();
    whole = true;
  } catch (const std::exception&) {
  }
  if (streamed != whole || (whole && !agree(library, document))) std::abort();
  if (!whole) return 0;
  std::string saved;
  try {
    saved = kestles::json_style::encode(nlohmann::json(library));
  } catch (const std::exception&) {
    return 0;  // text that is not UTF-8 cannot be saved; the save reports it
  }
  auto reloaded = kestles::decodeDocument(saved, std::type_identity<kestles::Library>{});
  if (!(reloaded == library)) std::abort();
  return 0;
}
