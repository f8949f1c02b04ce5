// The stand-in archive format: a sorted list of folders and files with a
// CRC-32 per entry and one over the whole archive. Pure functions on bytes,
// so they can be tested and fuzzed without touching a disk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rw::pak {

inline constexpr std::string_view kMagic{"RWPAK\r\n\x1a", 8};
inline constexpr std::string_view kEndMagic = "RWPE";
inline constexpr std::uint16_t kFormatVersion = 1;

enum class EntryKind : std::uint8_t { Folder = 1, File = 2 };

struct Entry {
  /// Path below the archive's root, components joined by '/'.
  std::string name;
  EntryKind kind = EntryKind::File;
  std::string data;  // empty for a folder

  friend bool operator==(const Entry&, const Entry&) = default;
};

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

/// Why a name could not be written safely below a folder on Windows; empty
/// when it can: components joined by '/', none empty, "." or "..", no drive,
/// no '\\', ':' or other character Windows refuses, no trailing dot or blank
/// (Windows drops them), no device name, valid UTF-8.
std::string NameProblem(std::string_view name);

/// Sorts the entries, checks that they form a tree that unpacks the same
/// everywhere and writes the archive. On failure `error` says why.
bool Pack(std::vector<Entry> entries, std::string& archive, std::string& error);

/// Reads and checks a whole archive: magic, version, every entry's checksum
/// and name, order, parents, the total checksum, no bytes after the end.
/// Nothing is returned unless everything holds.
bool Unpack(std::string_view archive, std::vector<Entry>& entries, std::string& error);

}  // namespace rw::pak
