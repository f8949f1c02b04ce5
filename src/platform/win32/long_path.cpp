#include "platform/win32/long_path.h"

#include <windows.h>

#include "platform/win32/unicode.h"

namespace rw::win32 {

namespace {

constexpr std::size_t kShortPathLimit = MAX_PATH - 12;
constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD n = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (n == 0 || n >= size) return path;
  full.resize(n);
  return full;
}

}  // namespace

std::wstring FileSystemPath(std::wstring_view path) {
  std::wstring text(path);
  // Device and already extended paths are taken as they are.
  if (text.starts_with(kLongPrefix) || text.starts_with(L"\\\\.\\")) return text;
  const bool absolute = text.size() > 2 && text[1] == L':' && (text[2] == L'\\' || text[2] == L'/');
  if (absolute && text.size() < kShortPathLimit) return text;
  const std::wstring full = FullPath(text);
  if (full.size() < kShortPathLimit) return text;
  if (full.starts_with(L"\\\\")) return std::wstring(kLongUncPrefix) + full.substr(2);
  return std::wstring(kLongPrefix) + full;
}

std::wstring FileSystemPath(std::string_view utf8) { return FileSystemPath(Wide(utf8)); }

std::wstring WithoutLongPrefix(std::wstring_view path) {
  if (path.starts_with(kLongUncPrefix)) return L"\\\\" + std::wstring(path.substr(kLongUncPrefix.size()));
  if (path.starts_with(kLongPrefix)) return std::wstring(path.substr(kLongPrefix.size()));
  return std::wstring(path);
}

std::string LongPathName(const std::string& path) {
  const std::wstring wide = Wide(path);
  const std::wstring native = FileSystemPath(wide);
  const DWORD size = GetLongPathNameW(native.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD n = GetLongPathNameW(native.c_str(), full.data(), size);
  if (n == 0 || n >= size) return path;
  full.resize(n);
  return Utf8(native == wide ? full : WithoutLongPrefix(full));
}

}  // namespace rw::win32
