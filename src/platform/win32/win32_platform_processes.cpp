// Win32Processes: processes and the default browser.
#include "platform/win32/win32_platform.h"

#include <windows.h>
// Order matters: these need windows.h first.
#include <shellapi.h>
#include <tlhelp32.h>

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

}  // namespace

std::vector<ProcessInfo> Win32Processes::ListProcesses(const std::string& imageName) {
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
        info.executablePath = win32::LongPathName(Utf8(WithoutLongPrefix(path)));
      }
    }
    out.push_back(std::move(info));
  }
  return out;
}

bool Win32Processes::TerminateProcess(std::uint32_t pid) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
  return process && ::TerminateProcess(process.get(), 1) != 0;
}

std::uint32_t Win32Processes::StartProcess(const std::string& commandLine, bool hidden) {
  std::wstring line = Wide(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (hidden) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
  }
  PROCESS_INFORMATION pi{};
  const std::wstring application = ApplicationName(ProgramOf(line));
  // Neither our console nor our standard streams: what a command line verb
  // prints is its own, and a pipe reading it ends with it, not with the
  // browser it started.
  if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr, FALSE,
                      DETACHED_PROCESS, nullptr, nullptr, &si, &pi))
    return 0;
  UniqueHandle thread(pi.hThread);
  // Kept so its exit code can still be read after it ended; a run starts
  // only a few processes.
  startedProcesses_[pi.dwProcessId] = pi.hProcess;
  return pi.dwProcessId;
}

std::optional<std::uint32_t> Win32Processes::ExitCodeOf(std::uint32_t pid) {
  const auto it = startedProcesses_.find(pid);
  if (it == startedProcesses_.end()) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(it->second, &code) || code == STILL_ACTIVE) return std::nullopt;
  return code;
}

Win32Processes::~Win32Processes() {
  for (const auto& [pid, process] : startedProcesses_) CloseHandle(process);
}

bool Win32Processes::OpenInDefaultBrowser(const std::string& address) {
  // Only web addresses: a language file must not be able to start programs.
  // The scheme has no letter case ("HTTPS://" is as good).
  const std::string scheme = win32::LowerCase(std::string_view(address).substr(0, 8));
  if (!scheme.starts_with("https://") && !scheme.starts_with("http://")) return false;
  static const auto shellExecute = win32::LateBound<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  if (!shellExecute) return false;
  const win32::ScopedCom com;
  const auto result =
      reinterpret_cast<INT_PTR>(shellExecute(nullptr, L"open", Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace rw
