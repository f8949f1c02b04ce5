// Settings file and language files: INI files whose every key lies in the
// section "General".
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace rw {

inline constexpr std::string_view kGeneralSection = "General";

/// Keeps the bytes of the few small files read through it for as long as
/// their stamps stay the same: loading the main window looks up about a
/// hundred keys in two files, and each open costs more than the lookup.
class FileCache {
 public:
  std::optional<std::string> Read(Platform& platform, const std::string& path);
  /// For a file this program has just written.
  void Forget(const std::string& path);

 private:
  struct Entry {
    std::string path;
    FileStamp stamp;
    std::string bytes;
  };
  std::vector<Entry> entries_;
};

/// Reads `key` of section "General"; a missing file, a missing key or an
/// empty value gives `defaultValue`. Never creates the file.
std::string ReadIniValue(Platform& platform, const std::string& path, std::string_view key,
                         std::string_view defaultValue, FileCache* cache = nullptr);

/// A key of section "General" as ReadIniValue finds it.
struct IniKey {
  std::string name;  // as first spelled, in UTF-8
  bool cut = false;  // its value is longer than a read returns
  int lines = 1;     // a read takes the first
};

/// Every key of section "General", once each without regard to letter case,
/// in the order of the file; nothing for a missing file.
std::vector<IniKey> ReadIniKeys(Platform& platform, const std::string& path, FileCache* cache = nullptr);

/// Writes `key` = `value` into section "General", creating the file and the
/// section when missing. A file with a UTF-8 or UTF-16 byte-order mark keeps
/// its encoding; an ANSI file that cannot hold the value is turned into UTF-8
/// with a byte-order mark rather than losing characters. Fails, saying why
/// where the system did, when the file cannot be read or replaced.
FileChange WriteIniValue(Platform& platform, const std::string& path, std::string_view key, std::string_view value);

using IniValue = std::pair<std::string_view, std::string>;
/// WriteIniValue for several keys at once: one replacement of the file, so
/// it holds either all of them or none.
FileChange WriteIniValues(Platform& platform, const std::string& path, std::span<const IniValue> values);

/// Text of `key` from Languages\<languageName>.ini (skipped when
/// useEnglish), else from English.ini, else from `builtInEnglish` (the
/// bytes of an English.ini); empty when none has it.
std::string LookupText(Platform& platform, const std::string& programFolder, std::string_view languageName,
                       std::string_view key, bool useEnglish = false, FileCache* cache = nullptr,
                       std::string_view builtInEnglish = {});

/// Text of `key` in `languageFile`, the bytes of a language file.
std::string TextInLanguageFile(std::string_view languageFile, std::string_view key);

std::string LanguageFilePath(const std::string& programFolder, std::string_view languageName);

}  // namespace rw
