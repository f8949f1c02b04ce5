// Looks: the options and own rules of one Apply, kept so the user can go
// back to them. The program folder's "Looks" folder holds one file per look:
// "history-NNNNNN.look" for the last installs (the highest number newest)
// and "named-<hash of the name>.look" for the looks the user named.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/option_snapshot.h"
#include "platform/platform.h"
#include "ui/option_model.h"

namespace rw {

struct App;

inline constexpr std::string_view kLooksFolder = "Looks";
inline constexpr std::size_t kHistoryLength = 20;
inline constexpr std::size_t kMaxLookNameLength = 64;  // characters
/// The files of the users' own rules, one per skin, below the program folder.
inline constexpr std::array<std::string_view, 2> kOwnRulesFiles = {"Own rules\\main.css",
                                                                   "Own rules\\main.classic.css"};

struct Look {
  std::string name;  // empty for a history entry
  std::string date;  // as NowUtc spells it
  std::string hostVersion;
  std::string archiveHash;  // SHA-256 of the archive it installed; empty for a named look
  std::vector<std::pair<std::string, std::string>> values;  // settings key and value, in save order
  std::array<std::string, kOwnRulesFiles.size()> ownRules;

  /// The stored value of `option`, its default when the look lacks it.
  std::string ValueOf(Option option) const;
  /// The options as the window would load them from this look.
  OptionSnapshot Snapshot() const;
};

/// The look's file: a line per value, the own rules as counted blocks and a
/// last line with the hash of all before it, so a cut or altered file is
/// told from a sound one.
std::string LookText(const Look& look);
std::optional<Look> ParseLook(std::string_view text);

/// A look of `options` with the own rules as the files hold them now.
Look LookOf(const App& app, const OptionSnapshot& options);
/// The options stored in settings.ini, as the window loads them.
Look StoredLook(const App& app);

/// Looks read from the folder, newest first, and the files that could not
/// be read as a look.
struct LookShelf {
  std::vector<Look> looks;
  std::vector<std::string> damaged;  // paths
};

/// After an install that survived the watch: one entry more, the oldest
/// beyond kHistoryLength dropped. A failure never stops a road.
FileChange RecordLook(const App& app, const OptionSnapshot& options);
LookShelf ReadHistory(const App& app);

/// Writes the look's values into settings.ini at once and its own rules into
/// their files (an empty text removes the file); the reason when it cannot.
std::optional<std::string> PutLookInPlace(const App& app, const Look& look);

/// Only the own rules of PutLookInPlace, for a look shown in the window.
std::optional<std::string> PutOwnRulesInPlace(const App& app, const Look& look);
/// The look's values as the main window holds them.
OptionModel ModelOf(const Look& look);

/// The options that differ between the look and `current`.
std::vector<Option> Differences(const Look& look, const OptionSnapshot& current);

}  // namespace rw
