#include "platform/overlay_platform.h"

#include <algorithm>

namespace rw {

std::string OverlayPlatform::Key(const std::string& path) {
  std::string key = below_.LowerCase(path);
  std::replace(key.begin(), key.end(), '/', '\\');
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

const OverlayPlatform::Entry* OverlayPlatform::Find(const std::string& path) {
  const auto it = files_.find(Key(path));
  return it == files_.end() ? nullptr : &it->second;
}

bool OverlayPlatform::Under(const std::string& key, const std::string& folderKey) const {
  return key.size() > folderKey.size() && key.compare(0, folderKey.size(), folderKey) == 0 &&
         key[folderKey.size()] == '\\';
}

bool OverlayPlatform::FileExists(const std::string& path) {
  if (const Entry* entry = Find(path)) return entry->bytes.has_value();
  const std::string key = Key(path);
  for (const std::string& folder : removedFolders_)
    if (Under(key, folder)) return false;
  return below_.FileExists(path);
}

bool OverlayPlatform::FolderExists(const std::string& path) {
  const std::string key = Key(path);
  if (createdFolders_.count(key)) return true;
  for (const std::string& folder : removedFolders_)
    if (key == folder || Under(key, folder)) return false;
  return below_.FolderExists(path);
}

bool OverlayPlatform::IsReadOnly(const std::string& path) {
  if (Find(path)) return false;
  return below_.IsReadOnly(path);
}

std::optional<FileStamp> OverlayPlatform::StampOf(const std::string& path) {
  if (const Entry* entry = Find(path)) {
    if (!entry->bytes) return std::nullopt;
    return FileStamp{entry->bytes->size(), entry->written};
  }
  return FileExists(path) ? below_.StampOf(path) : std::nullopt;
}

std::optional<std::string> OverlayPlatform::ReadFile(const std::string& path) {
  if (const Entry* entry = Find(path)) return entry->bytes;
  return FileExists(path) ? below_.ReadFile(path) : std::nullopt;
}

bool OverlayPlatform::WriteFile(const std::string& path, std::string_view bytes) {
  const auto slash = path.find_last_of("\\/");
  if (FolderExists(path) || IsReadOnly(path) || (slash != std::string::npos && !FolderExists(path.substr(0, slash))))
    return false;
  Entry& entry = files_[Key(path)];
  if (entry.path.empty()) entry.path = path;
  entry.bytes = std::string(bytes);
  entry.written = ++writes_;
  return true;
}

bool OverlayPlatform::RenameOver(const std::string& from, const std::string& to) {
  std::optional<std::string> bytes = ReadFile(from);
  if (!bytes || IsReadOnly(to) || !WriteFile(to, *bytes)) return false;
  return RemoveFile(from);
}

bool OverlayPlatform::CopyFileOver(const std::string& from, const std::string& to) {
  const std::optional<std::string> bytes = ReadFile(from);
  return bytes && WriteFile(to, *bytes);
}

bool OverlayPlatform::RemoveFile(const std::string& path) {
  if (!FileExists(path) || IsReadOnly(path)) return false;
  Entry& entry = files_[Key(path)];
  if (entry.path.empty()) entry.path = path;
  entry.bytes.reset();
  return true;
}

bool OverlayPlatform::DeleteFolder(const std::string& path) {
  if (!FolderExists(path)) return false;
  bool complete = true;
  for (const std::string& name : ListTree(path)) complete = RemoveFile(path + "\\" + name) && complete;
  if (!complete) return false;
  const std::string key = Key(path);
  createdFolders_.erase(key);
  removedFolders_.insert(key);
  return true;
}

bool OverlayPlatform::CreateFolder(const std::string& path) {
  if (FolderExists(path) || FileExists(path)) return false;
  const std::string key = Key(path);
  removedFolders_.erase(key);
  createdFolders_.insert(key);
  return true;
}

std::optional<FileIdentity> OverlayPlatform::IdentityOf(const std::string& path) {
  if (!FileExists(path) && !FolderExists(path)) return std::nullopt;
  return below_.IdentityOf(path);
}

std::vector<std::string> OverlayPlatform::ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  if (!FolderExists(folder)) return names;
  const std::string key = Key(folder);
  for (const std::string& name : below_.ListFiles(folder))
    if (!files_.count(Key(folder + "\\" + name))) names.push_back(name);
  for (const auto& [entryKey, entry] : files_)
    if (entry.bytes && Under(entryKey, key) && entryKey.find('\\', key.size() + 1) == std::string::npos)
      names.push_back(entry.path.substr(entry.path.find_last_of("\\/") + 1));
  return names;
}

std::vector<std::string> OverlayPlatform::ListTree(const std::string& folder) {
  std::vector<std::string> names;
  if (!FolderExists(folder)) return names;
  const std::string key = Key(folder);
  for (const std::string& name : below_.ListTree(folder))
    if (!files_.count(Key(folder + "\\" + name))) names.push_back(name);
  for (const auto& [entryKey, entry] : files_)
    if (entry.bytes && Under(entryKey, key)) names.push_back(entry.path.substr(folder.size() + 1));
  return names;
}

std::vector<OverlayPlatform::Change> OverlayPlatform::Changes() {
  std::vector<Change> changes;
  for (const auto& [key, entry] : files_) {
    std::optional<std::string> before = below_.ReadFile(entry.path);
    if (before == entry.bytes) continue;
    changes.push_back({entry.path, std::move(before), entry.bytes});
  }
  return changes;
}

}  // namespace rw
