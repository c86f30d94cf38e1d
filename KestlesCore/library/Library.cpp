#include "KestlesCore/library/Library.hpp"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/coding/JSONStream.hpp"
#include "KestlesCore/coding/Lossy.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

template <class Item>
auto findByID(std::vector<Item>& items, const UUID& id) {
  return std::find_if(items.begin(), items.end(), [&](const Item& item) { return item.id == id; });
}

template <class Item>
const Item* itemWithID(const std::vector<Item>& items, const UUID& id) {
  auto found =
      std::find_if(items.begin(), items.end(), [&](const Item& item) { return item.id == id; });
  return found == items.end() ? nullptr : &*found;
}

template <class Item>
std::vector<std::string> namesOf(const std::vector<Item>& items,
                                 const std::optional<UUID>& except) {
  std::vector<std::string> names;
  for (const auto& item : items)
    if (item.id != except) names.push_back(item.name);
  return names;
}

template <class Item>
bool replaceByID(std::vector<Item>& items, const Item& item) {
  auto found = findByID(items, item.id);
  if (found == items.end()) return false;
  *found = item;
  return true;
}

// Gives the item the number; every other item with the same number loses it.
template <class Item>
void giveNumber(std::vector<Item>& items, const UUID& id, std::optional<int> number) {
  auto found = findByID(items, id);
  if (found == items.end()) return;
  if (number)
    for (auto& item : items)
      if (item.id != id && item.number == number) item.number.reset();
  found->number = number;
}

// Clears an incoming item's number when another item already holds it.
template <class Item>
void clearTakenNumber(const std::vector<Item>& items, Item& incoming) {
  if (!incoming.number) return;
  for (const auto& item : items)
    if (item.id != incoming.id && item.number == incoming.number) incoming.number.reset();
}

template <class Item>
bool moveItem(std::vector<Item>& items, const UUID& id, std::size_t toIndex) {
  auto found = findByID(items, id);
  if (found == items.end()) return false;
  Item item = std::move(*found);
  items.erase(found);
  toIndex = std::min(toIndex, items.size());
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(toIndex), std::move(item));
  return true;
}

template <class Item>
void insertAt(std::vector<Item>& items, std::size_t index, Item item) {
  index = std::min(index, items.size());
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
}

}  // namespace

std::string uniqueName(std::string_view name,
                       const std::function<bool(const std::string& lowered)>& isTaken) {
  std::string candidate(name);
  for (int counter = 2; isTaken(text::lowercased(candidate)); ++counter)
    candidate = std::string(name).append(" ").append(std::to_string(counter));
  return candidate;
}

std::string uniqueName(std::string_view name, const std::vector<std::string>& taken) {
  std::unordered_set<std::string> lowered;
  for (const auto& other : taken)
    lowered.insert(text::lowercased(other));
  return uniqueName(name,
                    [&](const std::string& candidate) { return lowered.contains(candidate); });
}

const Kestle* Library::kestle(const UUID& id) const {
  return itemWithID(kestles, id);
}

const Kestle* Library::currentKestle() const {
  return currentKestleID ? kestle(*currentKestleID) : nullptr;
}

std::string Library::uniqueKestleName(std::string_view name,
                                      const std::optional<UUID>& except) const {
  return uniqueName(name, namesOf(kestles, except));
}

const Kestle& Library::addKestle(Kestle added) {
  added.name = uniqueKestleName(added.name, added.id);
  clearTakenNumber(kestles, added);
  return kestles.emplace_back(std::move(added));
}

std::optional<Kestle> Library::duplicateKestle(const UUID& id) {
  auto original = findByID(kestles, id);
  if (original == kestles.end()) return std::nullopt;
  Kestle copy = *original;
  copy.id = UUID::random();
  copy.name = uniqueKestleName(original->name + " copy");
  copy.number.reset();
  copy.created = Date::now();
  kestles.insert(original + 1, copy);
  return copy;
}

bool Library::updateKestle(const Kestle& kestle) {
  return replaceByID(kestles, kestle);
}

bool Library::renameKestle(const UUID& id, std::string_view name) {
  auto found = findByID(kestles, id);
  if (found == kestles.end()) return false;
  found->name = uniqueKestleName(name, id);
  return true;
}

void Library::numberKestle(const UUID& id, std::optional<int> number) {
  giveNumber(kestles, id, number);
}

std::optional<Library::Removal> Library::removeKestle(const UUID& id) {
  auto found = findByID(kestles, id);
  if (found == kestles.end()) return std::nullopt;
  Removal removal{std::move(*found), static_cast<std::size_t>(found - kestles.begin()),
                  currentKestleID == id};
  kestles.erase(found);
  if (removal.wasCurrent) currentKestleID.reset();
  return removal;
}

void Library::restoreKestle(const Removal& removal) {
  if (kestle(removal.kestle.id)) return;
  insertAt(kestles, removal.index, removal.kestle);
  if (removal.wasCurrent) currentKestleID = removal.kestle.id;
}

bool Library::moveKestle(const UUID& id, std::size_t toIndex) {
  return moveItem(kestles, id, toIndex);
}

std::optional<UUID> Library::kestleAfterCurrent(int step) const {
  if (kestles.empty()) return std::nullopt;
  auto count = static_cast<long long>(kestles.size());
  const Kestle* current = currentKestle();
  if (!current) return (step >= 0 ? kestles.front() : kestles.back()).id;
  long long index = current - kestles.data();
  long long next = ((index + step) % count + count) % count;
  return kestles[static_cast<std::size_t>(next)].id;
}

