#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "KestlesEngine/platform/Accessibility.hpp"
#include "KestlesEngine/platform/AppCatalog.hpp"
#include "KestlesEngine/platform/AppOpener.hpp"
#include "KestlesEngine/platform/HotKeyService.hpp"
#include "KestlesEngine/platform/InputMonitor.hpp"
#include "KestlesEngine/platform/Overlay.hpp"
#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/platform/WindowDrags.hpp"
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

/// The "gone" call of a desktop that can go away: set from any thread, called once.
class GoneSignal {
 public:
  /// Replaces the call; calls it at once when the desktop is gone already.
  void set(std::function<void()> gone) {
    {
      std::lock_guard guard(mutex_);
      gone_ = gone;
      if (!wentAway_) return;
    }
    if (gone) gone();
  }
  /// The desktop went away: calls the call set, if any.
  void fire() {
    std::function<void()> gone;
    {
      std::lock_guard guard(mutex_);
      wentAway_ = true;
      gone = gone_;
    }
    if (gone) gone();
  }

 private:
  std::mutex mutex_;
  std::function<void()> gone_;
  bool wentAway_ = false;
};

/// One desktop behind the engine's interfaces (the X session, or the simulated desktop).
/// The engine's long-lived objects take the parts by reference; this object owns them and
/// must outlive those objects.
class DesktopLayer {
 public:
  virtual ~DesktopLayer() = default;
  virtual LayerParts parts() = 0;
  /// Calls `gone` once, on any thread, when the desktop goes away (its server closed the
  /// connection, so nothing more can be done on it), or at once when it is gone already; a
  /// desktop that cannot go away never calls it. A later call replaces it.
  virtual void onGone(std::function<void()> gone) { (void)gone; }

  /// The keyboard modes' overlay, when the desktop has one to draw on (nothing: the modes
  /// cannot open). Its drawing is the app's alone, so the app hands it over.
  Overlay* overlay() { return overlay_.get(); }
  void adoptOverlay(std::unique_ptr<Overlay> overlay) { overlay_ = std::move(overlay); }
  /// The window manager's drags, when the desktop reports them (nothing: dragging a window
  /// never snaps it). Only the running app follows drags, so the app hands them over.
  WindowDrags* drags() { return drags_.get(); }
  void adoptDrags(std::unique_ptr<WindowDrags> drags) { drags_ = std::move(drags); }

 private:
  std::unique_ptr<Overlay> overlay_;
  std::unique_ptr<WindowDrags> drags_;
};

}  // namespace kestles::platform
