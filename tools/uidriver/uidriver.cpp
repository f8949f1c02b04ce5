// uidriver: drives the windows of other programs from the command line, for
// end-to-end tests. See README.md for the commands.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr DWORD kPollMs = 100;
constexpr UINT kSendTimeoutMs = 5000;

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Raw UTF-8 bytes, whatever the console code page.
void Print(std::wstring_view line) {
  const std::string bytes = Utf8(line) + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Fail(std::wstring_view message) {
  const std::string bytes = "uidriver: " + Utf8(message) + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Hex(HWND window) {
  wchar_t buffer[32];
  swprintf(buffer, 32, L"0x%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

// WM_GETTEXT with a timeout, so a hung target does not hang the driver.
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

// Captions compare without their mnemonic ampersands.
std::wstring WithoutMnemonics(std::wstring_view text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

struct Args {
  std::wstring command;
  std::map<std::wstring, std::wstring> values;
  bool Has(const std::wstring& key) const { return values.count(key) > 0; }
  std::wstring Get(const std::wstring& key, const std::wstring& fallback = L"") const {
    auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
  }
  long Number(const std::wstring& key, long fallback) const {
    return Has(key) ? wcstol(Get(key).c_str(), nullptr, 0) : fallback;
  }
};

const std::vector<std::wstring> kFlags = {L"--children", L"--hidden", L"--command", L"--partial"};

std::optional<Args> Parse(int argc, wchar_t** argv) {
  if (argc < 2) return std::nullopt;
  Args args;
  args.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::wstring key = argv[i];
    if (key.rfind(L"--", 0) != 0) return std::nullopt;
    bool flag = false;
    for (const auto& f : kFlags) flag = flag || f == key;
    if (flag) {
      args.values[key] = L"1";
    } else if (i + 1 < argc) {
      args.values[key] = argv[++i];
    } else {
      return std::nullopt;
    }
  }
  return args;
}

// --- Finding windows -------------------------------------------------------

struct WindowQuery {
  std::optional<std::wstring> className, title, titleContains;
  std::optional<DWORD> pid;
  std::optional<HWND> handle;
  bool hiddenToo = false;

  bool Matches(HWND window) const {
    if (handle) return window == *handle;
    if (!hiddenToo && !IsWindowVisible(window)) return false;
    if (className && _wcsicmp(ClassOf(window).c_str(), className->c_str()) != 0) return false;
    if (title || titleContains) {
      const std::wstring text = TextOf(window);
      if (title && text != *title) return false;
      if (titleContains && text.find(*titleContains) == std::wstring::npos) return false;
    }
    if (pid) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner != *pid) return false;
    }
    return true;
  }
};

WindowQuery WindowQueryFrom(const Args& args, const std::wstring& prefix) {
  WindowQuery q;
  if (args.Has(prefix + L"class")) q.className = args.Get(prefix + L"class");
  if (args.Has(prefix + L"title")) q.title = args.Get(prefix + L"title");
  if (args.Has(prefix + L"title-contains")) q.titleContains = args.Get(prefix + L"title-contains");
  if (args.Has(prefix + L"pid")) q.pid = static_cast<DWORD>(args.Number(prefix + L"pid", 0));
  if (args.Has(prefix + L"hwnd"))
    q.handle = reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(args.Get(prefix + L"hwnd").c_str(), nullptr, 0)));
  q.hiddenToo = args.Has(L"--hidden");
  return q;
}

// Window selection accepts --window-class as well as --class, and so on.
WindowQuery WindowQueryFrom(const Args& args) {
  WindowQuery q = WindowQueryFrom(args, L"--");
  const WindowQuery w = WindowQueryFrom(args, L"--window-");
  if (w.className) q.className = w.className;
  if (w.title) q.title = w.title;
  if (w.titleContains) q.titleContains = w.titleContains;
  if (w.pid) q.pid = w.pid;
  if (w.handle) q.handle = w.handle;
  return q;
}

