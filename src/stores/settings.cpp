#include "stores/settings.h"

#include "stores/profile.h"
#include "stores/text.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool HasBom(std::string_view bytes) { return bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom; }

enum class Utf16 { None, Le, Be };

// Notepad's "Unicode" and "Unicode big endian"; the profile functions of
// Windows read both.
Utf16 Utf16Form(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeBom)) return Utf16::Le;
  if (bytes.starts_with(kUtf16BeBom)) return Utf16::Be;
  return Utf16::None;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The text after the byte-order mark as UTF-8. A lone surrogate is kept in
// the three-byte form so that a rewrite gives it back unchanged; reading a
// value turns it into U+FFFD. An odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, Utf16 form) {
  const auto unit = [&](std::size_t i) -> char16_t {
    const auto b0 = static_cast<unsigned char>(bytes[i]), b1 = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(form == Utf16::Le ? b0 | (b1 << 8) : (b0 << 8) | b1);
  };
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const char16_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, u);
  }
  return out;
}

// A value for the program: each lone surrogate kept by Utf16ToUtf8 becomes
// one U+FFFD, as the system's conversion gives it.
std::string WithoutLoneSurrogates(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\xED' && i + 2 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0xA0) {
      out += "\xEF\xBF\xBD";
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The reverse, with the byte-order mark; what is not UTF-8 becomes U+FFFD.
std::string Utf8ToUtf16(std::string_view text, Utf16 form) {
  std::string out(form == Utf16::Le ? kUtf16LeBom : kUtf16BeBom);
  const auto put = [&](char32_t u) {
    const auto hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += form == Utf16::Le ? lo : hi;
    out += form == Utf16::Le ? hi : lo;
  };
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead & 0xE0) == 0xC0 ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool whole = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; whole && k < length; ++k) {
      whole = (byte(i + k) & 0xC0) == 0x80;
      c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (!whole || c > 0x10FFFF) {
      put(0xFFFD);
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
    i += length;
  }
  return out;
}

template <typename Values>
std::string WithValues(std::string text, const Values& values) {
  for (const auto& [key, value] : values) text = ProfileUpdate(text, kGeneralSection, key, value);
  return text;
}

// The keys and values in the ANSI code page; nullopt when it cannot hold one.
std::optional<std::vector<std::pair<std::string, std::string>>> InAnsi(Platform& platform,
                                                                       std::span<const IniValue> values) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& [key, value] : values) {
    auto ansiKey = platform.system.Utf8ToAnsi(key);
    auto ansiValue = platform.system.Utf8ToAnsi(value);
    if (!ansiKey || !ansiValue) return std::nullopt;
    out.emplace_back(std::move(*ansiKey), std::move(*ansiValue));
  }
  return out;
}

}  // namespace

std::optional<std::string> FileCache::Read(Platform& platform, const std::string& path) {
  const std::optional<FileStamp> stamp = platform.files.StampOf(path);
  if (!stamp) {
    Forget(path);
    return platform.files.ReadFile(path);
  }
  for (const Entry& e : entries_)
    if (e.path == path && e.stamp == *stamp) return e.bytes;
  // Stamped before reading: a change in between shows as a new stamp next time.
  std::optional<std::string> bytes = platform.files.ReadFile(path);
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
  if (auto bytes = cache ? cache->Read(platform, path) : platform.files.ReadFile(path)) {
    if (const Utf16 form = Utf16Form(*bytes); form != Utf16::None) {
      if (auto raw = ProfileLookup(Utf16ToUtf8(*bytes, form), kGeneralSection, key, /*utf8=*/true))
        value = CutAtNul(WithoutLoneSurrogates(*raw));
      return value.empty() ? std::string(defaultValue) : value;
    }
    const bool utf8 = HasBom(*bytes);
    std::string_view body(*bytes);
    if (utf8) body.remove_prefix(kUtf8Bom.size());
    if (auto raw = ProfileLookup(body, kGeneralSection, key, utf8))
      value = CutAtNul(utf8 ? DecodeUtf8(*raw) : platform.system.AnsiToUtf8(*raw));
  }
  if (value.empty()) return std::string(defaultValue);
  return value;
}

