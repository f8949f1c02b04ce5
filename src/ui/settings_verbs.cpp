#include "ui/settings_verbs.h"

#include "app/app.h"
#include "app/host_check.h"
#include "ui/main_sequence.h"
#include "ui/roads.h"
#include "ui/settings_transfer.h"

namespace rw {

namespace {

// Language and host as start-up finds them, read-only: the texts speak the
// user's language and name the options this host greys out. Without a host
// the export says so in its header, and nothing is greyed.
void FindLanguageAndHost(App& app) { LookAtHost(app); }

std::string WithLineEnd(std::string text) {
  if (!text.empty() && text.back() != '\n') text += '\n';
  return text;
}

}  // namespace

ExitCode ExportVerb(App& app, ConsoleOutput& console, const Invocation& invocation) {
  FindLanguageAndHost(app);
  const bool withLooks = invocation.Has(kWithLooksSwitch);
  const std::vector<Look> looks = withLooks ? ReadNamedLooks(app).looks : std::vector<Look>();
  const ExportResult result =
      ExportSettings(app, StoredOptions(app), invocation.arguments.front(), nullptr, withLooks ? &looks : nullptr);
  if (result.status != TransferStatus::Done) {
    console.Err(WithLineEnd(ExportMessage(app, result)));
    return ExitCode::Failed;
  }
  console.Out(result.path + "\n");
  return ExitCode::Done;
}

ExitCode ImportVerb(App& app, ConsoleOutput& console, const Invocation& invocation) {
  // The window would write its own options over the imported ones at OK.
  if (!ClaimForCommandLine(app.platform, app.programFolder)) {
    console.Err("Ravelwick's window is open: close it and try again\n");
    return ExitCode::WindowOpen;
  }
  FindLanguageAndHost(app);
  const StoredImport result = ImportIntoSettings(app, invocation.arguments.front());
  const std::string text = WithLineEnd(StoredImportText(app, result));
  if (!result.stored) {
    console.Err(text);
    return ExitCode::Failed;
  }
  console.Out(text);
  return ExitCode::Done;
}

}  // namespace rw
