#include "KestlesApp/AppVersion.hpp"

namespace kestles::app {

// The tool reads the app's version from its binary without running it, by finding this stamp:
// a marker, the version, and a terminating NUL. A note section is laid out near the start of
// the file, so that the tool finds the stamp after reading only the first pages.
[[gnu::used, gnu::section(".note.kestles-version")]] constexpr char kVersionStamp[] =
    "\x01KESTLES-APP-VERSION=" KESTLES_VERSION;

const char* appVersion() {
  return kVersionStamp + sizeof("\x01KESTLES-APP-VERSION=") - 1;
}

}  // namespace kestles::app
