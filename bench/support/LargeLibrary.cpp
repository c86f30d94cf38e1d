#include "bench/support/LargeLibrary.hpp"

namespace kestles {

namespace {

LayoutNode shapeTree(int seed) {
  return LayoutNode::columns(
      {LayoutNode::tile(1.5),
       LayoutNode::rows({LayoutNode::tile(), LayoutNode::tile(0.5 + seed % 3)}),
       LayoutNode::rows({LayoutNode::tile(), LayoutNode::spacer()})});
}

KestleScreen screen(int seed, int display) {
  KestleScreen made;
  made.display = {"display-" + std::to_string(display), "Studio Display " + std::to_string(display),
                  display == 0, 1.6 + display * 0.18};
  made.shape = TileShape::tree(shapeTree(seed));
  made.layout =
      seed % 2 ? LayoutRef::templateLayout("main-stack") : LayoutRef::saved(UUID::random());
  for (int pin = 0; pin < 4; ++pin) {
    if ((seed + pin) % 4 == 3)
      made.pins.emplace_back();
    else
      made.pins.push_back(AppRef{"com.example.app" + std::to_string((seed + pin) % 40),
                                 "Example App " + std::to_string((seed + pin) % 40)});
  }
  return made;
}

}  // namespace

const Library& largeLibrary() {
  static const Library library = [] {
    Library made;
    for (int i = 0; i < 2000; ++i) {
      Kestle kestle = Kestle::make("Kestle " + std::to_string(i));
      kestle.identity = {static_cast<KestleColor>(i % 13), KestleSymbol::sf("macwindow")};
      kestle.number = i < 9 ? std::optional<int>(i + 1) : std::nullopt;
      kestle.arrangements[i % 2 ? "one-display" : "two-displays"] = Arrangement{{screen(i, i % 2)}};
      made.kestles.push_back(std::move(kestle));
    }
    for (int i = 0; i < 50; ++i) {
      SavedLayout layout =
          SavedLayout::make("Layout " + std::to_string(i), TileShape::tree(shapeTree(i)));
      made.layouts.push_back(std::move(layout));
    }
    made.currentKestleID = made.kestles[7].id;
    return made;
  }();
  return library;
}

}  // namespace kestles
