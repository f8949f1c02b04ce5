// The user's own style rules, one file per skin in the program folder:
// "Own rules\main.css" and "Own rules\main.classic.css". They are the
// user's files: read for every Apply and preview, written only from the
// editor, and never deleted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rw {

inline constexpr std::string_view kOwnRulesFolder = "Own rules";

enum class Skin : std::uint8_t { Modern, Classic };

/// "Own rules\main.css" or "Own rules\main.classic.css", as the user is
/// told of it.
std::string OwnRulesName(Skin skin);
std::string OwnRulesPath(const std::string& programFolder, Skin skin);

struct OwnRulesRead {
  enum class State : std::uint8_t { Missing, Read, Unreadable };
  State state = State::Missing;
  std::string text;  // without a byte-order mark; empty unless Read
};

OwnRulesRead ReadOwnRules(Platform& platform, const std::string& programFolder, Skin skin);

/// Replaces the skin's file atomically (UTF-8 with a byte-order mark), the
/// folder made first when it is missing.
FileChange WriteOwnRules(Platform& platform, const std::string& programFolder, Skin skin, std::string_view text);

/// Both skins' texts; missing or unreadable ones are empty.
struct OwnRulesPair {
  std::string modern;
  std::string classic;
  std::string& For(Skin skin) { return skin == Skin::Classic ? classic : modern; }
  const std::string& For(Skin skin) const { return skin == Skin::Classic ? classic : modern; }
  bool operator==(const OwnRulesPair&) const = default;
};

OwnRulesPair ReadBothOwnRules(Platform& platform, const std::string& programFolder);

/// Writes both, the modern skin's first; the first failure is returned and
/// the other file is still tried, so that one locked file keeps no other
/// from its text.
FileChange WriteBothOwnRules(Platform& platform, const std::string& programFolder, const OwnRulesPair& rules);

}  // namespace rw
