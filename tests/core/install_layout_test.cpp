// An installed program finds what it ships in ../share/tamarack beside its
// bin/ folder, and a build folder's data/ still comes first.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "app/core/programfolder.h"
#include "app/core/version.h"

namespace fs = std::filesystem;

namespace {
class InstallTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_install_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    fs::create_directories(root / "bin");
    fs::create_directories(root / "share/tamarack/Cfg");
    std::ofstream(root / "share/tamarack/Cfg/a.cfg") << "installed";
    std::ofstream(root / "share/tamarack/tamarack.html") << "<html></html>";
  }
  void TearDown() override { fs::remove_all(root); }
  fs::path root;
};
}  // namespace

TEST_F(InstallTree, InstalledProgramUsesShareTamarack) {
  EXPECT_EQ(ShippedDataFolder((root / "bin").string()), (root / "share/tamarack").string());
  // A first start in a fresh program folder copies from there.
  const fs::path home = root / "home/Tamarack";
  std::string err;
  ASSERT_TRUE(PrepareProgramFolder(home.string(), ShippedDataFolder((root / "bin").string()),
                                   (root / "no-cty.dat").string(), &err));
  std::ifstream cfg(home / "Cfg/a.cfg");
  std::string text;
  std::getline(cfg, text);
  EXPECT_EQ(text, "installed");
  EXPECT_TRUE(fs::exists(home / "tamarack.html"));
}

TEST_F(InstallTree, BuildFolderDataComesFirst) {
  fs::create_directories(root / "bin/data");
  EXPECT_EQ(ShippedDataFolder((root / "bin").string()), (root / "bin/data").string());
}

TEST(ProgramVersion, IsTheProjectVersion) {
  EXPECT_EQ(ProgramVersion(), std::to_string(TAMARACK_VERSION_MAJOR) + "." +
                                  std::to_string(TAMARACK_VERSION_MINOR) + "." +
                                  std::to_string(TAMARACK_VERSION_REVISION));
  EXPECT_NE(ProgramVersion(), "0.0.0");
}
