#include <cstdio>
#include <cstring>

#include "KestlesApp/AppVersion.hpp"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("kestles-app %s\n", kestles::app::appVersion());
    return 0;
  }
  return 0;
}
