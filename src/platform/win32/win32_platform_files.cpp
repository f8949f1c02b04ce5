// Win32FileSystem: files and folders. Paths past MAX_PATH go through
// FileSystemPath; links are removed as links and never entered.
#include "platform/win32/win32_platform.h"

#include <windows.h>
// Order matters: this needs windows.h first.
#include <winver.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/handle.h"
#include "platform/win32/long_path.h"
#include "platform/win32/unicode.h"

namespace rw {

using win32::FileSystemPath;
using win32::UniqueFind;
using win32::UniqueHandle;
using win32::Utf8;
using win32::Wide;
using win32::WithoutLongPrefix;

namespace {

// FILE_ID_INFO and its class, which the headers show only to programs made
// for Windows 8 and later; Windows 7 refuses the call.
struct FileIdInformation {
  ULONGLONG VolumeSerialNumber;
  BYTE FileId[16];
};
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

DWORD Attributes(const std::string& path) { return GetFileAttributesW(FileSystemPath(path).c_str()); }

bool IsFolderAttr(DWORD a) { return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY); }
bool IsFileAttr(DWORD a) { return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY); }

// A reparse point that stands for another place: a symbolic link or a
// junction. Wine shows a Unix symbolic link to a folder with tag 0, so an
// unknown tag counts as a link too. Other reparse points (cloud placeholders,
// deduplicated files) hold their own contents.
bool IsLink(DWORD attributes, DWORD tag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (tag == 0 || IsReparseTagNameSurrogate(tag));
}

// Whether the path itself (not what it leads to) is a link. Only a listing
// tells the reparse tag without opening the path.
bool IsLinkPath(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  WIN32_FIND_DATAW data;
  const UniqueFind find(
      FindFirstFileExW(FileSystemPath(path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
  if (!find) return true;
  return IsLink(attributes, data.dwReserved0);
}

// Removes the link itself through a handle to it, never what it leads to.
// Wine opens the target even when asked for the link, and its
// RemoveDirectoryW on a link removes an empty target: then nothing is
// removed here.
bool RemoveLink(const std::wstring& path) {
  UniqueHandle link(CreateFileW(FileSystemPath(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!link) return false;
  FILE_ATTRIBUTE_TAG_INFO opened{};
  if (!GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &opened, sizeof(opened)) ||
      !(opened.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(link.get(), FileDispositionInfo, &disposition, sizeof(disposition)) != 0;
}

// Deletes a folder's contents depth first, then the folder. Links are
// removed as links and never entered; read-only files are left alone.
bool DeleteTree(const std::wstring& folder) {
  bool complete = true;
  WIN32_FIND_DATAW data;
  // The search is closed before the folder is removed.
  if (const UniqueFind find(FindFirstFileExW(FileSystemPath(folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, 0));
      find) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (IsLink(data.dwFileAttributes, data.dwReserved0)) {
        if (!RemoveLink(path)) complete = false;
      } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!DeleteTree(path)) complete = false;
      } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) || !DeleteFileW(FileSystemPath(path).c_str())) {
        complete = false;
      }
    } while (FindNextFileW(find.get(), &data));
  }
  if (!RemoveDirectoryW(FileSystemPath(folder).c_str())) complete = false;
  return complete;
}

// The system's words for an error, with its number.
std::string ErrorText(DWORD error) {
  if (error == 0) return {};
  win32::UniqueLocalMemory<wchar_t*> text;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
  std::wstring words = n ? std::wstring(text.get(), n) : std::wstring();
  while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ')) words.pop_back();
  return Utf8(words) + (words.empty() ? "" : " ") + "(error " + std::to_string(error) + ")";
}

// A failed change, told at once: the next call may set another last error.
FileChange Failed(DWORD error = GetLastError()) { return FileChange::Failed(ErrorText(error)); }

}  // namespace

std::string Win32FileSystem::ProgramFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return ".";
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  // Started by its "\\?\" path, the program would see that form here.
  const std::wstring path = WithoutLongPrefix(buffer);
  const auto slash = path.find_last_of(L"\\/");
  return Utf8(slash == std::wstring::npos ? path : path.substr(0, slash));
}

bool Win32FileSystem::FileExists(const std::string& path) { return IsFileAttr(Attributes(path)); }
bool Win32FileSystem::FolderExists(const std::string& path) { return IsFolderAttr(Attributes(path)); }

bool Win32FileSystem::IsReadOnly(const std::string& path) {
  const DWORD a = Attributes(path);
  return IsFileAttr(a) && (a & FILE_ATTRIBUTE_READONLY);
}

std::optional<FileStamp> Win32FileSystem::StampOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  const auto join = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
  return FileStamp{join(data.nFileSizeHigh, data.nFileSizeLow),
                   join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
  UniqueHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) return std::nullopt;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

