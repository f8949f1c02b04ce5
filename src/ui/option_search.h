// Find in the main window: the option rows whose caption or description
// holds the words the user typed, in any of the program's language files,
// so that words typed in one language find the rows shown in another.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/option.h"

namespace rw {

struct App;
class SystemServices;

/// The words of a search: the typed text split at blanks (the ideographic
/// space included), each lowered as the system compares names.
std::vector<std::string> SearchWords(SystemServices& system, std::string_view typed);

/// The options in the window's reading order: down the left column, then
/// the right, each field after its row's check box.
std::vector<Option> ReadingOrder();

class OptionSearch {
 public:
  /// Reads every row's caption and description once from English and from
  /// each of `languages` (language file names without ".ini").
  OptionSearch(const App& app, const std::vector<std::string>& languages);

  /// The rows whose texts hold every typed word, in reading order; none for
  /// a text without words.
  std::vector<Option> Find(std::string_view typed) const;

 private:
  SystemServices& system_;
  std::array<std::string, kOptionCount> texts_;  // lowered, one line per text
};

}  // namespace rw
