// Decodes any bytes as an archive and merges it into a library twice: the second merge
// must change nothing, and the merged library must save and load back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "KestlesCore/archive/KestlesArchive.hpp"
#include "KestlesCore/library/JSONFile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kestles::KestlesArchive archive;
  try {
    archive = kestles::KestlesArchive::decoded(bytes);
  } catch (const std::exception&) {
    return 0;
  }
  kestles::Library library;
  archive.importInto(library, kestles::ImportParts{kestles::ImportParts::all});
  auto merged = library;
  auto again = archive.importInto(library, kestles::ImportParts{kestles::ImportParts::all});
  (void)again.text();
  if (!(library == merged)) std::abort();
  try {
    auto saved = kestles::json_style::encode(nlohmann::json(library));
    if (!(kestles::json_style::parse(saved).get<kestles::Library>() == library)) std::abort();
  } catch (const nlohmann::json::type_error&) {
    // text that is not UTF-8 cannot be saved; the save reports it
  }
  return 0;
}
