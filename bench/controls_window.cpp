// A second yardstick for start-up time: a window holding as many themed
// controls as the main window (38 three-state check boxes, 5 fields, a select
// box, 2 buttons and 2 framed legends), created plainly at their places with
// the interface font. What Wine needs for that much window is the least the
// main window can take.
#include <windows.h>

#include <commctrl.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  InitCommonControls();
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"RavelwickBenchControlsWindow";
  if (!RegisterClassW(&windowClass)) return 1;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  HWND window = CreateWindowW(windowClass.lpszClassName, L"Controls window", style, CW_USEDEFAULT, CW_USEDEFAULT, 870,
                              560, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
  const auto add = [&](HWND parent, const wchar_t* className, const wchar_t* text, DWORD controlStyle, DWORD exStyle,
                       int x, int y, int width, int height) {
    static int id = 100;
    HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | controlStyle, x, y, width, height,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  for (int i = 0; i < 38; ++i)
    add(window, L"Button", L"Hide a part of the browser's interface", WS_TABSTOP | BS_3STATE, 0, 16 + (i / 19) * 424,
        16 + (i % 19) * 21, 400, 17);
  for (int i = 0; i < 5; ++i)
    add(window, L"Edit", L"180", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 440 + (i % 2) * 360, 420 + (i / 2) * 24,
        60, 22);
  add(window, L"Button", L"Select/Unselect All", WS_TABSTOP | BS_3STATE, 0, 16, 470, 200, 17);
  add(window, L"Button", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 640, 490, 90, 26);
  add(window, L"Button", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, 740, 490, 90, 26);
  for (int i = 0; i < 2; ++i) {
    HWND frame = add(window, L"Static", L"", WS_CLIPCHILDREN, 0, 16 + i * 200, 500, 180, 24);
    add(frame, L"Button", L"Legend", BS_3STATE, 0, 4, 3, 170, 17);
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(font);
  return 0;
}
