#include "ui/command_line.h"

#include <algorithm>
#include <array>

#include "app/app.h"
#include "stores/text.h"
#include "ui/command_verbs.h"
#include "ui/looks_verbs.h"
#include "ui/main_sequence.h"
#include "ui/settings_verbs.h"
#include "ui/status_verb.h"

namespace rw {

namespace {

constexpr std::string_view kHelpName = "/?";

ExitCode ShowHelp(App&, ConsoleOutput& console, const Invocation& invocation) {
  console.Out(UsageText(invocation.programName));
  return ExitCode::Done;
}

constexpr std::array kCommands = {
    CommandRow{"/preview", "", "", "Prints what OK would change in the interface files; changes nothing.", PreviewVerb},
    CommandRow{"/status", "", "",
               "Prints which interface Maxthon 3 has and every stored option in words; changes nothing.", StatusVerb},
    CommandRow{"/apply", "", "", "Installs the stored options into Maxthon 3, as OK does, without the window.",
               ApplyWithLookVerb},
    CommandRow{"/restore", "", "", "Puts Maxthon 3's original resource file back, as Restore does.", RestoreVerb},
    CommandRow{"/export", "", "FILE", "Writes the stored options and language to FILE, to carry them elsewhere.",
               ExportVerb},
    CommandRow{"/import", "", "FILE",
               "Checks the options in FILE and stores them in settings.ini; prints what was taken.", ImportVerb},
    CommandRow{"/undo", "", "", "Applies the look before the last Apply again, as Undo Last Apply does.", UndoVerb},
    CommandRow{"/savelook", "", "NAME", "Keeps the stored options and own rules as the look NAME.", SaveLookVerb},
    CommandRow{"/looks", "", "", "Lists the looks of the last installs and the named looks with their dates.",
               LooksVerb},
    CommandRow{kHelpName, "/help", "", "Prints this text.", ShowHelp},
    CommandRow{kForceSwitch, "", "",
               "/apply, /undo and /restore close a running Maxthon 3 without asking; /savelook replaces a look.",
               nullptr},
    CommandRow{kLookSwitch, "", "NAME", "/apply installs the named look NAME instead of the stored options.", nullptr},
    CommandRow{kWithLooksSwitch, "", "", "/export writes the named looks to FILE as well.", nullptr},
    CommandRow{kQuietSwitch, "", "", "No message box: reasons go to standard error and the log only.", nullptr},
};

struct ExitCodeRow {
  ExitCode code;
  std::string_view meaning;
};

constexpr std::array kDocumentedExitCodes = {
    ExitCodeRow{ExitCode::Done, "done"},
    ExitCodeRow{ExitCode::NothingToDo,
                "nothing to do: /restore found no backup for this Maxthon version, /undo no earlier look"},
    ExitCodeRow{ExitCode::Failed, "failed; nothing was changed"},
    ExitCodeRow{ExitCode::HostRunning, "Maxthon 3 is running with a window and /force was not given; nothing changed"},
    ExitCodeRow{ExitCode::RolledBack, "Maxthon 3 did not start after the change; the message says what was put back"},
    ExitCodeRow{ExitCode::WindowOpen,
                "Ravelwick is open or busy in another instance (/preview: only when it would have to unpack)"},
    ExitCodeRow{ExitCode::UsageError, "the command line was not understood"},
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

void AppendRows(std::string& text, std::string_view title, bool verbs) {
  std::size_t width = 0;
  for (const CommandRow& row : kCommands)
    if ((row.handler != nullptr) == verbs) width = std::max(width, Heading(row).size());
  if (width == 0) return;
  text += "\n" + std::string(title) + ":\n";
  for (const CommandRow& row : kCommands) {
    if ((row.handler != nullptr) != verbs) continue;
    const std::string heading = Heading(row);
    text += "  " + heading + std::string(width - heading.size() + 2, ' ') + std::string(row.description) + "\n";
  }
}

ExitCode UsageError(const App& app, ConsoleOutput& console, std::string_view programName, bool quiet,
                    const std::string& reason) {
  const std::string text = std::string(programName) + ": " + reason + "\n\n" + UsageText(programName);
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

std::string UsageText(std::string_view programName) {
  std::string text = "Ravelwick " + std::string(kAppVersion) +
                     " restyles the Maxthon 3 browser. Without arguments it opens its window.\n\n"
                     "Usage: " +
                     std::string(programName) + " VERB [ARGUMENT] [SWITCH...]\n";
  AppendRows(text, "Verbs", true);
  AppendRows(text, "Switches", false);
  text += "\nExit codes:\n";
  for (const ExitCodeRow& row : kDocumentedExitCodes)
    text += "  " + std::to_string(static_cast<int>(row.code)) + "  " + std::string(row.meaning) + "\n";
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
  const auto usageError = [&](const std::string& reason) {
    return UsageError(app, console, programName, quiet, reason);
  };

  const CommandRow* verb = nullptr;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& token = arguments[i];
    if (!LooksLikeSwitch(token)) {
      invocation.arguments.push_back(token);
      continue;
    }
    const CommandRow* row = FindRow(token);
    if (!row) return usageError("unknown switch " + token);
    if (!row->handler) {
      invocation.switches.push_back(row->name);
      if (row->argument.empty()) continue;
      if (i + 1 == arguments.size() || LooksLikeSwitch(arguments[i + 1]))
        return usageError(std::string(row->name) + " needs " + std::string(row->argument));
      invocation.switchValues.push_back(arguments[++i]);
    } else if (verb && verb != row) {
      return usageError("one verb at a time: " + std::string(verb->name) + " and " + token);
    } else {
      verb = row;
    }
  }
  if (!verb) return usageError("no verb");
  const std::size_t expected = verb->argument.empty() ? 0 : 1;
  if (invocation.arguments.size() < expected)
    return usageError(std::string(verb->name) + " needs " + std::string(verb->argument));
  if (invocation.arguments.size() > expected)
    return usageError("unexpected argument " + invocation.arguments[expected]);
  return verb->handler(app, console, invocation);
}

}  // namespace rw
