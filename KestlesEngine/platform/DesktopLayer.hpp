#pragma once

#include "KestlesEngine/platform/Accessibility.hpp"
#include "KestlesEngine/platform/AppCatalog.hpp"
#include "KestlesEngine/platform/AppOpener.hpp"
#include "KestlesEngine/platform/HotKeyService.hpp"
#include "KestlesEngine/platform/InputMonitor.hpp"
#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/platform/WindowServer.hpp"
#include "KestlesEngine/platform/Workspace.hpp"

namespace kestles::platform {

/// The interfaces of one desktop, as references into the object that serves them.
struct LayerParts {
  Accessibility& ax;
  WindowServer& windowServer;
  Workspace& workspace;
  Screens& screens;
  AppOpener& opener;
  HotKeyService& hotKeys;
  InputMonitor& input;
  AppCatalog& catalog;
};

/// One desktop behind the engine's interfaces (the X session, or the simulated desktop).
/// The engine's long-lived objects take the parts by reference; this object owns them and
/// must outlive those objects.
class DesktopLayer {
 public:
  virtual ~DesktopLayer() = default;
  virtual LayerParts parts() = 0;
  /// Whether the desktop has gone away (its server closed the connection): nothing more
  /// can be done on it.
  virtual bool isGone() { return false; }
};

}  // namespace kestles::platform
