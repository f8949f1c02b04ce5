#include "app/outcome_messages.h"

#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"

namespace rw {

namespace {

// Stored spellings of the language keys, and how grave each message is: a
// failed road is an error; a road that ended with the browser as it was
// before is a warning.
struct Told {
  std::string_view key;
  MessageIcon icon = MessageIcon::Error;
};

Told TellingOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::Done:
    case Outcome::Declined:
      return {{}, MessageIcon::Information};
    case Outcome::NoHostVersion:
      return {"NoHostVersion"};
    case Outcome::NoBackup:
      return {"NoBackup", MessageIcon::Warning};
    case Outcome::ArchiveUnusable:
      return {"ArchiveUnusable"};
    case Outcome::BackupUnusable:
      return {"BackupUnusable"};
    case Outcome::UnpackFailed:
      return {"UnpackFailed"};
    case Outcome::ArchiveNotReadable:
      return {"ArchiveNotReadable"};
    case Outcome::PackFailed:
      return {"PackFailed"};
    case Outcome::VerifyFailed:
      return {"VerifyFailed"};
    case Outcome::InstallFailed:
      return {"InstallFailed"};
    case Outcome::RestoreFailed:
      return {"RestoreFailed"};
    case Outcome::KeepAsideFailed:
      return {"KeepAsideFailed"};
    case Outcome::RolledBack:
      return {"RolledBack", MessageIcon::Warning};
    case Outcome::RollbackFailed:
      return {"RollbackFailed"};
    case Outcome::StillDown:
      return {"StillDown"};
    case Outcome::RestoredButDown:
      return {"RestoredButDown"};
    case Outcome::SettingsUnsaved:
      return {"SettingsNotSaved"};
  }
  return {};
}

}  // namespace

std::string MessageFor(const App& app, const PipelineResult& result) {
  const std::string_view key = TellingOf(result.outcome).key;
  if (key.empty()) return {};
  std::string text = Fill(Text(app, key), {{"$version", app.HostVersion}, {"$file", result.file}});
  // The system's own words help whoever has to find the cause.
  if (!result.osError.empty()) text += "\r\n\r\n" + result.osError;
  return text;
}

MessageIcon IconFor(const PipelineResult& result) { return TellingOf(result.outcome).icon; }

}  // namespace rw
