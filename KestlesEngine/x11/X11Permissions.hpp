#pragma once

#include "KestlesEngine/platform/PermissionService.hpp"

namespace kestles::x11 {

/// An X session grants every client access to other clients' windows and to the screen, so
/// everything is granted and there is no settings page to open.
class X11Permissions final : public platform::PermissionService {
 public:
  bool isProcessTrusted(bool) override { return true; }
  bool canRecordScreen() override { return true; }
  bool requestScreenRecording() override { return true; }
  bool openURL(const std::string&) override { return false; }
};

}  // namespace kestles::x11
