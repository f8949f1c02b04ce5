#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "app/app.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "pipeline/installation.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "stores/log_file.h"
#include "stores/sha256.h"
#include "stores/text.h"
#include "stores/utf8_file.h"
#include "support/fake_platform.h"
#include "support/fake_tools.h"
#include "ui/activity_log.h"
#include "ui/command_line.h"
#include "ui/main_sequence.h"
#include "ui/named_looks.h"
#include "ui/window_header.h"
#include "unit/engine_test_tree.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::FakeTools;
using test::Op;
using test::PackFolder;

const std::string kProgram = "C:\\Ravelwick";
const std::string kSettings = kProgram + "\\settings.ini";
const std::string kHost = "D:\\Maxthon3\\";
const std::string kVersion = "3.0.20.100";
constexpr std::string_view kHideHomeRule = "#BTN_HOME{display:none}";

struct CollectingConsole : ConsoleOutput {
  std::string out, err;
  void Out(std::string_view utf8) override { out += utf8; }
  void Err(std::string_view utf8) override { err += utf8; }
  bool ErrReachesSomeone() const override { return reachesSomeone; }
  bool reachesSomeone = true;
};

// A program folder and, as each case arranges, a host and a working tree.
// Every change to a file or folder is listed.
struct CommandLineRun {
  FakePlatform p{kProgram};
  FakeTools tools{p, kProgram};
  App app{p, kProgram};
  CollectingConsole console;
  std::vector<std::string> changes;

