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
  ASSERT_TRUE(p().files.FolderExists(Folder()));
}

namespace {

using Names = std::vector<std::string>;

// Listings come in the file system's order.
Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

// --- FileSystem ----------------------------------------------------------

TEST_P(PlatformContract, FilesRoundTripAndExistenceTellsFilesFromFolders) {
  const std::string file = Path("a.txt");
  ASSERT_TRUE(p().files.WriteFile(file, "a longer first version"));
  ASSERT_TRUE(p().files.WriteFile(file, std::string("x\0y", 3)));  // truncates
  EXPECT_TRUE(p().files.FileExists(file));
  EXPECT_FALSE(p().files.FolderExists(file));
  EXPECT_FALSE(p().files.IsReadOnly(file));
  EXPECT_TRUE(p().files.FolderExists(Folder()));
  EXPECT_FALSE(p().files.FileExists(Folder()));
  EXPECT_EQ(*p().files.ReadFile(file), std::string("x\0y", 3));
  ASSERT_TRUE(p().files.CopyFileOver(file, Path("b.txt")));
  ASSERT_TRUE(p().files.RenameOver(Path("b.txt"), file));
  EXPECT_FALSE(p().files.FileExists(Path("b.txt")));
  EXPECT_EQ(p().files.ListFiles(Folder()), Names{"a.txt"});
  ASSERT_TRUE(p().files.RemoveFile(file));
  EXPECT_FALSE(p().files.ReadFile(file));
}

TEST_P(PlatformContract, MissingFilesAndFoldersReadAsMissing) {
  ASSERT_TRUE(p().files.WriteFile(Path("file"), "x"));
  for (const std::string& path : {Path("missing.css"), Path("missing\\deeper.css")}) {
    EXPECT_FALSE(p().files.ReadFile(path)) << path;
    EXPECT_FALSE(p().files.StampOf(path)) << path;
    EXPECT_FALSE(p().files.FileExists(path)) << path;
    EXPECT_FALSE(p().files.FolderExists(path)) << path;
    EXPECT_FALSE(p().files.IsReadOnly(path)) << path;
    EXPECT_FALSE(p().files.RemoveFile(path)) << path;
    EXPECT_FALSE(p().files.DeleteFolder(path)) << path;
    EXPECT_FALSE(p().files.CopyFileOver(path, Path("copy"))) << path;
    EXPECT_FALSE(p().files.RenameOver(path, Path("renamed"))) << path;
    EXPECT_EQ(p().files.ListFiles(path), Names{}) << path;
    EXPECT_EQ(p().files.ListTree(path), Names{}) << path;
  }
  EXPECT_FALSE(p().files.WriteFile(Path("missing\\new.css"), "x"));  // no parent folder
  EXPECT_FALSE(p().files.FolderExists(Path("file")));
  EXPECT_FALSE(p().files.StampOf(Folder()));
  EXPECT_EQ(p().files.ListFiles(Folder()), Names{"file"});
}

TEST_P(PlatformContract, ReadOnlyTargetsFailAndKeepTheirBytes) {
  const std::string file = Path("index.css"), other = Path("other.css");
  ASSERT_TRUE(WriteUtf8File(p(), file, "old"));
  const std::optional<std::string> before = p().files.ReadFile(file);
  ASSERT_TRUE(p().files.WriteFile(other, "other"));
  MakeReadOnly(file);
  EXPECT_TRUE(p().files.IsReadOnly(file));
  const struct {
    const char* what;
    std::function<FileChange()> attempt;
  } attempts[] = {
      {"WriteFile", [&] { return p().files.WriteFile(file, "new"); }},
      {"WriteUtf8File", [&] { return WriteUtf8File(p(), file, "new"); }},
      {"RenameOver", [&] { return p().files.RenameOver(other, file); }},
      {"CopyFileOver", [&] { return p().files.CopyFileOver(other, file); }},
      {"RemoveFile", [&] { return p().files.RemoveFile(file); }},
  };
  for (const auto& a : attempts) {
    const FileChange change = a.attempt();
    EXPECT_FALSE(change) << a.what;
    EXPECT_NE(change.osError, "") << a.what;  // the system's words, taken when it refused
    EXPECT_EQ(p().files.ReadFile(file), before) << a.what;
    EXPECT_TRUE(p().files.IsReadOnly(file)) << a.what;
  }
  EXPECT_EQ(*ReadUtf8File(p(), file), "old");
  EXPECT_EQ(p().files.ReadFile(other), std::string("other"));
  EXPECT_EQ(Sorted(p().files.ListFiles(Folder())), (Names{"index.css", "other.css"}));  // no temporary left
}

TEST_P(PlatformContract, DeletingAFolderKeepsReadOnlyFilesAndSaysSo) {
  ASSERT_TRUE(p().files.CreateFolder(Path("Resource")));
  ASSERT_TRUE(p().files.CreateFolder(Path("Resource\\ui")));
  for (const char* name : {"a.htm", "ui\\b.htm", "ui\\locked.htm"})
    ASSERT_TRUE(p().files.WriteFile(Path("Resource\\") + name, name));
  MakeReadOnly(Path("Resource\\ui\\locked.htm"));
  EXPECT_FALSE(p().files.DeleteFolder(Path("Resource")));
  EXPECT_EQ(p().files.ReadFile(Path("Resource\\ui\\locked.htm")), std::string("ui\\locked.htm"));
  EXPECT_TRUE(p().files.IsReadOnly(Path("Resource\\ui\\locked.htm")));
  EXPECT_FALSE(p().files.FileExists(Path("Resource\\a.htm")));
  EXPECT_FALSE(p().files.FileExists(Path("Resource\\ui\\b.htm")));
}

TEST_P(PlatformContract, StampsFollowWritesAndACopyCarriesItsSourcesStamp) {
  const std::string file = Path("nav_tool.png");
  ASSERT_TRUE(p().files.WriteFile(file, "image"));
  const auto stamp = p().files.StampOf(file);
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->size, 5u);
  EXPECT_TRUE(p().files.ReadFile(file));
  EXPECT_EQ(p().files.StampOf(file), stamp);  // reading changes nothing
  ASSERT_TRUE(p().files.CopyFileOver(file, Path("copy.png")));
  EXPECT_EQ(p().files.StampOf(Path("copy.png")), stamp);
  ASSERT_TRUE(p().files.WriteFile(Path("copy.png"), "edited"));
  EXPECT_NE(p().files.StampOf(Path("copy.png")), stamp);
  // Copied over an existing file, the time comes along too.
  ASSERT_TRUE(p().files.CopyFileOver(file, Path("copy.png")));
  EXPECT_EQ(p().files.StampOf(Path("copy.png")), stamp);
  EXPECT_EQ(p().files.StampOf(file), stamp);
}

