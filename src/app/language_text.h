// The texts the user reads, from the language files.
#pragma once

#include <string>
#include <string_view>

namespace rw {

struct App;

/// The text of `key` in the chosen language, else in English.ini beside the
/// program, else in the English.ini built into the program; empty when none
/// has it.
std::string Text(const App& app, std::string_view key);
/// The same in English, whatever the chosen language.
std::string EnglishText(const App& app, std::string_view key);

/// The text of `key` in the English.ini built into the program: what a
/// window shows before its language is applied.
std::string BuiltInEnglishText(std::string_view key);

/// The bytes of data/Languages/English.ini as the program was built with
/// them. Each executable provides it: the program from its resources, the
/// tests and tools from a generated source.
std::string_view BuiltInEnglish();

}  // namespace rw
