#include "archive.h"

#include <algorithm>
#include <array>
#include <set>

namespace rw::pak {

namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kTrailerSize = 8;
constexpr std::size_t kMaxNameSize = 0xFFFF;

// Sixteen tables, so that sixteen bytes are folded in per step ("slicing by
// 16"): a byte at a time, the checksum took longer than all the file work.
// tables[k][n] is the CRC register after byte n followed by k zero bytes.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 16>;
constexpr CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    tables[0][n] = c;
  }
  for (std::size_t k = 1; k < tables.size(); ++k)
    for (std::size_t n = 0; n < 256; ++n) tables[k][n] = (tables[k - 1][n] >> 8) ^ tables[0][tables[k - 1][n] & 0xFF];
  return tables;
}
constexpr CrcTables kCrcTables = MakeCrcTables();

// Polynomials modulo the CRC's, bit-reversed as the checksum holds them:
// what lets the checksum of a whole be joined from those of its pieces
// without reading the bytes twice (zlib's crc32_combine).
constexpr std::uint32_t MultiplyModP(std::uint32_t a, std::uint32_t b) {
  std::uint32_t product = 0;
  for (std::uint32_t m = 1u << 31; m != 0; m >>= 1) {
    if (a & m) product ^= b;
    b = (b & 1) ? (b >> 1) ^ 0xEDB88320u : b >> 1;
  }
  return product;
}

// x to the power 2^k, k = 0..63.
constexpr std::array<std::uint32_t, 64> MakePowers() {
  std::array<std::uint32_t, 64> powers{};
  powers[0] = 1u << 30;  // x
  for (std::size_t k = 1; k < powers.size(); ++k) powers[k] = MultiplyModP(powers[k - 1], powers[k - 1]);
  return powers;
}
constexpr auto kPowers = MakePowers();

// The checksum of A followed by B, from those of A and B.
std::uint32_t Crc32Joined(std::uint32_t crcA, std::uint32_t crcB, std::uint64_t sizeB) {
  std::uint32_t shift = 1u << 31;  // x^0, times x^(8 * sizeB) below
  for (std::size_t k = 3; sizeB != 0; sizeB >>= 1, ++k)
    if (sizeB & 1) shift = MultiplyModP(kPowers[k], shift);
  return MultiplyModP(shift, crcA) ^ crcB;
}

void PutLe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Little-endian reads that refuse to run past the end.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Offset() const { return offset_; }
  std::size_t Left() const { return bytes_.size() - offset_; }
  bool Number(int size, std::uint64_t& value) {
    if (Left() < static_cast<std::size_t>(size)) return false;
    value = 0;
    for (int i = 0; i < size; ++i)
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[offset_ + i])) << (8 * i);
    offset_ += size;
    return true;
  }
  bool Bytes(std::uint64_t size, std::string_view& out) {
    if (Left() < size) return false;
    out = bytes_.substr(offset_, size);
    offset_ += size;
    return true;
  }

 private:
  std::string_view bytes_;
  std::size_t offset_ = 0;
};

bool ValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    int extra = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (text.size() - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF.
    if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
      return false;
    i += extra + 1;
  }
  return true;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Windows opens these as devices in every folder, whatever the extension.
bool IsDeviceName(std::string_view component) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  const std::string upper = Upper(base);
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" || upper == "CONOUT$")
    return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
         upper[3] <= '9';
}

std::string ComponentProblem(std::string_view component) {
  if (component.empty()) return "empty path component";
  if (component == "." || component == "..") return "relative path component";
  for (char c : component) {
    if (static_cast<unsigned char>(c) < 0x20) return "control character";
    if (std::string_view("\\:*?\"<>|").find(c) != std::string_view::npos)
      return std::string("character '") + c + "' not allowed";
  }
  if (component.back() == '.' || component.back() == ' ') return "trailing dot or blank";
  if (IsDeviceName(component)) return "device name";
  return {};
}

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

// Order, uniqueness and parents of entries already sorted by name.
bool CheckTree(const std::vector<Entry>& entries, std::string& error) {
  std::set<std::string> folders;
  std::set<std::string> lowered;
  const Entry* previous = nullptr;
  for (const Entry& entry : entries) {
    if (const std::string problem = NameProblem(entry.name); !problem.empty()) {
      error = "unsafe name " + Quoted(entry.name) + ": " + problem;
      return false;
    }
    if (entry.kind != EntryKind::Folder && entry.kind != EntryKind::File) {
      error = "unknown entry kind for " + Quoted(entry.name);
      return false;
    }
    if (entry.kind == EntryKind::Folder && !entry.data.empty()) {
      error = "folder " + Quoted(entry.name) + " carries data";
      return false;
    }
    if (previous && !(previous->name < entry.name)) {
      error = previous->name == entry.name ? "duplicate name " + Quoted(entry.name)
                                           : "entries out of order at " + Quoted(entry.name);
      return false;
    }
    // Windows would put both in one place.
    if (!lowered.insert(Lower(entry.name)).second) {
      error = "names differ only in letter case: " + Quoted(entry.name);
      return false;
    }
    const auto slash = entry.name.rfind('/');
    if (slash != std::string::npos && !folders.count(entry.name.substr(0, slash))) {
      error = "no folder entry before " + Quoted(entry.name);
      return false;
    }
    if (entry.kind == EntryKind::Folder) folders.insert(entry.name);
    previous = &entry;
  }
  return true;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  const auto& t = kCrcTables;
  const auto word = [](const unsigned char* q) {
    return q[0] | q[1] << 8 | q[2] << 16 | static_cast<std::uint32_t>(q[3]) << 24;
  };
  crc = ~crc;
  for (; n >= 16; p += 16, n -= 16) {
    const std::uint32_t a = crc ^ word(p), b = word(p + 4), c = word(p + 8), d = word(p + 12);
    crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^ t[11][b & 0xFF] ^
          t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^
          t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^
          t[0][d >> 24];
  }
  for (; n > 0; ++p, --n) crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::string NameProblem(std::string_view name) {
  if (name.empty()) return "empty name";
  if (name.size() > kMaxNameSize) return "name too long";
  if (!ValidUtf8(name)) return "not UTF-8";
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = name.find('/', start);
    const std::string problem = ComponentProblem(name.substr(start, slash - start));
    if (!problem.empty()) return problem;
    if (slash == std::string_view::npos) return {};
    start = slash + 1;
  }
}