std::vector<HWND> TopWindows(const WindowQuery& query) {
  struct Search {
    const WindowQuery* query;
    std::vector<HWND> found;
  } search{&query, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (s->query->Matches(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

struct ControlQuery {
  std::optional<std::wstring> caption;
  std::optional<int> id;
  std::optional<std::wstring> className;
  int index = 0;
  bool partial = false;

  bool Any() const { return caption || id || className; }
  bool Matches(HWND control) const {
    if (id && GetDlgCtrlID(control) != *id) return false;
    if (className && _wcsicmp(ClassOf(control).c_str(), className->c_str()) != 0) return false;
    if (caption) {
      const std::wstring text = WithoutMnemonics(TextOf(control));
      const std::wstring wanted = WithoutMnemonics(*caption);
      if (partial ? text.find(wanted) == std::wstring::npos : text != wanted) return false;
    }
    return true;
  }
};

ControlQuery ControlQueryFrom(const Args& args) {
  ControlQuery q;
  if (args.Has(L"--control")) q.caption = args.Get(L"--control");
  if (args.Has(L"--id")) q.id = static_cast<int>(args.Number(L"--id", 0));
  if (args.Has(L"--control-class")) q.className = args.Get(L"--control-class");
  q.index = static_cast<int>(args.Number(L"--index", 0));
  q.partial = args.Has(L"--partial");
  return q;
}

DWORD TimeoutMs(const Args& args) { return static_cast<DWORD>(args.Number(L"--timeout", 5) * 1000); }

// Polls until `find` gives a window or the timeout passes.
template <typename Find>
HWND WaitFor(DWORD timeoutMs, Find find) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND found = find()) return found;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(kPollMs);
  }
}

HWND FindWindowOrFail(const Args& args) {
  const WindowQuery query = WindowQueryFrom(args);
  HWND window = WaitFor(TimeoutMs(args), [&]() -> HWND {
    auto found = TopWindows(query);
    return found.empty() ? nullptr : found.front();
  });
  if (!window) Fail(L"no such window");
  return window;
}

// The window itself when no control is named.
HWND FindTargetOrFail(const Args& args) {
  HWND window = FindWindowOrFail(args);
  if (!window) return nullptr;
  const ControlQuery query = ControlQueryFrom(args);
  if (!query.Any()) return window;
  HWND control = WaitFor(TimeoutMs(args), [&]() -> HWND {
    int seen = 0;
    for (HWND child : Children(window))
      if (query.Matches(child) && seen++ == query.index) return child;
    return nullptr;
  });
  if (!control) Fail(L"no such control");
  return control;
}

std::wstring Describe(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return Hex(window) + L" pid=" + std::to_wstring(pid) + L" id=" + std::to_wstring(GetDlgCtrlID(window)) +
         L" class=\"" + ClassOf(window) + L"\" text=\"" + TextOf(window) + L"\"";
}

// --- Commands --------------------------------------------------------------

int List(const Args& args) {
  WindowQuery query = WindowQueryFrom(args);
  for (HWND window : TopWindows(query)) {
    Print(Describe(window));
    if (args.Has(L"--children"))
      for (HWND child : Children(window)) Print(L"  " + Describe(child));
  }
  return kExitOk;
}

int WaitWindow(const Args& args) {
  HWND window = FindWindowOrFail(args);
  if (!window) return kExitFailed;
  Print(Hex(window));
  return kExitOk;
}

int WaitGone(const Args& args) {
  const WindowQuery query = WindowQueryFrom(args);
  const ULONGLONG end = GetTickCount64() + TimeoutMs(args);
  while (!TopWindows(query).empty()) {
    if (GetTickCount64() >= end) {
      Fail(L"window still there");
      return kExitFailed;
    }
    Sleep(kPollMs);
  }
  return kExitOk;
}

int Click(const Args& args) {
  HWND control = FindTargetOrFail(args);
  if (!control) return kExitFailed;
  // Posted, not sent: the click may open a modal message box, and a sent
  // message would wait for it to be closed.
  if (args.Has(L"--command")) {
    PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
  } else {
    PostMessageW(control, BM_CLICK, 0, 0);
  }
  return kExitOk;
}

int SetText(const Args& args) {
  HWND control = FindTargetOrFail(args);
  if (!control) return kExitFailed;
  const std::wstring text = args.Get(L"--text");
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &result)) {
    Fail(L"WM_SETTEXT timed out");
    return kExitFailed;
  }
  return kExitOk;
}

int GetText(const Args& args) {
  HWND control = FindTargetOrFail(args);
  if (!control) return kExitFailed;
  Print(TextOf(control));
  return kExitOk;
}

