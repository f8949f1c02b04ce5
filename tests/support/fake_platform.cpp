#include "support/fake_platform.h"

#include <cctype>

#include <algorithm>

#include "platform/canonical_path.h"
#include "platform/cp1252.h"
#include "stores/text.h"

namespace rw::test {

namespace {

// Enough of Unicode's simple lower-casing for tests: ASCII, Latin-1, Greek
// and Cyrillic capitals.
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

}  // namespace

FakePlatform::FakePlatform(std::string programFolder) : programFolder_(std::move(programFolder)) {
  AddFolder(programFolder_);
}

// File names match as on Windows: without regard to letter case, not only
// ASCII's.
std::string FakePlatform::Key(const std::string& path) {
  std::string key = FoldCase(path);
  std::replace(key.begin(), key.end(), '/', '\\');
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

std::string FakePlatform::Parent(const std::string& key) {
  const auto slash = key.rfind('\\');
  return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

void FakePlatform::AddFolder(const std::string& path) {
  std::string key = Key(path);
  std::string spelled = path;
  while (!key.empty() && !folders_.count(key)) {
    folders_[key] = spelled;
    key = Parent(key);
    const auto slash = spelled.rfind('\\');
    spelled = slash == std::string::npos ? std::string() : spelled.substr(0, slash);
  }
}

void FakePlatform::AddFile(const std::string& path, std::string bytes, bool readOnly) {
  const auto slash = path.rfind('\\');
  if (slash != std::string::npos) AddFolder(path.substr(0, slash));
  files_[Key(path)] = Entry{path, std::move(bytes), readOnly, ++writes_};
}

void FakePlatform::SetReadOnly(const std::string& path, bool readOnly) {
  auto it = files_.find(Key(path));
  if (it != files_.end()) it->second.readOnly = readOnly;
}

std::optional<std::string> FakePlatform::Contents(const std::string& path) const {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.bytes;
}

bool FakePlatform::HasFolder(const std::string& path) const { return folders_.count(Key(path)) > 0; }

std::vector<std::string> FakePlatform::FilesBelow(const std::string& folder) const {
  const std::string prefix = Key(folder) + "\\";
  std::vector<std::string> out;
  for (const auto& [key, entry] : files_)
    if (key.compare(0, prefix.size(), prefix) == 0) out.push_back(entry.path);
  return out;
}

std::vector<std::string> FakePlatform::ListTree(const std::string& folder) {
  std::vector<std::string> out;
  for (const std::string& path : FilesBelow(folder)) out.push_back(path.substr(Key(folder).size() + 1));
  return out;
}

std::string FakePlatform::LongPathName(const std::string& path) {
  auto it = longNames.find(AsciiLower(path));
  return it == longNames.end() ? path : it->second;
}

std::string FakePlatform::LowerCase(std::string_view text) { return FoldCase(text); }

bool FakePlatform::FileExists(const std::string& path) { return files_.count(Key(path)) > 0; }
bool FakePlatform::FolderExists(const std::string& path) { return HasFolder(path); }

bool FakePlatform::IsReadOnly(const std::string& path) {
  auto it = files_.find(Key(path));
  return it != files_.end() && it->second.readOnly;
}

std::optional<FileStamp> FakePlatform::StampOf(const std::string& path) {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return FileStamp{it->second.bytes.size(), it->second.written};
}

std::optional<std::string> FakePlatform::ReadFile(const std::string& path) {
  if (Fails(Op::Read, path)) return std::nullopt;
  return Contents(path);
}

bool FakePlatform::WriteFile(const std::string& path, std::string_view bytes) {
  if (Fails(Op::Write, path)) return Refuse("injected failure");
  const std::string key = Key(path);
  if (folders_.count(key) || !folders_.count(Parent(key))) return false;
  auto it = files_.find(key);
  if (it != files_.end()) {
    if (it->second.readOnly) return Refuse("Access is denied.");
    it->second.bytes = std::string(bytes);
    it->second.written = ++writes_;
    return true;
  }
  files_[key] = Entry{path, std::string(bytes), false, ++writes_};
  return true;
}

bool FakePlatform::RenameOver(const std::string& from, const std::string& to) {
  if (Fails(Op::Replace, to)) return Refuse("injected failure");
  auto src = files_.find(Key(from));
  const std::string toKey = Key(to);
  if (src == files_.end() || folders_.count(toKey) || !folders_.count(Parent(toKey))) return false;
  auto dst = files_.find(toKey);
  if (dst != files_.end() && dst->second.readOnly) return Refuse("Access is denied.");
  Entry moved = std::move(src->second);
  files_.erase(src);
  moved.path = dst != files_.end() ? dst->second.path : to;
  files_[toKey] = std::move(moved);
  return true;
}

bool FakePlatform::CopyFileOver(const std::string& from, const std::string& to) {
  if (Fails(Op::Copy, to)) return Refuse("injected failure");
  auto src = files_.find(Key(from));
  const std::string toKey = Key(to);
  if (src == files_.end() || folders_.count(toKey) || !folders_.count(Parent(toKey))) return false;
  auto dst = files_.find(toKey);
  if (dst != files_.end()) {
    if (dst->second.readOnly) return Refuse("Access is denied.");
    dst->second.bytes = src->second.bytes;
    dst->second.written = src->second.written;
    return true;
  }
  files_[toKey] = Entry{to, src->second.bytes, false, src->second.written};
  return true;
}

bool FakePlatform::RemoveFile(const std::string& path) {
  if (Fails(Op::RemoveFile, path)) return Refuse("injected failure");
  auto it = files_.find(Key(path));
  if (it == files_.end() || it->second.readOnly) return Refuse("Access is denied.");
  files_.erase(it);
  return true;
}

bool FakePlatform::DeleteFolder(const std::string& path) {
  if (Fails(Op::DeleteFolder, path)) return Refuse("injected failure");
  const std::string key = Key(path);
  if (!folders_.count(key)) return false;
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
  return complete && !folders_.count(key);
}

bool FakePlatform::CreateFolder(const std::string& path) {
  if (Fails(Op::CreateFolder, path)) return Refuse("injected failure");
  const std::string key = Key(path);
  if (files_.count(key) || folders_.count(key) || !folders_.count(Parent(key))) return false;
  folders_[key] = path;
  return true;
}

std::vector<std::string> FakePlatform::ListFiles(const std::string& folder) {
  const std::string key = Key(folder);
  std::vector<std::string> names;
  for (const auto& [fk, entry] : files_) {
    if (Parent(fk) != key) continue;
    const auto slash = entry.path.find_last_of("\\/");
    names.push_back(slash == std::string::npos ? entry.path : entry.path.substr(slash + 1));
  }
  return names;
}

std::optional<std::string> FakePlatform::FileVersion(const std::string& path) {
  if (!FileExists(path) || Fails(Op::Read, path)) return std::nullopt;
  // Keyed by ASCII lowering, as the tests spell the keys.
  std::string key = AsciiLower(path);
  std::replace(key.begin(), key.end(), '/', '\\');
  auto it = fileVersions.find(key);
  if (it == fileVersions.end()) return std::nullopt;
  return it->second;
}

std::optional<FileIdentity> FakePlatform::IdentityOf(const std::string& path) {
  std::string key = Key(LongPathName(LexicalFullPath(path).value_or(path)));
  for (const auto& [spelling, target] : aliases) {
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

std::string FakePlatform::AnsiToUtf8(std::string_view ansi) { return Cp1252ToUtf8(ansi); }
std::optional<std::string> FakePlatform::Utf8ToAnsi(std::string_view utf8) { return Utf8ToCp1252(utf8); }

std::optional<std::string> FakePlatform::ReadRegistryString(const std::string& valuePath) {
  for (const auto& [k, v] : registry)
    if (EqualsIgnoreCase(k, valuePath)) return v;
  return std::nullopt;
}

WindowHandle FakePlatform::FindTopWindow(const std::string& className, const std::string& title) {
  for (const auto& w : windows)
    if (EqualsIgnoreCase(w.className, className) && (title.empty() || w.title == title)) return w.handle;
  return 0;
}

void FakePlatform::SendCloseCommand(WindowHandle window) {
  closeCommands.push_back(window);
  auto it = std::find_if(windows.begin(), windows.end(), [&](const FakeWindow& w) { return w.handle == window; });
  if (it == windows.end() || !it->closesOnCommand) return;
  const std::uint32_t pid = it->ownerPid;
  windows.erase(it);
  if (pid)
    processes.erase(
        std::remove_if(processes.begin(), processes.end(), [&](const FakeProcess& p) { return p.info.pid == pid; }),
        processes.end());
}

MessageResult FakePlatform::ShowMessage(WindowHandle, const std::string& text, const std::string& title,
                                        MessageButtons buttons) {
  messages.push_back({text, title, buttons});
  if (answers.empty()) return MessageResult::Ok;
  const MessageResult answer = answers.front();
  answers.pop_front();
  return answer;
}

void FakePlatform::Sleep(unsigned milliseconds) {
  nowMs += milliseconds;
  ++sleeps;
  if (onSleep) onSleep();
}

std::uint32_t FakePlatform::AddProcess(const std::string& imageName, const std::string& exePath, int listingsLeft,
                                       std::uint32_t pid) {
  FakeProcess p;
  p.info = ProcessInfo{pid != 0 ? pid : nextPid++, imageName, exePath};
  p.listingsLeft = listingsLeft;
  processes.push_back(p);
  return p.info.pid;
}

std::vector<ProcessInfo> FakePlatform::ListProcesses(const std::string& imageName) {
  ++processListings;
  std::vector<ProcessInfo> out;
  for (auto it = processes.begin(); it != processes.end();) {
    if (!EqualsIgnoreCase(it->info.imageName, imageName)) {
      ++it;
      continue;
    }
    if (it->listingsLeft == 0) {
      it = processes.erase(it);
      continue;
    }
    out.push_back(it->info);
    if (it->listingsLeft > 0) --it->listingsLeft;
    ++it;
  }
  return out;
}

bool FakePlatform::TerminateProcess(std::uint32_t pid) {
  if (Fails(Op::Terminate, std::to_string(pid))) return false;
  terminated.push_back(pid);
  auto it = std::find_if(processes.begin(), processes.end(), [&](const FakeProcess& p) { return p.info.pid == pid; });
  if (it == processes.end()) return false;
  if (!it->ignoresTerminate) processes.erase(it);
  return true;
}

std::uint32_t FakePlatform::StartProcess(const std::string& commandLine, bool hidden) {
  if (Fails(Op::Start, commandLine)) return 0;
  started.push_back(commandLine);
  const std::uint32_t pid = nextPid++;
  startedPids_[pid] = commandLine;
  lastStartedPid = pid;
  if (onStart) onStart(commandLine, hidden);
  return pid;
}

std::optional<std::uint32_t> FakePlatform::ExitCodeOf(std::uint32_t pid) {
  const auto it = startedPids_.find(pid);
  if (it == startedPids_.end()) return std::nullopt;
  // A browser started keeps running unless it is told to refuse; tools end.
  std::string lowered = it->second;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lowered.find("maxthon.exe") != std::string::npos) return hostExitCode ? hostExitCode(it->first) : std::nullopt;
  return exitCodeOf ? exitCodeOf(it->second) : 0;
}

bool FakePlatform::OpenInDefaultBrowser(const std::string& address) {
  browserOpened.push_back(address);
  return true;
}

}  // namespace rw::test
