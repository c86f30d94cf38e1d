#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>
#include <vector>

#include "KestlesApp/AppVersion.hpp"
#include "KestlesApp/PlaceCommand.hpp"
#include "KestlesApp/WorldCommand.hpp"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("kestles-app %s\n", kestles::app::appVersion());
    return 0;
  }
  std::vector<std::string_view> rest(argv + std::min(argc, 2), argv + argc);
  if (argc > 1 && std::strcmp(argv[1], "world") == 0)
    return kestles::app::runWorldCommand(rest, std::cout, std::cerr);
  if (argc > 1 && std::strcmp(argv[1], "place") == 0)
    return kestles::app::runPlaceCommand(rest, std::cout, std::cerr);
  return 0;
}
