// The command line: verbs that do one job without a window, print to the
// console and end with an exit code that scripts can test.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

struct App;
struct Look;

/// The process's exit codes. Scripts rely on the numbers: none ever changes
/// its meaning.
enum class ExitCode : int {
  Done = 0,
  NothingToDo = 1,
  Failed = 2,       // and nothing was changed
  HostRunning = 3,  // the host must be closed first
  RolledBack = 4,   // the host did not start after the change; what was put back is told
  WindowOpen = 5,   // another instance has the window open or is at work
  UsageError = 9,
};

/// Where the verbs write: standard output for results, standard error for
/// reasons. Text is UTF-8.
class ConsoleOutput {
 public:
  virtual ~ConsoleOutput() = default;
  virtual void Out(std::string_view utf8) = 0;
  virtual void Err(std::string_view utf8) = 0;
  /// False when standard error reaches nobody: no console to write to and
  /// no stream given, as when Explorer starts the program with a file.
  virtual bool ErrReachesSomeone() const { return true; }
};

/// What a verb is started with: the positional arguments it takes and the
/// switches given beside it (in their table spelling).
struct Invocation {
  std::string_view programName;  // for the usage text
  std::vector<std::string> arguments;
  std::vector<std::string_view> switches;
  std::vector<std::string> switchValues;  // of the switches that take one, in the order given
  const Look* look = nullptr;             // what /apply puts in place before it loads the options
  bool Has(std::string_view switchName) const;
  /// The argument given after a switch that takes one; empty when not given.
  std::string ValueOf(std::string_view switchName) const;
};

using VerbHandler = ExitCode (*)(App& app, ConsoleOutput& console, const Invocation& invocation);

/// One row of the command table: a verb, when it has a handler, or a switch
/// that changes what a verb does.
struct CommandRow {
  std::string_view name;            // lower case with "/", e.g. "/preview"
  std::string_view alias;           // another accepted name, or empty
  std::string_view argument;        // the positional argument's placeholder ("FILE"), or a switch's; empty: none
  std::string_view descriptionKey;  // its line in the usage text, a language key
  VerbHandler handler;              // null for a switch
};

std::span<const CommandRow> CommandTable();

/// Whether the positional arguments of a line name files, which the Windows
/// entry point resolves from the current folder: not when a verb or switch
/// on it takes a look's NAME.
bool ArgumentsAreFiles(std::span<const std::string> arguments);

/// The usage text: the program name, every verb and switch with its
/// description, and the exit codes.
std::string UsageText(const App& app, std::string_view programName);

/// Runs the verb `arguments` name (the program name not included) and
/// returns its exit code; nullopt without arguments, when the program
/// starts with its window. Verbs and switches ignore letter case and take
/// "/" or "-". Help goes to standard output; a usage error puts its reason
/// and the usage text on standard error, and in a message box as well when
/// standard error reaches nobody and /quiet was not given.
std::optional<ExitCode> RunCommandLine(App& app, ConsoleOutput& console, std::string_view programName,
                                       std::span<const std::string> arguments);

}  // namespace rw
