// The main window's menu bar: one menu whose items the language renames,
// and the language submenu the load fills.
#include <windows.h>

#include <span>
#include <string>

#include "platform/win32/unicode.h"
#include "win32app/main_window_view.h"

namespace rw::win32 {

namespace {

struct MenuItem {
  Control control;
  UINT id;
};
constexpr MenuItem kMenuItems[] = {
    {Control::MenuTop, kMenuTop},
    {Control::MenuPreview, kMenuPreview},
    {Control::MenuSetFolder, kMenuSetFolder},
    {Control::MenuLanguage, kMenuLanguage},
    {Control::MenuRestore, kMenuRestore},
    {Control::MenuHelp, kMenuHelp},
    {Control::MenuAbout, kMenuAbout},
    {Control::MenuExit, kMenuExit},
};
// Moving settings to and from another installation.
constexpr MenuItem kTransferItems[] = {
    {Control::MenuExportSettings, kMenuExportSettings}, {Control::MenuImportSettings, kMenuImportSettings},
    {Control::MenuResetDefaults, kMenuResetDefaults},   {Control::MenuLooks, kMenuLooks},
    {Control::MenuSaveLookAs, kMenuSaveLookAs},         {Control::MenuUndoLastApply, kMenuUndoLastApply},
};

const MenuItem* MenuItemOf(Control control) {
  for (const auto& items : {std::span<const MenuItem>(kMenuItems), std::span<const MenuItem>(kTransferItems)})
    for (const MenuItem& m : items)
      if (m.control == control) return &m;
  return nullptr;
}

// The shortcut shown after an item's caption, the same in every language.
const wchar_t* ShortcutOf(UINT id) {
  switch (id) {
    case kMenuPreview:
      return L"\tCtrl+P";
    case kMenuHelp:
      return L"\tF1";
  }
  return L"";
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
    const std::wstring text = Wide(DesignCaption(SlotOf(control))) + ShortcutOf(id);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STRING | (submenu ? MIIM_SUBMENU : 0u);
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
  };
  item(popup, kMenuPreview, Control::MenuPreview, nullptr);
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  item(popup, kMenuSetFolder, Control::MenuSetFolder, nullptr);
  item(popup, kMenuLanguage, Control::MenuLanguage, languageMenu_);
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  item(popup, kMenuExportSettings, Control::MenuExportSettings, nullptr);
  item(popup, kMenuImportSettings, Control::MenuImportSettings, nullptr);
  item(popup, kMenuResetDefaults, Control::MenuResetDefaults, nullptr);
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  item(popup, kMenuLooks, Control::MenuLooks, nullptr);
  item(popup, kMenuSaveLookAs, Control::MenuSaveLookAs, nullptr);
  item(popup, kMenuUndoLastApply, Control::MenuUndoLastApply, nullptr);
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  item(popup, kMenuRestore, Control::MenuRestore, nullptr);
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  item(popup, kMenuHelp, Control::MenuHelp, nullptr);
  item(popup, kMenuAbout, Control::MenuAbout, nullptr);
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  item(popup, kMenuExit, Control::MenuExit, nullptr);
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
  for (const auto& items : {std::span<const MenuItem>(kMenuItems), std::span<const MenuItem>(kTransferItems)})
    for (const MenuItem& m : items)
      if (m.id == item) return m.control;
  return std::nullopt;
}

// False when the control is no menu item.
bool Win32MainView::SetMenuCaption(Control control, const std::string& caption) {
  const MenuItem* m = MenuItemOf(control);
  if (!m) return false;
  HMENU bar = window_ ? GetMenu(window_) : nullptr;
  if (!bar) return true;
  const std::wstring text = Wide(caption) + ShortcutOf(m->id);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(text.c_str());
  // Found by identifier through the submenus as well.
  SetMenuItemInfoW(bar, m->id, FALSE, &info);
  // A hidden window's bar is measured anew when it is first drawn.
  if (m->id == kMenuTop && IsWindowVisible(window_)) DrawMenuBar(window_);
  return true;
}

// False when the control is no menu item.
bool Win32MainView::SetMenuEnabled(Control control, bool enabled) {
  const MenuItem* m = MenuItemOf(control);
  if (!m) return false;
  if (HMENU bar = window_ ? GetMenu(window_) : nullptr)
    EnableMenuItem(bar, m->id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
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
