// Where the own rules editor's texts come from and go to, and who checks
// them: behind an interface so the editor runs against a test double.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace rw {

struct App;

/// One thing the check found in a skin's own rules.
struct OwnRulesFinding {
  int line = 0;        // 1 for the first line; 0 for the file as a whole
  std::string reason;  // in the user's language
  bool blocks = true;  // the file is not used; false: a warning, still written
};

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
/// the program folder, written as UTF-8 with a byte-order mark.
class OwnRulesFiles final : public OwnRulesSource {
 public:
  explicit OwnRulesFiles(const App& app) : app_(app) {}
  std::optional<std::string> Load(bool isClassic) override;
  FileChange Save(bool isClassic, std::string_view text) override;
  std::vector<OwnRulesFinding> Check(bool isClassic, std::string_view text) override;
  std::string PathOf(bool isClassic) const override;

 private:
  const App& app_;
};

}  // namespace rw
