// The program's own settings in settings.ini, one row each, beside the
// option table (ui/catalogue.cpp) that holds the options' keys.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace rw {

struct App;

enum class ProgramSetting { InstallFolder, FileVersion, HealthCheck, ReapplyDeclined, UpdatedFromVersion, Language };

enum class SettingScope {
  Carried,       // goes with an export of the settings to another computer
  ThisComputer,  // names this computer's folders or history: never carried
};

struct ProgramSettingDef {
  ProgramSetting setting;
  std::string_view key;  // stored spelling
  std::string_view defaultValue;
  SettingScope scope;
};

// The version recorded before any host was prepared for.
inline constexpr std::string_view kDefaultFileVersion = "3.0.0.0";

std::span<const ProgramSettingDef> ProgramSettings();
const ProgramSettingDef& DefOf(ProgramSetting setting);
inline std::string_view KeyOf(ProgramSetting setting) { return DefOf(setting).key; }

/// The stored value, or the row's default when missing or empty.
std::string Read(const App& app, ProgramSetting setting);
FileChange Write(const App& app, ProgramSetting setting, std::string_view value);

/// Whether `key` (in any letter case) is one of this computer's own settings.
bool IsThisComputersOwn(std::string_view key);

/// A key the option table spells.
std::string ReadSettingsValue(const App& app, std::string_view key, std::string_view defaultValue);
FileChange WriteSettingsValue(const App& app, std::string_view key, std::string_view value);

}  // namespace rw
