#include <gtest/gtest.h>
#include <xcb/xtest.h>
// The XKB header names a member `explicit`.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "KestlesEngine/engine/DoubleControlMonitor.hpp"
#include "KestlesEngine/engine/HotKeys.hpp"
#include "KestlesEngine/platform/ModifierMasks.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/x11/X11HotKeys.hpp"
#include "KestlesEngine/x11/X11Input.hpp"
#include "KestlesEngine/x11/X11KeyMapping.hpp"
#include "tests/x11/support/Typist.hpp"
#include "tests/x11/support/XSession.hpp"

namespace kestles::x11 {
namespace {

using namespace std::chrono_literals;
using testing::XSession;

constexpr std::uint32_t kKeyK = 40;
constexpr std::uint32_t kKeyJ = 38;
constexpr std::uint32_t kKey1 = 18;
const std::uint32_t kCommand = platform::carbonModifiers({KeyModifiers::command});
const std::uint32_t kControlOption =
    platform::carbonModifiers({KeyModifiers::control | KeyModifiers::option});

/// What arrives on another thread, waited for with a deadline.
template <class T>
class Inbox {
 public:
  void put(T item) {
    std::lock_guard lock(mutex_);
    items_.push_back(std::move(item));
    arrived_.notify_all();
  }
  /// The items once there are `count` of them (or what came within the deadline).
  std::vector<T> wait(std::size_t count, std::chrono::milliseconds timeout = 3s) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [&] { return items_.size() >= count; });
    return items_;
  }
  /// Whether `item` came within the deadline.
  bool waitFor(const T& item, std::chrono::milliseconds timeout = 3s) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] {
      return std::find(items_.begin(), items_.end(), item) != items_.end();
    });
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<T> items_;
};

struct HotKeyDesk {
  explicit HotKeyDesk(const XSession& session)
      : service(X11HotKeyService::open(session.display())), typist(session.display()) {
    service->installHandler([this](const platform::HotKeyService::Event* event) {
      pressed.put(event->hotKey->id);
      return 0;
    });
  }
  platform::HotKeyService::Registration add(std::uint32_t keyCode, std::uint32_t modifiers,
                                            std::uint32_t id) {
    return service->registerHotKey(keyCode, modifiers, {engine::HotKeys::kSignature, id});
  }
  Inbox<std::uint32_t> pressed;  // first: it outlives the service's event thread
  std::unique_ptr<X11HotKeyService> service;
  Typist typist;
};

std::unique_ptr<XSession> bareServer() {
  return XSession::start({.windowManager = false});
}

TEST(X11KeyEndToEnd, AHotKeyFiresWithItsIdWhateverLockIsOn) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  HotKeyDesk desk(*session);
  ASSERT_EQ(desk.add(kKeyK, kCommand, 7).status, 0);
  ASSERT_EQ(desk.add(kKey1, kControlOption, 8).status, 0);
  auto& typist = desk.typist;

  typist.chord({XKB_KEY_k});                                  // without its modifier: nothing
  typist.chord({XKB_KEY_Super_L, XKB_KEY_Alt_L, XKB_KEY_k});  // an extra modifier: nothing
  typist.chord({XKB_KEY_Super_L, XKB_KEY_k});
  typist.chord({XKB_KEY_Caps_Lock});  // Caps Lock on
  typist.chord({XKB_KEY_Super_L, XKB_KEY_k});
  typist.chord({XKB_KEY_Num_Lock});  // both on
  typist.chord({XKB_KEY_Super_L, XKB_KEY_k});
  typist.chord({XKB_KEY_Caps_Lock});  // Num Lock alone
  typist.chord({XKB_KEY_Super_L, XKB_KEY_k});
  typist.chord({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_1});
  EXPECT_EQ(desk.pressed.wait(5), (std::vector<std::uint32_t>{7, 7, 7, 7, 8}));
}

TEST(X11KeyEndToEnd, HoldingAHotKeyFiresOnce) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  HotKeyDesk desk(*session);
  ASSERT_EQ(desk.add(kKeyK, kCommand, 7).status, 0);
  ASSERT_EQ(desk.add(kKeyJ, kCommand, 9).status, 0);
  auto& typist = desk.typist;
  typist.press(XKB_KEY_Super_L);
  typist.press(XKB_KEY_k);
  std::this_thread::sleep_for(800ms);  // past the delay before the server repeats it
  typist.release(XKB_KEY_k);
  typist.chord({XKB_KEY_j});
  typist.release(XKB_KEY_Super_L);
  EXPECT_EQ(desk.pressed.wait(2), (std::vector<std::uint32_t>{7, 9}));
}

