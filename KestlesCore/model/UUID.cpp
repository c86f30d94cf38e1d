#include "KestlesCore/model/UUID.hpp"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

/// Fills the buffer from getrandom, falling back to /dev/urandom where the call is missing.
void fillRandom(std::uint8_t* data, std::size_t length) {
  std::size_t done = 0;
  while (done < length) {
    ssize_t got = getrandom(data + done, length - done, 0);
    if (got > 0) {
      done += static_cast<std::size_t>(got);
    } else if (got < 0 && errno != EINTR) {
      break;
    }
  }
  if (done == length) return;
  if (std::FILE* file = std::fopen("/dev/urandom", "rb")) {
    done += std::fread(data + done, 1, length - done, file);
    std::fclose(file);
  }
  if (done != length) throw std::runtime_error("The system’s random source could not be read.");
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isHyphenPosition(std::size_t index) {
  return index == 8 || index == 13 || index == 18 || index == 23;
}

}  // namespace

/// Random bytes from a per-thread pool refilled from the system in blocks: decoding a large
/// library makes tens of thousands of ids, and one system call each dominated reading it.
static void takeRandom(std::uint8_t* data, std::size_t length) {
  thread_local std::array<std::uint8_t, 4096> pool{};
  thread_local std::size_t used = pool.size();
  if (pool.size() - used < length) {
    fillRandom(pool.data(), pool.size());
    used = 0;
  }
  std::memcpy(data, pool.data() + used, length);
  // Bytes handed out are wiped so that no id can be made twice from the same pool bytes.
  std::memset(pool.data() + used, 0, length);
  used += length;
}

UUID UUID::random() {
  UUID uuid;
  takeRandom(uuid.bytes.data(), uuid.bytes.size());
  uuid.bytes[6] = static_cast<std::uint8_t>((uuid.bytes[6] & 0x0F) | 0x40);
  uuid.bytes[8] = static_cast<std::uint8_t>((uuid.bytes[8] & 0x3F) | 0x80);
  return uuid;
}

std::optional<UUID> UUID::fromString(std::string_view text) {
  if (text.size() != 36) return std::nullopt;
  UUID uuid;
  std::size_t byte = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (isHyphenPosition(i)) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    int high = hexValue(text[i]);
    int low = hexValue(text[i + 1]);
    if (high < 0 || low < 0 || isHyphenPosition(i + 1)) return std::nullopt;
    uuid.bytes[byte++] = static_cast<std::uint8_t>(high * 16 + low);
    i += 2;
  }
  return uuid;
}

std::string UUID::uuidString() const {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(36);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

void to_json(nlohmann::json& json, const UUID& uuid) {
  json = uuid.uuidString();
}

void from_json(const nlohmann::json& json, UUID& uuid) {
  auto parsed = UUID::fromString(coding::decode<std::string>(json));
  if (!parsed) throw coding::DecodeError("Expected a UUID string.");
  uuid = *parsed;
}

}  // namespace kestles

std::size_t std::hash<kestles::UUID>::operator()(const kestles::UUID& uuid) const noexcept {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  std::memcpy(&high, uuid.bytes.data(), 8);
  std::memcpy(&low, uuid.bytes.data() + 8, 8);
  return static_cast<std::size_t>(high ^ (low * 0x9E3779B97F4A7C15ULL));
}
