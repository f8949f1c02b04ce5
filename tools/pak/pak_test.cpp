#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "archive.h"
#include "pak_tool.h"
#include "tree.h"

namespace fs = std::filesystem;

namespace rw::pak {
namespace {

void PutLe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The documented layout written out independently of Pack, in the order
// given and without any checks, to pin the format and to forge archives.
std::string RawArchive(const std::vector<Entry>& entries) {
  std::string out("RWPAK\r\n\x1a", 8);
  PutLe(out, 1, 2);
  PutLe(out, 0, 2);
  PutLe(out, entries.size(), 4);
  for (const Entry& e : entries) {
    std::string entry;
    PutLe(entry, static_cast<int>(e.kind), 1);
    PutLe(entry, e.name.size(), 2);
    entry += e.name;
    PutLe(entry, e.data.size(), 8);
    entry += e.data;
    out += entry;
    PutLe(out, Crc32(entry), 4);
  }
  const std::uint32_t total = Crc32(out);
  out += "RWPE";
  PutLe(out, total, 4);
  return out;
}

Entry Folder(std::string name) { return Entry{std::move(name), EntryKind::Folder, {}}; }
Entry File(std::string name, std::string data) { return Entry{std::move(name), EntryKind::File, std::move(data)}; }

std::vector<Entry> SampleTree() {
  return {File("ui/main/index.css", "body{}\r\n"),
          Folder("ui"),
          Folder("ui/main"),
          Folder("ui/empty"),
          File("ui/main/binary.png", std::string("\x89PNG\0\r\n\x1a\xff", 9)),
          File("ui/main/empty.htm", ""),
          Folder("ui/main.classic"),
          File("ui/main.classic/\xc3\x9c"
               "bersicht \xe2\x9c\x93.htm",
               "<p>")};
}

std::vector<Entry> Sorted(std::vector<Entry> entries) {
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return entries;
}

std::string PackOrDie(std::vector<Entry> entries) {
  std::string archive, error;
  EXPECT_TRUE(Pack(std::move(entries), archive, error)) << error;
  return archive;
}

TEST(PakArchive, RoundTripIsExactAndTheBytesFollowTheDocumentedLayout) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  const std::string archive = PackOrDie(SampleTree());
  EXPECT_EQ(archive, RawArchive(Sorted(SampleTree())));

  std::vector<Entry> back;
  std::string error;
  ASSERT_TRUE(Unpack(archive, back, error)) << error;
  EXPECT_EQ(back, Sorted(SampleTree()));