std::optional<WPARAM> KeyCode(const std::wstring& name) {
  if (name == L"enter" || name == L"return") return VK_RETURN;
  if (name == L"escape" || name == L"esc") return VK_ESCAPE;
  if (name == L"tab") return VK_TAB;
  if (name == L"space") return VK_SPACE;
  if (name == L"f1") return VK_F1;
  wchar_t* end = nullptr;
  const unsigned long code = wcstoul(name.c_str(), &end, 0);
  if (end && *end == 0 && code > 0 && code < 256) return code;
  return std::nullopt;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

int Key(const Args& args) {
  const auto code = KeyCode(args.Get(L"--key"));
  if (!code) {
    Fail(L"unknown key");
    return kExitUsage;
  }
  HWND target = FindTargetOrFail(args);
  if (!target) return kExitFailed;
  // Without a named control the key goes where the target's focus is.
  if (!ControlQueryFrom(args).Any())
    if (HWND focus = FocusOf(target)) target = focus;
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(*code), MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, *code, 1 | (static_cast<LPARAM>(scan) << 16));
  PostMessageW(target, WM_KEYUP, *code, 1 | (static_cast<LPARAM>(scan) << 16) | (3LL << 30));
  return kExitOk;
}

int FocusInfo(const Args& args) {
  HWND window = FindWindowOrFail(args);
  if (!window) return kExitFailed;
  HWND focus = FocusOf(window);
  if (!focus) {
    Fail(L"nothing has the focus");
    return kExitFailed;
  }
  DWORD_PTR selection = 0;
  std::wstring line = Describe(focus);
  if (_wcsicmp(ClassOf(focus).c_str(), L"Edit") == 0 &&
      SendMessageTimeoutW(focus, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &selection))
    line += L" selection=" + std::to_wstring(LOWORD(selection)) + L"," + std::to_wstring(HIWORD(selection)) +
            L" length=" + std::to_wstring(TextOf(focus).size());
  Print(line);
  return kExitOk;
}

int Check(const Args& args) {
  HWND control = FindTargetOrFail(args);
  if (!control) return kExitFailed;
  const LRESULT wanted = args.Number(L"--state", 1) ? BST_CHECKED : BST_UNCHECKED;
  auto state = [&] {
    DWORD_PTR current = 0;
    SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &current);
    return static_cast<LRESULT>(current);
  };
  // Clicks, so the program hears of the change as from the user; a
  // three-state box may need two.
  const ULONGLONG end = GetTickCount64() + TimeoutMs(args);
  for (int clicks = 0; state() != wanted; ++clicks) {
    if (clicks == 3 || GetTickCount64() >= end) {
      Fail(L"check state did not change");
      return kExitFailed;
    }
    const LRESULT before = state();
    PostMessageW(control, BM_CLICK, 0, 0);
    while (state() == before && GetTickCount64() < end) Sleep(kPollMs);
  }
  return kExitOk;
}

// The items of a list box, read one by one: Windows and Wine carry
// LB_GETTEXT across processes for the system's list boxes.
std::optional<std::vector<std::wstring>> ItemsOf(HWND list) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &count) ||
      static_cast<LRESULT>(count) == LB_ERR)
    return std::nullopt;
  std::vector<std::wstring> items;
  for (WPARAM i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length);
    std::wstring text(static_cast<LRESULT>(length) == LB_ERR ? 1 : length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                        &copied);
    text.resize(static_cast<LRESULT>(copied) == LB_ERR ? 0 : std::min<size_t>(copied, text.size() - 1));
    items.push_back(text);
  }
  return items;
}

LRESULT SelectionOf(HWND list) {
  DWORD_PTR selected = 0;
  if (!SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &selected)) return LB_ERR;
  return static_cast<LRESULT>(selected);
}

int Items(const Args& args) {
  HWND list = FindTargetOrFail(args);
  if (!list) return kExitFailed;
  const auto items = ItemsOf(list);
  if (!items) {
    Fail(L"not a list box");
    return kExitFailed;
  }
  const LRESULT selected = SelectionOf(list);
  for (size_t i = 0; i < items->size(); ++i)
    Print(L"index=" + std::to_wstring(i) + L" selected=" + (static_cast<LRESULT>(i) == selected ? L"1" : L"0") +
          L" text=\"" + (*items)[i] + L"\"");
  return kExitOk;
}

// Chooses a list box item as a click does: the list's window hears
// LBN_SELCHANGE (posted, so whatever it opens does not block the driver).
int Select(const Args& args) {
  if (args.Has(L"--item") == args.Has(L"--item-index")) return kExitUsage;
  HWND list = FindTargetOrFail(args);
  if (!list) return kExitFailed;
  const auto items = ItemsOf(list);
  if (!items) {
    Fail(L"not a list box");
    return kExitFailed;
  }
  long index = -1;
  if (args.Has(L"--item-index")) {
    index = args.Number(L"--item-index", -1);
  } else {
    for (size_t i = 0; i < items->size() && index < 0; ++i)
      if ((*items)[i] == args.Get(L"--item")) index = static_cast<long>(i);
  }
  if (index < 0 || static_cast<size_t>(index) >= items->size()) {
    Fail(L"no such item");
    return kExitFailed;
  }
  DWORD_PTR result = 0;
  SendMessageTimeoutW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  if (SelectionOf(list) != index) {
    Fail(L"selection did not change");
    return kExitFailed;
  }
  PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  return kExitOk;
}

