#include "contract/platform_contract.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "stores/settings.h"
#include "stores/utf8_file.h"

namespace rw::test {

void PlatformContract::SetUp() {
  world_ = GetParam().make();
  ASSERT_TRUE(world_);
  ASSERT_TRUE(p().FolderExists(Folder()));
}

namespace {

using Names = std::vector<std::string>;

// Listings come in the file system's order.
Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST_P(PlatformContract, FilesRoundTripAndExistenceTellsFilesFromFolders) {
  const std::string file = Path("a.txt");
  ASSERT_TRUE(p().WriteFile(file, "a longer first version"));
  ASSERT_TRUE(p().WriteFile(file, std::string("x\0y", 3)));  // truncates
  EXPECT_TRUE(p().FileExists(file));
  EXPECT_FALSE(p().FolderExists(file));
  EXPECT_FALSE(p().IsReadOnly(file));
  EXPECT_TRUE(p().FolderExists(Folder()));
  EXPECT_FALSE(p().FileExists(Folder()));
  EXPECT_EQ(*p().ReadFile(file), std::string("x\0y", 3));
  ASSERT_TRUE(p().CopyFileOver(file, Path("b.txt")));
  ASSERT_TRUE(p().RenameOver(Path("b.txt"), file));
  EXPECT_FALSE(p().FileExists(Path("b.txt")));
  EXPECT_EQ(p().ListFiles(Folder()), Names{"a.txt"});
  ASSERT_TRUE(p().RemoveFile(file));
  EXPECT_FALSE(p().ReadFile(file));
}

TEST_P(PlatformContract, MissingFilesAndFoldersReadAsMissing) {
  ASSERT_TRUE(p().WriteFile(Path("file"), "x"));
  for (const std::string& path : {Path("missing.css"), Path("missing\\deeper.css")}) {
    EXPECT_FALSE(p().ReadFile(path)) << path;
    EXPECT_FALSE(p().StampOf(path)) << path;
    EXPECT_FALSE(p().FileExists(path)) << path;
    EXPECT_FALSE(p().FolderExists(path)) << path;
    EXPECT_FALSE(p().IsReadOnly(path)) << path;
    EXPECT_FALSE(p().RemoveFile(path)) << path;
    EXPECT_FALSE(p().DeleteFolder(path)) << path;
    EXPECT_FALSE(p().CopyFileOver(path, Path("copy"))) << path;
    EXPECT_FALSE(p().RenameOver(path, Path("renamed"))) << path;
    EXPECT_EQ(p().ListFiles(path), Names{}) << path;
    EXPECT_EQ(p().ListTree(path), Names{}) << path;
  }
  EXPECT_FALSE(p().WriteFile(Path("missing\\new.css"), "x"));  // no parent folder
  EXPECT_FALSE(p().FolderExists(Path("file")));
  EXPECT_FALSE(p().StampOf(Folder()));
  EXPECT_EQ(p().ListFiles(Folder()), Names{"file"});
}

TEST_P(PlatformContract, ReadOnlyTargetsFailAndKeepTheirBytes) {
  const std::string file = Path("index.css"), other = Path("other.css");
  ASSERT_TRUE(WriteUtf8File(p(), file, "old"));
  const std::optional<std::string> before = p().ReadFile(file);
  ASSERT_TRUE(p().WriteFile(other, "other"));
  MakeReadOnly(file);
  EXPECT_TRUE(p().IsReadOnly(file));
  const struct {
    const char* what;
    std::function<bool()> attempt;
  } attempts[] = {
      {"WriteFile", [&] { return p().WriteFile(file, "new"); }},
      {"WriteUtf8File", [&] { return WriteUtf8File(p(), file, "new"); }},
      {"RenameOver", [&] { return p().RenameOver(other, file); }},
      {"CopyFileOver", [&] { return p().CopyFileOver(other, file); }},
      {"RemoveFile", [&] { return p().RemoveFile(file); }},
  };
  for (const auto& a : attempts) {
    EXPECT_FALSE(a.attempt()) << a.what;
    EXPECT_EQ(p().ReadFile(file), before) << a.what;
    EXPECT_TRUE(p().IsReadOnly(file)) << a.what;
  }
  EXPECT_EQ(*ReadUtf8File(p(), file), "old");
  EXPECT_EQ(p().ReadFile(other), std::string("other"));
  EXPECT_EQ(Sorted(p().ListFiles(Folder())), (Names{"index.css", "other.css"}));  // no temporary left
}

TEST_P(PlatformContract, DeletingAFolderKeepsReadOnlyFilesAndSaysSo) {
  ASSERT_TRUE(p().CreateFolder(Path("Resource")));
  ASSERT_TRUE(p().CreateFolder(Path("Resource\\ui")));
  for (const char* name : {"a.htm", "ui\\b.htm", "ui\\locked.htm"})
    ASSERT_TRUE(p().WriteFile(Path("Resource\\") + name, name));
  MakeReadOnly(Path("Resource\\ui\\locked.htm"));
  EXPECT_FALSE(p().DeleteFolder(Path("Resource")));
  EXPECT_EQ(p().ReadFile(Path("Resource\\ui\\locked.htm")), std::string("ui\\locked.htm"));
  EXPECT_TRUE(p().IsReadOnly(Path("Resource\\ui\\locked.htm")));
  EXPECT_FALSE(p().FileExists(Path("Resource\\a.htm")));
  EXPECT_FALSE(p().FileExists(Path("Resource\\ui\\b.htm")));
}

TEST_P(PlatformContract, StampsFollowWritesAndACopyCarriesItsSourcesStamp) {
  const std::string file = Path("nav_tool.png");
  ASSERT_TRUE(p().WriteFile(file, "image"));
  const auto stamp = p().StampOf(file);
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->size, 5u);
  EXPECT_TRUE(p().ReadFile(file));
  EXPECT_EQ(p().StampOf(file), stamp);  // reading changes nothing
  ASSERT_TRUE(p().CopyFileOver(file, Path("copy.png")));
  EXPECT_EQ(p().StampOf(Path("copy.png")), stamp);
  ASSERT_TRUE(p().WriteFile(Path("copy.png"), "edited"));
  EXPECT_NE(p().StampOf(Path("copy.png")), stamp);
  // Copied over an existing file, the time comes along too.
  ASSERT_TRUE(p().CopyFileOver(file, Path("copy.png")));
  EXPECT_EQ(p().StampOf(Path("copy.png")), stamp);
  EXPECT_EQ(p().StampOf(file), stamp);
}

TEST_P(PlatformContract, ListFilesListsFilesOnlyAndListTreeEveryFileBelow) {
  ASSERT_TRUE(p().CreateFolder(Path("sub")));
  ASSERT_TRUE(p().CreateFolder(Path("sub\\deeper")));
  ASSERT_TRUE(p().CreateFolder(Path("empty")));
  for (const char* name : {"a.css", "b.png", "sub\\c.htm", "sub\\deeper\\d.js"})
    ASSERT_TRUE(p().WriteFile(Path(name), name));
  EXPECT_EQ(Sorted(p().ListFiles(Folder())), (Names{"a.css", "b.png"}));
  EXPECT_EQ(p().ListFiles(Path("sub")), Names{"c.htm"});
  EXPECT_EQ(p().ListFiles(Path("empty")), Names{});
  EXPECT_EQ(Sorted(p().ListTree(Folder())), (Names{"a.css", "b.png", "sub\\c.htm", "sub\\deeper\\d.js"}));
  EXPECT_EQ(Sorted(p().ListTree(Path("sub"))), (Names{"c.htm", "deeper\\d.js"}));
  EXPECT_EQ(p().ListTree(Path("empty")), Names{});
}

TEST_P(PlatformContract, FoldersRoundTripAndAreNeverFileTargets) {
  const std::string folder = Path("Skin");
  ASSERT_TRUE(p().CreateFolder(folder));
  EXPECT_TRUE(p().FolderExists(folder));
  EXPECT_FALSE(p().FileExists(folder));
  EXPECT_FALSE(p().CreateFolder(folder));  // already there
  EXPECT_FALSE(p().CreateFolder(Path("missing\\Skin")));
  ASSERT_TRUE(p().WriteFile(Path("file"), "x"));
  EXPECT_FALSE(p().CreateFolder(Path("file")));
  // A folder is never a file's target either.
  EXPECT_FALSE(p().WriteFile(folder, "x"));
  EXPECT_FALSE(p().RenameOver(Path("file"), folder));
  EXPECT_FALSE(p().IsReadOnly(folder));
  EXPECT_EQ(p().ReadFile(Path("file")), std::string("x"));
  ASSERT_TRUE(p().CreateFolder(folder + "\\inner"));
  ASSERT_TRUE(p().WriteFile(folder + "\\inner\\a.css", "a"));
  ASSERT_TRUE(p().WriteFile(folder + "\\b.css", "b"));
  EXPECT_TRUE(p().DeleteFolder(folder));
  EXPECT_FALSE(p().FolderExists(folder));
  EXPECT_FALSE(p().FileExists(folder + "\\b.css"));
  EXPECT_FALSE(p().DeleteFolder(folder));
  EXPECT_TRUE(p().CreateFolder(folder));
  EXPECT_EQ(p().ListFiles(Folder()), Names{"file"});
}

TEST_P(PlatformContract, FileNamesMatchWithoutLetterCaseWhereThePlatformDoes) {
  const bool alike = GetParam().caseInsensitive;
  ASSERT_TRUE(p().WriteFile(Path("Index.CSS"), "one"));
  ASSERT_TRUE(p().CreateFolder(Path("Sub")));
  EXPECT_EQ(p().FileExists(Path("index.css")), alike);
  EXPECT_EQ(p().ReadFile(Path("INDEX.css")).has_value(), alike);
  EXPECT_EQ(p().StampOf(Path("index.CSS")).has_value(), alike);
  EXPECT_EQ(p().FolderExists(Path("SUB")), alike);
  // Not ASCII letters only.
  ASSERT_TRUE(p().WriteFile(Path("\xC3\x84rger \xD0\x94.txt"), "x"));
  EXPECT_EQ(p().FileExists(Path("\xC3\xA4rger \xD0\xB4.txt")), alike);
  // One file keeps its first spelling where names match; two otherwise.
  ASSERT_TRUE(p().WriteFile(Path("index.css"), "two"));
  EXPECT_EQ(Sorted(p().ListFiles(Folder())), alike ? (Names{"Index.CSS", "\xC3\x84rger \xD0\x94.txt"})
                                                   : (Names{"Index.CSS", "index.css", "\xC3\x84rger \xD0\x94.txt"}));
  EXPECT_EQ(p().ReadFile(Path("Index.CSS")), std::string(alike ? "two" : "one"));
  EXPECT_EQ(p().RemoveFile(Path("INDEX.CSS")), alike);
}

TEST_P(PlatformContract, LowerCaseLowersEveryLetterAsFileNamesCompare) {
  const struct {
    std::string text, expected;
  } rows[] = {
      {"\xC3\x84\xC3\x96\xC3\x9C \xCE\xA3\xCE\x91\xCE\xA3 \xD0\x94\xD0\x9E\xD0\x9C",
       "\xC3\xA4\xC3\xB6\xC3\xBC \xCF\x83\xCE\xB1\xCF\x83 \xD0\xB4\xD0\xBE\xD0\xBC"},
      {"Resource3.0.20.100.DAT", "resource3.0.20.100.dat"},
      {"I", "i"},  // never a Turkish dotless i
      {"\xE6\xB5\x8F\xE8\xA7\x88 \xC3\xA4", "\xE6\xB5\x8F\xE8\xA7\x88 \xC3\xA4"},
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(p().LowerCase(row.text), row.expected) << row.text;
}

TEST_P(PlatformContract, ASingleInstanceClaimWinsOnceEvenInTheSameProcess) {
  // Claims last as long as the process: names new to this run.
  const std::string tag = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::string deep = "C:\\Program Files\\" + std::string(300, 'x') + "\\Ravelwick" + tag;
  for (const std::string& name :
       {"Ravelwick-" + tag, "C:\\Program Files\\Ravelwick\\" + tag, "/opt/Ravelwick\\" + tag, deep, "a" + deep}) {
    EXPECT_TRUE(p().ClaimSingleInstance(name)) << name;
    EXPECT_FALSE(p().ClaimSingleInstance(name)) << name;
  }
}

// "Is this the program's own file?" must hold whatever path leads there,
// and a file replaced by a rename is another file.
TEST_P(PlatformContract, IdentitiesFollowTheFileOrFolderNotItsSpelling) {
  ASSERT_TRUE(p().WriteFile(Path("a.ini"), "same"));
  ASSERT_TRUE(p().WriteFile(Path("b.ini"), "same"));
  ASSERT_TRUE(p().CreateFolder(Path("Sub")));
  const std::optional<FileIdentity> a = p().IdentityOf(Path("a.ini")), b = p().IdentityOf(Path("b.ini")),
                                    sub = p().IdentityOf(Path("Sub")), root = p().IdentityOf(Folder());
  ASSERT_TRUE(a && b && sub && root);
  EXPECT_TRUE(a != b && a != sub && sub != root);
  EXPECT_EQ(p().IdentityOf(Path("Sub\\..\\a.ini")), a);
  EXPECT_EQ(p().IdentityOf(Path("Sub\\")), sub);
  EXPECT_EQ(p().IdentityOf(Path("A.INI")) == a, GetParam().caseInsensitive);
  ASSERT_TRUE(p().WriteFile(Path("a.ini"), "rewritten in place"));
  EXPECT_EQ(p().IdentityOf(Path("a.ini")), a);
  ASSERT_TRUE(p().RenameOver(Path("b.ini"), Path("a.ini")));
  EXPECT_EQ(p().IdentityOf(Path("a.ini")), b);
  EXPECT_FALSE(p().IdentityOf(Path("b.ini")));
  EXPECT_FALSE(p().IdentityOf(Path("missing\\deeper.ini")));
  if (!MakeLink(Path("Sub"), Path("Link"))) return;
  ASSERT_TRUE(p().WriteFile(Path("Sub\\c.ini"), "c"));
  EXPECT_EQ(p().IdentityOf(Path("Link")), sub);
  EXPECT_EQ(p().IdentityOf(Path("Link\\c.ini")), p().IdentityOf(Path("Sub\\c.ini")));
}

TEST_P(PlatformContract, SettingsRoundTripInAFile) {
  const std::string ini = Path("settings.ini");
  EXPECT_EQ(ReadIniValue(p(), ini, "Language", "English"), "English");
  EXPECT_FALSE(p().FileExists(ini));
  const struct {
    const char *key, *value;
  } rows[] = {{"InstallFolder", "C:\\Hosts\\\xE6\xB5\x8F\\"}, {"Language", "English"}, {"Folder", "C:\\Maxthon3\\"}};
  for (const auto& row : rows) ASSERT_TRUE(WriteIniValue(p(), ini, row.key, row.value)) << row.key;
  for (const auto& row : rows) EXPECT_EQ(ReadIniValue(p(), ini, p().LowerCase(row.key), ""), row.value) << row.key;
  EXPECT_EQ(ReadIniValue(p(), Path("missing.ini"), "Language", "d"), "d");
  EXPECT_FALSE(p().FileExists(Path("missing.ini")));
}

}  // namespace
}  // namespace rw::test
