#include "KestlesEngine/x11/X11Catalog.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/ToolProcess.hpp"

namespace kestles::x11 {
namespace {

void writeEntry(const std::filesystem::path& file, const std::string& name) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file) << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=x\n";
}

TEST(X11CatalogTests, ScansAgainOnlyWhenAFolderChanged) {
  kestles::testing::TemporaryFolder root;
  auto user = root.path() / "user", system = root.path() / "system";
  writeEntry(system / "editor.desktop", "Editor");
  X11Catalog catalog({user, system});
  EXPECT_EQ(catalog.installedApps(),
            (std::vector<platform::CatalogApp>{{"editor", "Editor", false}}));

  // Edited in place: the folders did not change, so the last scan still serves.
  writeEntry(system / "editor.desktop", "Edited");
  EXPECT_EQ(catalog.installedApps().front().name, "Editor");

  // A folder that appears, and an entry added in a folder below another, are both seen.
  writeEntry(user / "editor.desktop", "My Editor");
  writeEntry(system / "vendor/tool.desktop", "Tool");
  EXPECT_EQ(catalog.installedApps(),
            (std::vector<platform::CatalogApp>{{"editor", "My Editor", false},
                                               {"vendor-tool", "Tool", false}}));
  EXPECT_EQ(catalog.ownBundleID(), "kestles");
}

}  // namespace
}  // namespace kestles::x11
