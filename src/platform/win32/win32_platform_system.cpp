// Win32System: text encoding, the registry and the system.
#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <cstdint>

#include "platform/win32/handle.h"
#include "platform/win32/road_fiber.h"
#include "platform/win32/unicode.h"

namespace rw {

using win32::Utf8;
using win32::Wide;

namespace {

// A mutex name holds no backslash past its namespace and at most MAX_PATH
// characters; a longer name keeps its end and a hash of the whole.
std::wstring MutexName(const std::string& name) {
  std::wstring wide = Wide(name);
  for (wchar_t& c : wide)
    if (c == L'\\') c = L'_';
  constexpr std::size_t kKept = 200;
  if (wide.size() > kKept) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t c : wide) hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    wchar_t hex[17];
    for (int i = 15; i >= 0; --i, hash >>= 4) hex[i] = L"0123456789abcdef"[hash & 15];
    hex[16] = L'\0';
    wide = std::wstring(hex) + L"~" + wide.substr(wide.size() - kKept);
  }
  // One namespace for every session: a task run while the user is not logged
  // on (session 0) must meet the window of the user's session. A mutex
  // needs no privilege there, unlike a file mapping.
  return L"Global\\" + wide;
}

}  // namespace

std::string Win32System::LowerCase(std::string_view text) { return win32::LowerCase(text); }

bool Win32System::ClaimSingleInstance(const std::string& name) {
  SetLastError(ERROR_SUCCESS);
  win32::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, MutexName(name).c_str()));
  const DWORD error = GetLastError();
  if (mutex && error == ERROR_ALREADY_EXISTS) return false;
  // Denied: a process of another user, or of this user at a higher
  // integrity level, holds it under its own default security, which is left
  // as it is: a denial tells as much as an open would. Any other failure
  // cannot tell, and must not keep the program from starting.
  const bool claimed = mutex || error != ERROR_ACCESS_DENIED;
  // Never closed: the claim lasts until the process ends.
  static_cast<void>(mutex.release());
  return claimed;
}

std::string Win32System::AnsiToUtf8(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Utf8(wide);
}

std::optional<std::string> Win32System::Utf8ToAnsi(std::string_view utf8) {
  const std::wstring wide = Wide(utf8);
  if (wide.empty()) return std::string();
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

std::optional<std::string> Win32System::ReadRegistryString(const std::string& valuePath) {
  const auto first = valuePath.find('\\');
  const auto last = valuePath.rfind('\\');
  if (first == std::string::npos || last == first) return std::nullopt;
  const std::string root = valuePath.substr(0, first);
  HKEY hive;
  if (root == "HKEY_CURRENT_USER" || root == "HKCU")
    hive = HKEY_CURRENT_USER;
  else if (root == "HKEY_LOCAL_MACHINE" || root == "HKLM")
    hive = HKEY_LOCAL_MACHINE;
  else
    return std::nullopt;
  const std::wstring subkey = Wide(valuePath.substr(first + 1, last - first - 1));
  const std::wstring name = Wide(valuePath.substr(last + 1));
  // REG_SZ also admits REG_EXPAND_SZ values (expanded); asking for both
  // types at once is refused without RRF_NOEXPAND.
  const DWORD flags = RRF_RT_REG_SZ;
  DWORD bytes = 0;
  if (RegGetValueW(hive, subkey.c_str(), name.c_str(), flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(hive, subkey.c_str(), name.c_str(), flags, nullptr, value.data(), &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), value.size()));
  return Utf8(value);
}

std::uint32_t Win32System::SystemDefaultLcid() { return GetSystemDefaultLCID(); }

// A road's wait lets the window's loop run meanwhile.
void Win32System::Sleep(unsigned milliseconds) {
  if (!win32::YieldFromRoad(milliseconds)) ::Sleep(milliseconds);
}

// RtlGetVersion tells the truth where GetVersionEx answers what the
// manifest names.
std::string Win32System::SystemVersion() {
  RTL_OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  using Fn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  const auto fn =
      reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (!fn || fn(&info) != 0) return "Windows";
  return "Windows " + std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
         std::to_string(info.dwBuildNumber);
}

}  // namespace rw
