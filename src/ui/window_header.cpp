#include "ui/window_header.h"

#include <algorithm>

#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/activity_log.h"
#include "ui/own_rules_state.h"

namespace rw {

namespace {

// The language key of the header line.
std::string_view KeyFor(const App& app, const ArchiveState& state) {
  if (app.HostBinFolder.empty()) return "HeaderNoHost";
  if (app.HostVersion.empty()) return "HeaderNoVersion";
  switch (state.look) {
    case ArchiveLook::Original:
      return "HeaderOriginal";
    case ArchiveLook::RavelwickLook:
      return state.installedOn.empty() ? "HeaderRavelwickLookUndated" : "HeaderRavelwickLook";
    case ArchiveLook::Foreign:
      return "HeaderForeign";
    case ArchiveLook::Unknown:
      break;
  }
  return "HeaderUnknown";
}

// "D:\Maxthon3\Bin\" -> "D:\Maxthon3".
std::string HostFolderShown(const std::string& binFolder) {
  std::string folder = binFolder.substr(0, binFolder.size() - std::min<std::size_t>(binFolder.size(), 4));
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

ArchiveState ReadArchiveState(const App& app, ArchiveFingerprints& fingerprints) {
  ArchiveState state{HostArchiveLook(app.Host(), fingerprints), {}};
  if (state.look == ArchiveLook::RavelwickLook) state.installedOn = LastInstallTime(app);
  return state;
}

std::string HeaderLine(const App& app, const ArchiveState& state) {
  return Fill(
      Text(app, KeyFor(app, state)),
      {{"$version", app.HostVersion}, {"$date", state.installedOn}, {"$folder", HostFolderShown(app.HostBinFolder)}});
}

std::string HeaderLineWithOwnRules(const App& app, const ArchiveState& state, const OwnRulesPair* pending) {
  const std::string own = OwnRulesStatusLine(app, pending);
  return own.empty() ? HeaderLine(app, state) : HeaderLine(app, state) + " \u00B7 " + own;
}

}  // namespace rw
