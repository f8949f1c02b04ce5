#include "ui/own_rules_source.h"

#include "app/app.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

constexpr std::string_view kFolder = "Own rules";

}  // namespace

std::string OwnRulesFiles::PathOf(bool isClassic) const {
  return app_.Path(std::string(kFolder) + (isClassic ? "\\main.classic.css" : "\\main.css"));
}

std::optional<std::string> OwnRulesFiles::Load(bool isClassic) {
  const std::string path = PathOf(isClassic);
  if (!app_.platform.files.FileExists(path)) return std::string();
  return ReadUtf8File(app_.platform, path);
}

FileChange OwnRulesFiles::Save(bool isClassic, std::string_view text) {
  const std::string folder = app_.Path(kFolder);
  if (!app_.platform.files.FolderExists(folder))
    if (FileChange made = app_.platform.files.CreateFolder(folder); !made) return made;
  return WriteUtf8File(app_.platform, PathOf(isClassic), text);
}

// The place the own rules check plugs in; until then every text passes.
std::vector<OwnRulesFinding> OwnRulesFiles::Check(bool /*isClassic*/, std::string_view /*text*/) { return {}; }

}  // namespace rw
