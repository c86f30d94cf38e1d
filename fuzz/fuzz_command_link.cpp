// Decoding a command or record link must never crash or throw, and whatever decodes must write a
// link that decodes to the same value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "KestlesCore/command/CommandLink.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto command = kestles::decodeCommandLink(text);
  if (command && kestles::decodeCommandLink(kestles::commandLink(*command)) != command)
    std::abort();
  auto request = kestles::decodeRecordLink(text);
  if (request && kestles::decodeRecordLink(kestles::recordLink(*request)) != request) std::abort();
  return 0;
}
