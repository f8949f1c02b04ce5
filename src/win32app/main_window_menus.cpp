// The main window's menu bar: one menu made from the command table, whose
// items the language renames, and the language submenu the load fills.
#include <windows.h>

#include <string>

#include "platform/win32/unicode.h"
#include "ui/window_commands.h"
#include "win32app/main_window_view.h"

namespace rw::win32 {

namespace {

// The menu bar's one item, or the item of a command; 0 for another control.
UINT MenuIdOf(Control control) {
  if (control == Control::MenuTop) return kMenuTop;
  const WindowCommand* command = CommandOf(control);
  return command ? command->menuId : 0;
}

// The shortcut shown after an item's caption, the same in every language.
std::wstring ShortcutOf(Control control) {
  const WindowCommand* command = CommandOf(control);
  return command && !command->shortcut.label.empty() ? L"\t" + Wide(command->shortcut.label) : std::wstring();
}

// Menus read "&" as a mnemonic; a file name shows as it is spelled.
std::wstring MenuLiteral(std::string_view text) {
  std::wstring out;
  for (wchar_t c : Wide(text)) {
    out += c;
    if (c == L'&') out += L'&';
  }
  return out;
}

}  // namespace

HMENU Win32MainView::CreateMenus() {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  languageMenu_ = CreatePopupMenu();
  if (!bar || !popup || !languageMenu_) return bar;
  AppendMenuW(languageMenu_, MF_STRING | MF_CHECKED, kFirstLanguageId, Wide(kEnglishItem).c_str());
  languageItems_ = 1;

  const auto item = [&](HMENU menu, UINT id, Control control, HMENU submenu) {
    const std::wstring text = Wide(DesignCaption(SlotOf(control))) + ShortcutOf(control);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STRING | (submenu ? MIIM_SUBMENU : 0u);
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
  };
  for (const WindowCommand& command : WindowCommands()) {
    if (command.menuId == 0) continue;
    if (command.startsGroup && GetMenuItemCount(popup) > 0) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    item(popup, command.menuId, command.control, command.control == Control::MenuLanguage ? languageMenu_ : nullptr);
  }
  item(bar, kMenuTop, Control::MenuTop, popup);
  return bar;
}

std::optional<Control> Win32MainView::HighlightedItem(WPARAM wParam, LPARAM lParam) const {
  const UINT item = LOWORD(wParam);
  const UINT flags = HIWORD(wParam);
  if (flags == 0xFFFF && lParam == 0) return std::nullopt;
  if (flags & MF_POPUP)
    return GetSubMenu(reinterpret_cast<HMENU>(lParam), static_cast<int>(item)) == languageMenu_
               ? std::optional(Control::MenuLanguage)
               : std::optional(Control::MenuTop);
  if (item >= kFirstLanguageId && item <= kLastLanguageId) return Control::MenuLanguage;
  if (item == kMenuTop) return Control::MenuTop;
  if (const WindowCommand* command = CommandWithMenuId(item)) return command->control;
  return std::nullopt;
}

// False when the control is no menu item.
bool Win32MainView::SetMenuCaption(Control control, const std::string& caption) {
  const UINT id = MenuIdOf(control);
  if (id == 0) return false;
  HMENU bar = window_ ? GetMenu(window_) : nullptr;
  if (!bar) return true;
  const std::wstring text = Wide(caption) + ShortcutOf(control);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(text.c_str());
  // Found by identifier through the submenus as well.
  SetMenuItemInfoW(bar, id, FALSE, &info);
  // A hidden window's bar is measured anew when it is first drawn.
  if (id == kMenuTop && IsWindowVisible(window_)) DrawMenuBar(window_);
  return true;
}

// False when the control is no menu item.
bool Win32MainView::SetMenuEnabled(Control control, bool enabled) {
  const UINT id = MenuIdOf(control);
  if (id == 0) return false;
  if (HMENU bar = window_ ? GetMenu(window_) : nullptr)
    EnableMenuItem(bar, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  return true;
}

void Win32MainView::AddLanguageItem(const std::string& caption, bool checked) {
  const UINT id = kFirstLanguageId + languageItems_;
  if (!languageMenu_ || id > kLastLanguageId) return;
  AppendMenuW(languageMenu_, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), id, MenuLiteral(caption).c_str());
  ++languageItems_;
}

void Win32MainView::CheckLanguageItem(std::size_t index, bool checked) {
  if (!languageMenu_ || index > kLastLanguageId - kFirstLanguageId) return;
  CheckMenuItem(languageMenu_, kFirstLanguageId + static_cast<UINT>(index),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace rw::win32
