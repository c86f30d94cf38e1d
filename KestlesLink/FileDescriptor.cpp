#include "KestlesLink/FileDescriptor.hpp"

#include <unistd.h>

namespace kestles::link {

void FileDescriptor::reset(int fd) {
  // close() is not retried on EINTR: on Linux the descriptor is released either way.
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
}

}  // namespace kestles::link
