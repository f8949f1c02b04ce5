#include "stores/log_file.h"

#include "stores/utf8_file.h"

namespace rw {

namespace {

constexpr std::string_view kEntryEnd = "\r\n\r\n";

// The entry's lines with CR LF line ends and one blank line after them.
std::string Normalised(std::string_view entry) {
  std::string out;
  for (char c : entry) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  while (out.ends_with("\r\n")) out.resize(out.size() - 2);
  return out + std::string(kEntryEnd);
}

}  // namespace

bool AppendLogEntry(Platform& platform, const std::string& path, std::string_view entry, std::size_t limit) {
  std::string log = platform.files.ReadFile(path).value_or("");
  const std::size_t newest = log.size();
  log += Normalised(entry);
  // Whole entries go from the front until the rest fits; one entry larger
  // than the limit is kept alone rather than cut. Text without an entry
  // break before the new entry goes whole: nothing in it is an entry.
  std::size_t cut = 0;
  while (log.size() - cut > limit) {
    const std::size_t end = log.find(kEntryEnd, cut);
    if (end == std::string::npos || end + kEntryEnd.size() > newest) {
      cut = newest;
      break;
    }
    cut = end + kEntryEnd.size();
  }
  return WriteFileAtomic(platform, path, std::string_view(log).substr(cut)).ok;
}

}  // namespace rw
