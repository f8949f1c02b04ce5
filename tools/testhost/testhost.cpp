// Stand-in for the host browser in tests and demos: a program named
// Maxthon.exe with a version resource, a main window of the host's class
// that closes on the system close command, and a log of every start.
//
//   Maxthon.exe [--background] [--ignore-close] [--minimized]
//               [--class NAME] [--title TEXT] [--exit-after MS]
//               [--window-after MS] [address]
//
// A start by another program (Ravelwick restarting the host) passes no
// options; the words of "testhost.args" beside the executable, when there is
// one, come before the command line's. A host whose Resource.dat beside it
// holds the bytes "TESTHOST-REFUSES-THIS-ARCHIVE" exits with code 3 (after
// --window-after, at once without it), as a browser does that cannot read
// its interface.
//
// The log "testhost.log" beside the executable gets one UTF-8 line per
// event: "start <pid> <command line>", "refuse", "restore", "close",
// "close ignored", "exit".
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <string_view>

namespace {

struct Options {
  bool background = false;
  bool ignoreClose = false;
  bool minimized = false;
  std::wstring className = L"Maxthon3Cls_MainFrm";
  std::wstring title = L"Maxthon 3 (test host)";
  DWORD exitAfterMs = 0;
  DWORD windowAfterMs = 0;
};

Options g_options;
std::wstring g_logPath;

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void Log(std::wstring_view line) {
  // Appending with shared access keeps lines of concurrent instances whole.
  HANDLE file = CreateFileW(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string bytes = Utf8(line) + "\r\n";
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::wstring ExeFolder() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return path.substr(0, path.find_last_of(L'\\'));
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void ParseOptions() {
  // The options file's words first, then the command line's.
  std::wstring commandLine = GetCommandLineW();
  const std::string extra = ReadBytes(ExeFolder() + L"\\testhost.args");
  if (!extra.empty()) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, extra.data(), static_cast<int>(extra.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, extra.data(), static_cast<int>(extra.size()), wide.data(), n);
    for (wchar_t& c : wide)
      if (c == L'\r' || c == L'\n') c = L' ';
    commandLine = L"Maxthon.exe " + wide + L" " + commandLine;
  }
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &argc);
  for (int i = 1; argv && i < argc; ++i) {
    const std::wstring_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--background") {
      g_options.background = true;
    } else if (arg == L"--ignore-close") {
      g_options.ignoreClose = true;
    } else if (arg == L"--minimized") {
      g_options.minimized = true;
    } else if (arg == L"--class" && hasValue) {
      g_options.className = argv[++i];
    } else if (arg == L"--title" && hasValue) {
      g_options.title = argv[++i];
    } else if (arg == L"--exit-after" && hasValue) {
      g_options.exitAfterMs = wcstoul(argv[++i], nullptr, 10);
    } else if (arg == L"--window-after" && hasValue) {
      g_options.windowAfterMs = wcstoul(argv[++i], nullptr, 10);
    }
    // Anything else (an address) is only logged.
  }
  LocalFree(argv);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_RESTORE) Log(L"restore");
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        Log(g_options.ignoreClose ? L"close ignored" : L"close");
        if (g_options.ignoreClose) return 0;
      }
      break;
    case WM_CLOSE:
      if (g_options.ignoreClose) return 0;
      break;
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  g_logPath = ExeFolder() + L"\\testhost.log";
  // Past MAX_PATH only the "\\?\" form opens everywhere.
  if (g_logPath.size() >= MAX_PATH && !g_logPath.starts_with(L"\\\\"))
    g_logPath = L"\\\\?\\" + g_logPath;
  else if (g_logPath.size() >= MAX_PATH && !g_logPath.starts_with(L"\\\\?\\"))
    g_logPath = L"\\\\?\\UNC\\" + g_logPath.substr(2);
  ParseOptions();
  Log(L"start " + std::to_wstring(GetCurrentProcessId()) + L" " + GetCommandLineW());
  // A slow start: running, but no window yet.
  if (g_options.windowAfterMs) Sleep(g_options.windowAfterMs);

  if (ReadBytes(ExeFolder() + L"\\Resource.dat").find("TESTHOST-REFUSES-THIS-ARCHIVE") != std::string::npos) {
    Log(L"refuse");
    return 3;
  }

  if (g_options.background) {
    Sleep(g_options.exitAfterMs ? g_options.exitAfterMs : INFINITE);
    Log(L"exit");
    return 0;
  }

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = g_options.className.c_str();
  RegisterClassExW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, g_options.title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, g_options.minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  if (g_options.exitAfterMs) SetTimer(window, 1, g_options.exitAfterMs, nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Log(L"exit");
  return 0;
}
