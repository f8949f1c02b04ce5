#include "ui/window_header.h"

#include <algorithm>

#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/activity_log.h"

namespace rw {

namespace {

struct HeaderText {
  std::string_view key;
  std::string_view english;  // when no language file has the key
};

constexpr HeaderText kNoHost{"HeaderNoHost", "Maxthon 3 was not found: no folder is set and the registry names none"};
constexpr HeaderText kNoVersion{"HeaderNoVersion",
                                "Maxthon 3 in $folder: its version cannot be read, so its interface is not known"};
constexpr HeaderText kOriginal{"HeaderOriginal", "Maxthon $version in $folder \xE2\x80\x94 original interface"};
constexpr HeaderText kInstalled{"HeaderRavelwickLook",
                                "Maxthon $version in $folder \xE2\x80\x94 the look Ravelwick installed on $date"};
constexpr HeaderText kInstalledUndated{"HeaderRavelwickLookUndated",
                                       "Maxthon $version in $folder \xE2\x80\x94 the look Ravelwick installed"};
constexpr HeaderText kForeign{"HeaderForeign",
                              "Maxthon $version in $folder \xE2\x80\x94 an interface Ravelwick did not write"};
constexpr HeaderText kUnknown{"HeaderUnknown",
                              "Maxthon $version in $folder \xE2\x80\x94 no backup of its original interface to "
                              "compare with"};

const HeaderText& TextFor(const App& app, const ArchiveState& state) {
  if (app.HostBinFolder.empty()) return kNoHost;
  if (app.HostVersion.empty()) return kNoVersion;
  switch (state.look) {
    case ArchiveLook::Original:
      return kOriginal;
    case ArchiveLook::RavelwickLook:
      return state.installedOn.empty() ? kInstalledUndated : kInstalled;
    case ArchiveLook::Foreign:
      return kForeign;
    case ArchiveLook::Unknown:
      break;
  }
  return kUnknown;
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
  const HeaderText& text = TextFor(app, state);
  std::string line = Text(app, text.key);
  if (line.empty()) line = std::string(text.english);
  // The folder last: its name may hold anything, a placeholder's spelling too.
  line = ReplaceAll(ReplaceAll(line, "$version", app.HostVersion), "$date", state.installedOn);
  return ReplaceAll(line, "$folder", HostFolderShown(app.HostBinFolder));
}

}  // namespace rw