FileChange Win32FileSystem::WriteFile(const std::string& path, std::string_view bytes) {
  if (IsReadOnly(path)) return Failed(ERROR_ACCESS_DENIED);
  UniqueHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Failed();
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    if (!::WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr) || put == 0) return Failed();
    done += put;
  }
  // The bytes must be on disk before a rename makes them the real file.
  return FlushFileBuffers(file.get()) ? FileChange::Done() : Failed();
}

FileChange Win32FileSystem::RenameOver(const std::string& from, const std::string& to) {
  // Checked here too: Wine running as root would rename over it.
  if (IsReadOnly(to) || FolderExists(to)) return Failed(ERROR_ACCESS_DENIED);
  return MoveFileExW(FileSystemPath(from).c_str(), FileSystemPath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? FileChange::Done()
             : Failed();
}

FileChange Win32FileSystem::CopyFileOver(const std::string& from, const std::string& to) {
  if (IsReadOnly(to)) return Failed(ERROR_ACCESS_DENIED);
  const std::wstring target = FileSystemPath(to);
  if (!CopyFileW(FileSystemPath(from).c_str(), target.c_str(), FALSE)) return Failed();
  // CopyFileW carries the read-only flag over; a copy of a read-only backup
  // must not make the host's archive one we can never replace again.
  const DWORD a = GetFileAttributesW(target.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(target.c_str(), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return FileChange::Done();
}

FileChange Win32FileSystem::RemoveFile(const std::string& path) {
  if (IsReadOnly(path)) return Failed(ERROR_ACCESS_DENIED);
  return DeleteFileW(FileSystemPath(path).c_str()) ? FileChange::Done() : Failed();
}

FileChange Win32FileSystem::DeleteFolder(const std::string& path) {
  if (!FolderExists(path)) return FileChange::Failed();
  const std::wstring folder = Wide(path);
  // A link in the program's place is removed as a link; its target is not ours.
  if (IsLinkPath(folder)) return RemoveLink(folder) ? FileChange::Done() : FileChange::Failed();
  DeleteTree(folder);
  return FolderExists(path) ? FileChange::Failed() : FileChange::Done();
}

FileChange Win32FileSystem::CreateFolder(const std::string& path) {
  return CreateDirectoryW(FileSystemPath(path).c_str(), nullptr) ? FileChange::Done() : Failed();
}

std::vector<std::string> Win32FileSystem::ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  const UniqueFind find(FindFirstFileExW(FileSystemPath(folder + "\\*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, 0));
  if (!find) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Utf8(data.cFileName));
  } while (FindNextFileW(find.get(), &data));
  return names;
}

std::vector<std::string> Win32FileSystem::ListTree(const std::string& folder) {
  std::vector<std::string> out;
  if (IsLinkPath(Wide(folder))) return out;
  std::vector<std::string> pending{""};
  while (!pending.empty()) {
    const std::string relative = pending.back();
    pending.pop_back();
    const std::string prefix = relative.empty() ? relative : relative + "\\";
    WIN32_FIND_DATAW data;
    const UniqueFind find(FindFirstFileExW(FileSystemPath(folder + "\\" + prefix + "*").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0));
    if (!find) continue;
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L".." || IsLink(data.dwFileAttributes, data.dwReserved0)) continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        pending.push_back(prefix + Utf8(name));
      else
        out.push_back(prefix + Utf8(name));
    } while (FindNextFileW(find.get(), &data));
  }
  return out;
}

std::string Win32FileSystem::LongPathName(const std::string& path) { return win32::LongPathName(path); }

std::optional<FileIdentity> Win32FileSystem::IdentityOf(const std::string& path) {
  // No access asked for, every sharing allowed: a file another program holds
  // open is still identified. Backup semantics open folders too.
  UniqueHandle handle(CreateFileW(FileSystemPath(path).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return std::nullopt;
  // The 128-bit number where the system has it (ReFS needs all of it); the
  // older call where it has not (before Windows 8, some file systems). Both
  // give the same number on NTFS and the same low half of the volume's.
  FileIdInformation id{};
  if (GetFileInformationByHandleEx(handle.get(), kFileIdInfo, &id, sizeof(id))) {
    std::uint64_t high = 0, low = 0;
    static_assert(sizeof(id.FileId) == sizeof(high) + sizeof(low));
    std::memcpy(&low, id.FileId, sizeof(low));
    std::memcpy(&high, id.FileId + sizeof(low), sizeof(high));
    return FileIdentity{id.VolumeSerialNumber & 0xFFFFFFFFu, high, low};
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, 0, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<std::string> Win32FileSystem::FileVersion(const std::string& path) {
  const std::wstring wpath = FileSystemPath(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wpath.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::string block(size, '\0');
  if (!GetFileVersionInfoW(wpath.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
      len < sizeof(VS_FIXEDFILEINFO) || info->dwSignature != 0xFEEF04BD)
    return std::nullopt;
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

}  // namespace rw
