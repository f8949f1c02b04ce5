#include <gtest/gtest.h>

#include <algorithm>

#include "app/app.h"
#include "pipeline/tree_record.h"
#include "stores/text.h"
#include "support/fake_platform.h"
#include "support/fake_tools.h"
#include "ui/command_line.h"
#include "ui/main_sequence.h"
#include "unit/engine_test_tree.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::FakeTools;
using test::Op;

const std::string kProgram = "C:\\Ravelwick";
const std::string kSettings = kProgram + "\\settings.ini";
const std::string kHost = "D:\\Maxthon3\\";
const std::string kVersion = "3.0.20.100";
constexpr std::string_view kHideHomeRule = "#BTN_HOME{display:none}";

struct CollectingConsole : ConsoleOutput {
  std::string out, err;
  void Out(std::string_view utf8) override { out += utf8; }
  void Err(std::string_view utf8) override { err += utf8; }
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
  void HoldTheWindowsClaim() { ASSERT_TRUE(p.ClaimSingleInstance(SingleInstanceName(p, kProgram))); }

  std::optional<ExitCode> Run(std::vector<std::string> arguments) {
    p.failHook = [this](Op op, const std::string& path) {
      if (op != Op::Read && op != Op::Start) changes.push_back(path);
      return false;
    };
    return RunCommandLine(app, console, "ravelwick.exe", arguments);
  }
};

bool IsOneLine(const std::string& text) {
  return !text.empty() && text.back() == '\n' && std::count(text.begin(), text.end(), '\n') == 1;
}

// Parsing and dispatch, with no host anywhere: a verb that runs fails for
// want of one, so every row shows whether the verb was reached.
TEST(CommandLine, ParsesAsWindowsProgramsDoAndReportsMistakesOnStandardError) {
  enum Stream { None, Out, Err };
  struct Row {
    std::vector<std::string> arguments;
    std::optional<ExitCode> code;
    Stream usage;        // which stream gets the usage text
    std::string reason;  // the first line of standard error
  };
  const std::string preview = "Maxthon 3 was not found";
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
  };
  const std::string usage = UsageText("ravelwick.exe");
  for (const Row& row : rows) {
    CommandLineRun run;
    std::string line;
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
    EXPECT_TRUE(run.p.messages.empty());
  }
}

TEST(CommandLine, UsageNamesTheProgramEveryRowAndTheExitCodes) {
  const std::string usage = UsageText("rw.exe");
  EXPECT_NE(usage.find("Usage: rw.exe "), std::string::npos);
  for (const CommandRow& row : CommandTable()) {
    EXPECT_TRUE(row.name.starts_with('/') && AsciiLower(row.name) == row.name) << row.name;
    EXPECT_EQ(row.description.find('\n'), std::string_view::npos) << row.name;
    EXPECT_NE(usage.find("  " + std::string(row.name)), std::string::npos) << row.name;
    EXPECT_NE(usage.find(std::string(row.description) + "\n"), std::string::npos) << row.name;
  }
  for (const char* code : {"\n  0  ", "\n  2  ", "\n  5  ", "\n  9  "}) EXPECT_NE(usage.find(code), std::string::npos);
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
    std::string more;  // arranges the rest: "empty archive", "older packed", "failing unpacker"
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
      {"tree of an older host", Stored, "3.0.21.1", true, true, false, "", ExitCode::Done, "", true},
      {"unpacker fails", Stored, kVersion, false, true, false, "failing unpacker", ExitCode::Failed,
       "could not unpack C:\\Ravelwick\\Resource.dat completely", true},
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
    const std::string folder = row.host == Nowhere ? "D:\\Gone\\" : row.host == Stored ? kHost : "";
    run.Settings("HideHome=1\r\nFileVersion=" + std::string(row.more == "older packed" ? "3.0.15.300" : kVersion) +
                 "\r\n" + (folder.empty() ? "" : "InstallFolder=" + folder + "\r\n"));
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

// Export and import through the command line: each row a situation, its
// exit code, and whether settings.ini took anything.
TEST(SettingsVerbs, ExportAndImportWithTheirExitCodesAndNothingHalfDone) {
  const std::string look = "E:\\Looks\\mine.ini";
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
      {"export over settings.ini", {"/export", kSettings}, "", false, ExitCode::Failed, "HideHome=1", ""},
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
    if (!row.file.empty()) run.p.AddFile(look, row.file);
    if (row.windowOpen) run.HoldTheWindowsClaim();
    const std::optional<std::string> before = run.p.Contents(kSettings);

    EXPECT_EQ(run.Run(row.arguments), row.code);
    const std::string settings = run.p.Contents(kSettings).value_or("");
    EXPECT_NE(settings.find(row.settingsAfter + "\r\n"), std::string::npos) << settings;
    EXPECT_EQ(run.p.Contents(kSettings) == before, row.code != ExitCode::Done || row.arguments[0] == "/export");
    EXPECT_EQ(run.console.out.find(row.out) != std::string::npos && !run.console.out.empty(), !row.out.empty())
        << run.console.out;
    EXPECT_EQ(run.console.err.empty(), row.code == ExitCode::Done) << run.console.err;
    EXPECT_FALSE(run.p.Contents(look + ".partial") || run.p.Contents(kSettings + ".partial"));
    EXPECT_TRUE(run.p.messages.empty());
  }

  // What one installation exports, another imports to the same values.
  CommandLineRun from, to;
  from.Settings("HideHome=1\r\nSetMaxTabWidth=1\r\nMaxTabWidth=150\r\nFontFamily=Tahoma\r\nLanguage=English\r\n");
  to.Settings("HideRefresh=1\r\n");
  from.p.AddFolder("E:\\Looks");
  ASSERT_EQ(from.Run({"/export", look}), ExitCode::Done);
  to.p.AddFile(look, *from.p.Contents(look));
  ASSERT_EQ(to.Run({"/import", look}), ExitCode::Done);
  for (const char* key : {"HideHome", "HideRefresh", "SetMaxTabWidth", "MaxTabWidth", "FontFamily"})
    EXPECT_EQ(to.app.ReadSetting(key, "?"), from.app.ReadSetting(key, "0")) << key;
}

}  // namespace
}  // namespace rw
