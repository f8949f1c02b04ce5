// What makpak and unpak do, apart from reading their command line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rw::pak {

enum ExitCode : int {
  kOk = 0,
  kUsage = 1,
  kInputMissing = 2,  // no such folder or archive
  kBadInput = 3,      // unreadable or damaged archive, unpackable tree
  kTargetExists = 4,  // unpak never writes into an existing folder
  kWriteFailed = 5,
};

/// Packs `folder` into `folder` + ".dat" through a temporary file, so a
/// half-written archive never sits at the target.
int RunMakpak(const std::string& folder, std::string& message);

/// Unpacks `archive` ("<name>.dat") into the new folder "<name>": checks
/// the whole archive first, writes into a staging folder beside the target
/// and renames it into place, so the folder appears complete or not at all.
int RunUnpak(const std::string& archive, std::string& message);

/// The command line of each tool: the program name and one path.
int MakpakMain(const std::vector<std::string>& args);
int UnpakMain(const std::vector<std::string>& args);

/// Renames `from` over `to`, replacing it in one step.
bool ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace rw::pak
