#include "KestlesApp/LibraryFile.hpp"

#include "KestlesApp/CommandLog.hpp"
#include "KestlesCore/coding/JSONFile.hpp"

namespace kestles::app {

std::optional<Library> readLibrary(const std::filesystem::path& file, std::ostream& err) {
  try {
    return JSONFile<Library>{file}.load().value_or(Library{});
  } catch (const std::exception& error) {
    fail(err, file.string() + " can’t be read (" + json_style::describe(error) + ").");
    return std::nullopt;
  }
}

}  // namespace kestles::app
