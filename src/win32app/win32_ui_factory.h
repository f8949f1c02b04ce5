// The windows the start-up sequence opens, as real Win32 windows.
#pragma once

#include "platform/platform.h"
#include "ui/ui_factory.h"

namespace rw::win32 {

class Win32UiFactory : public UiFactory {
 public:
  explicit Win32UiFactory(Platform& platform) : platform_(platform) {}
  void ShowSetFolderDialog(App& app, WindowHandle owner, FolderDialogCause cause) override;
  void ShowMainWindow(App& app) override;
  void ShowPreviewWindow(App& app, const Preview& preview, WindowHandle owner) override;
  std::optional<std::string> AskSavePath(const FileDialogTexts& texts, WindowHandle owner) override;
  std::optional<std::string> AskOpenPath(const FileDialogTexts& texts, WindowHandle owner) override;

 private:
  Platform& platform_;
};

}  // namespace rw::win32
