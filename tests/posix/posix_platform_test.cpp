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

}  // namespace
}  // namespace rw
