// The own rules files as the program keeps them, with a check that finds
// "}}" (blocking) and "#gone" (a warning) on a line, as the real check
// finds its faults.
#pragma once

#include "ui/own_rules_source.h"

namespace rw::test {

class StrayBraceRules : public OwnRulesSource {
 public:
  explicit StrayBraceRules(const App& app) : files_(app) {}
  std::optional<std::string> Load(bool isClassic) override { return files_.Load(isClassic); }
  FileChange Save(bool isClassic, std::string_view text) override { return files_.Save(isClassic, text); }
  std::string PathOf(bool isClassic) const override { return files_.PathOf(isClassic); }
  std::vector<OwnRulesFinding> Check(bool, std::string_view text) override {
    std::vector<OwnRulesFinding> found;
    int line = 1;
    for (std::size_t at = 0; at <= text.size(); ++line) {
      const std::string_view content = text.substr(at, text.find('\n', at) - at);
      if (content.find("}}") != std::string_view::npos) found.push_back({line, "stray brace", true});
      if (content.find("#gone") != std::string_view::npos) found.push_back({line, "no effect", false});
      at += content.size() + 1;
    }
    return found;
  }

 private:
  OwnRulesFiles files_;
};

}  // namespace rw::test
