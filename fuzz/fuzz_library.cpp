// Decodes any bytes as a library file; whatever decodes must save and load back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "KestlesCore/library/JSONFile.hpp"
#include "KestlesCore/library/Library.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kestles::Library library;
  try {
    library = kestles::json_style::parse(bytes).get<kestles::Library>();
  } catch (const std::exception&) {
    return 0;
  }
  std::string saved;
  try {
    saved = kestles::json_style::encode(nlohmann::json(library));
  } catch (const std::exception&) {
    return 0;  // text that is not UTF-8 cannot be saved; the save reports it
  }
  auto reloaded = kestles::json_style::parse(saved).get<kestles::Library>();
  if (!(reloaded == library)) std::abort();
  return 0;
}
