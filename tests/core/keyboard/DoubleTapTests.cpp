#include "KestlesCore/keyboard/DoubleTap.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

using Modifiers = DoubleTap::Modifiers;

DoubleTap::Input press(double at) {
  return DoubleTap::ModifierChange{Modifiers::controlOnly, true, at};
}
DoubleTap::Input release(double at) {
  return DoubleTap::ModifierChange{Modifiers::none, true, at};
}

TEST(DoubleTapTests, TimingSequences) {
  struct Case {
    const char* name;
    std::vector<DoubleTap::Input> inputs;
    bool tapped;  // by the last input
    DoubleTap::Phase phase;
  };
  const Case cases[] = {
      {"a double tap", {press(0), release(0.1), press(0.2), release(0.3)}, true, DoubleTap::Idle{}},
      {"presses held exactly the longest",
       {press(0), release(0.25), press(0.5), release(0.75)},
       true,
       DoubleTap::Idle{}},
      {"a press held 0.3 s is no tap", {press(0), release(0.3)}, false, DoubleTap::Idle{}},
      {"a second press 0.31 s after the release starts anew",
       {press(0), release(0.1), press(0.41)},
       false,
       DoubleTap::FirstDown{0.41}},
      {"the second press held too long",
       {press(0), release(0.1), press(0.2), release(0.5)},
       false,
       DoubleTap::Idle{}},
      {"control with shift never starts",
       {DoubleTap::ModifierChange{Modifiers::other, true, 0}, release(0.1)},
       false,
       DoubleTap::Idle{}},
      {"another key between the taps",
       {press(0), release(0.1), DoubleTap::Interruption{}, press(0.2), release(0.3)},
       false,
       DoubleTap::FirstUp{0.3}},
      {"shift added while the second press is down",
       {press(0), release(0.1), press(0.2),
        DoubleTap::ModifierChange{Modifiers::other, false, 0.25}},
       false,
       DoubleTap::Idle{}},
  };
  for (const auto& c : cases) {
    DoubleTap tap;
    bool tapped = false;
    for (const auto& input : c.inputs)
      tapped = tap.handle(input);
    EXPECT_EQ(tapped, c.tapped) << c.name;
    EXPECT_EQ(tap.phase, c.phase) << c.name;
  }
}

TEST(DoubleTapTests, ANewFirstPressResetsTheStart) {
  DoubleTap tap;
  tap.handle(press(0));
  tap.handle(release(0.1));
  tap.handle(press(0.5));
  EXPECT_EQ(tap.began, 0.5);
  tap.handle(release(0.6));
  tap.handle(press(0.7));
  EXPECT_TRUE(tap.handle(release(0.8)));
}

}  // namespace
}  // namespace kestles
