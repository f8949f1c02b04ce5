#include "stores/settings.h"

#include "stores/profile.h"
#include "stores/text.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

bool HasBom(std::string_view bytes) { return bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom; }

}  // namespace

std::optional<std::string> FileCache::Read(Platform& platform, const std::string& path) {
  const std::optional<FileStamp> stamp = platform.StampOf(path);
  if (!stamp) {
    Forget(path);
    return platform.ReadFile(path);
  }
  for (const Entry& e : entries_)
    if (e.path == path && e.stamp == *stamp) return e.bytes;
  // Stamped before reading: a change in between shows as a new stamp next time.
  std::optional<std::string> bytes = platform.ReadFile(path);
  Forget(path);
  if (bytes) entries_.push_back(Entry{path, *stamp, *bytes});
  return bytes;
}

void FileCache::Forget(const std::string& path) {
  std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
}

std::string ReadIniValue(Platform& platform, const std::string& path, std::string_view key,
                         std::string_view defaultValue, FileCache* cache) {
  std::string value;
  if (auto bytes = cache ? cache->Read(platform, path) : platform.ReadFile(path)) {
    const bool utf8 = HasBom(*bytes);
    std::string_view body(*bytes);
    if (utf8) body.remove_prefix(kUtf8Bom.size());
    if (auto raw = ProfileLookup(body, kGeneralSection, key, utf8))
      value = CutAtNul(utf8 ? DecodeUtf8(*raw) : platform.AnsiToUtf8(*raw));
  }
  if (value.empty()) return std::string(defaultValue);
  return value;
}

bool WriteIniValue(Platform& platform, const std::string& path, std::string_view key, std::string_view value) {
  std::string bytes;
  if (platform.FileExists(path)) {
    auto existing = platform.ReadFile(path);
    if (!existing) return false;  // never replace a file we could not read
    bytes = std::move(*existing);
  }
  std::string updated;
  if (HasBom(bytes)) {
    updated = std::string(kUtf8Bom) +
              ProfileUpdate(std::string_view(bytes).substr(kUtf8Bom.size()), kGeneralSection, key, value);
  } else {
    auto ansiKey = platform.Utf8ToAnsi(key);
    auto ansiValue = platform.Utf8ToAnsi(value);
    if (ansiKey && ansiValue) {
      updated = ProfileUpdate(bytes, kGeneralSection, *ansiKey, *ansiValue);
    } else {
      // The code page cannot hold the value: move the whole file to UTF-8.
      updated = std::string(kUtf8Bom) + ProfileUpdate(platform.AnsiToUtf8(bytes), kGeneralSection, key, value);
    }
  }
  return WriteFileAtomic(platform, path, updated);
}

std::string LanguageFilePath(const std::string& programFolder, std::string_view languageName) {
  return programFolder + "\\Languages\\" + std::string(languageName) + ".ini";
}

std::string LookupText(Platform& platform, const std::string& programFolder, std::string_view languageName,
                       std::string_view key, bool useEnglish, FileCache* cache) {
  const std::string_view language = useEnglish ? std::string_view("English") : languageName;
  std::string text = ReadIniValue(platform, LanguageFilePath(programFolder, language), key, "", cache);
  if (!text.empty() || useEnglish) return text;
  return LookupText(platform, programFolder, languageName, key, true, cache);
}

}  // namespace rw