  void AddHost(const std::string& version = kVersion) {
    p.AddFile(kHost + "Bin\\Maxthon.exe", "MZ");
    if (!version.empty()) p.fileVersions[AsciiLower(kHost + "Bin\\Maxthon.exe")] = version;
    p.AddFile(kHost + "Bin\\Resource.dat", "host archive");
  }
  void AddTools() {
    p.AddFile(kProgram + "\\unpak.exe", "tool");
    p.AddFile(kProgram + "\\makpak.exe", "tool");
  }
  // A finished unpack of the made-up interface tree.
  void AddTree() {
    enginetest::LoadTree(p);
    Installation host{p, kProgram, kHost + "Bin\\", kVersion};
    ASSERT_TRUE(RecordTree(host));
  }
  void Settings(const std::string& lines) { p.AddFile(kSettings, "[General]\r\n" + lines); }
  void HoldTheWindowsClaim() { ASSERT_TRUE(p.system.ClaimSingleInstance(SingleInstanceName(p, kProgram))); }
  // The shipped English texts, which the messages of the writing verbs are.
  void AddLanguage(const std::string& name = "English") {
    std::ifstream in(std::string(RW_SOURCE_DIR) + "/data/Languages/" + name + ".ini", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    p.AddFile(kProgram + "\\Languages\\" + name + ".ini", bytes.str());
  }

  std::optional<ExitCode> Run(std::vector<std::string> arguments) {
    p.failHook = [this](Op op, const std::string& path) {
      if (op != Op::Read && op != Op::Start) changes.push_back(path);
      return false;
    };
    // A run's own claims end with it, as a process's do.
    const std::set<std::string> held = p.claimedNames;
    const std::optional<ExitCode> code = RunCommandLine(app, console, "ravelwick.exe", arguments);
    p.claimedNames = held;
    return code;
  }
};

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool IsOneLine(const std::string& text) {
  return !text.empty() && text.back() == '\n' && std::count(text.begin(), text.end(), '\n') == 1;
}

// Parsing and dispatch, with no host anywhere: a verb that runs fails for
// want of one, so every row shows whether the verb was reached. Each row
// runs again where standard error reaches nobody (started from Explorer):
// a mistake is then shown in a message box too, unless /quiet.
TEST(CommandLine, ParsesAsWindowsProgramsDoAndReportsMistakesOnStandardError) {
  enum Stream { None, Out, Err };
  struct Row {
    std::vector<std::string> arguments;
    std::optional<ExitCode> code;
    Stream usage;        // which stream gets the usage text
    std::string reason;  // the first line of standard error
  };
  const std::string preview = "Maxthon 3 was not found";
  // Without language files beside the program its messages are the built-in English ones.
  CommandLineRun shipped;
  shipped.AddLanguage();
  const std::string noTools = Text(shipped.app, "MissingFile"), noHost = Text(shipped.app, "NoMX3");
  const Row rows[] = {
      {{}, std::nullopt, None, ""},
      {{"/?"}, ExitCode::Done, Out, ""},
      {{"-?"}, ExitCode::Done, Out, ""},
      {{"/HELP"}, ExitCode::Done, Out, ""},
      {{"-help"}, ExitCode::Done, Out, ""},
      {{"/preview", "/?"}, ExitCode::Done, Out, ""},
      {{"/bogus", "/?"}, ExitCode::Done, Out, ""},
      {{"/preview"}, ExitCode::Failed, None, preview},
      {{"-PreView"}, ExitCode::Failed, None, preview},
      {{"/preview", "-preview"}, ExitCode::Failed, None, preview},
      {{"/bogus"}, ExitCode::UsageError, Err, "ravelwick.exe: unknown switch /bogus"},
      {{"--preview"}, ExitCode::UsageError, Err, "ravelwick.exe: unknown switch --preview"},
      {{"/"}, ExitCode::UsageError, Err, "ravelwick.exe: unknown switch /"},
      {{"/preview", "/bogus"}, ExitCode::UsageError, Err, "ravelwick.exe: unknown switch /bogus"},
      {{"preview"}, ExitCode::UsageError, Err, "ravelwick.exe: no verb"},
      {{""}, ExitCode::UsageError, Err, "ravelwick.exe: no verb"},
      {{"/preview", "C:\\x.txt"}, ExitCode::UsageError, Err, "ravelwick.exe: unexpected argument C:\\x.txt"},
      {{"/apply", "/quiet"}, ExitCode::Failed, None, noTools},
      {{"-RESTORE", "-Force", "/QUIET"}, ExitCode::Failed, None, noHost},
      {{"/force", "/quiet"}, ExitCode::UsageError, Err, "ravelwick.exe: no verb"},
      {{"/apply", "/restore"}, ExitCode::UsageError, Err, "ravelwick.exe: one verb at a time: /apply and /restore"},
      {{"/restore", "/force", "now"}, ExitCode::UsageError, Err, "ravelwick.exe: unexpected argument now"},
      {{"C:\\Users\\me\\Desktop\\photo.jpg"}, ExitCode::UsageError, Err, "ravelwick.exe: no verb"},
      {{"/bogus", "/quiet"}, ExitCode::UsageError, Err, "ravelwick.exe: unknown switch /bogus"},
  };
  const CommandLineRun help;
  const std::string usage = UsageText(help.app, "ravelwick.exe");
  for (std::size_t i = 0; i < 2 * std::size(rows); ++i) {
    const Row& row = rows[i % std::size(rows)];
    const bool reached = i < std::size(rows);
    CommandLineRun run;
    run.console.reachesSomeone = reached;
    std::string line = reached ? "" : "unseen ";
    for (const std::string& argument : row.arguments) line += "[" + argument + "]";
    SCOPED_TRACE(line);
    EXPECT_EQ(run.Run(row.arguments), row.code);
    EXPECT_EQ(run.console.out, row.usage == Out ? usage : "");
    if (row.usage == Err)
      EXPECT_EQ(run.console.err, row.reason + "\n\n" + usage);
    else if (!row.reason.empty())
      EXPECT_TRUE(run.console.err.starts_with(row.reason) && IsOneLine(run.console.err)) << run.console.err;
    else
      EXPECT_EQ(run.console.err, "");
    EXPECT_TRUE(run.changes.empty());
    const bool boxed = !reached && row.usage == Err && std::ranges::count(row.arguments, "/quiet") == 0;
    EXPECT_EQ(run.p.messages.size(), boxed ? 1u : 0u);
    EXPECT_EQ(run.p.messages.empty() ? run.console.err : run.p.messages[0].text, run.console.err);
  }
}

TEST(CommandLine, UsageNamesTheProgramEveryRowAndTheExitCodes) {
  const CommandLineRun help;
  const std::string usage = UsageText(help.app, "rw.exe");
  EXPECT_NE(usage.find("Usage: rw.exe "), std::string::npos);
  for (const CommandRow& row : CommandTable()) {
    EXPECT_TRUE(row.name.starts_with('/') && AsciiLower(row.name) == row.name) << row.name;
    const std::string description = Text(help.app, row.descriptionKey);
    EXPECT_TRUE(!description.empty() && description.find('\n') == std::string::npos) << row.name;
    EXPECT_NE(usage.find("  " + std::string(row.name)), std::string::npos) << row.name;
    EXPECT_NE(usage.find(description + "\n"), std::string::npos) << row.name;
  }
  for (const char* code : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  ", "\n  4  ", "\n  5  ", "\n  9  "})
    EXPECT_NE(usage.find(code), std::string::npos) << code;
}

// /preview reads; only a missing or unfinished tree is unpacked, and only
// when that can be done as the first start would do it.
TEST(PreviewVerb, PrintsWhatOkWouldDoAndChangesNothingButAMissingTree) {
  enum Where { Stored, Registry, Nowhere };
  struct Row {
    const char* name;
    Where host;
    std::string version;  // of the host's executable
    bool tree, tools, windowOpen;
    std::string more;  // arranges the rest: "empty archive", "older packed", "failing unpacker", "never recorded"
    ExitCode code;
    std::string reason;  // first words on standard error; empty: the preview on standard output
    bool unpacks;
  };
  const std::string mustUnpack = "the working files in C:\\Ravelwick\\Resource must be unpacked first, but ";
  const Row rows[] = {
      {"no host", Nowhere, kVersion, true, true, false, "", ExitCode::Failed, "Maxthon 3 was not found", false},
      {"no version", Stored, "", true, true, false, "", ExitCode::Failed,
       "Maxthon 3 has no readable version: " + kHost + "Bin\\Maxthon.exe", false},
      {"tree, host in the registry", Registry, kVersion, true, false, false, "", ExitCode::Done, "", false},
      {"tree, window open", Stored, kVersion, true, false, true, "", ExitCode::Done, "", false},
      {"no tree", Stored, kVersion, false, true, false, "", ExitCode::Done, "", true},
      {"no tree, window open", Stored, kVersion, false, true, true, "", ExitCode::WindowOpen,
       mustUnpack + "Ravelwick's", false},
      {"no tree, no tools", Stored, kVersion, false, false, false, "", ExitCode::Failed, mustUnpack + "unpak", false},
      {"no tree, nothing to unpack", Stored, kVersion, false, true, false, "empty archive", ExitCode::Failed,
       mustUnpack + "there is no archive", false},
      {"no tree, packed for an older host", Stored, kVersion, false, true, false, "older packed", ExitCode::Failed,
       mustUnpack + "Maxthon 3 has a new version", false},
      {"no tree, packed, no version ever recorded", Stored, kVersion, false, true, false, "never recorded",
       ExitCode::Done, "", true},
      {"tree of an older host", Stored, "3.0.21.1", true, true, false, "", ExitCode::Done, "", true},
      {"unpacker fails", Stored, kVersion, false, true, false, "failing unpacker", ExitCode::Failed,
       "could not unpack C:\\Ravelwick\\Resource.dat completely", true},
      {"unpacker cannot read the host's archive", Stored, kVersion, false, true, false, "unreadable archive",
       ExitCode::Failed, "unpak.exe cannot read the archive of this Maxthon 3, C:\\Ravelwick\\Resource.dat;", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CommandLineRun run;
    run.AddHost(row.version);
    if (row.tree) run.AddTree();
    if (row.tools) run.AddTools();
    if (row.windowOpen) run.HoldTheWindowsClaim();
    if (row.more == "empty archive") run.p.AddFile(kHost + "Bin\\Resource.dat", "");
    if (row.more == "older packed") run.p.AddFile(kProgram + "\\Resource.dat", "older host");
    if (row.more == "failing unpacker") run.tools.unpackerExitCode = 1;
    if (row.more == "never recorded")
      run.p.AddFile(kProgram + "\\Resource.dat", *run.p.Contents(kHost + "Bin\\Resource.dat"));
    if (row.more == "unreadable archive") run.tools.unpackerWrites = false;
    const std::string folder = row.host == Nowhere ? "D:\\Gone\\" : row.host == Stored ? kHost : "";
    const std::string recorded = row.more == "older packed" ? "3.0.15.300" : kVersion;
    run.Settings("HideHome=1\r\n" + (row.more == "never recorded" ? "" : "FileVersion=" + recorded + "\r\n") +
                 (folder.empty() ? "" : "InstallFolder=" + folder + "\r\n"));
    if (row.host == Registry) run.p.registry[std::string(kHostRegistryValue)] = "D:\\Maxthon3";
    const std::optional<std::string> settingsBefore = run.p.Contents(kSettings);

    EXPECT_EQ(run.Run({"/preview"}), row.code);
    if (row.reason.empty()) {
      EXPECT_NE(run.console.out.find(kHideHomeRule), std::string::npos) << run.console.out;
      EXPECT_EQ(run.console.err, "");
    } else {
      EXPECT_EQ(run.console.out, "");
      EXPECT_TRUE(run.console.err.starts_with(row.reason) && IsOneLine(run.console.err)) << run.console.err;
    }
    EXPECT_EQ(run.p.Contents(kSettings), settingsBefore);
    if (!row.unpacks) {
      EXPECT_EQ(run.changes, std::vector<std::string>{});
    } else if (row.code == ExitCode::Done) {
      EXPECT_TRUE(IsTreeUsable(run.app.Host()));
    }
    EXPECT_EQ(run.tools.unpacks, row.unpacks ? 1 : 0);
    EXPECT_TRUE(run.p.messages.empty());
  }
}

// /status names the interface the host has by comparing its archive with
// the backup and the packed archive, and lists the stored options; it
// writes nothing, the tree missing or not.
TEST(StatusVerb, SaysWhichInterfaceTheHostHasAndEveryOptionWithoutWriting) {
  struct Row {
    const char* name;
    std::string backup, packed;  // contents; empty: no such file
    bool logged;                 // an Apply that installed, then one that did not
    std::string language, header;
  };
  const std::string maxthon = "Maxthon " + kVersion + " in D:\\Maxthon3 \u2014 ";
  const std::string own = "host archive";  // what AddHost installs
  const Row rows[] = {
      {"original", own, own, false, "English", maxthon + "original interface"},
      {"installed", "browser's own", own, true, "English",
       maxthon + "the look Ravelwick installed on 2026-12-09 10:30:00 UTC"},
      {"installed, no log", "browser's own", own, false, "English", maxthon + "the look Ravelwick installed"},
      {"foreign", "browser's own", "packed last", false, "English", maxthon + "an interface Ravelwick did not write"},
      // A later Apply that never installed removed the packed archive.
      {"installed, by its record", "browser's own", "", false, "English", maxthon + "the look Ravelwick installed"},
      {"foreign, same size", "host archivX", "", false, "English", maxthon + "an interface Ravelwick did not write"},
      {"no backup", "", own, false, "English", maxthon + "no backup of its original interface to compare with"},
      {"no host", own, own, false, "English", "Maxthon 3 was not found: no folder is set and the registry names none"},
      {"original, in Chinese", own, own, false, "Chinese Simplified",
       "D:\\Maxthon3 \u4e2d\u7684\u50b2\u6e38 " + kVersion + " \u2014 \u539f\u59cb\u754c\u9762"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CommandLineRun run;
    run.AddHost();
    run.AddLanguage();
    run.AddLanguage(row.language);
    if (!row.backup.empty()) run.p.AddFile(kProgram + "\\Resource" + kVersion + ".dat", row.backup);
    if (!row.packed.empty()) run.p.AddFile(kProgram + "\\Resource.dat", row.packed);
    if (std::string_view(row.name).ends_with("record"))
      run.p.AddFile(kProgram + "\\Resource.installed", InstalledRecordText(own.size(), Sha256(own)));
    run.Settings("Language=" + row.language + "\r\nHideHome=1\r\nMaxTabWidth=150\r\nInstallFolder=" +
                 (std::string_view(row.name) == "no host" ? "D:\\Gone\\" : kHost) + "\r\n");
    if (row.logged) {
      run.app.HostBinFolder = kHost + "Bin\\";
      for (const Outcome outcome : {Outcome::Done, Outcome::PackFailed})
        AppendLogEntry(run.p, kProgram + "\\" + std::string(kLogFileName),
                       ApplyLogEntry(run.app, {}, {}, {outcome, {}},
                                     outcome == Outcome::Done ? "2026-12-09 10:30:00 UTC" : "2026-12-10 08:00:00 UTC"));
    }

    EXPECT_EQ(run.Run({"/status"}), ExitCode::Done);
    EXPECT_EQ(run.changes, std::vector<std::string>{});
    EXPECT_EQ(run.console.err, "");
    EXPECT_TRUE(run.p.messages.empty());
    const std::string& out = run.console.out;
    EXPECT_EQ(out.substr(0, out.find('\n')), row.header);
    // The header, the line saying why there are no live marks (no tree), the options.
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 4 + static_cast<long>(kOptionCount)) << out;
    if (row.language == "English") {
      for (const char* line :
           {"\nHide Home Button: ticked (changed from default)\n", "\nHide Refresh Button: not ticked\n",
            "\nMaximum Tab width value (px): 150 (changed from default)\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << out;
    }
    // The archives are hashed once; a second look reads none again.
    ArchiveFingerprints prints;
    const ArchiveState state = ReadArchiveState(run.app, prints);
    const int hashed = prints.HashCount();
    EXPECT_EQ(HeaderLine(run.app, ReadArchiveState(run.app, prints)), HeaderLine(run.app, state));
    EXPECT_EQ(prints.HashCount(), hashed);
  }
}

// Export and import through the command line: each row a situation, its
// exit code, and whether settings.ini took anything.
TEST(SettingsVerbs, ExportAndImportWithTheirExitCodesAndNothingHalfDone) {
  const std::string look = "E:\\Looks\\mine.ini";
  const std::string longest = "E:\\Looks\\" + std::string(250, 'n') + ".ini";  // a 254-character name
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
    std::string file;  // at `look` beforehand; empty: none
    bool windowOpen;
    ExitCode code;
    std::string settingsAfter;  // a line settings.ini must hold afterwards
    std::string out;            // a piece of standard output; empty: none expected
  };
  const Row rows[] = {
      {"export", {"/export", look}, "", false, ExitCode::Done, "HideHome=1", look},
      {"export over a name as long as may be", {"/export", longest}, "", false, ExitCode::Done, "HideHome=1", longest},
      {"export over settings.ini", {"/export", kSettings}, "", false, ExitCode::Failed, "HideHome=1", ""},
      {"export by another drive", {"/export", "R:\\SETTINGS.INI"}, "", false, ExitCode::Failed, "HideHome=1", ""},
      {"import",
       {"/import", look},
       "[General]\r\nHideHome=0\r\nHideRefresh=1\r\nSetMaxTabWidth=1\r\nMaxTabWidth=5\r\n",
       false,
       ExitCode::Done,
       "MaxTabWidth=100",
       "5"},
      {"import, no such file", {"/import", look}, "", false, ExitCode::Failed, "HideHome=1", ""},
      {"import, no settings in it", {"/import", look}, "just text", false, ExitCode::Failed, "HideHome=1", ""},
      {"import, window open",
       {"/import", look},
       "[General]\r\nHideHome=0\r\n",
       true,
       ExitCode::WindowOpen,
       "HideHome=1",
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CommandLineRun run;
    run.AddHost();
    run.Settings("HideHome=1\r\nInstallFolder=" + kHost + "\r\n");
    run.p.AddFolder("E:\\Looks");
    run.p.aliases["R:"] = kProgram;
    if (!row.file.empty()) run.p.AddFile(look, row.file);
    run.p.AddFile(longest, "an earlier export");
    if (row.windowOpen) run.HoldTheWindowsClaim();
    const std::optional<std::string> before = run.p.Contents(kSettings);

    EXPECT_EQ(run.Run(row.arguments), row.code);
    const std::string settings = run.p.Contents(kSettings).value_or("");
    EXPECT_NE(settings.find(row.settingsAfter + "\r\n"), std::string::npos) << settings;
    EXPECT_EQ(run.p.Contents(kSettings) == before, row.code != ExitCode::Done || row.arguments[0] == "/export");
    EXPECT_EQ(run.console.out.find(row.out) != std::string::npos && !run.console.out.empty(), !row.out.empty())
        << run.console.out;
    EXPECT_EQ(run.console.err.empty(), row.code == ExitCode::Done) << run.console.err;
    EXPECT_FALSE(run.p.Contents(TemporaryPathFor(run.p, look)) || run.p.Contents(TemporaryPathFor(run.p, kSettings)));
    EXPECT_TRUE(run.p.messages.empty());
  }

  // What one installation exports, another imports to the same values; UTF-16 files stay so.
  const auto utf16 = [](std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
  };
  CommandLineRun from, to;
  from.p.AddFile(kSettings, utf16(u"[General]\r\nHideHome=1\r\nSetMaxTabWidth=1\r\nMaxTabWidth=150\r\nFontFamily=\u5FAE"
                                  u"\u8F6F\u96C5\u9ED1, Tahoma\r\nLanguage=English\r\n"));
  to.p.AddFile(kSettings, utf16(u"[General]\r\nHideRefresh=1\r\n"));
  from.p.AddFolder("E:\\Looks");
  ASSERT_EQ(from.Run({"/export", look}), ExitCode::Done);
  to.p.AddFile(look, *from.p.Contents(look));
  ASSERT_EQ(to.Run({"/import", look}), ExitCode::Done);
  for (const char* key : {"HideHome", "HideRefresh", "SetMaxTabWidth", "MaxTabWidth", "FontFamily"})
    EXPECT_EQ(ReadSettingsValue(to.app, key, "?"), ReadSettingsValue(from.app, key, "0")) << key;
  EXPECT_TRUE(to.p.Contents(kSettings)->starts_with(std::string_view("\xFF\xFE[\0G\0", 6)));

  // Own rules travel in a section of their own; a refused one leaves the rules here as they were.
  const std::string mine = "[title=\"x\"]{color:red}\r\n\r\n.tabbar{margin:0}\r\n";
  from.p.AddFile(kProgram + "\\Own rules\\main.css", std::string(kUtf8Bom) + mine);
  ASSERT_EQ(from.Run({"/export", look}), ExitCode::Done);
  CommandLineRun fresh;
  fresh.p.AddFile(look, *from.p.Contents(look));
  ASSERT_EQ(fresh.Run({"/import", look}), ExitCode::Done) << fresh.console.err;
  EXPECT_EQ(fresh.p.Contents(kProgram + "\\Own rules\\main.css"), std::string(kUtf8Bom) + mine);
  EXPECT_FALSE(fresh.p.Contents(kProgram + "\\Own rules\\main.classic.css"));
  EXPECT_NE(fresh.console.out.find("Own rules\\main.css"), std::string::npos) << fresh.console.out;
  fresh.p.AddFile(look, "[General]\r\nHideHome=1\r\n[Own rules]\r\nmain.css|/*ravelwick*/\r\n");
  ASSERT_EQ(fresh.Run({"/import", look}), ExitCode::Done);
  EXPECT_EQ(fresh.p.Contents(kProgram + "\\Own rules\\main.css"), std::string(kUtf8Bom) + mine);

  // Named looks travel with /withlooks: one is taken as it was, a name kept here keeps its look here,
  // a changed entry is refused by name.
  for (const char* name : {"Dusk", "Noon", "Tea"}) ASSERT_EQ(from.Run({"/savelook", name}), ExitCode::Done);
  ASSERT_EQ(fresh.Run({"/savelook", "DUSK"}), ExitCode::Done);
  ASSERT_EQ(from.Run({"/export", look, "/withlooks"}), ExitCode::Done);
  std::string carried = *from.p.Contents(look);
  carried.insert(carried.find("2|Date=") + 7, "1");
  fresh.p.AddFile(look, carried);
  fresh.console.out.clear();
  ASSERT_EQ(fresh.Run({"/import", look}), ExitCode::Done) << fresh.console.err;
  EXPECT_EQ(LookText(*FindNamedLook(fresh.app, "tea")), LookText(*FindNamedLook(from.app, "Tea")));
  EXPECT_EQ(FindNamedLook(fresh.app, "Dusk")->name, "DUSK");
  EXPECT_FALSE(FindNamedLook(fresh.app, "Noon"));
  for (const char* said : {"Tea taken", "Dusk not taken", "\"Noon\" refused"})
    EXPECT_NE(fresh.console.out.find(said), std::string::npos) << said << fresh.console.out;
}

// Own rules go into the installed archive once, after the generated rules,
// however often Apply runs; the log names them by size and hash; Restore
// leaves the user's files. A refused file is told on standard error.
TEST(WritingVerbs, ApplyInstallsOwnRulesOnceAndRestoreLeavesTheirFiles) {
  CommandLineRun run;
  FakePlatform& p = run.p;
  run.AddLanguage();
  run.AddHost();
  run.AddTools();
  run.AddTree();
  const std::string hostArchive = kHost + "Bin\\Resource.dat";
  p.AddFile(kProgram + "\\Resource" + kVersion + ".dat", PackFolder(p, kProgram + "\\Resource"));
  run.Settings("Language=English\r\nHideHome=1\r\nFileVersion=" + kVersion + "\r\nInstallFolder=" + kHost + "\r\n");
  const std::string modern = kProgram + "\\Own rules\\main.css";
  const std::string classic = kProgram + "\\Own rules\\main.classic.css";
  p.AddFile(modern, std::string(kUtf8Bom) + ".ownmark{color:red}\n");
  p.AddFile(classic, ".classicmark{x:1}\n}");
  ASSERT_EQ(run.Run({"/preview"}), ExitCode::Done);
  const std::string& preview = run.console.out;
  EXPECT_NE(preview.find("== Own rules\\main.css ==\n.ownmark{color:red}\n"), std::string::npos) << preview;
  EXPECT_NE(preview.find("! Own rules\\main.classic.css, line 2"), std::string::npos);
  EXPECT_NE(preview.find(".ownmark has no effect on this browser"), std::string::npos);
  EXPECT_NE(run.console.err.find("Own rules\\main.classic.css, line 2"), std::string::npos);
  for (int apply = 0; apply < 2; ++apply) {
    run.console = {};
    ASSERT_EQ(run.Run({"/apply"}), ExitCode::Done) << run.console.err;
    const std::string archive = *p.Contents(hostArchive);
    const std::size_t own = archive.find(".ownmark{color:red}");
    EXPECT_EQ(archive.find(".ownmark{color:red}", own + 1), std::string::npos);
    EXPECT_LT(archive.find(kHideHomeRule), own);
    EXPECT_EQ(archive.find(".classicmark"), std::string::npos);
    EXPECT_NE(run.console.err.find("Own rules\\main.classic.css, line 2"), std::string::npos) << run.console.err;
  }
  const std::string log = p.Contents(kProgram + "\\" + std::string(kLogFileName)).value_or("");
  EXPECT_NE(log.find("Own rules: Own rules\\main.css, 20 bytes, SHA-256 " + HexOf(Sha256(".ownmark{color:red}\n")) +
                     ", used"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("main.classic.css, 19 bytes, SHA-256"), std::string::npos);
  const std::optional<std::string> before = p.Contents(modern);
  ASSERT_EQ(run.Run({"/restore"}), ExitCode::Done);
  EXPECT_EQ(p.Contents(modern), before);
  EXPECT_TRUE(p.Contents(classic));
}

// /apply and /restore take the window's road without it. Each situation
// ends with its exit code and one line on the right stream, and leaves the
// host's archive as it was, tweaked or put back; the host is started only
// by a road that installed something. Every row runs twice: as it is, when
// a failure is also shown in one message box (never a question), and with
// /quiet, when no message box is ever shown.
TEST(WritingVerbs, EndWithTheirExitCodeAndTouchTheHostOnlyWhenTheyMay) {
  enum class Host { Closed, Window, NoWindow, Refuses };
  enum class Archive { Before, Tweaked, Backup };                                 // the host's archive afterwards
  enum class Writes { Nothing, Program, ProgramAndLog, HostAndLog, HostNotLog };  // what changed below which folder
  struct Row {
    const char* name;
    std::string line;  // the arguments, split at spaces
    Host host;
    std::string more;  // "no tree", "hung unpacker", "window open", "copy's window", "no version",
                       // "no tools", "no host", "updated", "updated, empty archive", "no backup", "kept",
                       // "read-only settings", "kept, stuck", "log is a folder"
    ExitCode code;
    std::string says;  // how the line on standard output (done) or standard error begins
    Archive archive;
    Writes writes;
  };
  const std::string hostArchive = kHost + "Bin\\Resource.dat";
  const std::string backup = kProgram + "\\Resource" + kVersion + ".dat";
  const std::string installed = "Installed the stored options into " + hostArchive + " (Maxthon " + kVersion + "): ";
  const std::string putBack = "Put the backup " + backup + " back into " + hostArchive;
  const std::string hostRunning = "Maxthon 3 is running, so nothing was changed.";
  const std::string busy = "Ravelwick is already open";
  const Row rows[] = {
      {"apply", "/apply", Host::Closed, "", ExitCode::Done, installed, Archive::Tweaked, Writes::HostAndLog},
      {"apply, unpacking first", "/apply", Host::Closed, "no tree", ExitCode::Done, installed, Archive::Tweaked,
       Writes::HostAndLog},
      {"apply after a browser update", "/apply", Host::Closed, "updated", ExitCode::Done, installed, Archive::Tweaked,
       Writes::HostAndLog},
      {"apply, host with a window", "/apply", Host::Window, "", ExitCode::HostRunning, hostRunning, Archive::Before,
       Writes::ProgramAndLog},
      {"apply /force, host with a window", "/apply /force", Host::Window, "", ExitCode::Done, installed,
       Archive::Tweaked, Writes::HostAndLog},
      {"apply, host without a window", "/apply", Host::NoWindow, "", ExitCode::Done, installed, Archive::Tweaked,
       Writes::HostAndLog},
      {"apply, host refuses the new archive", "/apply", Host::Refuses, "", ExitCode::RolledBack,
       "Maxthon 3 did not start with the new look", Archive::Before, Writes::HostAndLog},
      {"apply, hung unpacker", "/apply /force", Host::Window, "hung unpacker", ExitCode::Failed,
       "The resource file " + kProgram + "\\Resource.dat could not be unpacked completely", Archive::Before,
       Writes::ProgramAndLog},
      {"apply, window open", "/apply /force", Host::Closed, "window open", ExitCode::WindowOpen, busy, Archive::Before,
       Writes::Nothing},
      {"apply, a copy's window open", "/apply", Host::Closed, "copy's window", ExitCode::WindowOpen, busy,
       Archive::Before, Writes::Nothing},
      {"apply, no version", "/apply /force", Host::Window, "no version", ExitCode::Failed,
       "Ravelwick cannot read the version of " + kHost + "Bin\\Maxthon.exe", Archive::Before, Writes::Nothing},
      {"apply, no tools", "/apply", Host::Closed, "no tools", ExitCode::Failed, "The archive tools", Archive::Before,
       Writes::Nothing},
      {"apply, no host", "/apply", Host::Closed, "no host", ExitCode::Failed, "Ravelwick could not find Maxthon 3",
       Archive::Before, Writes::Nothing},
      {"apply, updated to an empty archive", "/apply", Host::Closed, "updated, empty archive", ExitCode::Failed,
       "The resource file " + hostArchive + " is empty", Archive::Before, Writes::Program},
      {"apply, settings.ini read-only", "/apply", Host::Closed, "read-only settings", ExitCode::Failed,
       "Ravelwick could not save the options in " + kSettings, Archive::Before, Writes::ProgramAndLog},
      // A host that runs does so with the installed look; the kept archive goes back only to one that does not.
      {"apply, an earlier install cut off, host running", "/apply /force", Host::Window, "kept", ExitCode::Done,
       installed, Archive::Tweaked, Writes::HostAndLog},
      {"apply, an earlier install cut off, host closed", "/apply", Host::Closed, "kept", ExitCode::Done, installed,
       Archive::Tweaked, Writes::HostAndLog},
      {"apply, the kept archive can be neither dropped nor put back", "/apply /force", Host::Window, "kept, stuck",
       ExitCode::Failed, "An earlier install was cut off", Archive::Before, Writes::Program},
      {"restore, an earlier install cut off", "/restore /force", Host::Window, "kept", ExitCode::Done, putBack,
       Archive::Backup, Writes::HostAndLog},
      {"restore", "/restore", Host::Closed, "", ExitCode::Done, putBack, Archive::Backup, Writes::HostAndLog},
      {"apply, the log cannot be written", "/apply", Host::Closed, "log is a folder", ExitCode::Done, installed,
       Archive::Tweaked, Writes::HostNotLog},
      {"restore, host with a window", "/restore", Host::Window, "", ExitCode::HostRunning, hostRunning, Archive::Before,
       Writes::ProgramAndLog},
      {"restore /force, host with a window", "/restore /force", Host::Window, "", ExitCode::Done, putBack,
       Archive::Backup, Writes::HostAndLog},
      {"restore, no backup", "/restore /force", Host::Window, "no backup", ExitCode::NothingToDo, "There is no backup",
       Archive::Before, Writes::ProgramAndLog},
      {"restore, window open", "/restore", Host::Closed, "window open", ExitCode::WindowOpen, busy, Archive::Before,
       Writes::Nothing},
  };
  for (const Row& row : rows) {
    for (const bool quiet : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (quiet ? ", /quiet" : ""));
      CommandLineRun run;
      FakePlatform& p = run.p;
      run.AddLanguage();
      run.AddHost(row.more == "no version" ? "" : kVersion);
      p.AddFile(hostArchive, row.more == "updated, empty archive" ? "" : "installed look");
      if (row.more != "no tools") run.AddTools();
      run.AddTree();
      if (row.host == Host::Refuses) p.AddFile(kProgram + "\\Resource\\ui\\refuse.txt", "TESTHOST-REFUSES");
      const bool updated = row.more.starts_with("updated");
      if (!updated && row.more != "no backup") p.AddFile(backup, PackFolder(p, kProgram + "\\Resource"));
      if (row.more == "no tree" || row.more == "hung unpacker") {
        ASSERT_TRUE(p.files.DeleteFolder(kProgram + "\\Resource"));
      }
      if (row.more == "hung unpacker") run.tools.unpackerListings = -1;
      if (row.more == "window open") run.HoldTheWindowsClaim();
      if (row.more.starts_with("kept")) {
        p.AddFile(hostArchive, "archive before");
        ASSERT_TRUE(KeepAside({p, kProgram, kHost + "Bin\\", kVersion}));
        p.AddFile(hostArchive, "installed look");
        const Installation host{p, kProgram, kHost + "Bin\\", kVersion};
        for (const std::string& name : {host.KeptAsideRecordPath(), host.KeptAsidePath()})
          p.SetReadOnly(name, row.more == "kept, stuck");
      }
      if (row.more == "copy's window") p.windows.push_back({9, std::string(kMainWindowClass), "Ravelwick (1.2.7)"});
      run.Settings("Language=English\r\nHideHome=1\r\nSetFont=1\r\nFontSize=1px}*{x:1px\r\nFileVersion=" +
                   std::string(updated ? "3.0.19.1" : kVersion) +
                   "\r\nInstallFolder=" + (row.more == "no host" ? "D:\\Gone\\" : kHost) + "\r\n");
      if (row.more == "read-only settings") p.SetReadOnly(kSettings, true);
      if (row.more == "log is a folder") p.AddFolder(kProgram + "\\ravelwick.log");
      if (row.host != Host::Closed && row.host != Host::Refuses) {
        const std::uint32_t pid = p.AddProcess("Maxthon.exe", kHost + "Bin\\Maxthon.exe");
        if (row.host == Host::Window) p.windows.push_back({42, std::string(kHostWindowClass), "Maxthon", pid});
      }
      // As the test host does: it ends at once on an archive with the marker.
      p.hostExitCode = [&p, &hostArchive](std::uint32_t) -> std::optional<std::uint32_t> {
        if (p.Contents(hostArchive).value_or("").find("TESTHOST-REFUSES") != std::string::npos) return 3;
        return std::nullopt;
      };
      const std::string archiveBefore = *p.Contents(hostArchive);
      const std::optional<std::string> backupBefore = p.Contents(backup);
      std::vector<std::string> arguments = Words(row.line);
      if (quiet) arguments.push_back("/quiet");

      EXPECT_EQ(run.Run(arguments), row.code);

      const bool done = row.code == ExitCode::Done;
      const std::string& line = done ? run.console.out : run.console.err;
      EXPECT_TRUE(line.starts_with(row.says) && IsOneLine(line)) << line;
      const std::string unlogged = row.writes == Writes::HostNotLog ? "The log " + kProgram +
                                                                          "\\ravelwick.log could not be written: this "
                                                                          "run is not in it\n"
                                                                    : "";
      EXPECT_EQ(done ? run.console.err : run.console.out, unlogged);
      if (quiet || done) {
        EXPECT_TRUE(p.messages.empty());
      } else {
        ASSERT_EQ(p.messages.size(), 1u);
        EXPECT_EQ(p.messages[0].buttons, MessageButtons::Ok);
        EXPECT_TRUE(p.messages[0].text.starts_with(row.says)) << p.messages[0].text;
      }
      const std::string expected = row.archive == Archive::Before   ? archiveBefore
                                   : row.archive == Archive::Backup ? *backupBefore
                                                                    : PackFolder(p, kProgram + "\\Resource");
      EXPECT_EQ(p.Contents(hostArchive), expected);
      EXPECT_EQ(expected.find(kHideHomeRule) != std::string::npos, row.archive == Archive::Tweaked);
      EXPECT_EQ(expected.find("{x:1px"), std::string::npos);  // the hand-edited size was checked
      // A new browser version's own archive is kept first; no backup changes.
      EXPECT_EQ(p.Contents(backup), updated && row.code == ExitCode::Done ? archiveBefore : backupBefore);
      const std::size_t hostStarts = done ? 1 : row.code == ExitCode::RolledBack ? 2 : 0;
      EXPECT_EQ(std::count(p.started.begin(), p.started.end(), "\"" + kHost + "Bin\\maxthon.exe\""),
                static_cast<long>(hostStarts));
      const std::string log = kProgram + "\\" + std::string(kLogFileName);
      const std::string entry = arguments[0] == "/apply" ? " Apply\r\n" : " Restore\r\n";
      const bool logs = row.writes == Writes::ProgramAndLog || row.writes == Writes::HostAndLog;
      EXPECT_EQ(p.Contents(log).value_or("").find(entry) != std::string::npos, logs);
      // A kept archive is settled, and said so, unless it is stuck.
      EXPECT_EQ(p.files.FileExists(run.app.Host().KeptAsidePath()), row.more == "kept, stuck");
      EXPECT_EQ(p.Contents(log).value_or("").find(" Kept archive\r\n") != std::string::npos,
                row.more.starts_with("kept"));
      if (row.writes == Writes::Nothing) {
        EXPECT_EQ(run.changes, std::vector<std::string>{});
      }
      const bool hostChanged = std::any_of(run.changes.begin(), run.changes.end(),
                                           [](const std::string& change) { return change.starts_with(kHost); });
      EXPECT_EQ(hostChanged, row.writes == Writes::HostAndLog || row.writes == Writes::HostNotLog);
      // A host that was left running still runs, its window never asked to close.
      if (!hostChanged) {
        EXPECT_EQ(p.processList.size(), row.host == Host::Window || row.host == Host::NoWindow ? 1u : 0u);
        EXPECT_TRUE(p.closeCommands.empty());
      }
    }
  }
}

// A look installs what it installed before, whether it comes back by /undo
// or by its name: the host's archive is the same byte for byte.
TEST(LookVerbs, GoBackByteForByteByUndoAndByName) {
  CommandLineRun run;
  FakePlatform& p = run.p;
  run.AddLanguage();
  run.AddHost();
  run.AddTools();
  run.AddTree();
  p.AddFile(kProgram + "\\Resource" + kVersion + ".dat", PackFolder(p, kProgram + "\\Resource"));
  const std::string hostArchive = kHost + "Bin\\Resource.dat";
  const std::string host = "FileVersion=" + kVersion + "\r\nInstallFolder=" + kHost + "\r\n";
  const auto command = [&](const std::string& line) {
    p.claimedNames.clear();  // each run is a process of its own
    run.console = {};
    return run.Run(Words(line + " /quiet"));
  };
  const auto archive = [&] { return p.Contents(hostArchive).value_or(""); };

  run.Settings(host + "HideHome=1\r\n");
  EXPECT_EQ(command("/apply"), ExitCode::Done);
  EXPECT_EQ(command("/undo"), ExitCode::NothingToDo);  // one look only
  const std::string first = archive();
  EXPECT_TRUE(run.console.out.empty() && run.console.err.starts_with("There is no earlier look"));
  run.Settings(host + "HideRefresh=1\r\n");
  EXPECT_EQ(command("/apply"), ExitCode::Done);
  const std::string second = archive();
  ASSERT_NE(first, second);
  EXPECT_EQ(command("/undo"), ExitCode::Done);
  EXPECT_EQ(archive(), first);
  EXPECT_EQ(command("/undo"), ExitCode::Done);
  EXPECT_EQ(archive(), second);

  run.Settings(host + "HideHome=1\r\n");
  EXPECT_EQ(command("/savelook \xC3\x89t\xC3\xA9"), ExitCode::Done);  // "Été"
  run.Settings(host + "HideRefresh=1\r\n");
  EXPECT_EQ(command("/savelook \xC3\xA9T\xC3\xA9"), ExitCode::Failed);  // the same name: kept unless /force
  EXPECT_EQ(command("/apply /look \xC3\xA9t\xC3\x89"), ExitCode::Done);
  EXPECT_EQ(archive(), first);
  EXPECT_EQ(command("/apply /look Autumn"), ExitCode::Failed);
  EXPECT_EQ(archive(), first);
  EXPECT_EQ(command("/apply /look"), ExitCode::UsageError);
  EXPECT_EQ(command("/looks"), ExitCode::Done);
  EXPECT_NE(run.console.out.find("\xC3\x89t\xC3\xA9  "), std::string::npos) << run.console.out;
  EXPECT_NE(run.console.out.find("  5  "), std::string::npos) << run.console.out;
}

}  // namespace
}  // namespace rw
