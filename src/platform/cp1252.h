// Windows-1252 conversions, the ANSI code page of the test double and of the
// Linux build's file platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rw {

std::string Cp1252ToUtf8(std::string_view bytes);
/// nullopt when a character has no Windows-1252 form.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

/// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace rw
