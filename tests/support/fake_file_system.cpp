#include "support/fake_file_system.h"

#include <algorithm>

#include "platform/canonical_path.h"
#include "stores/text.h"

namespace rw::test {

namespace {

FileChange Refused(std::string why) { return FileChange::Failed(std::move(why)); }
const char kDenied[] = "Access is denied.";
const char kInjected[] = "injected failure";
const char kTooLong[] = "The filename or extension is too long.";

// As on Windows, no name in a path is longer than 255 characters.
bool NameTooLong(std::string_view path) {
  std::size_t run = 0;
  for (const char c : path) {
    run = c == '\\' || c == '/' ? 0 : run + ((static_cast<unsigned char>(c) & 0xC0) != 0x80);
    if (run > 255) return true;
  }
  return false;
}

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      out += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte);
      ++i;
      continue;
    }
    if ((byte & 0xE0) != 0xC0 || i + 1 >= text.size()) {
      out += text[i++];
      continue;
    }
    char32_t c = ((byte & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
      c += 32;
    else if (c >= 0x400 && c <= 0x40F)
      c += 80;
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
    i += 2;
  }
  return out;
}

FakeFileSystem::FakeFileSystem(FakeWorld* world, std::string programFolder)
    : WorldPart(world), programFolder_(std::move(programFolder)) {
  AddFolder(programFolder_);
}

bool FakeFileSystem::Fails(Op op, const std::string& path) const {
  return world_->failHook && world_->failHook(op, path);
}

