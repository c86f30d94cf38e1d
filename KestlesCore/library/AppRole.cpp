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

using IDTable = std::unordered_map<std::string_view, AppRole>;

IDTable byID(const std::vector<KnownApps>& groups) {
  IDTable table;
  for (const auto& group : groups)
    for (auto id : group.bundleIDs)
      table.emplace(id, group.role);
  return table;
}

const IDTable& bundleTable() {
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
    return byID(groups);
  }();
  return table;
}

// Linux programs by desktop-entry id (without ".desktop", Flatpak ids included) and by
// WM_CLASS class, both compared lower-cased: the X11 layer reports the desktop id when one
// matches the class, else the class itself, whose capitalisation differs between toolkits.
const IDTable& linuxTable() {
  static const auto table = [] {
    const std::vector<KnownApps> groups{
        {AppRole::browser,
         {"firefox",
          "firefox-esr",
          "org.mozilla.firefox",
          "navigator",
          "librewolf",
          "io.gitlab.librewolf-community",
          "google-chrome",
          "google-chrome-stable",
          "com.google.chrome",
          "chromium",
          "chromium-browser",
          "org.chromium.chromium",
          "brave-browser",
          "com.brave.browser",
          "microsoft-edge",
          "com.microsoft.edge",
          "vivaldi",
          "vivaldi-stable",
          "opera",
          "org.gnome.epiphany",
          "epiphany",
          "falkon",
          "org.kde.falkon",
          "konqueror",
          "org.kde.konqueror",
          "qutebrowser",
          "org.qutebrowser.qutebrowser",
          "torbrowser",
          "midori",
          "app.zen_browser.zen",
          "zen"}},
        {AppRole::terminal,
         {"xterm",
          "uxterm",
          "org.gnome.terminal",
          "gnome-terminal",
          "gnome-terminal-server",
          "org.gnome.console",
          "kgx",
          "org.gnome.ptyxis",
          "ptyxis",
          "org.kde.konsole",
          "konsole",
          "xfce4-terminal",
          "org.xfce.terminal",
          "kitty",
          "alacritty",
          "org.alacritty",
          "foot",
          "footclient",
          "org.codeberg.dnkl.foot",
          "wezterm",
          "org.wezfurlong.wezterm",
          "terminator",
          "tilix",
          "com.gexperts.tilix",
          "urxvt",
          "rxvt",
          "st",
          "st-256color",
          "lxterminal",
          "mate-terminal",
          "qterminal",
          "sakura",
          "guake",
          "yakuake",
          "org.kde.yakuake",
          "terminology",
          "ghostty",
          "com.mitchellh.ghostty",
          "com.raggesilver.blackbox"}},
        {AppRole::editor,
         {"code",
          "code-oss",
          "codium",
          "vscodium",
          "com.visualstudio.code",
          "com.vscodium.codium",
          "org.gnome.texteditor",
          "gnome-text-editor",
          "org.gnome.gedit",
          "gedit",
          "org.kde.kate",
          "kate",
          "org.kde.kwrite",
          "kwrite",
          "mousepad",
          "org.xfce.mousepad",
          "pluma",
          "xed",
          "geany",
          "org.geany.geany",
          "emacs",
          "gvim",
          "nvim-qt",
          "neovide",
          "sublime_text",
          "sublime-text",
          "com.sublimetext.three",
          "zed",
          "dev.zed.zed",
          "org.gnome.builder",
          "kdevelop",
          "org.kde.kdevelop",
          "qtcreator",
          "org.qt-project.qtcreator",
          "eclipse",
          "codeblocks",
          "lapce",
          "dev.lapce.lapce",
          "android-studio",
          "com.google.androidstudio"}},
        {AppRole::mail,
         {"thunderbird", "org.mozilla.thunderbird", "net.thunderbird.thunderbird", "betterbird",
          "evolution", "org.gnome.evolution", "geary", "org.gnome.geary", "kmail2", "kmail",
          "org.kde.kmail2", "claws-mail", "mailspring", "com.getmailspring.mailspring"}},
        {AppRole::chat,
         {"slack",
          "com.slack.slack",
          "discord",
          "com.discordapp.discord",
          "vesktop",
          "telegram-desktop",
          "telegramdesktop",
          "org.telegram.desktop",
          "signal",
          "signal-desktop",
          "org.signal.signal",
          "element",
          "element-desktop",
          "im.riot.riot",
          "zoom",
          "us.zoom.zoom",
          "teams-for-linux",
          "com.github.iinomikko.teams-for-linux",
          "pidgin",
          "im.pidgin.pidgin",
          "hexchat",
          "io.github.hexchat",
          "polari",
          "org.gnome.polari",
          "konversation",
          "org.kde.konversation",
          "fractal",
          "org.gnome.fractal",
          "dino",
          "im.dino.dino",
          "zapzap",
          "com.rtosta.zapzap"}},
        {AppRole::notes,
         {"libreoffice",
          "libreoffice-writer",
          "libreoffice-calc",
          "libreoffice-impress",
          "libreoffice-draw",
          "libreoffice-startcenter",
          "soffice",
          "org.libreoffice.libreoffice",
          "onlyoffice-desktopeditors",
          "org.onlyoffice.desktopeditors",
          "abiword",
          "gnumeric",
          "obsidian",
          "md.obsidian.obsidian",
          "joplin",
          "@joplinapp-desktop",
          "net.cozic.joplin_desktop",
          "logseq",
          "com.logseq.logseq",
          "xournalpp",
          "com.github.xournalpp.xournalpp",
          "org.gnome.notes",
          "bijiben",
          "zim",
          "org.zim_wiki.zim",
          "notion-app"}},
        {AppRole::media,
         {"spotify",
          "com.spotify.client",
          "rhythmbox",
          "org.gnome.rhythmbox3",
          "vlc",
          "org.videolan.vlc",
          "mpv",
          "io.mpv.mpv",
          "totem",
          "org.gnome.totem",
          "celluloid",
          "io.github.celluloid_player.celluloid",
          "elisa",
          "org.kde.elisa",
          "amarok",
          "clementine",
          "strawberry",
          "org.strawberrymusicplayer.strawberry",
          "audacious",
          "lollypop",
          "org.gnome.lollypop",
          "gnome-music",
          "org.gnome.music",
          "parole",
          "smplayer",
          "haruna",
          "org.kde.haruna",
          "quodlibet",
          "deadbeef"}},
        {AppRole::design,
         {"gimp",
          "gimp-2.10",
          "gimp-3.0",
          "org.gimp.gimp",
          "inkscape",
          "org.inkscape.inkscape",
          "krita",
          "org.kde.krita",
          "blender",
          "org.blender.blender",
          "darktable",
          "org.darktable.darktable",
          "rawtherapee",
          "com.rawtherapee.rawtherapee",
          "kdenlive",
          "org.kde.kdenlive",
          "scribus",
          "net.scribus.scribus",
          "figma-linux",
          "io.github.figma_linux.figma_linux",
          "pinta",
          "com.github.pinta_project.pinta",
          "mypaint",
          "org.mypaint.mypaint",
          "digikam",
          "org.kde.digikam",
          "shotcut",
          "org.shotcut.shotcut",
          "openshot",
          "org.openshot.openshot",
          "freecad",
          "org.freecad.freecad",
          "librecad",
          "drawio",
          "com.jgraph.drawio.desktop"}},
        {AppRole::utility,
         {"org.gnome.nautilus",
          "nautilus",
          "org.kde.dolphin",
          "dolphin",
          "thunar",
          "org.xfce.thunar",
          "pcmanfm",
          "pcmanfm-qt",
          "nemo",
          "caja",
          "doublecmd",
          "krusader",
          "org.kde.krusader",
          "spacefm",
          "gnome-system-monitor",
          "org.gnome.systemmonitor",
          "org.kde.plasma-systemmonitor",
          "gnome-control-center",
          "org.gnome.settings",
          "systemsettings",
          "org.kde.systemsettings",
          "xfce4-settings-manager",
          "org.gnome.calendar",
          "gnome-calendar"}},
    };
    return byID(groups);
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
  auto id = text::asciiLowercased(bundleID);
  if (id.ends_with(".desktop")) id.resize(id.size() - std::string_view(".desktop").size());
  if (auto found = linuxTable().find(id); found != linuxTable().end()) return found->second;
  // JetBrains IDEs name their class and desktop entry "jetbrains-<product>".
  if (id.starts_with("jetbrains-") || id.starts_with("com.jetbrains.")) return AppRole::editor;
  auto lowered = text::asciiLowercased(name);
  for (const auto& [groupRole, words] : kNameWords)
    for (auto word : words)
      if (lowered.find(word) != std::string::npos) return groupRole;
  return AppRole::other;
}

}  // namespace kestles
