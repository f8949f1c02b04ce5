#include <gtest/gtest.h>

#include "app/app.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "stores/log_file.h"
#include "stores/profile.h"
#include "stores/settings.h"
#include "stores/sha256.h"
#include "stores/text.h"
#include "stores/utf8_file.h"
#include "support/fake_platform.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::Op;

const std::string kSettings = "C:\\Ravelwick\\settings.ini";

TEST(CutAtNul, CutsAtFirstNulOrKeepsAll) {
  EXPECT_EQ(CutAtNul(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(CutAtNul("abc"), "abc");
  EXPECT_EQ(CutAtNul(std::string("\0", 1)), "");
}

TEST(Settings, EmptyValueReadsAsDefault) {
  FakePlatform p;
  p.AddFile(kSettings, "[General]\r\nFileVersion=\r\n");
  EXPECT_EQ(ReadIniValue(p, kSettings, "FileVersion", "3.0.0.0"), "3.0.0.0");
}

TEST(Settings, KeysAndSectionsIgnoreLetterCaseAndBlanks) {
  FakePlatform p;
  p.AddFile(kSettings, "[other]\r\nHideHome=7\r\n[gEnErAl]\r\n  hidehome  =  1  \r\n");
  EXPECT_EQ(ReadIniValue(p, kSettings, "HideHome", "0"), "1");
  EXPECT_EQ(ReadIniValue(p, kSettings, "Missing", "d"), "d");
}

TEST(Settings, LineEndsOfEveryKindAndNoFinalLineBreak) {
  for (std::string eol : {"\r\n", "\n", "\r"}) {
    FakePlatform p;
    p.AddFile(kSettings, "[General]" + eol + "A=1" + eol + "B=2");
    EXPECT_EQ(ReadIniValue(p, kSettings, "A", ""), "1");
    EXPECT_EQ(ReadIniValue(p, kSettings, "B", ""), "2");
    WriteIniValue(p, kSettings, "C", "3");
    EXPECT_EQ(ReadIniValue(p, kSettings, "B", ""), "2");
    EXPECT_EQ(ReadIniValue(p, kSettings, "C", ""), "3");
  }
}

TEST(Settings, DuplicateKeysAndSectionsReadTheFirst) {
  FakePlatform p;
  p.AddFile(kSettings, "[General]\r\nA=first\r\nA=second\r\n[General]\r\nA=third\r\nB=only\r\n");
  EXPECT_EQ(ReadIniValue(p, kSettings, "A", ""), "first");
  EXPECT_EQ(ReadIniValue(p, kSettings, "B", ""), "only");
  WriteIniValue(p, kSettings, "A", "new");
  EXPECT_EQ(*p.Contents(kSettings), "[General]\r\nA=new\r\nA=second\r\n[General]\r\nA=third\r\nB=only\r\n");
}

TEST(Settings, LongValueIsCutTo1023Bytes) {
  FakePlatform p;
  const std::string value(1500, 'x');
  WriteIniValue(p, kSettings, "Long", value);
  EXPECT_EQ(ReadIniValue(p, kSettings, "Long", ""), std::string(1023, 'x'));
}

TEST(Settings, MegabyteLineAndBinaryGarbageDoNotBreakTheReader) {
  FakePlatform p;
  std::string garbage = "[General]\r\n" + std::string(1 << 20, 'q') + "\r\n";
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  garbage += "\r\n[General]\r\nKey=value\r\n";
  p.AddFile(kSettings, garbage);
  EXPECT_EQ(ReadIniValue(p, kSettings, "Key", ""), "value");
}

TEST(Settings, WriteReplacesInPlaceAndKeepsEveryOtherLineByteForByte) {
  FakePlatform p;
  const std::string before = "; comment\r\n[General]\r\nLanguage=English\r\n  Odd Line  \r\nHideHome=0\n[Other]\r\nX=1";
  p.AddFile(kSettings, before);
  WriteIniValue(p, kSettings, "hidehome", "1");
  EXPECT_EQ(*p.Contents(kSettings),
            "; comment\r\n[General]\r\nLanguage=English\r\n  Odd Line  \r\nhidehome=1\n[Other]\r\nX=1");
  WriteIniValue(p, kSettings, "FileVersion", "3.0.15.300");
  EXPECT_EQ(*p.Contents(kSettings),
            "; comment\r\n[General]\r\nLanguage=English\r\n  Odd Line  \r\nhidehome=1\nFileVersion=3.0.15.300\r\n"
            "[Other]\r\nX=1");
}

TEST(Settings, WriteCreatesFileAndSection) {
  FakePlatform p;
  WriteIniValue(p, kSettings, "Language", "English");
  EXPECT_EQ(*p.Contents(kSettings), "[General]\r\nLanguage=English\r\n");
  FakePlatform q;
  q.AddFile(kSettings, "[Other]\r\nX=1");
  WriteIniValue(q, kSettings, "A", "b");
  EXPECT_EQ(*q.Contents(kSettings), "[Other]\r\nX=1\r\n[General]\r\nA=b\r\n");
}

TEST(Settings, AFolderWhereTheFileShouldBeFailsQuietly) {
  FakePlatform p;
  p.AddFolder(kSettings);
  EXPECT_EQ(ReadIniValue(p, kSettings, "A", "d"), "d");
  EXPECT_FALSE(WriteIniValue(p, kSettings, "A", "b"));
}

TEST(Settings, AnsiFileStaysAnsiAndUtf8ValueThatItCannotHoldMovesItToUtf8) {
  FakePlatform p;
  p.AddFile(kSettings, "[General]\r\nName=caf\xE9\r\n");
  EXPECT_EQ(ReadIniValue(p, kSettings, "Name", ""), "caf\xC3\xA9");
  WriteIniValue(p, kSettings, "Other", "na\xC3\xAFve");
  EXPECT_EQ(*p.Contents(kSettings), "[General]\r\nName=caf\xE9\r\nOther=na\xEFve\r\n");
  // A Chinese folder name has no Windows-1252 form: nothing may be lost.
  const std::string folder = "D:\\\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8\\";
  WriteIniValue(p, kSettings, "InstallFolder", folder);
  EXPECT_EQ(ReadIniValue(p, kSettings, "InstallFolder", ""), folder);
  EXPECT_EQ(ReadIniValue(p, kSettings, "Name", ""), "caf\xC3\xA9");
  EXPECT_EQ(p.Contents(kSettings)->substr(0, 3), "\xEF\xBB\xBF");
}

// Notepad's "Unicode" forms: a byte-order mark, then UTF-16 units.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

TEST(Settings, Utf16FilesAreReadAndStayUtf16WithEveryOtherLineKept) {
  const std::string folder = "D:\\\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8\\";  // D:\浏览器\ in UTF-8
  struct Case {
    std::u16string before;
    std::string key, value;  // written
    std::u16string after;
  };
  const Case cases[] = {
      // A new key goes to the end of the section; a value beyond the BMP too.
      {u"; \u00E9t\u00E9\r\n[General]\r\nLanguage=Deutsch\r\nInstallFolder=D:\\\u6D4F\u89C8\u5668\\\r\n", "Name",
       "\xF0\x9D\x84\x9E\xE2\x9C\x93",
       u"; \u00E9t\u00E9\r\n[General]\r\nLanguage=Deutsch\r\nInstallFolder=D:\\\u6D4F\u89C8\u5668\\\r\n"
       u"Name=\U0001D11E\u2713\r\n"},
      // An existing key is replaced in place; a lone surrogate elsewhere stays.
      {u"[General]\r\nNote=\xD800!\r\nLanguage=English", "language", "Deutsch",
       u"[General]\r\nNote=\xD800!\r\nlanguage=Deutsch"},
      // An empty file with only the mark gets its section.
      {u"", "Language", "Deutsch", u"[General]\r\nLanguage=Deutsch\r\n"},
  };
  for (const bool bigEndian : {false, true}) {
    for (const Case& c : cases) {
      FakePlatform p;
      p.AddFile(kSettings, Utf16File(c.before, bigEndian));
      if (c.before.find(u"InstallFolder") != std::u16string::npos) {
        EXPECT_EQ(ReadIniValue(p, kSettings, "Language", ""), "Deutsch");
        EXPECT_EQ(ReadIniValue(p, kSettings, "InstallFolder", ""), folder);
      }
      ASSERT_TRUE(WriteIniValue(p, kSettings, c.key, c.value));
      EXPECT_EQ(*p.Contents(kSettings), Utf16File(c.after, bigEndian)) << c.key << bigEndian;
      EXPECT_EQ(ReadIniValue(p, kSettings, c.key, ""), c.value);
    }
  }
  // A lone surrogate reads as U+FFFD, as the system converter gives it.
  FakePlatform p;
  p.AddFile(kSettings, Utf16File(u"[General]\r\nNote=\xDC00!\r\n", false));
  EXPECT_EQ(ReadIniValue(p, kSettings, "Note", ""), "\xEF\xBF\xBD!");
  // Language files go through the same reader.
  p.AddFile("C:\\Ravelwick\\Languages\\Chinese Simplified.ini", Utf16File(u"[General]\r\nOK=\u786E\u5B9A\r\n", false));
  EXPECT_EQ(LookupText(p, "C:\\Ravelwick", "Chinese Simplified", "OK"), "\xE7\xA1\xAE\xE5\xAE\x9A");
  // Any code units on a line we do not touch come back unit for unit, lone
  // surrogates, pairs and U+FFFF included.
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int trial = 0; trial < 200; ++trial) {
    std::u16string line = u"; ";
    for (int n = next() >> 28; n > 0; --n) {
      const auto unit = static_cast<char16_t>(next() >> 16);
      if (unit != u'\r' && unit != u'\n') line += unit;
    }
    FakePlatform q;
    q.AddFile(kSettings, Utf16File(line + u"\r\n[General]\r\n", trial % 2 == 1));
    ASSERT_TRUE(WriteIniValue(q, kSettings, "A", "1"));
    EXPECT_EQ(*q.Contents(kSettings), Utf16File(line + u"\r\n[General]\r\nA=1\r\n", trial % 2 == 1)) << trial;
  }
}

TEST(Settings, UnreadableExistingFileIsNeverReplaced) {
  FakePlatform p;
  p.AddFile(kSettings, "[General]\r\nA=1\r\n");
  p.failHook = [](Op op, const std::string&) { return op == Op::Read; };
  EXPECT_FALSE(WriteIniValue(p, kSettings, "B", "2"));
  EXPECT_EQ(*p.Contents(kSettings), "[General]\r\nA=1\r\n");
}

TEST(LookupText, FallsBackToEnglishThenEmpty) {
  FakePlatform p;
  p.AddFile("C:\\Ravelwick\\Languages\\English.ini", "\xEF\xBB\xBF[General]\r\nOK=OK\r\nOnlyEn=English text\r\n");
  p.AddFile("C:\\Ravelwick\\Languages\\Chinese Simplified.ini",
            "\xEF\xBB\xBF[General]\r\nOK=\xE7\xA1\xAE\xE5\xAE\x9A\r\nOnlyEn=\r\n");
  const std::string folder = "C:\\Ravelwick";
  EXPECT_EQ(LookupText(p, folder, "Chinese Simplified", "OK"), "\xE7\xA1\xAE\xE5\xAE\x9A");
  EXPECT_EQ(LookupText(p, folder, "Chinese Simplified", "OnlyEn"), "English text");
  EXPECT_EQ(LookupText(p, folder, "Chinese Simplified", "Nowhere"), "");
  EXPECT_EQ(LookupText(p, folder, "English", "Nowhere"), "");
  EXPECT_EQ(LookupText(p, folder, "Missing Language", "OK"), "OK");
  EXPECT_EQ(LookupText(p, folder, "Chinese Simplified", "OK", true), "OK");
}

TEST(FileCache, ReadsEachFileOnceUntilItChanges) {
  FakePlatform p;
  App app(p, "C:\\Ravelwick");
  p.AddFile(kSettings, "[General]\r\nA=1\r\n");
  p.AddFile("C:\\Ravelwick\\Languages\\English.ini", "[General]\r\nOK=OK\r\n");
  int reads = 0;
  p.failHook = [&](Op op, const std::string&) { return op == Op::Read && ++reads < 0; };

  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ReadSettingsValue(app, "A", ""), "1");
    EXPECT_EQ(Text(app, "OK"), "OK");
    EXPECT_EQ(Text(app, "Missing"), "");
  }
  EXPECT_EQ(reads, 2);

  // Our own write, and a change made by someone else, are both seen.
  WriteSettingsValue(app, "A", "2");
  EXPECT_EQ(ReadSettingsValue(app, "A", ""), "2");
  p.AddFile(kSettings, "[General]\r\nA=3\r\n");
  EXPECT_EQ(ReadSettingsValue(app, "A", ""), "3");
  p.files.RemoveFile(kSettings);
  EXPECT_EQ(ReadSettingsValue(app, "A", "gone"), "gone");

  // A read that fails is not remembered as an empty file.
  p.AddFile(kSettings, "[General]\r\nA=4\r\n");
  p.failHook = [](Op op, const std::string&) { return op == Op::Read; };
  EXPECT_EQ(ReadSettingsValue(app, "A", "d"), "d");
  p.failHook = nullptr;
  EXPECT_EQ(ReadSettingsValue(app, "A", "d"), "4");
}

