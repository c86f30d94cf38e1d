#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "KestlesEngine/platform/HotKeyService.hpp"
#include "KestlesEngine/platform/LogSink.hpp"

namespace kestles::engine {

/// The registry of global shortcuts: each registration gets an id that is never reused,
/// and all of them can be suspended (while a shortcut is being recorded, say) and resumed.
/// Main thread only.
class HotKeys {
 public:
  /// A key code and the platform's modifier mask.
  struct Shortcut {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    bool operator==(const Shortcut&) const = default;
  };
  using Action = std::function<void()>;

  /// The signature every registration carries ("Kstl").
  static constexpr std::uint32_t kSignature = 0x4B73746C;
  /// The answer to an event that is not handled.
  static constexpr std::int32_t kEventNotHandled = -9874;
  /// The statuses of a refused registration that the log names in words.
  static constexpr std::int32_t kKeyTaken = -9878;
  static constexpr std::int32_t kNoSuchKey = -9879;

  HotKeys(platform::HotKeyService& service, platform::LogSink& log);
  /// Unregisters everything still registered.
  ~HotKeys();
  HotKeys(const HotKeys&) = delete;
  HotKeys& operator=(const HotKeys&) = delete;

  /// Registers the shortcut and returns its id; nothing when the platform refuses it (then
  /// nothing is recorded and the id is offered again next time). While suspended the
  /// shortcut is only recorded, to be registered on the last resume.
  std::optional<std::uint32_t> add(std::uint32_t keyCode, std::uint32_t modifiers, Action action);
  /// Unregisters the id and forgets its shortcut and action.
  void remove(std::uint32_t id);
  /// Counted: the first suspend unregisters every shortcut, keeping them recorded.
  void suspend();
  /// Counted: the last resume registers every recorded shortcut again; extra resumes are
  /// ignored.
  void resume();
  /// Runs the action of the event's hot key; the status the platform expects back.
  std::int32_t handle(const platform::HotKeyService::Event* event);

  int suspensions() const { return suspensions_; }
  std::map<std::uint32_t, Shortcut> shortcuts() const { return shortcuts_; }
  /// The ids registered with the platform now.
  bool isRegistered(std::uint32_t id) const { return refs_.contains(id); }

 private:
  void installHandler();
  std::optional<std::uint64_t> registerWithPlatform(std::uint32_t id, const Shortcut& shortcut);
  void log(platform::LogLevel level, std::string message);

  platform::HotKeyService& service_;
  platform::LogSink& log_;
  std::map<std::uint32_t, Action> actions_;
  std::map<std::uint32_t, Shortcut> shortcuts_;
  std::map<std::uint32_t, std::uint64_t> refs_;
  int suspensions_ = 0;
  std::uint32_t next_ = 1;
  bool handlerInstalled_ = false;
};

}  // namespace kestles::engine
