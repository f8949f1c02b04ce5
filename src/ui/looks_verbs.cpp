#include "ui/looks_verbs.h"

#include "app/app.h"
#include "app/host_check.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/command_verbs.h"
#include "ui/main_sequence.h"
#include "ui/named_looks.h"

namespace rw {

namespace {

// A verb's end without the change it was asked for: the reason on standard
// error and, unless /quiet, in a message box, as /apply tells its own.
ExitCode Stop(const App& app, ConsoleOutput& console, const Invocation& invocation, ExitCode code,
              const std::string& text) {
  console.Err(text + "\n");
  if (!invocation.Has(kQuietSwitch))
    app.Message(text, MessageButtons::Ok, 0, code == ExitCode::NothingToDo ? MessageIcon::Warning : MessageIcon::Error);
  return code;
}

// A damaged file costs only its own look, and the user hears which.
void ReportDamaged(const App& app, ConsoleOutput& console, const LookShelf& shelf) {
  for (const std::string& path : shelf.damaged) console.Err(Fill(Text(app, "LookDamaged"), {{"$file", path}}) + "\n");
}

}  // namespace

ExitCode ApplyWithLookVerb(App& app, ConsoleOutput& console, const Invocation& invocation) {
  if (!invocation.Has(kLookSwitch)) return ApplyVerb(app, console, invocation);
  app.LanguageName = ChooseLanguage(app);
  const std::string name = invocation.ValueOf(kLookSwitch);
  const std::optional<Look> look = FindNamedLook(app, name);
  if (!look)
    return Stop(app, console, invocation, ExitCode::Failed, Fill(Text(app, "LookNotFound"), {{"$name", name}}));
  Invocation withLook = invocation;
  withLook.look = &*look;
  return ApplyVerb(app, console, withLook);
}

ExitCode UndoVerb(App& app, ConsoleOutput& console, const Invocation& invocation) {
  app.LanguageName = ChooseLanguage(app);
  const LookShelf history = ReadHistory(app);
  ReportDamaged(app, console, history);
  if (history.looks.size() < 2)
    return Stop(app, console, invocation, ExitCode::NothingToDo, Text(app, "UndoNoEarlierLook"));
  Invocation undo = invocation;
  undo.look = &history.looks[1];
  return ApplyVerb(app, console, undo);
}

ExitCode SaveLookVerb(App& app, ConsoleOutput& console, const Invocation& invocation) {
  app.LanguageName = ChooseLanguage(app);
  if (const std::optional<FoundHostFolder> found = FindHostFolder(app)) {
    app.HostBinFolder = found->folder + "Bin\\";
    ReadHostVersion(app);
  }
  const std::string& name = invocation.arguments.front();
  const auto stop = [&](std::string_view key) {
    return Stop(app, console, invocation, ExitCode::Failed,
                Fill(Text(app, key), {{"$name", name}, {"$folder", app.Path(kLooksFolder)}}));
  };
  switch (SaveNamedLook(app, StoredLook(app), name, invocation.Has(kForceSwitch))) {
    case NamedSave::Saved:
      console.Out(Fill(Text(app, "LookSaved"), {{"$name", TrimBlanks(name)}}) + "\n");
      return ExitCode::Done;
    case NamedSave::Exists:
      return stop("LookExistsForce");
    case NamedSave::BadName:
      return stop("LookBadName");
    case NamedSave::Failed:
      break;
  }
  return stop("LookNotSaved");
}

ExitCode LooksVerb(App& app, ConsoleOutput& console, const Invocation&) {
  app.LanguageName = ChooseLanguage(app);
  const LookShelf history = ReadHistory(app);
  const LookShelf named = ReadNamedLooks(app);
  ReportDamaged(app, console, history);
  ReportDamaged(app, console, named);
  std::string text = Text(app, "LooksHistoryHeading") + "\n";
  for (std::size_t i = 0; i < history.looks.size(); ++i) {
    const Look& look = history.looks[i];
    text += "  " +
            Fill(Text(app, "LooksEntry"),
                 {{"$number", std::to_string(i + 1)}, {"$date", look.date}, {"$version", look.hostVersion}}) +
            "\n";
  }
  if (history.looks.empty()) text += "  " + Text(app, "LooksNone") + "\n";
  text += "\n" + Text(app, "LooksNamedHeading") + "\n";
  for (const Look& look : named.looks)
    text += "  " +
            Fill(Text(app, "LooksNamedEntry"),
                 {{"$name", look.name}, {"$date", look.date}, {"$version", look.hostVersion}}) +
            "\n";
  if (named.looks.empty()) text += "  " + Text(app, "LooksNone") + "\n";
  console.Out(text);
  return ExitCode::Done;
}

}  // namespace rw