std::vector<IniKey> ReadIniKeys(Platform& platform, const std::string& path, FileCache* cache) {
  std::vector<IniKey> keys;
  const auto bytes = cache ? cache->Read(platform, path) : platform.files.ReadFile(path);
  if (!bytes) return keys;
  // Decoded as ReadIniValue decodes, so that every key listed here is one it finds.
  const auto add = [&](const std::vector<ProfileKey>& found, auto decode) {
    for (const ProfileKey& k : found)
      keys.push_back(IniKey{decode(k.key), k.valueBytes > kMaxProfileValueBytes, k.lines});
  };
  if (const Utf16 form = Utf16Form(*bytes); form != Utf16::None) {
    add(ProfileKeys(Utf16ToUtf8(*bytes, form), kGeneralSection),
        [](const std::string& key) { return CutAtNul(WithoutLoneSurrogates(key)); });
  } else if (HasBom(*bytes)) {
    add(ProfileKeys(std::string_view(*bytes).substr(kUtf8Bom.size()), kGeneralSection),
        [](const std::string& key) { return CutAtNul(DecodeUtf8(key)); });
  } else {
    add(ProfileKeys(*bytes, kGeneralSection),
        [&](const std::string& key) { return CutAtNul(platform.system.AnsiToUtf8(key)); });
  }
  return keys;
}

FileChange WriteIniValue(Platform& platform, const std::string& path, std::string_view key, std::string_view value) {
  const IniValue one{key, std::string(value)};
  return WriteIniValues(platform, path, {&one, 1});
}

FileChange WriteIniValues(Platform& platform, const std::string& path, std::span<const IniValue> values) {
  std::string bytes;
  if (platform.files.FileExists(path)) {
    auto existing = platform.files.ReadFile(path);
    if (!existing) return FileChange::Failed();  // never replace a file we could not read
    bytes = std::move(*existing);
  }
  std::string updated;
  if (const Utf16 form = Utf16Form(bytes); form != Utf16::None) {
    updated = Utf8ToUtf16(WithValues(Utf16ToUtf8(bytes, form), values), form);
  } else if (HasBom(bytes)) {
    updated = std::string(kUtf8Bom) + WithValues(bytes.substr(kUtf8Bom.size()), values);
  } else if (const auto ansi = InAnsi(platform, values)) {
    updated = WithValues(std::move(bytes), *ansi);
  } else {
    // The code page cannot hold a value: move the whole file to UTF-8.
    updated = std::string(kUtf8Bom) + WithValues(platform.system.AnsiToUtf8(bytes), values);
  }
  return WriteFileAtomic(platform, path, updated);
}

std::string LanguageFilePath(const std::string& programFolder, std::string_view languageName) {
  return programFolder + "\\Languages\\" + std::string(languageName) + ".ini";
}

std::string LookupText(Platform& platform, const std::string& programFolder, std::string_view languageName,
                       std::string_view key, bool useEnglish, FileCache* cache, std::string_view builtInEnglish) {
  std::string text;
  if (!useEnglish) text = ReadIniValue(platform, LanguageFilePath(programFolder, languageName), key, "", cache);
  if (text.empty()) text = ReadIniValue(platform, LanguageFilePath(programFolder, "English"), key, "", cache);
  if (text.empty()) text = TextInLanguageFile(builtInEnglish, key);
  return text;
}

std::string TextInLanguageFile(std::string_view languageFile, std::string_view key) {
  if (HasBom(languageFile)) languageFile.remove_prefix(kUtf8Bom.size());
  const auto raw = ProfileLookup(languageFile, kGeneralSection, key, /*utf8=*/true);
  return raw ? CutAtNul(DecodeUtf8(*raw)) : std::string();
}

}  // namespace rw
