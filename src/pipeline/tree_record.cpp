#include "pipeline/tree_record.h"

#include <algorithm>
#include <set>

#include "pipeline/installation.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

constexpr std::string_view kVersionLine = "version=";
constexpr std::string_view kFolderLine = "folder=";
constexpr std::string_view kRequiredFile = "ui\\main\\index.css";

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

bool HoldsStyleSheet(const Installation& installation, const std::vector<std::string>& files) {
  return std::any_of(files.begin(), files.end(), [&](const std::string& file) {
    return installation.platform.system.LowerCase(file) == kRequiredFile;
  });
}

bool RecordTree(const Installation& installation) {
  Platform& platform = installation.platform;
  std::vector<std::string> files = platform.files.ListTree(installation.Tree());
  if (!HoldsStyleSheet(installation, files)) return false;
  std::sort(files.begin(), files.end());
  std::string text = std::string(kVersionLine) + installation.hostVersion + "\r\n" + std::string(kFolderLine) +
                     installation.hostBinFolder + "\r\n";
  for (const std::string& file : files) text += file + "\r\n";
  return WriteUtf8File(platform, installation.TreeRecordPath(), text).ok;
}

bool IsTreeUsable(const Installation& installation) {
  Platform& platform = installation.platform;
  if (installation.hostVersion.empty() || !platform.files.FolderExists(installation.Tree())) return false;
  const std::optional<std::string> text = ReadUtf8File(platform, installation.TreeRecordPath());
  if (!text) return false;
  const std::vector<std::string> lines = Lines(*text);
  if (lines.size() < 3 || lines[0] != std::string(kVersionLine) + installation.hostVersion ||
      platform.system.LowerCase(lines[1]) !=
          platform.system.LowerCase(std::string(kFolderLine) + installation.hostBinFolder))
    return false;
  std::set<std::string> present;
  for (const std::string& file : platform.files.ListTree(installation.Tree()))
    present.insert(platform.system.LowerCase(file));
  return std::all_of(lines.begin() + 2, lines.end(),
                     [&](const std::string& file) { return present.count(platform.system.LowerCase(file)) > 0; });
}

bool DiscardTree(const Installation& installation) {
  Platform& platform = installation.platform;
  const std::string record = installation.TreeRecordPath();
  if (platform.files.FileExists(record)) platform.files.RemoveFile(record);
  const std::string tree = installation.Tree();
  if (platform.files.FolderExists(tree)) platform.files.DeleteFolder(tree);
  return !platform.files.FolderExists(tree);
}

}  // namespace rw
