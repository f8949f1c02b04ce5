#include "platform/canonical_path.h"

#include <vector>

namespace rw {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::optional<std::string> LexicalFullPath(std::string_view input) {
  std::string path(input);
  for (char& c : path)
    if (c == '/') c = '\\';

  std::string root;
  std::string_view rest;
  std::string_view view = path;
  if (StartsWith(view, "\\\\?\\UNC\\") || StartsWith(view, "\\\\.\\UNC\\")) {
    view.remove_prefix(8);
    root = "\\\\";
  } else if (StartsWith(view, "\\\\?\\") || StartsWith(view, "\\\\.\\")) {
    view.remove_prefix(4);
  } else if (StartsWith(view, "\\\\")) {
    view.remove_prefix(2);
    root = "\\\\";
  }

  std::vector<std::string> names;
  if (root.empty()) {
    if (view.size() < 3 || !IsLetter(view[0]) || view[1] != ':' || view[2] != '\\') return std::nullopt;
    const char drive = static_cast<char>(view[0] >= 'a' ? view[0] - 32 : view[0]);
    root = std::string(1, drive) + ":\\";
    rest = view.substr(3);
  } else {
    // Server and share stand as they are; ".." never climbs above them.
    std::size_t cut = view.find('\\');
    const std::string_view server = view.substr(0, cut);
    view = cut == std::string_view::npos ? std::string_view() : view.substr(cut + 1);
    cut = view.find('\\');
    const std::string_view share = view.substr(0, cut);
    if (server.empty() || share.empty()) return std::nullopt;
    root += std::string(server) + "\\" + std::string(share) + "\\";
    rest = cut == std::string_view::npos ? std::string_view() : view.substr(cut + 1);
  }

  while (!rest.empty()) {
    const std::size_t cut = rest.find('\\');
    std::string name(rest.substr(0, cut));
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (!name.empty()) names.push_back(std::move(name));
  }

  std::string out = root;
  for (std::size_t i = 0; i < names.size(); ++i) out += (i ? "\\" : "") + names[i];
  if (!names.empty() || out.size() > 3) {
    while (out.size() > 3 && out.back() == '\\') out.pop_back();
  }
  return out;
}

std::optional<std::string> CanonicalPath(Platform& platform, std::string_view path) {
  std::optional<std::string> full = LexicalFullPath(path);
  if (!full) return std::nullopt;
  // Only a short (8.3) name needs the file system, and every one has a
  // tilde; asking costs a start a few dozen calls into the system.
  if (full->find('~') == std::string::npos) return full;
  return LexicalFullPath(platform.files.LongPathName(*full));
}

bool SameFileOrFolder(Platform& platform, const std::string& a, const std::string& b) {
  const std::optional<FileIdentity> first = platform.files.IdentityOf(a), second = platform.files.IdentityOf(b);
  if (first && second) return *first == *second;
  const std::string left = CanonicalPath(platform, a).value_or(a), right = CanonicalPath(platform, b).value_or(b);
  const std::size_t leftCut = left.rfind('\\'), rightCut = right.rfind('\\');
  if (!first && !second && leftCut != std::string::npos && rightCut != std::string::npos) {
    const std::optional<FileIdentity> leftFolder = platform.files.IdentityOf(left.substr(0, leftCut + 1));
    const std::optional<FileIdentity> rightFolder = platform.files.IdentityOf(right.substr(0, rightCut + 1));
    if (leftFolder && rightFolder)
      return *leftFolder == *rightFolder &&
             platform.system.LowerCase(left.substr(leftCut)) == platform.system.LowerCase(right.substr(rightCut));
  }
  return platform.system.LowerCase(left) == platform.system.LowerCase(right);
}

}  // namespace rw
