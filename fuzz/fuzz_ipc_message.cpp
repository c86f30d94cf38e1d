// Reading the compositor's IPC stream must never crash, whatever arrives and however it is
// split; every message read must encode back to the very bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "KestlesEngine/ipc/IpcMessage.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The first byte chooses the chunk size, so splits are fuzzed along with the content.
  std::size_t chunk = size > 0 ? std::size_t(data[0] % 17) + 1 : 1;
  kestles::ipc::MessageReader reader;
  std::string consumed;
  for (std::size_t at = 0; at < bytes.size(); at += chunk) {
    reader.feed(bytes.substr(at, chunk));
    while (auto message = reader.next())
      consumed += kestles::ipc::encodeMessage(message->type, message->payload);
  }
  if (bytes.substr(0, consumed.size()) != consumed) std::abort();
  return 0;
}
