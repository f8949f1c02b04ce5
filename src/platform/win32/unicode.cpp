#include "platform/win32/unicode.h"

#include <windows.h>

namespace rw::win32 {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string LowerCase(std::string_view text) {
  const std::wstring wide = Wide(text);
  if (wide.empty()) return std::string(text);
  // The invariant locale lowers as file names compare, whatever the user's
  // language (no Turkish dotless i).
  const int size = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), static_cast<int>(wide.size()),
                                 nullptr, 0, nullptr, nullptr, 0);
  if (size <= 0) return std::string(text);
  std::wstring lowered(static_cast<size_t>(size), L'\0');
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), static_cast<int>(wide.size()), lowered.data(),
                    size, nullptr, nullptr, 0) != size)
    return std::string(text);
  return Utf8(lowered);
}

}  // namespace rw::win32
