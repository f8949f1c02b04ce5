// Settings file and language files: INI files whose every key lies in the
// section "General".
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rw {

inline constexpr std::string_view kGeneralSection = "General";

/// Reads `key` of section "General"; a missing file, a missing key or an
/// empty value gives `defaultValue`. Never creates the file.
std::string ReadIniValue(Platform& platform, const std::string& path, std::string_view key,
                         std::string_view defaultValue);

/// Writes `key` = `value` into section "General", creating the file and the
/// section when missing. A file with a UTF-8 byte-order mark is kept UTF-8;
/// an ANSI file that cannot hold the value is turned into UTF-8 with a
/// byte-order mark rather than losing characters. Returns false on failure.
bool WriteIniValue(Platform& platform, const std::string& path, std::string_view key, std::string_view value);

/// Text of `key` from Languages\<languageName>.ini (or English.ini when
/// useEnglish), falling back to English when missing or empty.
std::string LookupText(Platform& platform, const std::string& programFolder, std::string_view languageName,
                       std::string_view key, bool useEnglish = false);

std::string LanguageFilePath(const std::string& programFolder, std::string_view languageName);

}  // namespace rw
