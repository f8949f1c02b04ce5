// How a road of the pipeline ended. The window logic decides from it whether
// the program ends and what the user is told.
#pragma once

#include <string>

namespace rw {

enum class Outcome {
  Done,             // unpacked, installed or restored
  Declined,         // the user kept the browser running: nothing touched
  NoHostVersion,    // the host's executable has no readable version
  NoBackup,         // no backup of this host version to put back
  ArchiveUnusable,  // the host's archive is empty or unreadable: no backup made
  BackupUnusable,   // the backup is empty or unreadable
  UnpackFailed,     // the unpacker did not finish cleanly, or its tree is incomplete
  // The unpacker ended by itself on the host's non-empty archive and left
  // nothing usable: it cannot read that archive, and trying again won't help.
  ArchiveNotReadable,
  PackFailed,       // the packer did not finish or wrote nothing
  VerifyFailed,     // the packed archive does not unpack to the working tree
  InstallFailed,    // the host's archive could not be replaced
  RestoreFailed,    // the backup could not be put back
  KeepAsideFailed,  // the host's archive could not be kept aside: nothing installed
  RolledBack,       // the host did not start with the new archive; the one before is back
  RollbackFailed,   // ... and the one before could not be put back; it stays kept aside
  StillDown,        // the host did not start with the new archive, nor with the one before
  RestoredButDown,  // the backup is installed, but the host did not start with it
  SettingsUnsaved,  // the options could not be stored before an install: nothing installed
};

struct PipelineResult {
  PipelineResult() = default;
  PipelineResult(Outcome outcome, std::string file = {}, std::string osError = {})
      : outcome(outcome), file(std::move(file)), osError(std::move(osError)) {}

  Outcome outcome = Outcome::Done;
  std::string file;     // what the message names, if anything
  std::string osError;  // the system's words for why, when it said
};

}  // namespace rw
