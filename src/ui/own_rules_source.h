// Where the own rules editor's texts come from and go to, and who checks
// them: behind an interface so the editor runs against a test double.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "stores/own_rules_files.h"
#include "ui/own_rules_state.h"

namespace rw {

struct App;

/// The user's own rules, one text per skin (isClassic as the engine takes it).
class OwnRulesSource {
 public:
  virtual ~OwnRulesSource() = default;
  /// The skin's text without its byte-order mark, "" when there is no file;
  /// nullopt when a file is there but cannot be read.
  virtual std::optional<std::string> Load(bool isClassic) = 0;
  /// Replaces the skin's file as a whole; a failure leaves the old one.
  virtual FileChange Save(bool isClassic, std::string_view text) = 0;
  /// What stands in the way of `text`, or is worth a warning, by line.
  virtual std::vector<OwnRulesFinding> Check(bool isClassic, std::string_view text) = 0;
  /// The file as the user finds it, for what the editor tells.
  virtual std::string PathOf(bool isClassic) const = 0;
};

/// The two files "Own rules\main.css" and "Own rules\main.classic.css" in
/// the program folder, checked against the working tree as Apply checks
/// them. With `pending` (rules an import brought, not yet the user's files)
/// the editor starts from those, and a page saved is no longer pending.
class OwnRulesFiles final : public OwnRulesSource {
 public:
  explicit OwnRulesFiles(const App& app, OwnRulesPair* pending = nullptr) : app_(app), pending_(pending) {}
  std::optional<std::string> Load(bool isClassic) override;
  FileChange Save(bool isClassic, std::string_view text) override;
  std::vector<OwnRulesFinding> Check(bool isClassic, std::string_view text) override;
  std::string PathOf(bool isClassic) const override;

 private:
  const App& app_;
  OwnRulesPair* pending_;
  std::optional<OwnRulesJudge> judges_[2];  // each reads the tree once, on its first check
};

}  // namespace rw