TEST_P(PlatformContract, ListFilesListsFilesOnlyAndListTreeEveryFileBelow) {
  ASSERT_TRUE(p().files.CreateFolder(Path("sub")));
  ASSERT_TRUE(p().files.CreateFolder(Path("sub\\deeper")));
  ASSERT_TRUE(p().files.CreateFolder(Path("empty")));
  for (const char* name : {"a.css", "b.png", "sub\\c.htm", "sub\\deeper\\d.js"})
    ASSERT_TRUE(p().files.WriteFile(Path(name), name));
  EXPECT_EQ(Sorted(p().files.ListFiles(Folder())), (Names{"a.css", "b.png"}));
  EXPECT_EQ(p().files.ListFiles(Path("sub")), Names{"c.htm"});
  EXPECT_EQ(p().files.ListFiles(Path("empty")), Names{});
  EXPECT_EQ(Sorted(p().files.ListTree(Folder())), (Names{"a.css", "b.png", "sub\\c.htm", "sub\\deeper\\d.js"}));
  EXPECT_EQ(Sorted(p().files.ListTree(Path("sub"))), (Names{"c.htm", "deeper\\d.js"}));
  EXPECT_EQ(p().files.ListTree(Path("empty")), Names{});
}

TEST_P(PlatformContract, FoldersRoundTripAndAreNeverFileTargets) {
  const std::string folder = Path("Skin");
  ASSERT_TRUE(p().files.CreateFolder(folder));
  EXPECT_TRUE(p().files.FolderExists(folder));
  EXPECT_FALSE(p().files.FileExists(folder));
  EXPECT_FALSE(p().files.CreateFolder(folder));  // already there
  EXPECT_FALSE(p().files.CreateFolder(Path("missing\\Skin")));
  ASSERT_TRUE(p().files.WriteFile(Path("file"), "x"));
  EXPECT_FALSE(p().files.CreateFolder(Path("file")));
  // A folder is never a file's target either.
  EXPECT_FALSE(p().files.WriteFile(folder, "x"));
  EXPECT_FALSE(p().files.RenameOver(Path("file"), folder));
  EXPECT_FALSE(p().files.IsReadOnly(folder));
  EXPECT_EQ(p().files.ReadFile(Path("file")), std::string("x"));
  ASSERT_TRUE(p().files.CreateFolder(folder + "\\inner"));
  ASSERT_TRUE(p().files.WriteFile(folder + "\\inner\\a.css", "a"));
  ASSERT_TRUE(p().files.WriteFile(folder + "\\b.css", "b"));
  EXPECT_TRUE(p().files.DeleteFolder(folder));
  EXPECT_FALSE(p().files.FolderExists(folder));
  EXPECT_FALSE(p().files.FileExists(folder + "\\b.css"));
  EXPECT_FALSE(p().files.DeleteFolder(folder));
  EXPECT_TRUE(p().files.CreateFolder(folder));
  EXPECT_EQ(p().files.ListFiles(Folder()), Names{"file"});
}

