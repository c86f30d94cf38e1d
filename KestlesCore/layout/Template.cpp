#include "KestlesCore/layout/Template.hpp"

#include <cstdio>

namespace kestles {
namespace {

LayoutNode t(double weight = 1) {
  return LayoutNode::tile(weight);
}
LayoutNode gap(double weight) {
  return LayoutNode::spacer(weight);
}
LayoutNode cols(std::vector<LayoutNode> children, double weight = 1) {
  return LayoutNode::columns(std::move(children), weight);
}
LayoutNode rows(std::vector<LayoutNode> children, double weight = 1) {
  return LayoutNode::rows(std::move(children), weight);
}

/// Gives every node of template `number` its fixed id, in pre-order from 1.
void assignStableIDs(LayoutNode& node, int number, int& counter) {
  char text[40];
  std::snprintf(text, sizeof text, "7E3D0000-0000-4000-8000-%06X%06X",
                static_cast<unsigned>(number), static_cast<unsigned>(counter++));
  node.id = *UUID::fromString(text);
  for (auto& child : node.children)
    assignStableIDs(child, number, counter);
}

const std::set<DisplayShape> kAll{DisplayShape::laptop, DisplayShape::wide, DisplayShape::ultrawide,
                                  DisplayShape::portrait};
const std::set<DisplayShape> kWide{DisplayShape::wide, DisplayShape::ultrawide};
const std::set<DisplayShape> kLaptopAndWide{DisplayShape::laptop, DisplayShape::wide,
                                            DisplayShape::ultrawide};
const std::set<DisplayShape> kUltrawide{DisplayShape::ultrawide};
const std::set<DisplayShape> kPortrait{DisplayShape::portrait};

std::vector<Template> buildCatalogue() {
  std::vector<Template> catalogue{
      {"halves", "Halves", "rectangle.split.2x1", {}, kAll},
      {"halves-stacked", "Halves, Stacked", "rectangle.split.1x2", {}, kAll},
      {"quarters", "Quarters", "rectangle.split.2x2", {}, kAll},
      {"thirds", "Thirds", "rectangle.split.3x1", {}, kAll},
      {"two-thirds-third", "Two Thirds + Third", "rectangle.leadinghalf.inset.filled", {}, kAll},
      {"third-two-thirds", "Third + Two Thirds", "rectangle.trailinghalf.inset.filled", {}, kAll},
      {"main-stack-2", "Main + Two", "rectangle.split.2x1", {}, kAll},
      {"main-stack-3", "Main + Three", "rectangle.split.2x1", {}, kAll},
      {"centered", "Centered", "rectangle.center.inset.filled", {}, kAll},
      {"centered-sides", "Centered + Sides", "rectangle.split.3x1", {}, kAll},
      {"thirds-stacked", "Thirds, Stacked", "rectangle.split.1x2", {}, kAll},
      {"wide-narrow", "Wide + Narrow", "rectangle.leadinghalf.inset.filled", {}, kWide},
      {"narrow-wide", "Narrow + Wide", "rectangle.trailinghalf.inset.filled", {}, kWide},
      {"wide-two-narrow",
       "Wide + Two Narrow",
       "rectangle.inset.topleading.filled",
       {},
       kLaptopAndWide},
      {"side-main-stack", "Side + Main + Stack", "rectangle.split.3x1", {}, kWide},
      {"centre-stacks", "Centre + Stacks", "rectangle.center.inset.filled", {}, kUltrawide},
      {"four-columns", "Four Columns", "rectangle.split.3x1", {}, kUltrawide},
      {"three-by-two", "Three by Two", "rectangle.grid.3x2", {}, kWide},
      {"three-by-three", "Three by Three", "rectangle.split.3x3", {}, kWide},
      {"reading", "Reading", "rectangle.portrait.center.inset.filled", {}, kAll},
      {"main-above-two", "Main Above Two", "rectangle.topthird.inset.filled", {}, kPortrait},
      {"two-thirds-above-third",
       "Two Thirds Above Third",
       "rectangle.bottomthird.inset.filled",
       {},
       kPortrait},
  };
  LayoutNode trees[] = {
      cols({t(), t()}),
      rows({t(), t()}),
      rows({cols({t(), t()}), cols({t(), t()})}),
      cols({t(), t(), t()}),
      cols({t(2), t()}),
      cols({t(), t(2)}),
      cols({t(0.62), rows({t(), t()}, 0.38)}),
      cols({t(0.62), rows({t(), t(), t()}, 0.38)}),
      cols({gap(0.2), t(0.6), gap(0.2)}),
      cols({t(0.22), t(0.56), t(0.22)}),
      rows({t(), t(), t()}),
      cols({t(0.7), t(0.3)}),
      cols({t(0.3), t(0.7)}),
      cols({t(0.7), rows({t(), t()}, 0.3)}),
      cols({t(0.22), t(0.5), rows({t(), t()}, 0.28)}),
      cols({rows({t(), t()}, 0.25), t(0.5), rows({t(), t()}, 0.25)}),
      cols({t(), t(), t(), t()}),
      rows({cols({t(), t(), t()}), cols({t(), t(), t()})}),
      rows({cols({t(), t(), t()}), cols({t(), t(), t()}), cols({t(), t(), t()})}),
      cols({gap(0.27), t(0.46), gap(0.27)}),
      rows({t(0.6), cols({t(), t()}, 0.4)}),
      rows({t(2), t()}),
  };
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    int counter = 1;
    assignStableIDs(trees[i], static_cast<int>(i + 1), counter);
    catalogue[i].shape = TileShape::tree(std::move(trees[i]));
  }
  return catalogue;
}

}  // namespace

const std::vector<Template>& Template::all() {
  static const std::vector<Template> catalogue = buildCatalogue();
  return catalogue;
}

const Template* Template::withID(std::string_view id) {
  for (const auto& entry : all())
    if (entry.id == id) return &entry;
  return nullptr;
}

}  // namespace kestles
