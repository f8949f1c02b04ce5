// Program-wide values and the shared services, alive for the whole run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "pipeline/installation.h"
#include "platform/platform.h"
#include "stores/settings.h"  // FileCache

namespace rw {

inline constexpr std::string_view kMessageTitle = "Ravelwick";
inline constexpr std::string_view kMainWindowClass = "RavelwickMainWindow";
inline constexpr std::string_view kHostRegistryValue = "HKEY_CURRENT_USER\\Software\\Maxthon3\\Folder";

struct App {
  App(Platform& platform, std::string programFolder) : platform(platform), programFolder(std::move(programFolder)) {}

  Platform& platform;
  std::string programFolder;  // no trailing backslash

  std::string AppVersion;
  std::string AppTitle;
  std::string LanguageName = "English";
  std::string HostBinFolder;  // ends in a backslash; empty until found
  std::string HostVersion;
  bool SingleSkinHost = false;     // host 3.0.15.300, which has only the modern skin
  std::string UpdatedFromVersion;  // the version prepared before, when this start found another
  mutable FileCache files;         // the settings and language files

  /// The program folder and the host as the pipeline works on them now.
  Installation Host() const { return Installation{platform, programFolder, HostBinFolder, HostVersion}; }
  std::string Path(std::string_view name) const { return Host().Path(name); }
  // Stored spelling.
  std::string SettingsPath() const { return Path("settings.ini"); }

  /// Without an icon a question shows the question mark and a plain
  /// message the information sign.
  MessageResult Message(std::string_view text, MessageButtons buttons = MessageButtons::Ok, WindowHandle owner = 0,
                        std::optional<MessageIcon> icon = std::nullopt) const {
    const MessageIcon shown =
        icon.value_or(buttons == MessageButtons::Ok ? MessageIcon::Information : MessageIcon::Question);
    return platform.desktop.ShowMessage(owner, std::string(text), std::string(kMessageTitle), buttons, shown);
  }
};

}  // namespace rw
