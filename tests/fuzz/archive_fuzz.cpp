// The stand-in archive format. Any bytes: Unpack never crashes, and what it
// accepts stays below the target folder on Windows and on Linux and packs
// back to the very same bytes. Any entries: what Pack accepts unpacks to the
// same entries.
//
// Input: a mode byte, then
// - mode 0: the archive as it is;
// - mode 1: the archive with its checksums put right first, so that the
//   checks behind them are reached;
// - mode 2: entries, each a kind byte, a name length byte, the name, a data
//   length byte and the data.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "pak/archive.h"

namespace {

constexpr size_t kMaxInput = 64 * 1024;

using rw::fuzz::Check;

std::uint64_t ReadLe(std::string_view bytes, size_t at, int size) {
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) value |= std::uint64_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return value;
}

void WriteLe(std::string& bytes, size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Walks the layout as far as it holds and rewrites every entry checksum and
// the total one.
std::string WithChecksumsRepaired(std::string bytes) {
  constexpr size_t kHeader = 16, kTrailer = 8;
  if (bytes.size() < kHeader + kTrailer) return bytes;
  const size_t bodyEnd = bytes.size() - kTrailer;
  const std::uint64_t count = ReadLe(bytes, 12, 4);
  size_t at = kHeader;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (bodyEnd - at < 3) break;
    const std::uint64_t nameSize = ReadLe(bytes, at + 1, 2);
    if (bodyEnd - at - 3 < nameSize + 8) break;
    const std::uint64_t dataSize = ReadLe(bytes, at + 3 + nameSize, 8);
    const size_t covered = 3 + nameSize + 8;
    if (bodyEnd - at - covered < dataSize || bodyEnd - at - covered - dataSize < 4) break;
    const size_t end = at + covered + dataSize;
    WriteLe(bytes, end, rw::pak::Crc32(std::string_view(bytes).substr(at, end - at)));
    at = end + 4;
  }
  WriteLe(bytes, bodyEnd + 4, rw::pak::Crc32(std::string_view(bytes).substr(0, bodyEnd)));
  return bytes;
}

// Where a name would land below a target folder, read with either kind of
// separator: never outside it, never the folder itself.
void CheckStaysInside(const std::string& name) {
  Check(rw::pak::NameProblem(name).empty());
  Check(name.find('\\') == std::string::npos && name.find(':') == std::string::npos);
  Check(!name.empty() && name.front() != '/');
  const std::filesystem::path target("/target");
  const std::string joined = (target / name).lexically_normal().generic_string();
  Check(joined.starts_with("/target/") && joined.size() > 8);
  size_t start = 0;
  while (true) {
    const size_t slash = name.find('/', start);
    const std::string_view part = std::string_view(name).substr(start, slash - start);
    Check(!part.empty() && part != "." && part != "..");
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
}

void CheckAccepted(std::string_view archive, const std::vector<rw::pak::Entry>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    CheckStaysInside(entries[i].name);
    if (i > 0) Check(entries[i - 1].name < entries[i].name);
  }
  std::string packed, error;
  Check(rw::pak::Pack(entries, packed, error));
  Check(packed == archive);
}

std::vector<rw::pak::Entry> EntriesFrom(std::string_view bytes) {
  std::vector<rw::pak::Entry> entries;
  while (bytes.size() >= 2) {
    rw::pak::Entry entry;
    entry.kind = static_cast<rw::pak::EntryKind>(static_cast<unsigned char>(bytes[0]) % 4);
    const size_t nameSize = std::min<size_t>(static_cast<unsigned char>(bytes[1]), bytes.size() - 2);
    entry.name = bytes.substr(2, nameSize);
    bytes.remove_prefix(2 + nameSize);
    if (!bytes.empty()) {
      const size_t dataSize = std::min<size_t>(static_cast<unsigned char>(bytes[0]), bytes.size() - 1);
      entry.data = bytes.substr(1, dataSize);
      bytes.remove_prefix(1 + dataSize);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > kMaxInput) return 0;
  const unsigned mode = data[0] % 3;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  if (mode == 2) {
    std::vector<rw::pak::Entry> entries = EntriesFrom(input);
    std::string packed, error;
    if (!rw::pak::Pack(entries, packed, error)) {
      Check(!error.empty());
      return 0;
    }
    std::sort(entries.begin(), entries.end(),
              [](const rw::pak::Entry& a, const rw::pak::Entry& b) { return a.name < b.name; });
    std::vector<rw::pak::Entry> back;
    Check(rw::pak::Unpack(packed, back, error));
    Check(back == entries);
    CheckAccepted(packed, back);
    return 0;
  }

  const std::string archive = mode == 1 ? WithChecksumsRepaired(std::string(input)) : std::string(input);
  std::vector<rw::pak::Entry> entries;
  std::string error;
  if (rw::pak::Unpack(archive, entries, error)) {
    CheckAccepted(archive, entries);
  } else {
    Check(!error.empty() && entries.empty());
  }
  return 0;
}
