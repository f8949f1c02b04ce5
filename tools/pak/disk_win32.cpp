// The disk calls of the tools on Windows, through the W functions: the C
// runtime under std::filesystem lists no folder past MAX_PATH and refuses
// "\\?\" paths in its stat, so long paths would fail or go astray.
#include <windows.h>

#include "pak_tool.h"
#include "tree.h"

namespace fs = std::filesystem;

namespace rw::pak {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

// Links (symbolic links, junctions; Wine shows Unix links with tag 0) are
// neither read nor entered nor removed.
bool IsLink(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0));
}

}  // namespace

// A full path in the "\\?\" form, cleaned and with backslashes, so that it
// works at any length. A relative one (a name) stays as it is.
fs::path PathFromUtf8(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                           wide.data(), static_cast<int>(wide.size()))));
  const bool drive = wide.size() > 2 && wide[1] == L':' && (wide[2] == L'\\' || wide[2] == L'/');
  const bool unc = wide.starts_with(L"\\\\") && !wide.starts_with(kLongPrefix) && !wide.starts_with(L"\\\\.\\");
  if (!drive && !unc) return fs::path(wide);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  const DWORD n = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (n == 0 || n >= size) return fs::path(wide);
  full.resize(n);
  if (full.starts_with(L"\\\\")) return fs::path(std::wstring(kLongUncPrefix) + full.substr(2));
  return fs::path(std::wstring(kLongPrefix) + full);
}

std::string Utf8FromPath(const fs::path& path) {
  std::wstring_view wide = path.native();
  std::wstring shown;
  if (wide.starts_with(kLongUncPrefix)) {
    shown = L"\\\\" + std::wstring(wide.substr(kLongUncPrefix.size()));
    wide = shown;
  } else if (wide.starts_with(kLongPrefix)) {
    wide.remove_prefix(kLongPrefix.size());
  }
  if (wide.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

DiskKind KindOf(const fs::path& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) {
    // A drive's root is no entry of a listing.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return DiskKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? DiskKind::Folder : DiskKind::File;
  }
  FindClose(find);
  if (IsLink(data)) return DiskKind::Other;
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? DiskKind::Folder : DiskKind::File;
}

bool ListFolder(const fs::path& folder, std::vector<fs::path>& names) {
  names.clear();
  WIN32_FIND_DATAW data;
  HANDLE find =
      FindFirstFileExW((folder.native() + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    const std::wstring_view name = data.cFileName;
    if (name != L"." && name != L"..") names.emplace_back(name);
  } while (FindNextFileW(find, &data));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(find);
  return complete;
}

bool MakeFolder(const fs::path& path) { return CreateDirectoryW(path.c_str(), nullptr) != 0; }

bool RenameFolder(const fs::path& from, const fs::path& to) { return MoveFileExW(from.c_str(), to.c_str(), 0) != 0; }

void RemoveTree(const fs::path& path) {
  const DiskKind kind = KindOf(path);
  if (kind == DiskKind::File) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
  if (kind != DiskKind::Folder) return;
  std::vector<fs::path> names;
  ListFolder(path, names);
  for (const fs::path& name : names) RemoveTree(path / name);
  RemoveDirectoryW(path.c_str());
}

bool ReplaceFileAtomically(const fs::path& from, const fs::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace rw::pak