TEST(X11KeyEndToEnd, AnUnregisteredHotKeyIsQuietAndFreeForOthers) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  HotKeyDesk desk(*session);
  auto gone = desk.add(kKeyK, kCommand, 7);
  ASSERT_EQ(desk.add(kKeyJ, kCommand, 9).status, 0);
  ASSERT_TRUE(gone.ref);
  EXPECT_EQ(desk.service->unregisterHotKey(*gone.ref), 0);
  EXPECT_EQ(desk.service->unregisterHotKey(*gone.ref), X11HotKeyService::kUnknownRef);
  desk.typist.chord({XKB_KEY_Super_L, XKB_KEY_k});
  desk.typist.chord({XKB_KEY_Super_L, XKB_KEY_j});  // arrives after anything ⌘K brought
  EXPECT_EQ(desk.pressed.wait(1), (std::vector<std::uint32_t>{9}));

  // Every lock variant was let go: another client can take each.
  auto* other = desk.typist.raw();
  for (int locks :
       {0, XCB_MOD_MASK_LOCK + 0, XCB_MOD_MASK_2 + 0, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2}) {
    auto cookie = xcb_grab_key_checked(
        other, 0, desk.typist.root(), static_cast<std::uint16_t>(XCB_MOD_MASK_4 | locks),
        desk.typist.keycode(XKB_KEY_k), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    auto* error = xcb_request_check(other, cookie);
    EXPECT_EQ(error, nullptr) << locks;
    std::free(error);
  }
}

// A combination another client holds is refused and logged; the id is offered again.
TEST(X11KeyEndToEnd, ACombinationAnotherClientHoldsIsNotRegistered) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  Typist other(session->display());
  // The other client holds ⌘K only with Num Lock on: one variant is enough to refuse.
  xcb_grab_key(other.raw(), 0, other.root(), XCB_MOD_MASK_4 | XCB_MOD_MASK_2,
               other.keycode(XKB_KEY_k), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  xcb_get_input_focus_reply_t* done =
      xcb_get_input_focus_reply(other.raw(), xcb_get_input_focus(other.raw()), nullptr);
  std::free(done);

  Inbox<std::uint32_t> pressed;
  auto service = X11HotKeyService::open(session->display());
  sim::MemoryLog log;
  engine::HotKeys hotKeys(*service, log);
  EXPECT_EQ(hotKeys.add(kKeyK, kCommand, [] {}), std::nullopt);
  EXPECT_EQ(hotKeys.add(kKeyK, kCommand | kControlOption, [] {}), 1u);
  EXPECT_EQ(hotKeys.add(kKeyK, kCommand | kControlOption, [] {}), std::nullopt);  // ours
  EXPECT_EQ(hotKeys.add(0xFFFF, kCommand, [] {}), std::nullopt);                  // no such key
  EXPECT_EQ(hotKeys.add(kKeyJ, kCommand, [&] { pressed.put(2); }), 2u);
  EXPECT_EQ(log.records(), (std::vector<platform::LogRecord>{
                               {platform::LogLevel::error, platform::LogCategory::hotkeys,
                                "Couldn’t take Super+K: another program holds it."},
                               {platform::LogLevel::error, platform::LogCategory::hotkeys,
                                "Couldn’t take Super+Ctrl+Alt+K: another program holds it."},
                               {platform::LogLevel::error, platform::LogCategory::hotkeys,
                                "Couldn’t take Super+Key 65535: this keyboard has no such key."},
                           }));
  // Nothing half-grabbed is left behind: ⌘K without Num Lock reaches nobody, ⌘J reaches us.
  Typist typist(session->display());
  typist.chord({XKB_KEY_Super_L, XKB_KEY_k});
  typist.chord({XKB_KEY_Super_L, XKB_KEY_j});
  EXPECT_EQ(pressed.wait(1), (std::vector<std::uint32_t>{2}));
}

TEST(X11KeyEndToEnd, AServerThatWentAwayTakesNoHotKeys) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  auto service = X11HotKeyService::open(session->display());
  auto kept = service->registerHotKey(kKeyK, kCommand, {engine::HotKeys::kSignature, 1});
  ASSERT_EQ(kept.status, 0);
  session.reset();
  auto late = service->registerHotKey(kKeyJ, kCommand, {engine::HotKeys::kSignature, 2});
  EXPECT_EQ(late.status, X11HotKeyService::kServerGone);
  EXPECT_EQ(late.ref, std::nullopt);
  EXPECT_EQ(service->unregisterHotKey(*kept.ref), 0);
}

// Swapping two keys in the keyboard map moves the hot key with its keysym.
TEST(X11KeyEndToEnd, AHotKeyFollowsItsKeyToANewKeyboardMap) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  HotKeyDesk desk(*session);
  ASSERT_EQ(desk.add(kKeyK, kCommand, 7).status, 0);
  auto& typist = desk.typist;
  auto k = typist.keycode(XKB_KEY_k);
  auto j = typist.keycode(XKB_KEY_j);
  ASSERT_EQ(k, j + 1);  // neighbours, so one request rewrites both
  std::uint32_t swapped[] = {XKB_KEY_k, XKB_KEY_K, XKB_KEY_j, XKB_KEY_J};
  xcb_change_keyboard_mapping(typist.raw(), 2, j, 2, swapped);
  // The service hears of it on its own thread; wait until ⌘ on the old J key fires.
  typist.rereadMap();
  ASSERT_EQ(typist.keycode(XKB_KEY_k), j);
  bool moved = false;
  for (int attempt = 0; attempt < 50 && !moved; ++attempt) {
    typist.chord({XKB_KEY_Super_L, XKB_KEY_k});
    moved = !desk.pressed.wait(1, 100ms).empty();
  }
  EXPECT_TRUE(moved);
}

