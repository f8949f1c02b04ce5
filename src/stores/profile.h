// Reading and writing INI ("profile") files with the semantics the program
// relies on: keys and section names compared without regard to letter case,
// a write replaces the key's line in place or adds it, every other line stays
// byte for byte, values are cut at 1023 bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

inline constexpr size_t kMaxProfileValueBytes = 1023;

/// The raw value of `key` in `section` of an INI text (in the file's own
/// encoding), cut at kMaxProfileValueBytes, or nullopt when absent.
/// `utf8` keeps a cut from splitting a UTF-8 sequence.
std::optional<std::string> ProfileLookup(std::string_view file, std::string_view section, std::string_view key,
                                         bool utf8);

/// A key as ProfileLookup finds it: the spelling and the value of its first
/// line, and how many lines give it.
struct ProfileKey {
  std::string key;
  std::size_t valueBytes = 0;  // before any cut
  int lines = 0;
};

/// Every key of `section`, once each without regard to letter case, in the
/// order of the file.
std::vector<ProfileKey> ProfileKeys(std::string_view file, std::string_view section);

/// The INI text with `key` = `value` written into `section`: an existing key
/// line is replaced in place (its line end kept), otherwise the key is added
/// at the end of the section, or a new section is appended.
std::string ProfileUpdate(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view value);

}  // namespace rw
