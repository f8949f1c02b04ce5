// The Linux file platform against real files: the stores must behave as on
// Windows, read-only targets included, even for root.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "contract/platform_contract.h"
#include "platform/posix/posix_platform.h"

namespace rw {
namespace {

using test::PlatformContract;

// A folder of real files under the temporary folder, removed with the world
// whatever the tests made read-only.
class PosixWorld : public test::ContractWorld {
 public:
  PosixWorld() {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  ~PosixWorld() override {
    std::error_code ec;
    for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ec)) ::chmod(entry.path().c_str(), 0755);
    std::filesystem::remove_all(root_, ec);
  }
  Platform& platform() override { return platform_; }
  std::string Folder() const override { return root_.string(); }
  void MakeReadOnly(const std::string& path) override { ::chmod(Native(path).c_str(), 0444); }
  bool MakeLink(const std::string& target, const std::string& link) override {
    std::error_code ec;
    std::filesystem::create_directory_symlink(Native(target), Native(link), ec);
    return !ec;
  }
  static std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
  }
  std::string Path(const std::string& name) const { return Folder() + "\\" + name; }

  const std::filesystem::path root_ =
      std::filesystem::temp_directory_path() / ("rw-posix-" + std::to_string(::getpid()));
  PosixPlatform platform_;
};

// Linux tells letter cases apart in file names.
INSTANTIATE_TEST_SUITE_P(Posix, PlatformContract,
                         ::testing::Values(test::ContractTarget{"Posix", [] { return std::make_unique<PosixWorld>(); },
                                                                /*caseInsensitive=*/false}),
                         test::ContractName);

TEST(PosixPlatform, RemovingAFolderRemovesLinksAsLinksAndKeepsTheirTargets) {
  PosixWorld world;
  PosixPlatform& platform = world.platform_;
  const auto& root = world.root_;
  const auto target = root / "Elsewhere";
  std::filesystem::create_directories(target / "ui");
  ASSERT_TRUE(platform.files.WriteFile(world.Path("Elsewhere\\ui\\keep.htm"), "keep"));
  ASSERT_TRUE(platform.files.CreateFolder(world.Path("Resource")));
  ASSERT_TRUE(platform.files.WriteFile(world.Path("Resource\\own.css"), "x"));
  std::filesystem::create_directory_symlink(target, root / "Linked");
  std::filesystem::create_directory_symlink(target, root / "Resource" / "inner");
  std::filesystem::create_symlink(target / "ui" / "keep.htm", root / "Resource" / "file-link.htm");

  EXPECT_EQ(platform.files.ListTree(world.Path("Linked")), std::vector<std::string>{});
  EXPECT_EQ(platform.files.ListTree(world.Path("Resource")), std::vector<std::string>{"own.css"});
  EXPECT_TRUE(platform.files.DeleteFolder(world.Path("Linked")));
  EXPECT_TRUE(platform.files.DeleteFolder(world.Path("Resource")));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(root / "Linked")));
  EXPECT_FALSE(std::filesystem::exists(root / "Resource"));
  EXPECT_EQ(platform.files.ReadFile(world.Path("Elsewhere\\ui\\keep.htm")), std::string("keep"));
}

// What the contract leaves open: lowerings that change the byte count, and
// bytes that are not UTF-8.
TEST(PosixPlatform, LowerCaseKeepsWhatWouldChangeLengthAndWhatIsNotUtf8) {
  PosixPlatform platform;
  const struct {
    std::string text, expected;
  } rows[] = {
      // A lowering that would change the byte count (capital sharp s) is left out.
      {"\xE6\xB5\x8F \xF0\x9F\x98\x80 \xE1\xBA\x9E", "\xE6\xB5\x8F \xF0\x9F\x98\x80 \xE1\xBA\x9E"},
      {"A\xFF\xC3 \xC3", "a\xFF\xC3 \xC3"},
  };
  for (const auto& row : rows) EXPECT_EQ(platform.system.LowerCase(row.text), row.expected) << row.text;
}

}  // namespace
}  // namespace rw