struct InputDesk {
  explicit InputDesk(const XSession& session)
      : monitor(X11InputMonitor::open(session.display())), typist(session.display()) {}
  std::unique_ptr<X11InputMonitor> monitor;
  Typist typist;
};

TEST(X11KeyEndToEnd, ModifierKeysBecomeFlagChangesOnTheUptimeLine) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  Inbox<platform::FlagsChangedEvent> changes;
  InputDesk desk(*session);
  desk.monitor->addFlagsChangedMonitor(
      [&](const platform::FlagsChangedEvent& event) { changes.put(event); });
  double before = desk.monitor->systemUptime();
  auto& typist = desk.typist;
  typist.chord({XKB_KEY_Control_L});
  typist.chord({XKB_KEY_Control_R, XKB_KEY_Shift_L, XKB_KEY_a});
  typist.release(XKB_KEY_Control_L);  // released twice, as some senders do
  typist.chord({XKB_KEY_Super_L, XKB_KEY_Alt_R});
  auto seen = changes.wait(10);
  double after = desk.monitor->systemUptime();
  struct Expected {
    std::uint16_t keyCode;
    std::uint64_t flags;
  };
  // The second release of Control_L changes nothing and is not reported.
  const Expected expected[] = {{59, 0x40000},  {59, 0}, {62, 0x40000},  {56, 0x60000},
                               {56, 0x40000},  {62, 0}, {55, 0x100000}, {61, 0x180000},
                               {61, 0x100000}, {55, 0}};
  ASSERT_EQ(seen.size(), std::size(expected));
  double previous = before;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].keyCode, expected[i].keyCode) << i;
    EXPECT_EQ(seen[i].modifierFlags, expected[i].flags) << i;
    EXPECT_GE(seen[i].timestamp, previous) << i;
    previous = seen[i].timestamp;
  }
  // Events of one millisecond are spaced a millisecond apart, a little ahead of the clock:
  // thirteen key events were sent.
  EXPECT_LE(previous, after + 13 * X11KeyTimeline::kStep) << previous - after;
}

TEST(X11KeyEndToEnd, KeysClicksAndScrollsAreOtherInputEachOfItsKind) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  Inbox<int> marks;
  InputDesk desk(*session);
  desk.monitor->addFlagsChangedMonitor([&](const platform::FlagsChangedEvent&) { marks.put(1); });
  using platform::InputKind;
  auto since = [&](InputKind kind) { return desk.monitor->secondsSinceLastEvent(kind); };
  double uptime = desk.monitor->systemUptime();
  for (auto kind : {InputKind::keyDown, InputKind::leftMouseDown, InputKind::scrollWheel})
    EXPECT_GE(since(kind), uptime) << static_cast<int>(kind);  // never seen

  auto& typist = desk.typist;
  typist.chord({XKB_KEY_a});
  typist.click(1);
  typist.click(5);
  typist.click(2);
  typist.chord({XKB_KEY_Control_L});  // a mark: everything before it has been handled
  ASSERT_EQ(marks.wait(2).size(), 2u);
  for (auto kind : {InputKind::keyDown, InputKind::leftMouseDown, InputKind::scrollWheel,
                    InputKind::otherMouseDown})
    EXPECT_LT(since(kind), 2.0) << static_cast<int>(kind);
  EXPECT_GE(since(InputKind::rightMouseDown), uptime);
}

TEST(X11KeyEndToEnd, ADoubleControlTapReachesTheMonitorUnlessSomethingCameBetween) {
  auto session = bareServer();
  if (!session) GTEST_SKIP() << "Xvfb is missing";
  Inbox<int> taps;
  Inbox<int> changes;
  InputDesk desk(*session);
  engine::DoubleControlMonitor doubleControl(*desk.monitor, [&] { taps.put(1); });
  doubleControl.start();
  // Added after the detector, so it hears each change after the detector has.
  desk.monitor->addFlagsChangedMonitor([&](const platform::FlagsChangedEvent&) { changes.put(1); });
  auto& typist = desk.typist;

  typist.chord({XKB_KEY_Control_L});
  typist.chord({XKB_KEY_a});
  typist.chord({XKB_KEY_Control_L});
  ASSERT_EQ(changes.wait(4).size(), 4u);
  EXPECT_TRUE(taps.wait(1, 0ms).empty());

  std::this_thread::sleep_for(400ms);  // past the pause a double tap allows
  typist.chord({XKB_KEY_Control_L});
  typist.chord({XKB_KEY_Control_R});
  EXPECT_EQ(taps.wait(1).size(), 1u);
}

}  // namespace
}  // namespace kestles::x11
