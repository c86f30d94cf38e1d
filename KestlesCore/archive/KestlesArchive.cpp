#include "KestlesCore/archive/KestlesArchive.hpp"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/coding/Lossy.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

struct Counts {
  int added = 0;
  int replaced = 0;
};

// Brings archived items into a list: each gets a unique name among the others and keeps
// its number only when nobody else holds it, then replaces the item with its id in place,
// leaves it alone when equal, or is appended. Names and ids are indexed once, so a large
// archive merges in linear time.
template <class Item>
class Merge {
 public:
  explicit Merge(std::vector<Item>& items) : items_(items) {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      names_.insert(text::lowercased(items_[i].name));
      indexByID_.emplace(items_[i].id, i);
    }
  }

  void bring(Item incoming) {
    auto same = indexByID_.find(incoming.id);
    std::optional<std::string> ownName;
    if (same != indexByID_.end()) ownName = text::lowercased(items_[same->second].name);
    incoming.name = uniqueName(incoming.name, [&](const std::string& candidate) {
      return names_.count(candidate) > (ownName == candidate ? 1u : 0u);
    });
    if (incoming.number && std::any_of(items_.begin(), items_.end(), [&](const Item& item) {
          return item.id != incoming.id && item.number == incoming.number;
        }))
      incoming.number.reset();
    if (same == indexByID_.end()) {
      names_.insert(text::lowercased(incoming.name));
      indexByID_.emplace(incoming.id, items_.size());
      items_.push_back(std::move(incoming));
      ++counts.added;
    } else if (!(items_[same->second] == incoming)) {
      names_.erase(names_.find(*ownName));
      names_.insert(text::lowercased(incoming.name));
      items_[same->second] = std::move(incoming);
      ++counts.replaced;
    }
  }

  Counts counts;

 private:
  std::vector<Item>& items_;
  std::unordered_multiset<std::string> names_;  // lower-cased
  std::unordered_map<UUID, std::size_t> indexByID_;
};

// Everything but the kestle, layout and rule lists.
void decodeScalarFields(const nlohmann::json& json, KestlesArchive& archive) {
  coding::requireObject(json, "the archive");
  archive.archiveVersion = coding::value(json, "archiveVersion", KestlesArchive::kCurrentVersion);
  archive.exported = coding::optional<Date>(json, "exported");
  archive.settings = coding::optional<Settings>(json, "settings");
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
  KestlesArchive archive;
  auto rest = parseWithRecordLists(bytes, {archive.kestles, archive.layouts, archive.rules});
  decodeScalarFields(rest, archive);
  return archive;
}

ImportSummary KestlesArchive::importInto(Library& library, ImportParts parts) const {
  ImportSummary summary;
  if (parts.contains(ImportParts::layouts)) {
    Merge merge(library.layouts);
    for (const auto& layout : layouts)
      merge.bring(layout);
    summary.layoutsAdded = merge.counts.added;
    summary.layoutsReplaced = merge.counts.replaced;
  }
  if (parts.contains(ImportParts::kestles)) {
    Merge merge(library.kestles);
    for (const auto& kestle : kestles)
      merge.bring(kestle);
    summary.kestlesAdded = merge.counts.added;
    summary.kestlesReplaced = merge.counts.replaced;
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

std::filesystem::path KestlesArchive::filePath(std::string_view typed,
                                               const std::filesystem::path& folder,
                                               const std::filesystem::path& home) {
  std::filesystem::path path;
  if (typed == "~" || typed.starts_with("~/"))
    path = home / std::filesystem::path(typed.substr(std::min<std::size_t>(typed.size(), 2)));
  else
    path = typed;
  if (path.is_relative()) path = folder / path;
  path = path.lexically_normal();
  // A file, never a folder: "Work/" names the file Work. The root names no file at all and
  // is left as it is, so that reading or writing it fails with the folder's own error.
  while (path.filename().empty() && path != path.root_path())
    path = path.parent_path();
  if (path.filename().empty()) return path;
  if (!path.has_extension()) path += std::string(".").append(kExtension);
  return path;
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
  decodeScalarFields(json, archive);
  archive.kestles = coding::lossyList<Kestle>(json, "kestles");
  archive.layouts = coding::lossyList<SavedLayout>(json, "layouts");
  archive.rules = coding::lossyList<DisplayRule>(json, "rules");
}

}  // namespace kestles
