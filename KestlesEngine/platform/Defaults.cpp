#include "KestlesEngine/platform/Defaults.hpp"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "KestlesEngine/platform/Environment.hpp"

namespace kestles::platform {
namespace {

using nlohmann::json;

/// The file's object, or an empty one when it is missing or not an object of suites.
json readDefaults() {
  std::ifstream file(defaultsFile());
  if (!file) return json::object();
  auto parsed = json::parse(file, nullptr, false);
  if (parsed.is_discarded() || !parsed.is_object()) return json::object();
  return parsed;
}

bool writeAtomically(const std::filesystem::path& path, const std::string& contents) {
  auto temporary = path;
  temporary += ".tmp-" + std::to_string(getpid());
  FILE* file = std::fopen(temporary.c_str(), "w");
  if (file == nullptr) return false;
  bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size() &&
                 std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  written = std::fclose(file) == 0 && written;
  if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

}  // namespace

std::filesystem::path defaultsFile() {
  return configHome() / "kestles" / "defaults.json";
}

std::optional<bool> readDefaultBool(const std::string& suite, const std::string& key) {
  auto defaults = readDefaults();
  auto suiteEntry = defaults.find(suite);
  if (suiteEntry == defaults.end() || !suiteEntry->is_object()) return std::nullopt;
  auto value = suiteEntry->find(key);
  if (value == suiteEntry->end() || !value->is_boolean()) return std::nullopt;
  return value->get<bool>();
}

std::optional<std::string> writeDefaultBool(const std::string& suite, const std::string& key,
                                            bool value) {
  auto defaults = readDefaults();
  if (!defaults[suite].is_object()) defaults[suite] = json::object();
  defaults[suite][key] = value;
  std::error_code error;
  std::filesystem::create_directories(defaultsFile().parent_path(), error);
  if (!writeAtomically(defaultsFile(), defaults.dump(2) + "\n"))
    return "The defaults file " + defaultsFile().string() + " can’t be written.";
  return std::nullopt;
}

}  // namespace kestles::platform
