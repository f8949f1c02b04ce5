#include "ui/option_search.h"

#include <algorithm>
#include <tuple>

#include "app/app.h"
#include "app/language_text.h"
#include "stores/settings.h"
#include "ui/catalogue.h"

namespace rw {

namespace {

// U+3000, which a Chinese input method types for a blank.
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

// A text field shares its row with its check box, so it is named under
// "Field" and its settings key, as /status names it.
std::string CaptionKey(const OptionDef& def) {
  return def.kind == OptionKind::Text ? "Field" + std::string(def.settingsKey) : std::string(def.captionKey);
}

}  // namespace

std::vector<std::string> SearchWords(SystemServices& system, std::string_view typed) {
  std::vector<std::string> words;
  std::string word;
  const auto end = [&] {
    if (!word.empty()) words.push_back(system.LowerCase(word));
    word.clear();
  };
  for (std::size_t i = 0; i < typed.size(); ++i) {
    if (typed.substr(i).starts_with(kIdeographicSpace)) {
      end();
      i += kIdeographicSpace.size() - 1;
    } else if (typed[i] == ' ' || typed[i] == '\t') {
      end();
    } else {
      word += typed[i];
    }
  }
  end();
  return words;
}

std::vector<Option> ReadingOrder() {
  std::vector<const OptionDef*> rows;
  for (const OptionDef& def : Options()) rows.push_back(&def);
  std::stable_sort(rows.begin(), rows.end(), [](const OptionDef* a, const OptionDef* b) {
    return std::tie(a->column, a->row, a->spot) < std::tie(b->column, b->row, b->spot);
  });
  std::vector<Option> order;
  for (const OptionDef* def : rows) order.push_back(def->option);
  return order;
}

OptionSearch::OptionSearch(const App& app, const std::vector<std::string>& languages) : system_(app.platform.system) {
  for (const OptionDef& def : Options()) {
    std::string& text = texts_[IndexOf(def.option)];
    const auto add = [&](std::string_view language, std::string_view key, bool english) {
      text += system_.LowerCase(
                  LookupText(app.platform, app.programFolder, language, key, english, &app.files, BuiltInEnglish())) +
              "\n";
    };
    const std::string captionKey = CaptionKey(def);
    for (const std::string_view key : {std::string_view(captionKey), def.descriptionKey}) {
      add("English", key, true);
      for (const std::string& language : languages) add(language, key, false);
    }
  }
}

std::vector<Option> OptionSearch::Find(std::string_view typed) const {
  const std::vector<std::string> words = SearchWords(system_, typed);
  std::vector<Option> found;
  if (words.empty()) return found;
  for (const Option option : ReadingOrder()) {
    const std::string& text = texts_[IndexOf(option)];
    if (std::all_of(words.begin(), words.end(),
                    [&](const std::string& w) { return text.find(w) != std::string::npos; }))
      found.push_back(option);
  }
  return found;
}

}  // namespace rw
