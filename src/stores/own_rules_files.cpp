#include "stores/own_rules_files.h"

#include "stores/utf8_file.h"

namespace rw {

std::string OwnRulesName(Skin skin) {
  return std::string(kOwnRulesFolder) + (skin == Skin::Classic ? "\\main.classic.css" : "\\main.css");
}

std::string OwnRulesPath(const std::string& programFolder, Skin skin) {
  return programFolder + "\\" + OwnRulesName(skin);
}

OwnRulesRead ReadOwnRules(Platform& platform, const std::string& programFolder, Skin skin) {
  const std::string path = OwnRulesPath(programFolder, skin);
  std::optional<std::string> bytes = platform.files.ReadFile(path);
  if (!bytes)
    return {platform.files.FileExists(path) ? OwnRulesRead::State::Unreadable : OwnRulesRead::State::Missing, {}};
  if (bytes->starts_with(kUtf8Bom)) bytes->erase(0, kUtf8Bom.size());
  return {OwnRulesRead::State::Read, std::move(*bytes)};
}

FileChange WriteOwnRules(Platform& platform, const std::string& programFolder, Skin skin, std::string_view text) {
  const std::string folder = programFolder + "\\" + std::string(kOwnRulesFolder);
  const std::string path = OwnRulesPath(programFolder, skin);
  // No rules for a skin without a file: nothing to keep.
  if (text.empty() && !platform.files.FileExists(path)) return FileChange::Done();
  if (!platform.files.FolderExists(folder))
    if (FileChange made = platform.files.CreateFolder(folder); !made) return made;
  return WriteUtf8File(platform, path, text);
}

OwnRulesPair ReadBothOwnRules(Platform& platform, const std::string& programFolder) {
  return {ReadOwnRules(platform, programFolder, Skin::Modern).text,
          ReadOwnRules(platform, programFolder, Skin::Classic).text};
}

FileChange WriteBothOwnRules(Platform& platform, const std::string& programFolder, const OwnRulesPair& rules) {
  FileChange modern = WriteOwnRules(platform, programFolder, Skin::Modern, rules.modern);
  FileChange classic = WriteOwnRules(platform, programFolder, Skin::Classic, rules.classic);
  return modern ? classic : modern;
}

}  // namespace rw
