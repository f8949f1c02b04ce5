// Entry point of ravelwick.exe.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "platform/win32/late_bound.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "ui/command_line.h"
#include "ui/main_sequence.h"
#include "win32app/console_output.h"
#include "win32app/win32_ui_factory.h"

namespace {

bool MainWindowOfThisThreadExists() {
  bool found = false;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        static const std::wstring mainClass = rw::win32::Wide(rw::kMainWindowClass);
        wchar_t name[256] = {};
        GetClassNameW(window, name, 256);
        if (lstrcmpiW(name, mainClass.c_str()) != 0) return TRUE;
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Runs until the main window is gone. The window posts a quit message when
// it is destroyed; the loop also looks for the window itself, so a quit
// message taken by a nested loop cannot keep it waiting.
void RunWhileMainWindowLives() {
  MSG msg;
  while (MainWindowOfThisThreadExists() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

struct CommandLine {
  std::string programName;  // as started, without its folder
  std::vector<std::string> arguments;
};

// `arguments` is what follows the program name on the command line; the
// shell, which splits it, is loaded only when there is something to split.
CommandLine ParseCommandLine(std::wstring_view arguments) {
  CommandLine parsed{"ravelwick.exe", {}};
  if (arguments.find_first_not_of(L" \t") == std::wstring_view::npos) return parsed;
  static const auto commandLineToArgv =
      rw::win32::LateBound<decltype(&CommandLineToArgvW)>(L"shell32.dll", "CommandLineToArgvW");
  int count = 0;
  wchar_t** words = commandLineToArgv ? commandLineToArgv(GetCommandLineW(), &count) : nullptr;
  if (!words) return parsed;
  if (count > 0) {
    const std::wstring_view started = words[0];
    if (const std::wstring_view name = started.substr(started.find_last_of(L"\\/") + 1); !name.empty())
      parsed.programName = rw::win32::Utf8(name);
  }
  for (int i = 1; i < count; ++i) parsed.arguments.push_back(rw::win32::Utf8(words[i]));
  // The verbs' arguments are files, meant from the folder the command was
  // given in; the program itself never relies on a current folder. A look's
  // name stays as typed.
  const bool files = rw::ArgumentsAreFiles(parsed.arguments);
  for (int i = 1; i < count && files; ++i) {
    const std::wstring_view word = words[i];
    if (word.empty() || word[0] == L'/' || word[0] == L'-') continue;
    std::wstring full(32768, L'\0');
    const DWORD length = GetFullPathNameW(words[i], static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length > 0 && length < full.size()) parsed.arguments[i - 1] = rw::win32::Utf8({full.data(), length});
  }
  LocalFree(words);
  return parsed;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  rw::Win32Platform platform;
  rw::App app(platform, platform.files.ProgramFolder());
  // With arguments the program is a command: no window, an exit code.
  if (const CommandLine commandLine = ParseCommandLine(arguments ? arguments : L""); !commandLine.arguments.empty()) {
    rw::win32::Win32ConsoleOutput console;
    const std::optional<rw::ExitCode> code =
        rw::RunCommandLine(app, console, commandLine.programName, commandLine.arguments);
    return static_cast<int>(code.value_or(rw::ExitCode::UsageError));
  }
  rw::win32::Win32UiFactory ui(platform);
  if (rw::Main(app, ui) == rw::MainExit::MainWindowShown) RunWhileMainWindowLives();
  return 0;
}
