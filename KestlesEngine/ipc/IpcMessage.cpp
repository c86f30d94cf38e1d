#include "KestlesEngine/ipc/IpcMessage.hpp"

#include <algorithm>
#include <cstring>

namespace kestles::ipc {
namespace {

constexpr std::string_view kMagic = "i3-ipc";
constexpr std::size_t kHeaderSize = kMagic.size() + 2 * sizeof(std::uint32_t);

void appendWord(std::string& out, std::uint32_t word) {
  char bytes[sizeof word];
  std::memcpy(bytes, &word, sizeof word);
  out.append(bytes, sizeof word);
}

std::uint32_t wordAt(const std::string& bytes, std::size_t offset) {
  std::uint32_t word = 0;
  std::memcpy(&word, bytes.data() + offset, sizeof word);
  return word;
}

}  // namespace

std::string encodeMessage(std::uint32_t type, std::string_view payload) {
  std::string out;
  out.reserve(kHeaderSize + payload.size());
  out.append(kMagic);
  appendWord(out, static_cast<std::uint32_t>(payload.size()));
  appendWord(out, type);
  out.append(payload);
  return out;
}

void MessageReader::feed(std::string_view bytes) {
  if (error_) return;
  // Drop what was consumed before growing, so a long-lived reader does not keep every event.
  if (start_ > 0 && start_ >= buffer_.size() / 2) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes);
}

std::optional<Message> MessageReader::next() {
  if (error_) return std::nullopt;
  auto available = buffer_.size() - start_;
  // A wrong magic shows as soon as its bytes are in, before a whole header is.
  auto magicPart = std::min(available, kMagic.size());
  if (std::string_view(buffer_).substr(start_, magicPart) != kMagic.substr(0, magicPart)) {
    error_ = "The compositor sent a message without the IPC header.";
    return std::nullopt;
  }
  if (available < kHeaderSize) return std::nullopt;
  auto length = wordAt(buffer_, start_ + kMagic.size());
  auto type = wordAt(buffer_, start_ + kMagic.size() + sizeof length);
  if (length > kMaxPayload) {
    error_ = "The compositor sent a message of " + std::to_string(length) +
             " bytes, more than the IPC allows.";
    return std::nullopt;
  }
  if (available - kHeaderSize < length) return std::nullopt;
  Message message{type, buffer_.substr(start_ + kHeaderSize, length)};
  start_ += kHeaderSize + length;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
  return message;
}

}  // namespace kestles::ipc
