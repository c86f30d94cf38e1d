// Writes the large benchmark library to the path given, for benchmarks of whole commands.
#include <cstdio>

#include "KestlesCore/coding/JSONFile.hpp"
#include "bench/support/LargeLibrary.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_large_library PATH\n");
    return 1;
  }
  kestles::JSONFile<kestles::Library>{argv[1]}.save(kestles::largeLibrary());
  return 0;
}
