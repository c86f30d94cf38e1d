#pragma once

#include <unistd.h>

#include <string>
#include <system_error>

namespace kestles::json_style {

/// Throws the errno `code` as a std::system_error about `what`.
[[noreturn]] inline void fail(int code, const std::string& what) {
  throw std::system_error(code, std::generic_category(), what);
}

/// Owns one open file descriptor.
struct Descriptor {
  int value = -1;
  explicit Descriptor(int descriptor) : value(descriptor) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (value >= 0) ::close(value);
  }
};

}  // namespace kestles::json_style