bool Pack(std::vector<Entry> entries, std::string& archive, std::string& error) {
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  if (!CheckTree(entries, error)) return false;
  if (entries.size() > 0xFFFFFFFFu) {
    error = "too many entries";
    return false;
  }

  std::size_t size = kHeaderSize + kTrailerSize;
  for (const Entry& entry : entries) size += 1 + 2 + entry.name.size() + 8 + entry.data.size() + 4;
  std::string out;
  out.reserve(size);  // one allocation for archives of tens of megabytes
  out += kMagic;
  PutLe(out, kFormatVersion, 2);
  PutLe(out, 0, 2);  // flags
  PutLe(out, entries.size(), 4);
  // The total checksum is joined from the entries' own, so every byte is
  // read once.
  std::uint32_t total = Crc32(out);
  for (const Entry& entry : entries) {
    const std::size_t start = out.size();
    PutLe(out, static_cast<std::uint8_t>(entry.kind), 1);
    PutLe(out, entry.name.size(), 2);
    out += entry.name;
    PutLe(out, entry.data.size(), 8);
    out += entry.data;
    const std::uint32_t crc = Crc32(std::string_view(out).substr(start));
    total = Crc32Joined(total, crc, out.size() - start);
    PutLe(out, crc, 4);
    total = Crc32(std::string_view(out).substr(out.size() - 4), total);
  }
  out += kEndMagic;
  PutLe(out, total, 4);
  archive = std::move(out);
  return true;
}

bool Unpack(std::string_view archive, std::vector<Entry>& entries, std::string& error) {
  auto fail = [&](std::string why) {
    error = std::move(why);
    return false;
  };
  if (archive.size() < kHeaderSize + kTrailerSize || archive.substr(0, kMagic.size()) != kMagic)
    return fail("not an archive of this kind");

  const std::string_view body = archive.substr(0, archive.size() - kTrailerSize);
  Reader trailer(archive.substr(body.size()));
  std::string_view endMagic;
  std::uint64_t total = 0;
  trailer.Bytes(kEndMagic.size(), endMagic);
  trailer.Number(4, total);
  if (endMagic != kEndMagic) return fail("archive is cut short or has bytes after its end");
  // The entries are read first and the total checksum joined from theirs,
  // so that every byte is read once; the checks still answer in the order
  // of the format: total checksum, version, entries.
  Reader in(body.substr(kMagic.size()));
  std::uint64_t version = 0, flags = 0, count = 0;
  in.Number(2, version);
  in.Number(2, flags);
  in.Number(4, count);
  std::uint32_t joined = Crc32(body.substr(0, kHeaderSize));
  std::string entryProblem;
  std::vector<Entry> read;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::size_t start = in.Offset();
    std::uint64_t kind = 0, nameSize = 0, dataSize = 0, crc = 0;
    std::string_view name, data;
    if (!in.Number(1, kind) || !in.Number(2, nameSize) || !in.Bytes(nameSize, name) || !in.Number(8, dataSize) ||
        !in.Bytes(dataSize, data)) {
      entryProblem = "entry " + std::to_string(i) + " runs past the end";
      break;
    }
    const std::string_view covered = body.substr(kMagic.size() + start, in.Offset() - start);
    const std::uint32_t own = Crc32(covered);
    if (!in.Number(4, crc) || own != crc) {
      entryProblem = "entry " + std::to_string(i) + " is damaged (checksum)";
      break;
    }
    joined = Crc32(body.substr(kMagic.size() + in.Offset() - 4, 4), Crc32Joined(joined, own, covered.size()));
    read.push_back(Entry{std::string(name), static_cast<EntryKind>(kind), std::string(data)});
  }
  // A damaged archive may stop anywhere: then the checksum is taken afresh.
  const bool readWhole = entryProblem.empty() && in.Left() == 0;
  if ((readWhole ? joined : Crc32(body)) != total) return fail("archive is damaged (checksum)");
  if (version != kFormatVersion || flags != 0) return fail("unsupported archive version");
  if (!entryProblem.empty()) return fail(entryProblem);
  if (in.Left() != 0) return fail("bytes between the last entry and the end");
  if (!CheckTree(read, error)) return false;
  entries = std::move(read);
  return true;
}

}  // namespace rw::pak
