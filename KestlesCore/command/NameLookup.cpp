#include "KestlesCore/command/NameLookup.hpp"

#include <algorithm>
#include <charconv>
#include <vector>

#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// A whole decimal number, an optional "+" before it; nothing for any other text.
std::optional<int> decimalNumber(std::string_view digits) {
  if (digits.starts_with('+')) digits.remove_prefix(1);
  int value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
    return std::nullopt;
  return value;
}

/// The names of the items, in order.
template <class Item>
std::vector<std::string> namesOf(std::span<const Item> items) {
  std::vector<std::string> names;
  names.reserve(items.size());
  for (const auto& item : items)
    names.push_back(item.name);
  return names;
}

/// Where the name rule finds the text in two lists read as one, the first before the second.
struct PlaceInTwo {
  bool inFirst = true;
  std::size_t index = 0;
};

template <class First, class Second>
std::optional<PlaceInTwo> matchInTwo(std::string_view text, std::span<const First> first,
                                     std::span<const Second> second) {
  auto names = namesOf(first);
  auto more = namesOf(second);
  names.insert(names.end(), more.begin(), more.end());
  auto index = text::matchName(text, names);
  if (!index) return std::nullopt;
  if (*index < first.size()) return PlaceInTwo{true, *index};
  return PlaceInTwo{false, *index - first.size()};
}

/// "No <what> matches “<text>”. " and then "<your><names>", or `none` when there are none.
Failure noMatch(std::string_view what, std::string_view text, const std::vector<std::string>& names,
                std::string_view your, std::string_view none) {
  auto message = "No " + std::string(what) + " matches " + text::quoted(text) + ". ";
  if (names.empty()) return {message.append(none)};
  return {message.append(your).append(text::joined(names, ", "))};
}

const Kestle* kestleNamed(std::string_view text, const std::vector<Kestle>& kestles) {
  if (auto id = UUID::fromString(text))
    for (const auto& kestle : kestles)
      if (kestle.id == *id) return &kestle;
  if (auto number = decimalNumber(text))
    for (const auto& kestle : kestles)
      if (kestle.number == *number) return &kestle;
  auto index = text::matchName(text, kestles, [](const Kestle& kestle) { return kestle.name; });
  return index ? &kestles[*index] : nullptr;
}

}  // namespace

Lookup<Kestle> lookUpKestle(const Library& library, std::string_view text) {
  if (const auto* kestle = kestleNamed(text, library.kestles)) return *kestle;
  return noMatch("kestle", text, namesOf(std::span(library.kestles)),
                 "Your kestles: ", "There are no kestles yet.");
}

Lookup<Kestle> lookUpNextKestle(const Library& library, int step) {
  if (auto id = library.kestleAfterCurrent(step))
    if (const auto* kestle = library.kestle(*id)) return *kestle;
  return Failure{"There are no kestles yet: arrange your windows, then run kestles save NAME."};
}

Lookup<LayoutRef> lookUpLayout(const Library& library, std::string_view text) {
  const auto& templates = Template::all();
  auto place = matchInTwo(text, std::span(library.layouts), std::span(templates));
  if (!place)
    return Failure{"No layout matches " + text::quoted(text) +
                   ". Run kestles list layouts to see them all."};
  if (place->inFirst) return LayoutRef::saved(library.layouts[place->index].id);
  return LayoutRef::templateLayout(templates[place->index].id);
}

Lookup<DisplayInfo> lookUpDisplay(const DisplaySetup& setup, std::string_view text) {
  if (auto display = setup.matching(text)) return *display;
  return noMatch("connected display", text, namesOf(std::span(setup.displays)),
                 "Your displays: ", "There are no displays yet.");
}

Lookup<AppSnapshot> lookUpOpenApp(std::span<const AppSnapshot> running, std::string_view text,
                                  std::span<const WindowSnapshot> windows) {
  // Four terminals of one app are one app to the user, not four with the same name.
  std::vector<AppSnapshot> apps;
  for (const auto& app : running)
    if (std::ranges::none_of(apps, [&](const auto& seen) { return seen.bundleID == app.bundleID; }))
      apps.push_back(app);
  auto names = namesOf(std::span<const AppSnapshot>(apps));
  if (auto index = text::matchName(text, names)) return apps[*index];
  if (!windows.empty())
    for (std::size_t i = 0; i < apps.size(); ++i) {
      auto count = std::ranges::count(windows, apps[i].bundleID, &WindowSnapshot::bundleID);
      names[i]
          .append(" (")
          .append(std::to_string(count))
          .append(count == 1 ? " window)" : " windows)");
    }
  return noMatch("open app", text, names, "Your open apps: ", "There are no open apps yet.");
}

Lookup<AppRef> lookUpApp(std::span<const AppSnapshot> running, std::span<const AppRef> installed,
                         std::string_view text) {
  auto place = matchInTwo(text, running, installed);
  if (!place)
    return Failure{"No app matches " + text::quoted(text) + ", of those open or installed."};
  if (!place->inFirst) return installed[place->index];
  const auto& app = running[place->index];
  return AppRef{app.bundleID, app.name};
}

}  // namespace kestles
