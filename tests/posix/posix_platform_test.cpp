// The Linux file platform against real files: the stores must behave as on
// Windows, read-only targets included, even for root.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/posix/posix_platform.h"
#include "stores/settings.h"
#include "stores/utf8_file.h"

namespace rw {
namespace {

class PosixPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / ("rw-posix-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    folder_ = root_.string();
  }
  void TearDown() override {
    for (auto& entry : std::filesystem::recursive_directory_iterator(root_)) ::chmod(entry.path().c_str(), 0755);
    std::filesystem::remove_all(root_);
  }
  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

  std::filesystem::path root_;
  std::string folder_;
  PosixPlatform platform_;
};

TEST_F(PosixPlatformTest, ReadOnlyTargetFailsAndKeepsItsBytes) {
  const std::string file = Path("index.css");
  ASSERT_TRUE(WriteUtf8File(platform_, file, "old"));
  ::chmod((root_ / "index.css").c_str(), 0444);
  EXPECT_TRUE(platform_.IsReadOnly(file));
  EXPECT_FALSE(WriteUtf8File(platform_, file, "new"));
  EXPECT_FALSE(platform_.RemoveFile(file));
  EXPECT_EQ(*ReadUtf8File(platform_, file), "old");
  EXPECT_EQ(platform_.ListFiles(folder_), std::vector<std::string>{"index.css"});  // no temporary left
}

TEST_F(PosixPlatformTest, ACopyCarriesItsSourcesStampAndARewriteChangesIt) {
  const std::string file = Path("nav_tool.png");
  EXPECT_FALSE(platform_.StampOf(file));
  EXPECT_FALSE(platform_.StampOf(folder_));
  ASSERT_TRUE(platform_.WriteFile(file, "image"));
  const auto stamp = platform_.StampOf(file);
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->size, 5u);
  ASSERT_TRUE(platform_.CopyFileOver(file, Path("copy.png")));
  EXPECT_EQ(platform_.StampOf(Path("copy.png")), stamp);
  ASSERT_TRUE(platform_.WriteFile(Path("copy.png"), "edited"));
  EXPECT_NE(platform_.StampOf(Path("copy.png")), stamp);
}

TEST_F(PosixPlatformTest, SettingsAndTreesOnDisk) {
  const std::string ini = Path("settings.ini");
  EXPECT_EQ(ReadIniValue(platform_, ini, "Language", "English"), "English");
  EXPECT_FALSE(platform_.FileExists(ini));
  ASSERT_TRUE(WriteIniValue(platform_, ini, "InstallFolder", "C:\\Maxthon3\\"));
  EXPECT_EQ(ReadIniValue(platform_, ini, "installfolder", ""), "C:\\Maxthon3\\");
  ASSERT_TRUE(platform_.CreateFolder(Path("Resource")));
  ASSERT_TRUE(platform_.WriteFile(Path("Resource\\a.htm"), "a"));
  ASSERT_TRUE(platform_.WriteFile(Path("Resource\\locked.htm"), "b"));
  ::chmod((root_ / "Resource" / "locked.htm").c_str(), 0444);
  EXPECT_FALSE(platform_.DeleteFolder(Path("Resource")));
  EXPECT_TRUE(platform_.FileExists(Path("Resource\\locked.htm")));
  EXPECT_FALSE(platform_.FileExists(Path("Resource\\a.htm")));
}

TEST_F(PosixPlatformTest, RemovingAFolderRemovesLinksAsLinksAndKeepsTheirTargets) {
  const auto target = root_ / "Elsewhere";
  std::filesystem::create_directories(target / "ui");
  ASSERT_TRUE(platform_.WriteFile(Path("Elsewhere\\ui\\keep.htm"), "keep"));
  ASSERT_TRUE(platform_.CreateFolder(Path("Resource")));
  ASSERT_TRUE(platform_.WriteFile(Path("Resource\\own.css"), "x"));
  std::filesystem::create_directory_symlink(target, root_ / "Linked");
  std::filesystem::create_directory_symlink(target, root_ / "Resource" / "inner");
  std::filesystem::create_symlink(target / "ui" / "keep.htm", root_ / "Resource" / "file-link.htm");

  EXPECT_EQ(platform_.ListTree(Path("Linked")), std::vector<std::string>{});
  EXPECT_EQ(platform_.ListTree(Path("Resource")), std::vector<std::string>{"own.css"});
  EXPECT_TRUE(platform_.DeleteFolder(Path("Linked")));
  EXPECT_TRUE(platform_.DeleteFolder(Path("Resource")));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(root_ / "Linked")));
  EXPECT_FALSE(std::filesystem::exists(root_ / "Resource"));
  EXPECT_EQ(platform_.ReadFile(Path("Elsewhere\\ui\\keep.htm")), std::string("keep"));
}

TEST(PosixPlatform, LowerCaseLowersEveryLetterAndKeepsWhatIsNotUtf8) {
  PosixPlatform platform;
  const struct {
    std::string text, expected;
  } rows[] = {
      {"\xC3\x84\xC3\x96\xC3\x9C \xCE\xA3\xCE\x91\xCE\xA3 \xD0\x94\xD0\x9E\xD0\x9C",
       "\xC3\xA4\xC3\xB6\xC3\xBC \xCF\x83\xCE\xB1\xCF\x83 \xD0\xB4\xD0\xBE\xD0\xBC"},
      {"Resource3.0.20.100.DAT", "resource3.0.20.100.dat"},
      // A lowering that would change the byte count (capital sharp s) is left out.
      {"\xE6\xB5\x8F \xF0\x9F\x98\x80 \xE1\xBA\x9E", "\xE6\xB5\x8F \xF0\x9F\x98\x80 \xE1\xBA\x9E"},
      {"A\xFF\xC3 \xC3", "a\xFF\xC3 \xC3"},
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(platform.LowerCase(row.text), row.expected) << row.text;
}

TEST(PosixPlatform, ASingleInstanceClaimWinsOnceEvenInTheSameProcess) {
  PosixPlatform platform;
  const std::string tag = std::to_string(::getpid());
  for (const std::string& name : {"Ravelwick-" + tag, "/opt/Ravelwick\\" + tag, std::string(300, 'x') + tag}) {
    EXPECT_TRUE(platform.ClaimSingleInstance(name)) << name;
    EXPECT_FALSE(platform.ClaimSingleInstance(name)) << name;
  }
}

}  // namespace
}  // namespace rw
