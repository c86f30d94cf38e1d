// Decodes any bytes as an archive, item by item and through the whole parsed document (the
// two must agree), and merges it into a library twice: the second merge must change
// nothing, and the merged library must save and load back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "KestlesCore/archive/KestlesArchive.hpp"
#include "KestlesCore/coding/JSONFile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kestles::KestlesArchive archive;
  kestles::KestlesArchive document;
  int decoded = 0;
  try {
    archive = kestles::KestlesArchive::decoded(bytes);
    ++decoded;
  } catch (const std::exception&) {
  }
  try {
    document = kestles::json_style::parse(bytes).get<kestles::KestlesArchive>();
    ++decoded;
  } catch (const std::exception&) {
  }
  if (decoded == 1) std::abort();
  if (decoded == 0) return 0;
  // Missing ids and dates are made up anew by each decoding; the rest must be equal.
  if (archive.kestles.size() != document.kestles.size() ||
      archive.layouts.size() != document.layouts.size() || archive.rules != document.rules ||
      archive.settings != document.settings || archive.exported != document.exported)
    std::abort();
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
