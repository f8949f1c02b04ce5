#include "app/program_settings.h"

#include <algorithm>

#include "app/app.h"
#include "stores/settings.h"
#include "stores/text.h"

namespace rw {

namespace {

constexpr ProgramSettingDef kTable[] = {
    {ProgramSetting::InstallFolder, "InstallFolder", "", SettingScope::ThisComputer},
    {ProgramSetting::FileVersion, "FileVersion", kDefaultFileVersion, SettingScope::ThisComputer},
    {ProgramSetting::HealthCheck, "HealthCheck", "1", SettingScope::ThisComputer},
    {ProgramSetting::ReapplyDeclined, "ReapplyDeclined", "", SettingScope::ThisComputer},
    // The version prepared before an update, until the offer to re-apply has been answered.
    {ProgramSetting::UpdatedFromVersion, "UpdatedFromVersion", "", SettingScope::ThisComputer},
    {ProgramSetting::Language, "Language", "", SettingScope::Carried},
};

}  // namespace

std::span<const ProgramSettingDef> ProgramSettings() { return kTable; }

const ProgramSettingDef& DefOf(ProgramSetting setting) {
  return *std::find_if(std::begin(kTable), std::end(kTable),
                       [&](const ProgramSettingDef& def) { return def.setting == setting; });
}

std::string Read(const App& app, ProgramSetting setting) {
  const ProgramSettingDef& def = DefOf(setting);
  return ReadSettingsValue(app, def.key, def.defaultValue);
}

FileChange Write(const App& app, ProgramSetting setting, std::string_view value) {
  return WriteSettingsValue(app, KeyOf(setting), value);
}

bool IsThisComputersOwn(std::string_view key) {
  return std::any_of(std::begin(kTable), std::end(kTable), [&](const ProgramSettingDef& def) {
    return def.scope == SettingScope::ThisComputer && EqualsIgnoreCase(def.key, key);
  });
}

std::string ReadSettingsValue(const App& app, std::string_view key, std::string_view defaultValue) {
  return ReadIniValue(app.platform, app.SettingsPath(), key, defaultValue, &app.files);
}

FileChange WriteSettingsValue(const App& app, std::string_view key, std::string_view value) {
  FileChange change = WriteIniValue(app.platform, app.SettingsPath(), key, value);
  app.files.Forget(app.SettingsPath());
  return change;
}

}  // namespace rw
