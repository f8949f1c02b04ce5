#include "platform/overlay_platform.h"

#include <algorithm>

namespace rw {

std::string OverlayFileSystem::Key(const std::string& path) {
  std::string key = names_.LowerCase(path);
  std::replace(key.begin(), key.end(), '/', '\\');
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

const OverlayFileSystem::Entry* OverlayFileSystem::Find(const std::string& path) {
  const auto it = files_.find(Key(path));
  return it == files_.end() ? nullptr : &it->second;
}

bool OverlayFileSystem::Under(const std::string& key, const std::string& folderKey) const {
  return key.size() > folderKey.size() && key.compare(0, folderKey.size(), folderKey) == 0 &&
         key[folderKey.size()] == '\\';
}

bool OverlayFileSystem::FileExists(const std::string& path) {
  if (const Entry* entry = Find(path)) return entry->bytes.has_value();
  const std::string key = Key(path);
  for (const std::string& folder : removedFolders_)
    if (Under(key, folder)) return false;
  return below_.FileExists(path);
}

bool OverlayFileSystem::FolderExists(const std::string& path) {
  const std::string key = Key(path);
  if (createdFolders_.count(key)) return true;
  for (const std::string& folder : removedFolders_)
    if (key == folder || Under(key, folder)) return false;
  return below_.FolderExists(path);
}

bool OverlayFileSystem::IsReadOnly(const std::string& path) {
  if (Find(path)) return false;
  return below_.IsReadOnly(path);
}

std::optional<FileStamp> OverlayFileSystem::StampOf(const std::string& path) {
  if (const Entry* entry = Find(path)) {
    if (!entry->bytes) return std::nullopt;
    return FileStamp{entry->bytes->size(), entry->written};
  }
  return FileExists(path) ? below_.StampOf(path) : std::nullopt;
}

std::optional<std::string> OverlayFileSystem::ReadFile(const std::string& path) {
  if (const Entry* entry = Find(path)) return entry->bytes;
  return FileExists(path) ? below_.ReadFile(path) : std::nullopt;
}

FileChange OverlayFileSystem::WriteFile(const std::string& path, std::string_view bytes) {
  const auto slash = path.find_last_of("\\/");
  if (FolderExists(path) || IsReadOnly(path) || (slash != std::string::npos && !FolderExists(path.substr(0, slash))))
    return FileChange::Failed();
  Entry& entry = files_[Key(path)];
  if (entry.path.empty()) entry.path = path;
  entry.bytes = std::string(bytes);
  entry.written = ++writes_;
  return FileChange::Done();
}

FileChange OverlayFileSystem::RenameOver(const std::string& from, const std::string& to) {
  std::optional<std::string> bytes = ReadFile(from);
  if (!bytes || IsReadOnly(to)) return FileChange::Failed();
  if (FileChange written = WriteFile(to, *bytes); !written) return written;
  return RemoveFile(from);
}

FileChange OverlayFileSystem::CopyFileOver(const std::string& from, const std::string& to) {
  const std::optional<std::string> bytes = ReadFile(from);
  return bytes ? WriteFile(to, *bytes) : FileChange::Failed();
}

FileChange OverlayFileSystem::RemoveFile(const std::string& path) {
  if (!FileExists(path) || IsReadOnly(path)) return FileChange::Failed();
  Entry& entry = files_[Key(path)];
  if (entry.path.empty()) entry.path = path;
  entry.bytes.reset();
  return FileChange::Done();
}

FileChange OverlayFileSystem::DeleteFolder(const std::string& path) {
  if (!FolderExists(path)) return FileChange::Failed();
  bool complete = true;
  for (const std::string& name : ListTree(path)) complete = RemoveFile(path + "\\" + name) && complete;
  if (!complete) return FileChange::Failed();
  const std::string key = Key(path);
  createdFolders_.erase(key);
  removedFolders_.insert(key);
  return FileChange::Done();
}

FileChange OverlayFileSystem::CreateFolder(const std::string& path) {
  if (FolderExists(path) || FileExists(path)) return FileChange::Failed();
  const std::string key = Key(path);
  removedFolders_.erase(key);
  createdFolders_.insert(key);
  return FileChange::Done();
}

std::optional<FileIdentity> OverlayFileSystem::IdentityOf(const std::string& path) {
  if (!FileExists(path) && !FolderExists(path)) return std::nullopt;
  return below_.IdentityOf(path);
}

std::vector<std::string> OverlayFileSystem::ListFiles(const std::string& folder) {
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

std::vector<std::string> OverlayFileSystem::ListTree(const std::string& folder) {
  std::vector<std::string> names;
  if (!FolderExists(folder)) return names;
  const std::string key = Key(folder);
  for (const std::string& name : below_.ListTree(folder))
    if (!files_.count(Key(folder + "\\" + name))) names.push_back(name);
  for (const auto& [entryKey, entry] : files_)
    if (entry.bytes && Under(entryKey, key)) names.push_back(entry.path.substr(folder.size() + 1));
  return names;
}

std::vector<OverlayFileSystem::Change> OverlayFileSystem::Changes() {
  std::vector<Change> changes;
  for (const auto& [key, entry] : files_) {
    std::optional<std::string> before = below_.ReadFile(entry.path);
    if (before == entry.bytes) continue;
    changes.push_back({entry.path, std::move(before), entry.bytes});
  }
  return changes;
}

}  // namespace rw