TEST_P(PlatformContract, FileNamesMatchWithoutLetterCaseWhereThePlatformDoes) {
  const bool alike = GetParam().caseInsensitive;
  ASSERT_TRUE(p().files.WriteFile(Path("Index.CSS"), "one"));
  ASSERT_TRUE(p().files.CreateFolder(Path("Sub")));
  EXPECT_EQ(p().files.FileExists(Path("index.css")), alike);
  EXPECT_EQ(p().files.ReadFile(Path("INDEX.css")).has_value(), alike);
  EXPECT_EQ(p().files.StampOf(Path("index.CSS")).has_value(), alike);
  EXPECT_EQ(p().files.FolderExists(Path("SUB")), alike);
  // Not ASCII letters only.
  ASSERT_TRUE(p().files.WriteFile(Path("\xC3\x84rger \xD0\x94.txt"), "x"));
  EXPECT_EQ(p().files.FileExists(Path("\xC3\xA4rger \xD0\xB4.txt")), alike);
  // One file keeps its first spelling where names match; two otherwise.
  ASSERT_TRUE(p().files.WriteFile(Path("index.css"), "two"));
  EXPECT_EQ(Sorted(p().files.ListFiles(Folder())),
            alike ? (Names{"Index.CSS", "\xC3\x84rger \xD0\x94.txt"})
                  : (Names{"Index.CSS", "index.css", "\xC3\x84rger \xD0\x94.txt"}));
  EXPECT_EQ(p().files.ReadFile(Path("Index.CSS")), std::string(alike ? "two" : "one"));
  EXPECT_EQ(p().files.RemoveFile(Path("INDEX.CSS")).ok, alike);
}

// --- SystemServices ------------------------------------------------------

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
  for (const auto& row : rows) EXPECT_EQ(p().system.LowerCase(row.text), row.expected) << row.text;
}

