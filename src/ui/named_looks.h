// The looks the user keeps by name, beside the history in the "Looks"
// folder. Names that differ only in letter case name the same look.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/looks.h"

namespace rw {

enum class NameCheck { Fine, Empty, TooLong, NotText };
/// Any Unicode text of 1 to kMaxLookNameLength characters without control
/// characters; blanks at the ends do not count.
NameCheck CheckLookName(std::string_view name);

/// Letter case folded for comparing names (Latin, Greek, Cyrillic and the
/// full-width Latin letters; other text unchanged).
std::string FoldCase(std::string_view utf8);

enum class NamedSave {
  Saved,
  Exists,  // a look of that name is kept and `replace` was not given: ask first
  BadName,
  Failed,
};

/// Keeps `look` under `name` (blanks at its ends removed).
NamedSave SaveNamedLook(const App& app, Look look, std::string_view name, bool replace);
std::optional<Look> FindNamedLook(const App& app, std::string_view name);
/// The named looks in name order; the files not readable as one are listed.
LookShelf ReadNamedLooks(const App& app);
/// A new name for a kept look; Exists when another look has it already.
NamedSave RenameNamedLook(const App& app, std::string_view from, std::string_view to, bool replace);
bool DeleteNamedLook(const App& app, std::string_view name);

}  // namespace rw
