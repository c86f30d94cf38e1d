// Writes the shell completion script for the shell named, to the file named (else to
// standard output), for the build to install.
#include <cstdio>
#include <fstream>
#include <string>

#include "kestles/Completions.hpp"

int main(int argc, char** argv) {
  auto script = argc == 2 || argc == 3 ? kestles::tool::completionScript(argv[1]) : std::nullopt;
  if (!script) {
    std::fprintf(stderr, "kestles-completions takes a shell (bash, zsh or fish) and a file.\n");
    return 1;
  }
  if (argc == 2) return std::fputs(script->c_str(), stdout) < 0 ? 1 : 0;
  std::ofstream file(argv[2]);
  file << *script;
  return file.good() ? 0 : 1;
}