int Menu(const Args& args) {
  if (!args.Has(L"--id")) return kExitUsage;
  HWND window = FindWindowOrFail(args);
  if (!window) return kExitFailed;
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(args.Number(L"--id", 0), 0), 0);
  return kExitOk;
}

// The text of a message box: its static control with id 0xFFFF.
int Message(const Args& args) {
  Args boxArgs = args;
  if (!boxArgs.Has(L"--class") && !boxArgs.Has(L"--window-class")) boxArgs.values[L"--class"] = L"#32770";
  HWND box = FindWindowOrFail(boxArgs);
  if (!box) return kExitFailed;
  HWND text = GetDlgItem(box, 0xFFFF);
  if (!text) {
    Fail(L"no message text");
    return kExitFailed;
  }
  Print(TextOf(text));
  return kExitOk;
}

int Close(const Args& args) {
  HWND window = FindWindowOrFail(args);
  if (!window) return kExitFailed;
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  return kExitOk;
}

// A bare WM_CLOSE, as taskkill without /f or another program posts it.
int PostClose(const Args& args) {
  HWND window = FindWindowOrFail(args);
  if (!window) return kExitFailed;
  PostMessageW(window, WM_CLOSE, 0, 0);
  return kExitOk;
}

// The same sent: the target handles it inside whatever loop it waits in.
int SendClose(const Args& args) {
  HWND window = FindWindowOrFail(args);
  if (!window) return kExitFailed;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
    Fail(L"WM_CLOSE timed out");
    return kExitFailed;
  }
  return kExitOk;
}

int Show(const Args& args) {
  static const std::map<std::wstring, int> states = {{L"minimize", SW_MINIMIZE},
                                                     {L"restore", SW_RESTORE},
                                                     {L"hide", SW_HIDE},
                                                     {L"show", SW_SHOW},
                                                     {L"maximize", SW_MAXIMIZE}};
  auto it = states.find(args.Get(L"--state"));
  if (it == states.end()) return kExitUsage;
  HWND window = FindWindowOrFail(args);
  if (!window) return kExitFailed;
  ShowWindowAsync(window, it->second);
  return kExitOk;
}

int WindowInfo(const Args& args) {
  HWND window = FindTargetOrFail(args);
  if (!window) return kExitFailed;
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  Print(Describe(window) + L" visible=" + std::to_wstring(IsWindowVisible(window) ? 1 : 0) + L" minimized=" +
        std::to_wstring(IsIconic(window) ? 1 : 0) + L" enabled=" + std::to_wstring(IsWindowEnabled(window) ? 1 : 0) +
        L" foreground=" + std::to_wstring(GetForegroundWindow() == window ? 1 : 0) + L" rect=" +
        std::to_wstring(outer.left) + L"," + std::to_wstring(outer.top) + L"," + std::to_wstring(outer.right) + L"," +
        std::to_wstring(outer.bottom) + L" client=" + std::to_wstring(client.right) + L"x" +
        std::to_wstring(client.bottom));
  return kExitOk;
}

void Usage() {
  Fail(
      L"usage: uidriver COMMAND [options]; commands: list, wait-window, wait-gone, click, set-text, get-text, "
      L"key, focus-info, check, items, select, menu, message, close, post-close, send-close, show, window-info (see "
      L"README.md)");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const auto args = Parse(argc, argv);
  if (!args) {
    Usage();
    return kExitUsage;
  }
  using Command = int (*)(const Args&);
  static const std::map<std::wstring, Command> commands = {{L"list", List},
                                                           {L"wait-window", WaitWindow},
                                                           {L"wait-gone", WaitGone},
                                                           {L"click", Click},
                                                           {L"set-text", SetText},
                                                           {L"get-text", GetText},
                                                           {L"key", Key},
                                                           {L"focus-info", FocusInfo},
                                                           {L"check", Check},
                                                           {L"items", Items},
                                                           {L"select", Select},
                                                           {L"menu", Menu},
                                                           {L"message", Message},
                                                           {L"close", Close},
                                                           {L"post-close", PostClose},
                                                           {L"send-close", SendClose},
                                                           {L"show", Show},
                                                           {L"window-info", WindowInfo}};
  auto it = commands.find(args->command);
  if (it == commands.end()) {
    Usage();
    return kExitUsage;
  }
  return it->second(*args);
}
