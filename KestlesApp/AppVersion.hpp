#pragma once

namespace kestles::app {

/// The version this app was built with.
const char* appVersion();

}  // namespace kestles::app