  std::string empty;
  ASSERT_TRUE(Pack({}, empty, error));
  EXPECT_TRUE(Unpack(empty, back, error));
  EXPECT_TRUE(back.empty());
}

// One bit at a time, straight from the polynomial.
std::uint32_t BitwiseCrc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char b : bytes) {
    crc ^= static_cast<unsigned char>(b);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

TEST(PakArchive, ChecksumSixteenBytesAtATimeEqualsTheBitwiseOneAtEveryLengthAndOffset) {
  std::mt19937 random(11);
  std::string bytes(300, '\0');
  for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
  for (size_t offset = 0; offset < 16; ++offset)
    for (size_t length = 0; offset + length <= bytes.size(); ++length) {
      const std::string_view piece = std::string_view(bytes).substr(offset, length);
      ASSERT_EQ(Crc32(piece), BitwiseCrc32(piece)) << offset << " " << length;
    }
  // Continuing a checksum equals taking it over the whole.
  const std::string_view all(bytes);
  for (size_t cut : {0, 1, 15, 16, 17, 150, 300})
    EXPECT_EQ(Crc32(all.substr(cut), Crc32(all.substr(0, cut))), Crc32(all)) << cut;
}

// The total checksum put right after a change, as a forger would.
std::string WithTotalChecksum(std::string archive) {
  const std::size_t body = archive.size() - 8;
  std::string total;
  PutLe(total, Crc32(std::string_view(archive).substr(0, body)), 4);
  return archive.replace(body + 4, 4, total);
}

TEST(PakArchive, DamageIsReportedInTheOrderOfTheFormat) {
  const std::string archive = RawArchive({Folder("a"), File("a/b.txt", "hello")});
  const auto why = [](const std::string& bytes) {
    std::vector<Entry> out;
    std::string error;
    EXPECT_FALSE(Unpack(bytes, out, error));
    EXPECT_TRUE(out.empty());
    return error;
  };
  std::string data = archive;
  data[data.size() - 8 - 4 - 1] ^= 1;  // last data byte
  EXPECT_EQ(why(data), "archive is damaged (checksum)");

  std::string version = archive;
  version[8] = 2;
  EXPECT_EQ(why(version), "archive is damaged (checksum)");
  EXPECT_EQ(why(WithTotalChecksum(version)), "unsupported archive version");
  // A wrong version outranks a damaged entry behind a sound total.
  version[version.size() - 8 - 4 - 1] ^= 1;
  EXPECT_EQ(why(WithTotalChecksum(version)), "unsupported archive version");

  EXPECT_EQ(why(WithTotalChecksum(data)), "entry 1 is damaged (checksum)");
  std::string count = archive;
  count[12] = 3;
  EXPECT_EQ(why(WithTotalChecksum(count)), "entry 2 runs past the end");
  count[12] = 1;
  EXPECT_EQ(why(WithTotalChecksum(count)), "bytes between the last entry and the end");
}

TEST(PakArchive, SameTreeGivesSameBytesInAnyOrder) {
  std::vector<Entry> entries = SampleTree();
  const std::string first = PackOrDie(entries);
  std::mt19937 random(7);
  for (int i = 0; i < 20; ++i) {
    std::shuffle(entries.begin(), entries.end(), random);
    EXPECT_EQ(PackOrDie(entries), first);
  }
}

TEST(PakArchive, EveryDamagedByteTruncationOrAdditionIsRefused) {
  const std::string archive = PackOrDie(SampleTree());
  std::vector<Entry> out;
  std::string error;
  for (std::size_t i = 0; i < archive.size(); ++i) {
    std::string damaged = archive;
    damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
    EXPECT_FALSE(Unpack(damaged, out, error)) << "byte " << i;
    EXPECT_FALSE(Unpack(std::string_view(archive).substr(0, i), out, error)) << "length " << i;
  }
  EXPECT_FALSE(Unpack(archive + '\0', out, error));
  EXPECT_TRUE(out.empty());
}

TEST(PakArchive, NamesThatCouldLeaveTheFolderOrAliasOnWindowsAreRefused) {
  for (const std::string& bad : std::vector<std::string>{"",
                                                         "..",
                                                         ".",
                                                         "../x",
                                                         "a/../../x",
                                                         "a/./b",
                                                         "/etc/passwd",
                                                         "a//b",
                                                         "a/",
                                                         "C:/x",
                                                         "C:x",
                                                         "a\\b",
                                                         "\\\\server\\share",
                                                         "a:stream",
                                                         "con",
                                                         "NUL.txt",
                                                         "a/Com1.css",
                                                         "lpt9",
                                                         "x.",
                                                         "x ",
                                                         "a\x01",
                                                         "\xc0\xaf",
                                                         "\xed\xa0\x80",
                                                         "\xff",
                                                         "a?b",
                                                         std::string(70000, 'a')})
    EXPECT_NE(NameProblem(bad), "") << bad;
  for (const std::string& good :
       std::vector<std::string>{"a", "ui/main.classic/index.css", ".hidden", "con_tab.png", "com10", "a b/c d",
                                "\xc3\x9c"
                                "bersicht \xe2\x9c\x93"})
    EXPECT_EQ(NameProblem(good), "") << good;

  std::string archive, error;
  EXPECT_FALSE(Pack({File("../evil", "x")}, archive, error));
  EXPECT_NE(error.find("../evil"), std::string::npos);
}

TEST(PakArchive, ForgedArchivesWithBadTreesAreRefusedWhole) {
  const std::vector<std::vector<Entry>> forged = {
      {File("../evil", "x")},
      {Folder("a"), File("a/../../evil", "x")},
      {File("C:/evil", "x")},
      {File("b", "x"), File("a", "y")},              // out of order
      {File("a", "x"), File("a", "y")},              // duplicate
      {File("A", "x"), File("a", "y")},              // same file on Windows
      {File("a/b", "x")},                            // no folder entry for "a"
      {File("a", "x"), File("a/b", "y")},            // a file used as a folder
      {Entry{"a", EntryKind::Folder, "data"}},       // folder with data
      {Entry{"a", static_cast<EntryKind>(3), "x"}},  // unknown kind
  };
  for (const auto& entries : forged) {
    std::vector<Entry> out;
    std::string error;
    EXPECT_FALSE(Unpack(RawArchive(entries), out, error)) << entries.back().name;
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(out.empty());
  }
}

// --- The tools on a real disk ------------------------------------------------

class PakToolTest : public ::testing::Test {
 protected:
  fs::path base;

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    base = fs::temp_directory_path() / (std::string("pak_test_") + info->name());
    fs::remove_all(base);
    fs::create_directories(base);
  }
  void TearDown() override { fs::remove_all(base); }

  std::string Utf8(const fs::path& path) const { return Utf8FromPath(path); }
  std::vector<fs::path> Listing() const {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(base)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(PakToolTest, MakpakThenUnpakRebuildsTheTreeExactly) {
  // A folder name outside ASCII checks the UTF-16 path on Windows.
  const fs::path source = base / PathFromUtf8("R\xc3\xa9source");
  std::string message;
  ASSERT_TRUE(WriteTree(source, Sorted(SampleTree()), message)) << message;

  ASSERT_EQ(RunMakpak(Utf8(source) + "\\", message), kOk) << message;
  std::string first, second;
  ASSERT_TRUE(ReadWholeFile(base / PathFromUtf8("R\xc3\xa9source.dat"), first));
  EXPECT_EQ(first, PackOrDie(SampleTree()));
  // Packing again replaces the archive with the same bytes.
  ASSERT_EQ(RunMakpak(Utf8(source), message), kOk) << message;
  ASSERT_TRUE(ReadWholeFile(base / PathFromUtf8("R\xc3\xa9source.dat"), second));
  EXPECT_EQ(second, first);

  fs::rename(source, base / "original");
  ASSERT_EQ(RunUnpak(Utf8(source) + ".dat", message), kOk) << message;
  std::vector<Entry> unpacked;
  ASSERT_TRUE(ReadTree(source, unpacked, message)) << message;
  EXPECT_EQ(Sorted(unpacked), Sorted(SampleTree()));
  EXPECT_EQ(Listing(),
            (std::vector<fs::path>{PathFromUtf8("R\xc3\xa9source"), PathFromUtf8("R\xc3\xa9source.dat"), "original"}));
}

TEST_F(PakToolTest, ToolsWorkInAFolderPastTheOldPathLimit) {
  fs::path deep = base;
  while (Utf8(deep).size() < 320) {
    deep /= fs::path(u8"Folder of a deep tree \u00e4");
    ASSERT_TRUE(MakeFolder(PathFromUtf8(Utf8(deep)))) << Utf8(deep).size();
  }
  const std::string tree = Utf8(deep / "Resource");
  std::string message;
  ASSERT_TRUE(WriteTree(PathFromUtf8(tree), Sorted(SampleTree()), message)) << message;
  ASSERT_EQ(RunMakpak(tree, message), kOk) << message;
  RemoveTree(PathFromUtf8(tree));
  ASSERT_EQ(KindOf(PathFromUtf8(tree)), DiskKind::Missing);
  ASSERT_EQ(RunUnpak(tree + ".dat", message), kOk) << message;
  std::vector<Entry> unpacked;
  ASSERT_TRUE(ReadTree(PathFromUtf8(tree), unpacked, message)) << message;
  EXPECT_EQ(Sorted(unpacked), Sorted(SampleTree()));
  RemoveTree(PathFromUtf8(Utf8(base / fs::path(u8"Folder of a deep tree \u00e4"))));
  EXPECT_EQ(Listing(), std::vector<fs::path>{});
}

TEST_F(PakToolTest, UnpakRefusesWithoutWritingAnything) {
  const std::string archive = Utf8(base / "Resource.dat");
  std::string message;
  EXPECT_EQ(RunUnpak(archive, message), kInputMissing);
  EXPECT_EQ(RunUnpak(Utf8(base / "Resource.zip"), message), kUsage);

  // A forged entry that climbs out of the target.
  ASSERT_TRUE(WriteWholeFile(base / "Resource.dat", RawArchive({Folder("a"), File("a/../../evil", "x")})));
  EXPECT_EQ(RunUnpak(archive, message), kBadInput);
  std::string damaged = PackOrDie(SampleTree());
  damaged[damaged.size() / 2] ^= 1;
  ASSERT_TRUE(WriteWholeFile(base / "Resource.dat", damaged));
  EXPECT_EQ(RunUnpak(archive, message), kBadInput);
  EXPECT_EQ(Listing(), std::vector<fs::path>{"Resource.dat"});

  // An existing tree is never written into.
  ASSERT_TRUE(WriteWholeFile(base / "Resource.dat", PackOrDie(SampleTree())));
  fs::create_directory(base / "Resource");
  EXPECT_EQ(RunUnpak(archive, message), kTargetExists);
  EXPECT_TRUE(fs::is_empty(base / "Resource"));
}

TEST_F(PakToolTest, StagingFolderOfAnInterruptedRunIsClearedFirst) {
  std::string message;
  fs::create_directories(base / "Resource.unpacking" / "stale");
  ASSERT_TRUE(WriteWholeFile(base / "Resource.dat", PackOrDie(SampleTree())));
  ASSERT_EQ(RunUnpak(Utf8(base / "Resource.dat"), message), kOk) << message;
  EXPECT_FALSE(fs::exists(base / "Resource" / "stale"));
  EXPECT_EQ(Listing(), (std::vector<fs::path>{"Resource", "Resource.dat"}));
}

TEST_F(PakToolTest, MakpakThatFailsKeepsTheOldArchive) {
  std::string message;
  ASSERT_TRUE(WriteWholeFile(base / "Resource.dat", "previous"));
  EXPECT_EQ(RunMakpak(Utf8(base / "Resource"), message), kInputMissing);

  fs::create_directories(base / "Resource");
  // Linux can hold names that Windows cannot; such a tree is not packed.
  if (!WriteWholeFile(base / "Resource" / "a\\b", "x")) GTEST_SKIP() << "the file system refuses the name";
  EXPECT_EQ(RunMakpak(Utf8(base / "Resource"), message), kBadInput);
  EXPECT_NE(message.find("a\\b"), std::string::npos);
  std::string kept;
  ASSERT_TRUE(ReadWholeFile(base / "Resource.dat", kept));
  EXPECT_EQ(kept, "previous");
  EXPECT_EQ(Listing(), (std::vector<fs::path>{"Resource", "Resource.dat"}));
}

}  // namespace
}  // namespace rw::pak
