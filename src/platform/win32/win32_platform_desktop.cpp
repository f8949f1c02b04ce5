// Win32Desktop: windows, messages and the look of the controls.
#include <windows.h>
// Order matters: this needs windows.h first.
#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/handle.h"
#include "platform/win32/late_bound.h"
#include "platform/win32/long_path.h"
#include "platform/win32/road_fiber.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"

namespace rw {

using win32::Wide;

namespace {

bool g_waitCursor = false;

}  // namespace

namespace win32 {
bool WaitCursorActive() { return g_waitCursor; }
}  // namespace win32

WindowHandle Win32Desktop::FindTopWindow(const std::string& className, const std::string& title) {
  const std::wstring wclass = Wide(className);
  const std::wstring wtitle = Wide(title);
  return reinterpret_cast<WindowHandle>(FindWindowW(wclass.c_str(), title.empty() ? nullptr : wtitle.c_str()));
}

void Win32Desktop::RaiseWindow(WindowHandle window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
}

void Win32Desktop::SendCloseCommand(WindowHandle window) {
  // A hung host must not hang us: give up on the send after a few seconds.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(reinterpret_cast<HWND>(window), WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 5000,
                      &result);
}

MessageResult Win32Desktop::ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                                        MessageButtons buttons, MessageIcon icon) {
  const UINT type = buttons == MessageButtons::OkCancel ? MB_OKCANCEL
                    : buttons == MessageButtons::YesNo  ? MB_YESNO
                                                        : MB_OK;
  const UINT symbol = icon == MessageIcon::Information ? MB_ICONINFORMATION
                      : icon == MessageIcon::Question  ? MB_ICONQUESTION
                      : icon == MessageIcon::Warning   ? MB_ICONWARNING
                      : icon == MessageIcon::Error     ? MB_ICONERROR
                                                       : 0u;
  const int answer = MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text).c_str(), Wide(title).c_str(),
                                 type | symbol | MB_SETFOREGROUND);
  return answer == IDOK || answer == IDYES ? MessageResult::Ok : MessageResult::Cancel;
}

void Win32Desktop::PumpEvents() {
  // On the road fiber the window's own loop dispatches: a box or menu opened
  // from here would hold the road in its loop.
  if (win32::YieldFromRoad(0)) return;
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

void Win32Desktop::SetWaitCursor(bool wait) {
  g_waitCursor = wait;
  SetCursor(LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void Win32Desktop::InitCommonControls() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

bool Win32Desktop::IsCompositionEnabled() {
  win32::UniqueModule dwm(LoadLibraryW(L"dwmapi.dll"));
  if (!dwm) return false;
  using Fn = HRESULT(WINAPI*)(BOOL*);
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm.get(), "DwmIsCompositionEnabled")));
  if (!fn) return false;
  // The library stays loaded until the answer is in.
  BOOL enabled = FALSE;
  return SUCCEEDED(fn(&enabled)) && enabled;
}

// The program the user chose for the file's kind; Notepad when the kind has
// none, as a fresh system leaves ".log".
bool Win32Desktop::OpenInTextEditor(const std::string& path) {
  if (GetFileAttributesW(win32::FileSystemPath(std::string_view(path)).c_str()) == INVALID_FILE_ATTRIBUTES)
    return false;
  static const auto shellExecute = win32::LateBound<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  if (!shellExecute) return false;
  const win32::ScopedCom com;
  const std::wstring file = Wide(path);
  const auto opened = [&](const wchar_t* program, const wchar_t* arguments) {
    return reinterpret_cast<INT_PTR>(shellExecute(nullptr, L"open", program, arguments, nullptr, SW_SHOWNORMAL)) > 32;
  };
  return opened(file.c_str(), nullptr) || opened(L"notepad.exe", (L"\"" + file + L"\"").c_str());
}

bool Win32Desktop::CopyTextToClipboard(const std::string& text) {
  // Lines end in CR LF on the clipboard, as every editor pastes them.
  std::wstring wide;
  for (wchar_t c : Wide(text)) {
    if (c == L'\n' && (wide.empty() || wide.back() != L'\r')) wide += L'\r';
    wide += c;
  }
  const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  if (void* target = GlobalLock(memory)) {
    memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);  // the clipboard owns it only once set
  return set;
}

}  // namespace rw
