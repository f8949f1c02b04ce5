#include "app/language_text.h"

#include "app/app.h"
#include "stores/settings.h"

namespace rw {

std::string Text(const App& app, std::string_view key) {
  return LookupText(app.platform, app.programFolder, app.LanguageName, key, false, &app.files, BuiltInEnglish());
}

std::string EnglishText(const App& app, std::string_view key) {
  return LookupText(app.platform, app.programFolder, app.LanguageName, key, true, &app.files, BuiltInEnglish());
}

std::string BuiltInEnglishText(std::string_view key) { return TextInLanguageFile(BuiltInEnglish(), key); }

}  // namespace rw
