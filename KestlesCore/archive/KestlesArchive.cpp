#include "KestlesCore/archive/KestlesArchive.hpp"

#include <algorithm>
#include <set>

#include "KestlesCore/library/JSONFile.hpp"
#include "KestlesCore/library/Lossy.hpp"

namespace kestles {
namespace {

struct Counts {
  int added = 0;
  int replaced = 0;
};

// Brings one archived item into a list: a unique name among the others, a number nobody
// else holds, then replaced in place, left alone when equal, or appended.
template <class Item>
void merge(std::vector<Item>& items, Item incoming, Counts& counts) {
  std::vector<std::string> others;
  for (const auto& item : items)
    if (item.id != incoming.id) others.push_back(item.name);
  incoming.name = uniqueName(incoming.name, others);
  if (incoming.number && std::any_of(items.begin(), items.end(), [&](const Item& item) {
        return item.id != incoming.id && item.number == incoming.number;
      }))
    incoming.number.reset();
  auto same = std::find_if(items.begin(), items.end(),
                           [&](const Item& item) { return item.id == incoming.id; });
  if (same == items.end()) {
    items.push_back(std::move(incoming));
    ++counts.added;
  } else if (!(*same == incoming)) {
    *same = std::move(incoming);
    ++counts.replaced;
  }
}

}  // namespace

KestlesArchive KestlesArchive::ofLibrary(const Library& library, Date now) {
  return {kCurrentVersion, now, library.kestles, library.layouts, library.rules, library.settings};
}

KestlesArchive KestlesArchive::ofKestle(const Kestle& kestle, const Library& library, Date now) {
  std::set<UUID> used;
  for (const auto& [fingerprint, arrangement] : kestle.arrangements)
    for (const auto& screen : arrangement.screens)
      if (auto id = screen.layout ? screen.layout->savedID() : std::nullopt) used.insert(*id);
  KestlesArchive archive{kCurrentVersion, now, {kestle}, {}, {}, std::nullopt};
  for (const auto& layout : library.layouts)
    if (used.contains(layout.id)) archive.layouts.push_back(layout);
  return archive;
}

bool KestlesArchive::isEmpty() const {
  return kestles.empty() && layouts.empty() && rules.empty() && !settings;
}

std::string KestlesArchive::encoded() const {
  return json_style::encode(nlohmann::json(*this));
}

KestlesArchive KestlesArchive::decoded(std::string_view bytes) {
  return json_style::parse(bytes).get<KestlesArchive>();
}

ImportSummary KestlesArchive::importInto(Library& library, ImportParts parts) const {
  ImportSummary summary;
  if (parts.contains(ImportParts::layouts)) {
    Counts counts;
    for (const auto& layout : layouts)
      merge(library.layouts, layout, counts);
    summary.layoutsAdded = counts.added;
    summary.layoutsReplaced = counts.replaced;
  }
  if (parts.contains(ImportParts::kestles)) {
    Counts counts;
    for (const auto& kestle : kestles)
      merge(library.kestles, kestle, counts);
    summary.kestlesAdded = counts.added;
    summary.kestlesReplaced = counts.replaced;
  }
  if (parts.contains(ImportParts::rules)) {
    for (const auto& rule : rules) {
      auto before = library.rules;
      library.setRule(rule);
      summary.rules += library.rules != before;
    }
  }
  if (parts.contains(ImportParts::settings) && settings && !(*settings == library.settings)) {
    library.settings = *settings;
    summary.settings = true;
  }
  return summary;
}

std::filesystem::path KestlesArchive::fileURL(std::string_view typed,
                                              const std::filesystem::path& folder,
                                              const std::filesystem::path& home) {
  std::filesystem::path path;
  if (typed == "~" || typed.starts_with("~/"))
    path = home / std::filesystem::path(typed.substr(std::min<std::size_t>(typed.size(), 2)));
  else
    path = typed;
  if (path.is_relative()) path = folder / path;
  if (!path.has_extension()) path += std::string(".").append(kExtension);
  return path.lexically_normal();
}

void to_json(nlohmann::json& json, const KestlesArchive& archive) {
  json = {{"archiveVersion", archive.archiveVersion},
          {"kestles", archive.kestles},
          {"layouts", archive.layouts},
          {"rules", archive.rules}};
  coding::putOptional(json, "exported", archive.exported);
  coding::putOptional(json, "settings", archive.settings);
}

void from_json(const nlohmann::json& json, KestlesArchive& archive) {
  coding::requireObject(json, "the archive");
  archive.archiveVersion = coding::value(json, "archiveVersion", KestlesArchive::kCurrentVersion);
  archive.exported = coding::optional<Date>(json, "exported");
  archive.kestles = coding::lossyList<Kestle>(json, "kestles");
  archive.layouts = coding::lossyList<SavedLayout>(json, "layouts");
  archive.rules = coding::lossyList<DisplayRule>(json, "rules");
  archive.settings = coding::optional<Settings>(json, "settings");
}

}  // namespace kestles
