// Parsing any arguments must give a request or an error sentence, never a crash; a command it
// gives must survive the trip through its link.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "KestlesCore/command/CommandLink.hpp"
#include "kestles/CLIParser.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Arguments are separated by NUL bytes, as they arrive from the system.
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      arguments.emplace_back();
    else
      arguments.back() += static_cast<char>(data[i]);
  }
  if (size == 0) arguments.clear();
  auto result = kestles::tool::parseArguments(arguments);
  if (const auto* error = std::get_if<kestles::Failure>(&result)) {
    if (error->message.empty()) std::abort();
    return 0;
  }
  const auto& request = std::get<kestles::tool::CLIRequest>(result);
  if (const auto* send = std::get_if<kestles::tool::CLIRequest::Send>(&request.value)) {
    auto link = kestles::commandLink(send->command);
    if (kestles::decodeCommandLink(link) != send->command) std::abort();
  }
  return 0;
}