TEST_P(PlatformContract, ASingleInstanceClaimWinsOnceEvenInTheSameProcess) {
  // Claims last as long as the process: names new to this run.
  const std::string tag = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::string deep = "C:\\Program Files\\" + std::string(300, 'x') + "\\Ravelwick" + tag;
  for (const std::string& name :
       {"Ravelwick-" + tag, "C:\\Program Files\\Ravelwick\\" + tag, "/opt/Ravelwick\\" + tag, deep, "a" + deep}) {
    EXPECT_TRUE(p().system.ClaimSingleInstance(name)) << name;
    EXPECT_FALSE(p().system.ClaimSingleInstance(name)) << name;
  }
}

// "Is this the program's own file?" must hold whatever path leads there,
// and a file replaced by a rename is another file.
TEST_P(PlatformContract, IdentitiesFollowTheFileOrFolderNotItsSpelling) {
  ASSERT_TRUE(p().files.WriteFile(Path("a.ini"), "same"));
  ASSERT_TRUE(p().files.WriteFile(Path("b.ini"), "same"));
  ASSERT_TRUE(p().files.CreateFolder(Path("Sub")));
  const std::optional<FileIdentity> a = p().files.IdentityOf(Path("a.ini")), b = p().files.IdentityOf(Path("b.ini")),
                                    sub = p().files.IdentityOf(Path("Sub")), root = p().files.IdentityOf(Folder());
  ASSERT_TRUE(a && b && sub && root);
  EXPECT_TRUE(a != b && a != sub && sub != root);
  EXPECT_EQ(p().files.IdentityOf(Path("Sub\\..\\a.ini")), a);
  EXPECT_EQ(p().files.IdentityOf(Path("Sub\\")), sub);
  EXPECT_EQ(p().files.IdentityOf(Path("A.INI")) == a, GetParam().caseInsensitive);
  ASSERT_TRUE(p().files.WriteFile(Path("a.ini"), "rewritten in place"));
  EXPECT_EQ(p().files.IdentityOf(Path("a.ini")), a);
  ASSERT_TRUE(p().files.RenameOver(Path("b.ini"), Path("a.ini")));
  EXPECT_EQ(p().files.IdentityOf(Path("a.ini")), b);
  EXPECT_FALSE(p().files.IdentityOf(Path("b.ini")));
  EXPECT_FALSE(p().files.IdentityOf(Path("missing\\deeper.ini")));
  if (!MakeLink(Path("Sub"), Path("Link"))) return;
  ASSERT_TRUE(p().files.WriteFile(Path("Sub\\c.ini"), "c"));
  EXPECT_EQ(p().files.IdentityOf(Path("Link")), sub);
  EXPECT_EQ(p().files.IdentityOf(Path("Link\\c.ini")), p().files.IdentityOf(Path("Sub\\c.ini")));
}

TEST_P(PlatformContract, SettingsRoundTripInAFile) {
  const std::string ini = Path("settings.ini");
  EXPECT_EQ(ReadIniValue(p(), ini, "Language", "English"), "English");
  EXPECT_FALSE(p().files.FileExists(ini));
  const struct {
    const char *key, *value;
  } rows[] = {{"InstallFolder", "C:\\Hosts\\\xE6\xB5\x8F\\"}, {"Language", "English"}, {"Folder", "C:\\Maxthon3\\"}};
  for (const auto& row : rows) ASSERT_TRUE(WriteIniValue(p(), ini, row.key, row.value)) << row.key;
  for (const auto& row : rows)
    EXPECT_EQ(ReadIniValue(p(), ini, p().system.LowerCase(row.key), ""), row.value) << row.key;
  EXPECT_EQ(ReadIniValue(p(), Path("missing.ini"), "Language", "d"), "d");
  EXPECT_FALSE(p().files.FileExists(Path("missing.ini")));
}

// Only an existing file is handed to an editor; the system names itself.
TEST_P(PlatformContract, NoEditorForAMissingFileAndTheSystemHasAVersion) {
  EXPECT_FALSE(p().desktop.OpenInTextEditor(Path("missing.log")));
  EXPECT_FALSE(p().desktop.OpenInTextEditor(Path("missing\\deeper.log")));
  EXPECT_FALSE(p().system.SystemVersion().empty());
}

}  // namespace
}  // namespace rw::test
