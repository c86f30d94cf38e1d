#include "KestlesCore/library/AppRole.hpp"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

constexpr std::array<std::string_view, 10> kRawValues{"editor",  "browser", "terminal", "chat",
                                                      "mail",    "notes",   "media",    "design",
                                                      "utility", "other"};

struct KnownApps {
  AppRole role;
  std::vector<std::string_view> bundleIDs;
};

const std::unordered_map<std::string_view, AppRole>& bundleTable() {
  static const auto table = [] {
    const std::vector<KnownApps> groups{
        {AppRole::editor,
         {"com.apple.dt.Xcode", "com.microsoft.VSCode", "com.todesktop.230313mzl4w4u92",
          "dev.zed.Zed", "com.sublimetext.4"}},
        {AppRole::browser,
         {"com.apple.Safari", "com.google.Chrome", "org.mozilla.firefox",
          "company.thebrowser.Browser", "com.brave.Browser", "com.microsoft.edgemac"}},
        {AppRole::terminal,
         {"com.apple.Terminal", "com.googlecode.iterm2", "dev.warp.Warp-Stable",
          "com.mitchellh.ghostty", "net.kovidgoyal.kitty", "org.alacritty"}},
        {AppRole::chat,
         {"com.tinyspeck.slackmacgap", "com.hnc.Discord", "com.apple.MobileSMS",
          "ru.keepcoder.Telegram", "net.whatsapp.WhatsApp", "us.zoom.xos", "com.microsoft.teams2"}},
        {AppRole::mail,
         {"com.apple.mail", "com.readdle.smartemail-Mac", "com.mimestream.Mimestream",
          "com.superhuman.electron"}},
        {AppRole::notes,
         {"com.apple.Notes", "md.obsidian", "notion.id", "com.apple.iWork.Pages",
          "com.microsoft.Word", "com.culturedcode.ThingsMac"}},
        {AppRole::media,
         {"com.apple.Music", "com.spotify.client", "com.apple.podcasts", "com.apple.TV"}},
        {AppRole::design,
         {"com.figma.Desktop", "com.bohemiancoding.sketch3", "com.adobe.Photoshop",
          "com.pixelmatorteam.pixelmator.x", "com.apple.FinalCut"}},
        {AppRole::utility,
         {"com.apple.finder", "com.apple.systempreferences", "com.apple.ActivityMonitor",
          "com.apple.iCal"}},
    };
    std::unordered_map<std::string_view, AppRole> byID;
    for (const auto& group : groups)
      for (auto id : group.bundleIDs)
        byID.emplace(id, group.role);
    return byID;
  }();
  return table;
}

// Tried in order; the first group with a word inside the lower-cased name wins.
const std::vector<std::pair<AppRole, std::vector<std::string_view>>> kNameWords{
    {AppRole::editor, {"code", "studio"}},  {AppRole::terminal, {"term"}},
    {AppRole::chat, {"chat", "messenger"}}, {AppRole::mail, {"mail"}},
    {AppRole::notes, {"notes", "docs"}},    {AppRole::media, {"music", "player"}},
};

}  // namespace

std::string_view rawValue(AppRole role) {
  return kRawValues[static_cast<std::size_t>(role)];
}

std::optional<AppRole> appRoleFromRawValue(std::string_view raw) {
  for (auto role : kAllAppRoles)
    if (rawValue(role) == raw) return role;
  return std::nullopt;
}

AppRole role(std::string_view bundleID, std::string_view name) {
  if (auto found = bundleTable().find(bundleID); found != bundleTable().end()) return found->second;
  if (bundleID.starts_with("com.jetbrains.")) return AppRole::editor;
  auto lowered = text::asciiLowercased(name);
  for (const auto& [groupRole, words] : kNameWords)
    for (auto word : words)
      if (lowered.find(word) != std::string::npos) return groupRole;
  return AppRole::other;
}

}  // namespace kestles