TEST(Placeholders, EveryOccurrenceCaseSensitive) {
  EXPECT_EQ(ReplaceAll("$folder and $folder, not $Folder", "$folder", "X"), "X and X, not $Folder");
  // Filled in one pass: the longest placeholder wins and a value is never filled again.
  EXPECT_EQ(Fill("$new, $newer, $Newer", {{"$new", "3.0"}, {"$newer", "3.1"}}), "3.0, 3.1, $Newer");
  EXPECT_EQ(Fill("$file in $folder", {{"$file", "$folder"}, {"$folder", "C:\\$file"}}), "$folder in C:\\$file");
  EXPECT_EQ(Fill("$$count$", {{"$count", "2"}}), "$2$");
}

// The published test vectors: the empty and one-block messages, one whose
// padding needs a second block, and one of many blocks.
TEST(Sha256, GivesThePublishedDigests) {
  const std::pair<std::string, std::string_view> rows[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& [message, digest] : rows) EXPECT_EQ(HexOf(Sha256(message)), digest) << message.size();
}

TEST(Utf8, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(DecodeUtf8("a\xFF"
                       "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(DecodeUtf8("\xE6\xB5"), "\xEF\xBF\xBD");                              // truncated sequence: one U+FFFD
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");                  // overlong
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(Utf8File, ReadsWithAndWithoutBomAndWritesExactlyOneBom) {
  FakePlatform p;
  const std::string path = "C:\\Ravelwick\\Resource\\ui\\main\\index.css";
  p.AddFile(path, "/* sheet */\r\nbody{}");
  EXPECT_EQ(*ReadUtf8File(p, path), "/* sheet */\r\nbody{}");
  ASSERT_TRUE(WriteUtf8File(p, path, *ReadUtf8File(p, path)));
  EXPECT_EQ(*p.Contents(path), "\xEF\xBB\xBF/* sheet */\r\nbody{}");
  EXPECT_EQ(*ReadUtf8File(p, path), "/* sheet */\r\nbody{}");
  p.AddFile(path, "");
  EXPECT_EQ(*ReadUtf8File(p, path), "");
  EXPECT_FALSE(ReadUtf8File(p, path + ".missing"));
}

TEST(Utf8File, FailedWriteLeavesTheOldFileIntact) {
  for (Op failing : {Op::Write, Op::Replace}) {
    FakePlatform p;
    const std::string path = "C:\\Ravelwick\\navbar.htm";
    p.AddFile(path, "old");
    p.failHook = [failing](Op op, const std::string&) { return op == failing; };
    EXPECT_FALSE(WriteUtf8File(p, path, "new"));
    EXPECT_EQ(*p.Contents(path), "old");
    EXPECT_EQ(p.files.ListFiles("C:\\Ravelwick"), std::vector<std::string>{"navbar.htm"});  // no temporary left
  }
}

}  // namespace
}  // namespace rw

namespace rw {
namespace {

// The log keeps the newest whole entries within its limit, and a write that
// fails leaves the earlier ones as they were.
TEST(LogFile, KeepsTheNewestWholeEntriesWithinItsLimit) {
  test::FakePlatform p;
  const std::string log = "C:\\Ravelwick\\ravelwick.log";
  p.AddFolder("C:\\Ravelwick");
  std::string previous;
  for (int i = 0; i < 60; ++i) {
    const std::string entry = "entry " + std::to_string(i) + "\nline " + std::string(i % 7, 'x');
    ASSERT_TRUE(AppendLogEntry(p, log, entry, 200));
    const std::string now = *p.Contents(log);
    EXPECT_LE(now.size(), 200u);
    EXPECT_TRUE(now.ends_with("entry " + std::to_string(i) + "\r\nline " + std::string(i % 7, 'x') + "\r\n\r\n"));
    EXPECT_TRUE(now.starts_with("entry "));
    previous = now;
  }
  EXPECT_TRUE(AppendLogEntry(p, log, std::string(500, 'y'), 200));  // one oversized entry stays whole
  EXPECT_EQ(*p.Contents(log), std::string(500, 'y') + "\r\n\r\n");
  p.AddFile(log, std::string(5000, 'z'));  // no entry breaks at all: none of it is kept
  EXPECT_TRUE(AppendLogEntry(p, log, "after", 200));
  EXPECT_EQ(*p.Contents(log), "after\r\n\r\n");

  previous = *p.Contents(log);
  p.failHook = [](test::Op op, const std::string&) { return op == test::Op::Write; };
  EXPECT_FALSE(AppendLogEntry(p, log, "lost", 200));
  EXPECT_EQ(*p.Contents(log), previous);
}

}  // namespace
}  // namespace rw