// File names match as on Windows: without regard to letter case, not only
// ASCII's.
std::string FakeFileSystem::Key(const std::string& path) {
  std::string key = FoldCase(path);
  std::replace(key.begin(), key.end(), '/', '\\');
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

std::string FakeFileSystem::Parent(const std::string& key) {
  const auto slash = key.rfind('\\');
  return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

void FakeFileSystem::AddFolder(const std::string& path) {
  std::string key = Key(path);
  std::string spelled = path;
  while (!key.empty() && !folders_.count(key)) {
    folders_[key] = spelled;
    key = Parent(key);
    const auto slash = spelled.rfind('\\');
    spelled = slash == std::string::npos ? std::string() : spelled.substr(0, slash);
  }
}

void FakeFileSystem::AddFile(const std::string& path, std::string bytes, bool readOnly) {
  const auto slash = path.rfind('\\');
  if (slash != std::string::npos) AddFolder(path.substr(0, slash));
  files_[Key(path)] = Entry{path, std::move(bytes), readOnly, ++writes_};
}

void FakeFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  auto it = files_.find(Key(path));
  if (it != files_.end()) it->second.readOnly = readOnly;
}

std::optional<std::string> FakeFileSystem::Contents(const std::string& path) const {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.bytes;
}

bool FakeFileSystem::HasFolder(const std::string& path) const { return folders_.count(Key(path)) > 0; }

std::vector<std::string> FakeFileSystem::FilesBelow(const std::string& folder) const {
  const std::string prefix = Key(folder) + "\\";
  std::vector<std::string> out;
  for (const auto& [key, entry] : files_)
    if (key.compare(0, prefix.size(), prefix) == 0) out.push_back(entry.path);
  return out;
}

std::vector<std::string> FakeFileSystem::ListTree(const std::string& folder) {
  std::vector<std::string> out;
  for (const std::string& path : FilesBelow(folder)) out.push_back(path.substr(Key(folder).size() + 1));
  return out;
}

std::string FakeFileSystem::LongPathName(const std::string& path) {
  auto it = world_->longNames.find(AsciiLower(path));
  return it == world_->longNames.end() ? path : it->second;
}

std::optional<FileIdentity> FakeFileSystem::IdentityOf(const std::string& path) {
  std::string key = Key(LongPathName(LexicalFullPath(path).value_or(path)));
  for (const auto& [spelling, target] : world_->aliases) {
    const std::string from = Key(spelling);
    if (key == from || key.starts_with(from + "\\")) {
      key = Key(target + key.substr(from.size()));
      break;
    }
  }
  if (auto file = files_.find(key); file != files_.end()) {
    if (file->second.identity == 0) file->second.identity = ++identities_;
    return FileIdentity{1, 0, file->second.identity};
  }
  if (!folders_.count(key)) return std::nullopt;
  std::uint64_t& identity = folderIdentities_[key];
  if (identity == 0) identity = ++identities_;
  return FileIdentity{1, 0, identity};
}

bool FakeFileSystem::FileExists(const std::string& path) { return files_.count(Key(path)) > 0; }
bool FakeFileSystem::FolderExists(const std::string& path) { return HasFolder(path); }

bool FakeFileSystem::IsReadOnly(const std::string& path) {
  auto it = files_.find(Key(path));
  return it != files_.end() && it->second.readOnly;
}

std::optional<FileStamp> FakeFileSystem::StampOf(const std::string& path) {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return FileStamp{it->second.bytes.size(), it->second.written};
}

std::optional<std::string> FakeFileSystem::ReadFile(const std::string& path) {
  if (Fails(Op::Read, path)) return std::nullopt;
  return Contents(path);
}

FileChange FakeFileSystem::WriteFile(const std::string& path, std::string_view bytes) {
  if (Fails(Op::Write, path)) return Refused(kInjected);
  if (NameTooLong(path)) return Refused(kTooLong);
  const std::string key = Key(path);
  if (folders_.count(key) || !folders_.count(Parent(key))) return FileChange::Failed();
  auto it = files_.find(key);
  if (it != files_.end()) {
    if (it->second.readOnly) return Refused(kDenied);
    it->second.bytes = std::string(bytes);
    it->second.written = ++writes_;
    return FileChange::Done();
  }
  files_[key] = Entry{path, std::string(bytes), false, ++writes_};
  return FileChange::Done();
}

FileChange FakeFileSystem::RenameOver(const std::string& from, const std::string& to) {
  if (Fails(Op::Replace, to)) return Refused(kInjected);
  if (NameTooLong(to)) return Refused(kTooLong);
  auto src = files_.find(Key(from));
  const std::string toKey = Key(to);
  if (src == files_.end() || folders_.count(toKey) || !folders_.count(Parent(toKey))) return FileChange::Failed();
  auto dst = files_.find(toKey);
  if (dst != files_.end() && dst->second.readOnly) return Refused(kDenied);
  Entry moved = std::move(src->second);
  files_.erase(src);
  moved.path = dst != files_.end() ? dst->second.path : to;
  files_[toKey] = std::move(moved);
  return FileChange::Done();
}

FileChange FakeFileSystem::CopyFileOver(const std::string& from, const std::string& to) {
  if (Fails(Op::Copy, to)) return Refused(kInjected);
  if (NameTooLong(to)) return Refused(kTooLong);
  auto src = files_.find(Key(from));
  const std::string toKey = Key(to);
  if (src == files_.end() || folders_.count(toKey) || !folders_.count(Parent(toKey))) return FileChange::Failed();
  auto dst = files_.find(toKey);
  if (dst != files_.end()) {
    if (dst->second.readOnly) return Refused(kDenied);
    dst->second.bytes = src->second.bytes;
    dst->second.written = src->second.written;
    return FileChange::Done();
  }
  files_[toKey] = Entry{to, src->second.bytes, false, src->second.written};
  return FileChange::Done();
}

FileChange FakeFileSystem::RemoveFile(const std::string& path) {
  if (Fails(Op::RemoveFile, path)) return Refused(kInjected);
  auto it = files_.find(Key(path));
  if (it == files_.end() || it->second.readOnly) return Refused(kDenied);
  files_.erase(it);
  return FileChange::Done();
}

FileChange FakeFileSystem::DeleteFolder(const std::string& path) {
  if (Fails(Op::DeleteFolder, path)) return Refused(kInjected);
  const std::string key = Key(path);
  if (!folders_.count(key)) return FileChange::Failed();
  const std::string prefix = key + "\\";
  bool complete = true;
  for (auto it = files_.begin(); it != files_.end();) {
    if (it->first.compare(0, prefix.size(), prefix) == 0) {
      if (it->second.readOnly || Fails(Op::RemoveFile, it->second.path)) {
        complete = false;
        ++it;
        continue;
      }
      it = files_.erase(it);
    } else {
      ++it;
    }
  }
  // Folders go only when nothing is left inside them.
  std::vector<std::string> keys;
  for (const auto& [k, spelled] : folders_)
    if (k == key || k.compare(0, prefix.size(), prefix) == 0) keys.push_back(k);
  std::sort(keys.rbegin(), keys.rend());
  for (const auto& k : keys) {
    const std::string inner = k + "\\";
    bool occupied = false;
    for (const auto& [fk, entry] : files_)
      if (fk.compare(0, inner.size(), inner) == 0) occupied = true;
    for (const auto& [dk, spelled] : folders_)
      if (dk.compare(0, inner.size(), inner) == 0) occupied = true;
    if (!occupied) {
      folders_.erase(k);
      folderIdentities_.erase(k);
    }
  }
  return complete && !folders_.count(key) ? FileChange::Done() : FileChange::Failed();
}

FileChange FakeFileSystem::CreateFolder(const std::string& path) {
  if (Fails(Op::CreateFolder, path)) return Refused(kInjected);
  const std::string key = Key(path);
  if (files_.count(key) || folders_.count(key) || !folders_.count(Parent(key))) return FileChange::Failed();
  folders_[key] = path;
  return FileChange::Done();
}

std::vector<std::string> FakeFileSystem::ListFiles(const std::string& folder) {
  const std::string key = Key(folder);
  std::vector<std::string> names;
  for (const auto& [fk, entry] : files_) {
    if (Parent(fk) != key) continue;
    const auto slash = entry.path.find_last_of("\\/");
    names.push_back(slash == std::string::npos ? entry.path : entry.path.substr(slash + 1));
  }
  return names;
}

std::optional<std::string> FakeFileSystem::FileVersion(const std::string& path) {
  if (!FileExists(path) || Fails(Op::Read, path)) return std::nullopt;
  // Keyed by ASCII lowering, as the tests spell the keys.
  std::string key = AsciiLower(path);
  std::replace(key.begin(), key.end(), '/', '\\');
  auto it = world_->fileVersions.find(key);
  if (it == world_->fileVersions.end()) return std::nullopt;
  return it->second;
}

}  // namespace rw::test
