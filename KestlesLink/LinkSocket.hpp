#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "KestlesLink/FileDescriptor.hpp"

namespace kestles::link {

using Clock = std::chrono::steady_clock;

/// What a socket folder is to this user.
enum class FolderState {
  missing,     // nothing there yet
  isPrivate,   // a real folder (not a link) owned by this user that nobody else can enter
  notPrivate,  // anything else: another user's, open to others, a file, a link
};

/// Looks at the folder without following a symbolic link at its end.
FolderState folderState(const std::filesystem::path& folder);

/// Creates the folder with mode 0700 when it is missing (its parents as needed), then
/// returns its state; `missing` only when it cannot be made (errno says why).
FolderState makePrivateFolder(const std::filesystem::path& folder);

/// Whether the file at `path` is a socket owned by this user (a symbolic link is not).
bool isOwnSocket(const std::filesystem::path& path);

/// How a connection attempt ended.
enum class ConnectOutcome {
  connected,
  nobodyListens,  // no socket there, or nothing listening on it
  busy,           // a listener whose queue stayed full until the bound
  failed,         // any other error
};

struct Connection {
  ConnectOutcome outcome = ConnectOutcome::failed;
  FileDescriptor socket;  // open when connected
  int error = 0;          // errno of a failure
};

/// Connects to the Unix socket at `path`, waiting at most `bound` for room in a full queue.
Connection connectTo(const std::filesystem::path& path, std::chrono::milliseconds bound);

/// A listening socket bound at `path` (which must not exist) with room for `backlog` waiting
/// connections; nothing with errno set when it cannot be made. Accepted sockets of it are
/// non-blocking.
std::optional<FileDescriptor> listenAt(const std::filesystem::path& path, int backlog);

/// The user id of the process at the other end of a connected Unix socket, as it was when
/// that process connected or listened; nothing when it cannot be read.
std::optional<uid_t> peerUser(int socket);

/// Sends all of `text`, giving up at `deadline`; false when it could not.
bool sendAll(int socket, std::string_view text, Clock::time_point deadline);

/// How reading one line ended.
enum class ReadOutcome { line, timedOut, closed, tooLong };

/// Reads up to the first line feed from a socket or a pipe, giving up at `deadline` or past
/// `kLongestLinkLine`; on `line`, `line` holds it without the line feed.
ReadOutcome readLine(int fd, Clock::time_point deadline, std::string& line);

/// Reads line after line from a socket, keeping what came after a line for the next one.
class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}
  /// As `readLine`, for the next line.
  ReadOutcome next(Clock::time_point deadline, std::string& line);

 private:
  int fd_;
  std::string buffer_;
};

}  // namespace kestles::link
