#include "ui/named_looks.h"

#include <algorithm>

#include "app/app.h"
#include "stores/sha256.h"
#include "stores/text.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

constexpr std::string_view kNamedPrefix = "named-";

// Decodes well-formed UTF-8 (the caller checked it) one code point at a time.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(text[i])); };
  const char32_t lead = byte(at);
  const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  char32_t point = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) point = (point << 6) | (byte(at + i) & 0x3F);
  at += length;
  return point;
}

void AppendUtf8(std::string& text, char32_t point) {
  if (point < 0x80) {
    text += static_cast<char>(point);
  } else if (point < 0x800) {
    text += static_cast<char>(0xC0 | (point >> 6));
    text += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    text += static_cast<char>(0xE0 | (point >> 12));
    text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (point >> 18));
    text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (point & 0x3F));
  }
}

bool In(char32_t point, char32_t first, char32_t last) { return point >= first && point <= last; }

char32_t LowerCase(char32_t c) {
  if (In(c, 'A', 'Z') || (In(c, 0xC0, 0xDE) && c != 0xD7) || (In(c, 0x391, 0x3AB) && c != 0x3A2) ||
      In(c, 0x410, 0x42F) || In(c, 0xFF21, 0xFF3A))
    return c + 0x20;
  if (In(c, 0x400, 0x40F)) return c + 0x50;
  if (c == 0x178) return 0xFF;
  // Ranges where each capital comes just before its small letter.
  const bool evenCapital = In(c, 0x100, 0x137) || In(c, 0x14A, 0x177) || In(c, 0x460, 0x481) || In(c, 0x48A, 0x4BF) ||
                           In(c, 0x1E00, 0x1E95) || In(c, 0x1EA0, 0x1EFF);
  const bool oddCapital = In(c, 0x139, 0x148) || In(c, 0x179, 0x17E);
  if ((evenCapital && c % 2 == 0) || (oddCapital && c % 2 == 1)) return c + 1;
  return c;
}

std::string TrimmedName(std::string_view name) { return std::string(TrimBlanks(name)); }

std::string NamedPath(const App& app, std::string_view name) {
  const std::string hash = HexOf(Sha256(FoldCase(TrimmedName(name))));
  return app.Path(kLooksFolder) + "\\" + std::string(kNamedPrefix) + hash.substr(0, 16) + ".look";
}

}  // namespace

std::string FoldCase(std::string_view utf8) {
  if (!IsWellFormedUtf8(utf8)) return std::string(utf8);
  std::string folded;
  for (std::size_t at = 0; at < utf8.size();) AppendUtf8(folded, LowerCase(NextCodePoint(utf8, at)));
  return folded;
}

NameCheck CheckLookName(std::string_view name) {
  const std::string trimmed = TrimmedName(name);
  if (trimmed.empty()) return NameCheck::Empty;
  if (!IsWellFormedUtf8(trimmed)) return NameCheck::NotText;
  std::size_t count = 0;
  for (std::size_t at = 0; at < trimmed.size(); ++count) {
    const char32_t point = NextCodePoint(trimmed, at);
    if (point < 0x20 || In(point, 0x7F, 0x9F)) return NameCheck::NotText;
  }
  return count > kMaxLookNameLength ? NameCheck::TooLong : NameCheck::Fine;
}

std::optional<Look> FindNamedLook(const App& app, std::string_view name) {
  const std::optional<std::string> text = app.platform.files.ReadFile(NamedPath(app, name));
  std::optional<Look> look = text ? ParseLook(*text) : std::nullopt;
  if (!look || FoldCase(look->name) != FoldCase(TrimmedName(name))) return std::nullopt;
  return look;
}

NamedSave SaveNamedLook(const App& app, Look look, std::string_view name, bool replace) {
  if (CheckLookName(name) != NameCheck::Fine) return NamedSave::BadName;
  if (!replace && FindNamedLook(app, name)) return NamedSave::Exists;
  FileSystem& files = app.platform.files;
  const std::string folder = app.Path(kLooksFolder);
  if (!files.FolderExists(folder) && !files.CreateFolder(folder)) return NamedSave::Failed;
  look.name = TrimmedName(name);
  look.archiveHash.clear();
  return WriteFileAtomic(app.platform, NamedPath(app, name), LookText(look)) ? NamedSave::Saved : NamedSave::Failed;
}

LookShelf ReadNamedLooks(const App& app) {
  LookShelf shelf;
  const std::string folder = app.Path(kLooksFolder);
  for (const std::string& file : app.platform.files.ListFiles(folder)) {
    if (!file.starts_with(kNamedPrefix)) continue;
    const std::optional<std::string> text = app.platform.files.ReadFile(folder + "\\" + file);
    std::optional<Look> look = text ? ParseLook(*text) : std::nullopt;
    if (look && !look->name.empty())
      shelf.looks.push_back(std::move(*look));
    else
      shelf.damaged.push_back(folder + "\\" + file);
  }
  std::sort(shelf.looks.begin(), shelf.looks.end(),
            [](const Look& a, const Look& b) { return FoldCase(a.name) < FoldCase(b.name); });
  return shelf;
}

NamedSave RenameNamedLook(const App& app, std::string_view from, std::string_view to, bool replace) {
  std::optional<Look> look = FindNamedLook(app, from);
  if (!look) return NamedSave::Failed;
  // Only the spelling changes: the same file, written again.
  const bool sameLook = FoldCase(TrimmedName(from)) == FoldCase(TrimmedName(to));
  const NamedSave saved = SaveNamedLook(app, *look, to, replace || sameLook);
  if (saved == NamedSave::Saved && !sameLook) app.platform.files.RemoveFile(NamedPath(app, from));
  return saved;
}

bool DeleteNamedLook(const App& app, std::string_view name) {
  if (!FindNamedLook(app, name)) return false;
  return static_cast<bool>(app.platform.files.RemoveFile(NamedPath(app, name)));
}

}  // namespace rw
