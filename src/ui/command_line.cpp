#include "ui/command_line.h"

#include <algorithm>
#include <array>

#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/command_verbs.h"
#include "ui/looks_verbs.h"
#include "ui/main_sequence.h"
#include "ui/settings_verbs.h"
#include "ui/status_verb.h"

namespace rw {

namespace {

constexpr std::string_view kHelpName = "/?";

ExitCode ShowHelp(App& app, ConsoleOutput& console, const Invocation& invocation) {
  console.Out(UsageText(app, invocation.programName));
  return ExitCode::Done;
}

constexpr std::array kCommands = {
    CommandRow{"/preview", "", "", "UsagePreview", PreviewVerb},
    CommandRow{"/status", "", "", "UsageStatus", StatusVerb},
    CommandRow{"/apply", "", "", "UsageApply", ApplyWithLookVerb},
    CommandRow{"/restore", "", "", "UsageRestore", RestoreVerb},
    CommandRow{"/export", "", "FILE", "UsageExport", ExportVerb},
    CommandRow{"/import", "", "FILE", "UsageImport", ImportVerb},
    CommandRow{"/undo", "", "", "UsageUndo", UndoVerb},
    CommandRow{"/savelook", "", "NAME", "UsageSaveLook", SaveLookVerb},
    CommandRow{"/looks", "", "", "UsageLooks", LooksVerb},
    CommandRow{kHelpName, "/help", "", "UsageHelp", ShowHelp},
    CommandRow{kForceSwitch, "", "", "UsageForce", nullptr},
    CommandRow{kLookSwitch, "", "NAME", "UsageLook", nullptr},
    CommandRow{kWithLooksSwitch, "", "", "UsageWithLooks", nullptr},
    CommandRow{kQuietSwitch, "", "", "UsageQuiet", nullptr},
};

struct ExitCodeRow {
  ExitCode code;
  std::string_view meaningKey;
};

constexpr std::array kDocumentedExitCodes = {
    ExitCodeRow{ExitCode::Done, "UsageExitDone"},
    ExitCodeRow{ExitCode::NothingToDo, "UsageExitNothingToDo"},
    ExitCodeRow{ExitCode::Failed, "UsageExitFailed"},
    ExitCodeRow{ExitCode::HostRunning, "UsageExitHostRunning"},
    ExitCodeRow{ExitCode::RolledBack, "UsageExitRolledBack"},
    ExitCodeRow{ExitCode::WindowOpen, "UsageExitWindowOpen"},
    ExitCodeRow{ExitCode::UsageError, "UsageExitUsageError"},
};

bool LooksLikeSwitch(std::string_view token) { return !token.empty() && (token[0] == '/' || token[0] == '-'); }

// "-Preview" -> "/preview".
std::string TableSpelling(std::string_view token) {
  std::string name = AsciiLower(token);
  name[0] = '/';
  return name;
}

const CommandRow* FindRow(std::string_view token) {
  const std::string name = TableSpelling(token);
  for (const CommandRow& row : kCommands)
    if (name == row.name || (!row.alias.empty() && name == row.alias)) return &row;
  return nullptr;
}

std::string Heading(const CommandRow& row) {
  std::string heading(row.name);
  if (!row.alias.empty()) heading += ", " + std::string(row.alias);
  if (!row.argument.empty()) heading += " " + std::string(row.argument);
  return heading;
}

void AppendRows(const App& app, std::string& text, std::string_view titleKey, bool verbs) {
  std::size_t width = 0;
  for (const CommandRow& row : kCommands)
    if ((row.handler != nullptr) == verbs) width = std::max(width, Heading(row).size());
  if (width == 0) return;
  text += "\n" + Text(app, titleKey) + ":\n";
  for (const CommandRow& row : kCommands) {
    if ((row.handler != nullptr) != verbs) continue;
    const std::string heading = Heading(row);
    text += "  " + heading + std::string(width - heading.size() + 2, ' ') + Text(app, row.descriptionKey) + "\n";
  }
}

ExitCode UsageError(const App& app, ConsoleOutput& console, std::string_view programName, bool quiet,
                    const std::string& reason) {
  const std::string text = std::string(programName) + ": " + reason + "\n\n" + UsageText(app, programName);
  console.Err(text);
  // Started from Explorer, with a file dropped on it or a stray argument in
  // a shortcut, the program would otherwise end without a sign.
  if (!console.ErrReachesSomeone() && !quiet) app.Message(text);
  return ExitCode::UsageError;
}

}  // namespace

bool Invocation::Has(std::string_view switchName) const {
  return std::find(switches.begin(), switches.end(), switchName) != switches.end();
}

std::string Invocation::ValueOf(std::string_view switchName) const {
  std::size_t index = 0;
  for (const std::string_view given : switches) {
    if (given == switchName) return index < switchValues.size() ? switchValues[index] : std::string();
    const CommandRow* row = FindRow(given);
    if (row && !row->argument.empty()) ++index;
  }
  return {};
}

std::span<const CommandRow> CommandTable() { return kCommands; }

bool ArgumentsAreFiles(std::span<const std::string> arguments) {
  return std::none_of(arguments.begin(), arguments.end(), [](const std::string& token) {
    const CommandRow* row = LooksLikeSwitch(token) ? FindRow(token) : nullptr;
    return row && row->argument == "NAME";
  });
}

std::string UsageText(const App& app, std::string_view programName) {
  std::string text = Fill(Text(app, "UsageIntro"), {{"$version", kAppVersion}}) + "\n\n" +
                     Fill(Text(app, "UsageLine"), {{"$program", programName}}) + "\n";
  AppendRows(app, text, "UsageVerbs", true);
  AppendRows(app, text, "UsageSwitches", false);
  text += "\n" + Text(app, "UsageExitCodes") + ":\n";
  for (const ExitCodeRow& row : kDocumentedExitCodes)
    text += "  " + std::to_string(static_cast<int>(row.code)) + "  " + Text(app, row.meaningKey) + "\n";
  return text;
}

std::optional<ExitCode> RunCommandLine(App& app, ConsoleOutput& console, std::string_view programName,
                                       std::span<const std::string> arguments) {
  if (arguments.empty()) return std::nullopt;
  Invocation invocation{programName, {}, {}, {}, nullptr};
  bool quiet = false;
  // Help anywhere wins over everything else on the line, mistakes included.
  for (const std::string& token : arguments) {
    if (!LooksLikeSwitch(token)) continue;
    if (FindRow(token) == FindRow(kHelpName)) return ShowHelp(app, console, invocation);
    quiet = quiet || FindRow(token) == FindRow(kQuietSwitch);
  }
  const auto usageError = [&](std::string_view reasonKey,
                              std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
    return UsageError(app, console, programName, quiet, Fill(Text(app, reasonKey), values));
  };

  const CommandRow* verb = nullptr;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& token = arguments[i];
    if (!LooksLikeSwitch(token)) {
      invocation.arguments.push_back(token);
      continue;
    }
    const CommandRow* row = FindRow(token);
    if (!row) return usageError("UsageUnknownSwitch", {{"$switch", token}});
    if (!row->handler) {
      invocation.switches.push_back(row->name);
      if (row->argument.empty()) continue;
      if (i + 1 == arguments.size() || LooksLikeSwitch(arguments[i + 1]))
        return usageError("UsageNeeds", {{"$name", row->name}, {"$argument", row->argument}});
      invocation.switchValues.push_back(arguments[++i]);
    } else if (verb && verb != row) {
      return usageError("UsageOneVerb", {{"$first", verb->name}, {"$second", token}});
    } else {
      verb = row;
    }
  }
  if (!verb) return usageError("UsageNoVerb", {});
  const std::size_t expected = verb->argument.empty() ? 0 : 1;
  if (invocation.arguments.size() < expected)
    return usageError("UsageNeeds", {{"$name", verb->name}, {"$argument", verb->argument}});
  if (invocation.arguments.size() > expected)
    return usageError("UsageUnexpectedArgument", {{"$argument", invocation.arguments[expected]}});
  return verb->handler(app, console, invocation);
}

}  // namespace rw
