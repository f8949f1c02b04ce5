// The main window's menu bar: one menu made from the command table, whose
// items the language renames, and the language submenu the load fills.
#include <windows.h>

#include <string>

#include "app/language_text.h"
#include "platform/win32/unicode.h"
#include "ui/window_commands.h"
#include "win32app/main_window_view.h"

namespace rw::win32 {

namespace {

// The shortcut shown after an item's caption, the same in every language.
std::wstring ShortcutOf(const WindowCommand& command) {
  return command.shortcut.label.empty() ? std::wstring() : L"\t" + Wide(command.shortcut.label);
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

  // Captioned before the load gives the language's: an item without text
  // would be taken for a separator.
  const auto item = [&](HMENU menu, UINT id, const std::wstring& text, HMENU submenu) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STRING | (submenu ? MIIM_SUBMENU : 0u);
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
  };
  for (const WindowCommand& command : WindowCommands()) {
    const MenuItem* menuItem = command.Item();
    if (!menuItem) continue;
    if (command.startsGroup && GetMenuItemCount(popup) > 0) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    item(popup, menuItem->id, Wide(BuiltInEnglishText(command.captionKey)) + ShortcutOf(command),
         command.handler ? nullptr : languageMenu_);
  }
  item(bar, kMenuTop, Wide(DesignCaption(SlotOf(Control::MenuTop))), popup);
  return bar;
}

std::optional<WindowPart> Win32MainView::HighlightedItem(WPARAM wParam, LPARAM lParam) const {
  const UINT item = LOWORD(wParam);
  const UINT flags = HIWORD(wParam);
  if (flags == 0xFFFF && lParam == 0) return std::nullopt;
  const WindowPart languageItem = *LanguageMenuCommand().Item();
  if (flags & MF_POPUP)
    return GetSubMenu(reinterpret_cast<HMENU>(lParam), static_cast<int>(item)) == languageMenu_
               ? languageItem
               : WindowPart(Control::MenuTop);
  if (item >= kFirstLanguageId && item <= kLastLanguageId) return languageItem;
  if (item == kMenuTop) return Control::MenuTop;
  if (CommandOf(MenuItem{item})) return MenuItem{item};
  return std::nullopt;
}

// Found by identifier through the submenus as well.
void Win32MainView::SetMenuCaption(UINT id, const std::wstring& text) {
  HMENU bar = window_ ? GetMenu(window_) : nullptr;
  if (!bar) return;
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(text.c_str());
  SetMenuItemInfoW(bar, id, FALSE, &info);
  // A hidden window's bar is measured anew when it is first drawn.
  if (id == kMenuTop && IsWindowVisible(window_)) DrawMenuBar(window_);
}

void Win32MainView::SetCaption(MenuItem item, const std::string& caption) {
  const WindowCommand* command = CommandOf(item);
  SetMenuCaption(item.id, Wide(caption) + (command ? ShortcutOf(*command) : std::wstring()));
}

void Win32MainView::SetEnabled(MenuItem item, bool enabled) {
  if (HMENU bar = window_ ? GetMenu(window_) : nullptr)
    EnableMenuItem(bar, item.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
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
