#include "KestlesCore/command/NameLookup.hpp"

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

/// "No <what> matches “<text>”. " and then "<your><names>", or `none` when there are none.
LookupFailure noMatch(std::string_view what, std::string_view text,
                      const std::vector<std::string>& names, std::string_view your,
                      std::string_view none) {
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
  return LookupFailure{
      "There are no kestles yet: arrange your windows, then Save Windows as Kestle."};
}

Lookup<LayoutRef> lookUpLayout(const Library& library, std::string_view text) {
  auto names = namesOf(std::span(library.layouts));
  const auto& templates = Template::all();
  for (const auto& builtIn : templates)
    names.push_back(builtIn.name);
  auto index = text::matchName(text, names);
  if (!index)
    return LookupFailure{"No layout matches " + text::quoted(text) +
                         ". Run kestles list layouts to see them all."};
  if (*index < library.layouts.size()) return LayoutRef::saved(library.layouts[*index].id);
  return LayoutRef::templateLayout(templates[*index - library.layouts.size()].id);
}

Lookup<DisplayInfo> lookUpDisplay(const DisplaySetup& setup, std::string_view text) {
  if (auto display = setup.matching(text)) return *display;
  return noMatch("connected display", text, namesOf(std::span(setup.displays)),
                 "Your displays: ", "There are no displays yet.");
}

Lookup<AppSnapshot> lookUpOpenApp(std::span<const AppSnapshot> running, std::string_view text) {
  auto names = namesOf(running);
  if (auto index = text::matchName(text, names)) return running[*index];
  return noMatch("open app", text, names, "Your open apps: ", "There are no open apps yet.");
}

Lookup<AppRef> lookUpApp(std::span<const AppSnapshot> running, std::span<const AppRef> installed,
                         std::string_view text) {
  auto names = namesOf(running);
  for (const auto& app : installed)
    names.push_back(app.name);
  auto index = text::matchName(text, names);
  if (!index)
    return LookupFailure{"No app matches " + text::quoted(text) +
                         ", of those open or in the Applications folders."};
  if (*index < running.size()) return AppRef{running[*index].bundleID, running[*index].name};
  return installed[*index - running.size()];
}

}  // namespace kestles
