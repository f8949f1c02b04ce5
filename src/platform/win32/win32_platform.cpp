#include "platform/win32/win32_platform.h"

#include <windows.h>
// Order matters: these need windows.h first.
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winver.h>

#include "platform/win32/handle.h"
#include "platform/win32/late_bound.h"
#include "platform/win32/long_path.h"
#include "platform/win32/unicode.h"

namespace rw {

using win32::FileSystemPath;
using win32::UniqueHandle;
using win32::Utf8;
using win32::Wide;
using win32::WithoutLongPrefix;

namespace {

bool g_waitCursor = false;

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
  HANDLE find =
      FindFirstFileExW(FileSystemPath(path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return true;
  FindClose(find);
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
  HANDLE find = FindFirstFileExW(FileSystemPath(folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, 0);
  if (find != INVALID_HANDLE_VALUE) {
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
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  if (!RemoveDirectoryW(FileSystemPath(folder).c_str())) complete = false;
  return complete;
}

// The program a command line starts: its first argument, quoted or not.
std::wstring ProgramOf(const std::wstring& commandLine) {
  if (commandLine.starts_with(L'"')) {
    const auto end = commandLine.find(L'"', 1);
    return commandLine.substr(1, end == std::wstring::npos ? end : end - 1);
  }
  return commandLine.substr(0, commandLine.find_first_of(L" \t"));
}

// CreateProcessW finds a program by its command line only while the path is
// short. Past MAX_PATH it is named separately: by its 8.3 form, which Wine
// and most system volumes have, else in the "\\?\" form that Windows with
// long paths enabled takes. Empty: the command line says it.
std::wstring ApplicationName(const std::wstring& program) {
  const std::wstring native = FileSystemPath(program);
  if (native == program) return {};
  const DWORD size = GetShortPathNameW(native.c_str(), nullptr, 0);
  if (size != 0) {
    std::wstring shortPath(size, L'\0');
    const DWORD n = GetShortPathNameW(native.c_str(), shortPath.data(), size);
    if (n != 0 && n < size) {
      shortPath = WithoutLongPrefix(shortPath.substr(0, n));
      if (shortPath.size() < MAX_PATH) return shortPath;
    }
  }
  return native;
}

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
  return L"Local\\" + wide;
}

}  // namespace

namespace win32 {
bool WaitCursorActive() { return g_waitCursor; }
}  // namespace win32

std::string Win32Platform::ProgramFolder() {
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

bool Win32Platform::FileExists(const std::string& path) { return IsFileAttr(Attributes(path)); }
bool Win32Platform::FolderExists(const std::string& path) { return IsFolderAttr(Attributes(path)); }

bool Win32Platform::IsReadOnly(const std::string& path) {
  const DWORD a = Attributes(path);
  return IsFileAttr(a) && (a & FILE_ATTRIBUTE_READONLY);
}

std::optional<FileStamp> Win32Platform::StampOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  const auto join = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
  return FileStamp{join(data.nFileSizeHigh, data.nFileSizeLow),
                   join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

std::optional<std::string> Win32Platform::ReadFile(const std::string& path) {
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

bool Win32Platform::WriteFile(const std::string& path, std::string_view bytes) {
  if (IsReadOnly(path)) return false;
  UniqueHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    if (!::WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
    done += put;
  }
  // The bytes must be on disk before a rename makes them the real file.
  return FlushFileBuffers(file.get()) != 0;
}

bool Win32Platform::RenameOver(const std::string& from, const std::string& to) {
  // Checked here too: Wine running as root would rename over it.
  if (IsReadOnly(to) || FolderExists(to)) return false;
  return MoveFileExW(FileSystemPath(from).c_str(), FileSystemPath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Platform::CopyFileOver(const std::string& from, const std::string& to) {
  if (IsReadOnly(to)) return false;
  const std::wstring target = FileSystemPath(to);
  if (!CopyFileW(FileSystemPath(from).c_str(), target.c_str(), FALSE)) return false;
  // CopyFileW carries the read-only flag over; a copy of a read-only backup
  // must not make the host's archive one we can never replace again.
  const DWORD a = GetFileAttributesW(target.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(target.c_str(), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return true;
}

bool Win32Platform::RemoveFile(const std::string& path) {
  if (IsReadOnly(path)) return false;
  return DeleteFileW(FileSystemPath(path).c_str()) != 0;
}

bool Win32Platform::DeleteFolder(const std::string& path) {
  if (!FolderExists(path)) return false;
  const std::wstring folder = Wide(path);
  // A link in the program's place is removed as a link; its target is not ours.
  if (IsLinkPath(folder)) return RemoveLink(folder);
  DeleteTree(folder);
  return !FolderExists(path);
}

bool Win32Platform::CreateFolder(const std::string& path) {
  return CreateDirectoryW(FileSystemPath(path).c_str(), nullptr) != 0;
}

std::vector<std::string> Win32Platform::ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(FileSystemPath(folder + "\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Utf8(data.cFileName));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

std::vector<std::string> Win32Platform::ListTree(const std::string& folder) {
  std::vector<std::string> out;
  if (IsLinkPath(Wide(folder))) return out;
  std::vector<std::string> pending{""};
  while (!pending.empty()) {
    const std::string relative = pending.back();
    pending.pop_back();
    const std::string prefix = relative.empty() ? relative : relative + "\\";
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(FileSystemPath(folder + "\\" + prefix + "*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L".." || IsLink(data.dwFileAttributes, data.dwReserved0)) continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        pending.push_back(prefix + Utf8(name));
      else
        out.push_back(prefix + Utf8(name));
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  return out;
}

std::string Win32Platform::LongPathName(const std::string& path) {
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

std::string Win32Platform::LowerCase(std::string_view text) {
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

bool Win32Platform::ClaimSingleInstance(const std::string& name) {
  // The handle is never closed: the claim lasts until the process ends.
  SetLastError(ERROR_SUCCESS);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(name).c_str());
  const DWORD error = GetLastError();
  if (mutex && error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  // Denied: another user's process holds it. Any other failure cannot tell,
  // and must not keep the program from starting.
  return mutex || error != ERROR_ACCESS_DENIED;
}

std::optional<std::string> Win32Platform::FileVersion(const std::string& path) {
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

std::string Win32Platform::AnsiToUtf8(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Utf8(wide);
}

std::optional<std::string> Win32Platform::Utf8ToAnsi(std::string_view utf8) {
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

std::optional<std::string> Win32Platform::ReadRegistryString(const std::string& valuePath) {
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

std::uint32_t Win32Platform::SystemDefaultLcid() { return GetSystemDefaultLCID(); }

void Win32Platform::InitCommonControls() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

bool Win32Platform::IsCompositionEnabled() {
  win32::UniqueModule dwm(LoadLibraryW(L"dwmapi.dll"));
  if (!dwm) return false;
  using Fn = HRESULT(WINAPI*)(BOOL*);
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm.get(), "DwmIsCompositionEnabled")));
  if (!fn) return false;
  // The library stays loaded until the answer is in.
  BOOL enabled = FALSE;
  return SUCCEEDED(fn(&enabled)) && enabled;
}

WindowHandle Win32Platform::FindTopWindow(const std::string& className, const std::string& title) {
  const std::wstring wclass = Wide(className);
  const std::wstring wtitle = Wide(title);
  return reinterpret_cast<WindowHandle>(FindWindowW(wclass.c_str(), title.empty() ? nullptr : wtitle.c_str()));
}

void Win32Platform::RaiseWindow(WindowHandle window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
}

void Win32Platform::SendCloseCommand(WindowHandle window) {
  // A hung host must not hang us: give up on the send after a few seconds.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(reinterpret_cast<HWND>(window), WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 5000,
                      &result);
}

MessageResult Win32Platform::ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                                         MessageButtons buttons) {
  const UINT type = buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
  const int answer =
      MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text).c_str(), Wide(title).c_str(), type | MB_SETFOREGROUND);
  return answer == IDOK ? MessageResult::Ok : MessageResult::Cancel;
}

void Win32Platform::PumpEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Win32Platform::SetWaitCursor(bool wait) {
  g_waitCursor = wait;
  SetCursor(LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void Win32Platform::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

std::vector<ProcessInfo> Win32Platform::ListProcesses(const std::string& imageName) {
  std::vector<ProcessInfo> out;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return out;
  const std::wstring wanted = Wide(imageName);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (CompareStringOrdinal(entry.szExeFile, -1, wanted.c_str(), -1, TRUE) != CSTR_EQUAL) continue;
    ProcessInfo info;
    info.pid = entry.th32ProcessID;
    info.imageName = Utf8(entry.szExeFile);
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (process) {
      std::wstring path(32768, L'\0');
      DWORD size = static_cast<DWORD>(path.size());
      if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) {
        path.resize(size);
        // A program started by its 8.3 path shows that path here.
        info.executablePath = LongPathName(Utf8(WithoutLongPrefix(path)));
      }
    }
    out.push_back(std::move(info));
  }
  return out;
}

bool Win32Platform::TerminateProcess(std::uint32_t pid) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
  return process && ::TerminateProcess(process.get(), 1) != 0;
}

std::uint32_t Win32Platform::StartProcess(const std::string& commandLine, bool hidden) {
  std::wstring line = Wide(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (hidden) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
  }
  PROCESS_INFORMATION pi{};
  const std::wstring application = ApplicationName(ProgramOf(line));
  if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &si, &pi))
    return 0;
  UniqueHandle thread(pi.hThread);
  // Kept so its exit code can still be read after it ended; a run starts
  // only a few processes.
  startedProcesses_[pi.dwProcessId] = pi.hProcess;
  return pi.dwProcessId;
}

std::optional<std::uint32_t> Win32Platform::ExitCodeOf(std::uint32_t pid) {
  const auto it = startedProcesses_.find(pid);
  if (it == startedProcesses_.end()) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(it->second, &code) || code == STILL_ACTIVE) return std::nullopt;
  return code;
}

Win32Platform::~Win32Platform() {
  for (const auto& [pid, process] : startedProcesses_) CloseHandle(process);
}

bool Win32Platform::OpenInDefaultBrowser(const std::string& address) {
  // Only web addresses: a language file must not be able to start programs.
  // The scheme has no letter case ("HTTPS://" is as good).
  const std::string scheme = LowerCase(std::string_view(address).substr(0, 8));
  if (!scheme.starts_with("https://") && !scheme.starts_with("http://")) return false;
  static const auto shellExecute = win32::LateBound<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  if (!shellExecute) return false;
  const win32::ScopedCom com;
  const auto result =
      reinterpret_cast<INT_PTR>(shellExecute(nullptr, L"open", Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace rw
