#pragma once

#include <utility>

namespace kestles::link {

/// The one owner of an open file descriptor: closes it when it goes, moves but never copies.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  /// Takes ownership of `fd` (a negative value owns nothing).
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { reset(); }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  /// Gives the descriptor up without closing it.
  int release() { return std::exchange(fd_, -1); }
  /// Closes the descriptor held (if any) and takes `fd` instead.
  void reset(int fd = -1);

 private:
  int fd_ = -1;
};

}  // namespace kestles::link
