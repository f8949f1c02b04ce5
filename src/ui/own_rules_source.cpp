#include "ui/own_rules_source.h"

#include "app/app.h"

namespace rw {

namespace {

Skin SkinOf(bool isClassic) { return isClassic ? Skin::Classic : Skin::Modern; }

}  // namespace

std::string OwnRulesFiles::PathOf(bool isClassic) const { return OwnRulesPath(app_.programFolder, SkinOf(isClassic)); }

std::optional<std::string> OwnRulesFiles::Load(bool isClassic) {
  if (pending_) return pending_->For(SkinOf(isClassic));
  OwnRulesRead read = ReadOwnRules(app_.platform, app_.programFolder, SkinOf(isClassic));
  if (read.state == OwnRulesRead::State::Unreadable) return std::nullopt;
  return std::move(read.text);
}

FileChange OwnRulesFiles::Save(bool isClassic, std::string_view text) {
  FileChange written = WriteOwnRules(app_.platform, app_.programFolder, SkinOf(isClassic), text);
  // The page is the user's file now; OK writes it again with the other.
  if (written && pending_) pending_->For(SkinOf(isClassic)) = std::string(text);
  return written;
}

std::vector<OwnRulesFinding> OwnRulesFiles::Check(bool isClassic, std::string_view text) {
  std::optional<OwnRulesJudge>& judge = judges_[isClassic ? 1 : 0];
  if (!judge) judge.emplace(app_, SkinOf(isClassic));
  return judge->Findings(text);
}

}  // namespace rw
