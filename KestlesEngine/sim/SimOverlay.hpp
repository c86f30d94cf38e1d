#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "KestlesEngine/platform/Overlay.hpp"

namespace kestles::sim {

/// The overlay of the simulated desktop: records every set of labels shown, holds the
/// keyboard unless told another program holds it, and lets tests type keys.
class SimOverlay final : public platform::Overlay {
 public:
  void onKey(KeyHandler handler) override { handler_ = std::move(handler); }
  bool show(const std::vector<ModeLabel>& labels) override;
  void hide() override;
  void showPassive(const platform::PassiveMarks& marks) override;
  void hidePassive() override { passive_.reset(); }

  /// Types the key as the user would: it reaches the handler only while the keyboard is
  /// held. True when it did.
  bool type(const TypedKey& key);
  /// Types keys named as `TypedKey::sequence` names them, in order; false when a name is
  /// not a key or a key found the keyboard let go.
  bool type(std::string_view names);

  /// The labels on screen now (none while hidden), and every set shown, in order.
  const std::vector<ModeLabel>& labels() const { return labels_; }
  const std::vector<std::vector<ModeLabel>>& shown() const { return shown_; }
  bool isHolding() const { return holding_; }
  /// The passive marks on screen now (nothing while none show), and every set shown, in order.
  const std::optional<platform::PassiveMarks>& passive() const { return passive_; }
  const std::vector<platform::PassiveMarks>& passiveShown() const { return passiveShown_; }
  /// Another program holds the keyboard: `show` refuses.
  bool keyboardTaken = false;

 private:
  KeyHandler handler_;
  std::vector<ModeLabel> labels_;
  std::vector<std::vector<ModeLabel>> shown_;
  bool holding_ = false;
  std::optional<platform::PassiveMarks> passive_;
  std::vector<platform::PassiveMarks> passiveShown_;
};

}  // namespace kestles::sim
