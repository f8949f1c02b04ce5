#include "stores/profile.h"

#include <unordered_map>
#include <vector>

#include "stores/text.h"

namespace rw {

namespace {

struct Line {
  size_t begin = 0;  // first byte of the line
  size_t end = 0;    // one past the last byte before the line end
  size_t next = 0;   // first byte of the following line
};

// Splits on CR LF, LF or a lone CR, as the line ends a hand-edited file may hold.
std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t i = 0;
  while (i < text.size()) {
    Line line;
    line.begin = i;
    while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
    line.end = i;
    if (i < text.size()) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        i += 2;
      else
        ++i;
    }
    line.next = i;
    lines.push_back(line);
  }
  return lines;
}

std::string_view Trim(std::string_view s) { return TrimBlanks(s); }

// The section name when the line is a section header.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// Key and value of a "key=value" line; comments and other lines give nothing.
bool SplitKeyValue(std::string_view line, std::string_view* key, std::string_view* value) {
  const auto t = Trim(line);
  if (t.empty() || t.front() == ';') return false;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  *key = Trim(line.substr(0, eq));
  *value = Trim(line.substr(eq + 1));
  return true;
}

size_t CutLength(std::string_view value, bool utf8) {
  if (value.size() <= kMaxProfileValueBytes) return value.size();
  size_t n = kMaxProfileValueBytes;
  if (utf8) {
    // Step back over continuation bytes so no sequence is split.
    while (n > 0 && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80) --n;
  }
  return n;
}

// Calls visit(key, value) for each key line of every section named
// `section`, in file order, until visit returns false.
template <typename Visit>
void ForEachKey(std::string_view file, std::string_view section, Visit visit) {
  bool inSection = false;
  for (const Line& line : SplitLines(file)) {
    const auto text = file.substr(line.begin, line.end - line.begin);
    if (auto name = SectionName(text)) {
      inSection = EqualsIgnoreCase(*name, section);
      continue;
    }
    std::string_view k, v;
    if (inSection && SplitKeyValue(text, &k, &v) && !visit(k, v)) return;
  }
}

}  // namespace

std::optional<std::string> ProfileLookup(std::string_view file, std::string_view section, std::string_view key,
                                         bool utf8) {
  std::optional<std::string> found;
  ForEachKey(file, section, [&](std::string_view k, std::string_view v) {
    if (!EqualsIgnoreCase(k, key)) return true;
    found = std::string(v.substr(0, CutLength(v, utf8)));
    return false;
  });
  return found;
}

std::vector<ProfileKey> ProfileKeys(std::string_view file, std::string_view section) {
  std::vector<ProfileKey> keys;
  std::unordered_map<std::string, std::size_t> seen;  // lower-case key -> index
  ForEachKey(file, section, [&](std::string_view k, std::string_view v) {
    // A hand-made file may hold many thousand keys.
    const auto [at, added] = seen.try_emplace(AsciiLower(k), keys.size());
    if (added) keys.push_back(ProfileKey{std::string(k), v.size(), 0});
    ++keys[at->second].lines;
    return true;
  });
  return keys;
}

std::string ProfileUpdate(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view value) {
  const auto lines = SplitLines(file);
  const std::string newLine = std::string(key) + "=" + std::string(value);
  bool inSection = false;
  std::optional<size_t> insertAt;  // byte offset after the section's last non-blank line
  for (const Line& line : lines) {
    const auto text = file.substr(line.begin, line.end - line.begin);
    if (auto name = SectionName(text)) {
      if (insertAt && inSection) break;  // first matching section ends here
      inSection = EqualsIgnoreCase(*name, section);
      if (inSection) insertAt = line.next;
      continue;
    }
    if (!inSection) continue;
    std::string_view k, v;
    if (SplitKeyValue(text, &k, &v) && EqualsIgnoreCase(k, key)) {
      std::string out(file.substr(0, line.begin));
      out += newLine;
      out.append(file.substr(line.end));
      return out;
    }
    if (!Trim(text).empty()) insertAt = line.next;
  }

  // Line end of the file's own kind for what we add.
  const std::string eol =
      (file.find("\r\n") != std::string_view::npos || file.find('\n') == std::string_view::npos) ? "\r\n" : "\n";
  if (insertAt) {
    std::string out(file.substr(0, *insertAt));
    // The section's last line may be the file's last line without a line end.
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += eol;
    out += newLine + eol;
    out.append(file.substr(*insertAt));
    return out;
  }
  std::string out(file);
  if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += eol;
  out += "[" + std::string(section) + "]" + eol + newLine + eol;
  return out;
}

}  // namespace rw
