#include "win32app/file_dialogs.h"

#include <windows.h>

#include <shobjidl.h>

#include "platform/win32/late_bound.h"
#include "platform/win32/unicode.h"

namespace rw::win32 {

namespace {

// One reference to a COM object, released with it.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  Interface** Put() {
    Reset();
    return &object_;
  }
  Interface* operator->() const { return object_; }

 private:
  void Reset() {
    if (object_) object_->Release();
    object_ = nullptr;
  }
  Interface* object_ = nullptr;
};

std::optional<std::string> Ask(const FileDialogTexts& texts, WindowHandle owner, bool save) {
  ScopedCom com;
  static const auto coCreateInstance = LateBound<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  static const auto coTaskMemFree = LateBound<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
  if (!coCreateInstance || !coTaskMemFree) return std::nullopt;

  ComRef<IFileDialog> dialog;
  if (FAILED(coCreateInstance(save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IFileDialog), reinterpret_cast<void**>(dialog.Put()))))
    return std::nullopt;

  // A language file without the names still shows what the choices match.
  const std::wstring settingsFiles = texts.settingsFiles.empty() ? L"*.ini" : Wide(texts.settingsFiles);
  const std::wstring allFiles = texts.allFiles.empty() ? L"*.*" : Wide(texts.allFiles);
  const COMDLG_FILTERSPEC types[] = {{settingsFiles.c_str(), L"*.ini"}, {allFiles.c_str(), L"*.*"}};
  dialog->SetFileTypes(2, types);
  dialog->SetFileTypeIndex(1);
  dialog->SetDefaultExtension(L"ini");
  if (!texts.title.empty()) dialog->SetTitle(Wide(texts.title).c_str());
  if (save && !texts.fileName.empty()) dialog->SetFileName(Wide(texts.fileName).c_str());
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  options |=
      FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR | FOS_PATHMUSTEXIST | (save ? FOS_OVERWRITEPROMPT : FOS_FILEMUSTEXIST);
  dialog->SetOptions(options);

  // Cancel comes back as a failure too.
  if (FAILED(dialog->Show(reinterpret_cast<HWND>(owner)))) return std::nullopt;
  ComRef<IShellItem> item;
  if (FAILED(dialog->GetResult(item.Put()))) return std::nullopt;
  PWSTR path = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
  std::string chosen = Utf8(path);
  coTaskMemFree(path);
  return chosen;
}

}  // namespace

std::optional<std::string> AskSavePath(const FileDialogTexts& texts, WindowHandle owner) {
  return Ask(texts, owner, /*save=*/true);
}

std::optional<std::string> AskOpenPath(const FileDialogTexts& texts, WindowHandle owner) {
  return Ask(texts, owner, /*save=*/false);
}

}  // namespace rw::win32