const SavedLayout* Library::layout(const UUID& id) const {
  return itemWithID(layouts, id);
}

std::string Library::uniqueLayoutName(std::string_view name,
                                      const std::optional<UUID>& except) const {
  return uniqueName(name, namesOf(layouts, except));
}

const SavedLayout& Library::addLayout(SavedLayout added) {
  added.name = uniqueLayoutName(added.name, added.id);
  clearTakenNumber(layouts, added);
  return layouts.emplace_back(std::move(added));
}

bool Library::updateLayout(const SavedLayout& layout) {
  return replaceByID(layouts, layout);
}

bool Library::renameLayout(const UUID& id, std::string_view name) {
  auto found = findByID(layouts, id);
  if (found == layouts.end()) return false;
  found->name = uniqueLayoutName(name, id);
  return true;
}

void Library::numberLayout(const UUID& id, std::optional<int> number) {
  giveNumber(layouts, id, number);
}

std::optional<Library::LayoutRemoval> Library::removeLayout(const UUID& id) {
  auto found = findByID(layouts, id);
  if (found == layouts.end()) return std::nullopt;
  LayoutRemoval removal{std::move(*found), static_cast<std::size_t>(found - layouts.begin()), {}};
  layouts.erase(found);
  std::erase_if(currentLayouts, [&](const auto& entry) {
    if (entry.second.savedID() != id) return false;
    removal.currentLayouts.insert(entry);
    return true;
  });
  return removal;
}

void Library::restoreLayout(const LayoutRemoval& removal) {
  if (layout(removal.layout.id)) return;
  insertAt(layouts, removal.index, removal.layout);
  for (const auto& entry : removal.currentLayouts)
    currentLayouts.insert(entry);
}

bool Library::moveLayout(const UUID& id, std::size_t toIndex) {
  return moveItem(layouts, id, toIndex);
}

void Library::setRule(const DisplayRule& rule) {
  auto found = std::find_if(rules.begin(), rules.end(), [&](const DisplayRule& other) {
    return other.display.displayID == rule.display.displayID;
  });
  if (found == rules.end())
    rules.push_back(rule);
  else
    *found = rule;
}

bool Library::removeRule(std::string_view displayID) {
  return std::erase_if(rules, [&](const DisplayRule& rule) {
           return rule.display.displayID == displayID;
         }) > 0;
}

void Library::setCurrentLayout(const std::string& displayID,
                               const std::optional<LayoutRef>& layout) {
  if (layout)
    currentLayouts.insert_or_assign(displayID, *layout);
  else
    currentLayouts.erase(displayID);
}

void Library::migrate() {
  if (version >= kCurrentVersion) return;
  if (version < 3) settings.migrate();
  settings.adoptSuperKeys();
  version = kCurrentVersion;
}

void to_json(nlohmann::json& json, const Library& library) {
  json = {{"version", library.version},
          {"kestles", library.kestles},
          {"layouts", library.layouts},
          {"rules", library.rules},
          {"currentLayouts", library.currentLayouts},
          {"settings", library.settings}};
  coding::putOptional(json, "currentKestleID", library.currentKestleID);
}

namespace {

// Everything but the kestle, layout and rule lists.
void decodeScalarFields(const nlohmann::json& json, Library& library) {
  coding::requireObject(json, "the library");
  library.version = coding::value(json, "version", Library::kCurrentVersion);
  library.currentKestleID = coding::optional<UUID>(json, "currentKestleID");
  library.currentLayouts = coding::lossyMap<LayoutRef>(json, "currentLayouts");
  library.settings = coding::value(json, "settings", Settings{});
}

void finishDecoding(Library& library) {
  library.migrate();
  if (!library.currentKestle()) library.currentKestleID.reset();
}

constexpr std::array<std::string_view, 3> kListKeys{"kestles", "layouts", "rules"};

}  // namespace

void from_json(const nlohmann::json& json, Library& library) {
  decodeScalarFields(json, library);
  library.kestles = coding::lossyList<Kestle>(json, kListKeys[0]);
  library.layouts = coding::lossyList<SavedLayout>(json, kListKeys[1]);
  library.rules = coding::lossyList<DisplayRule>(json, kListKeys[2]);
  finishDecoding(library);
}

nlohmann::json parseWithRecordLists(std::string_view bytes, RecordLists lists) {
  auto onList = [&](std::string_view key) {
    if (key == kListKeys[0]) lists.kestles.clear();
    if (key == kListKeys[1]) lists.layouts.clear();
    if (key == kListKeys[2]) lists.rules.clear();
  };
  auto onItem = [&](std::string_view key, nlohmann::json&& item) {
    auto keep = [&](auto& list) {
      using Item = typename std::decay_t<decltype(list)>::value_type;
      if (auto decoded = Lossy<Item>::decoded(item).value) list.push_back(std::move(*decoded));
    };
    if (key == kListKeys[0]) keep(lists.kestles);
    if (key == kListKeys[1]) keep(lists.layouts);
    if (key == kListKeys[2]) keep(lists.rules);
  };
  return json_style::parseStreaming(bytes, kListKeys, onList, onItem);
}

Library decodeDocument(std::string_view bytes, std::type_identity<Library>) {
  Library library;
  auto rest = parseWithRecordLists(bytes, {library.kestles, library.layouts, library.rules});
  decodeScalarFields(rest, library);
  finishDecoding(library);
  return library;
}

}  // namespace kestles
