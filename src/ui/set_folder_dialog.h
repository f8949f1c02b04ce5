// The host folder dialog: its behaviour, independent of the window that
// shows it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/key_codes.h"
#include "platform/platform.h"
#include "ui/ui_factory.h"

namespace rw {

struct App;

inline constexpr std::uint32_t kBrowseOnlyFileSystemFolders = 1;  // BIF_RETURNONLYFSDIRS
inline constexpr int kBrowseRootDrives = 17;                      // CSIDL_DRIVES

/// What the dialog logic needs of its window.
class SetFolderView {
 public:
  virtual ~SetFolderView() = default;
  virtual WindowHandle Handle() = 0;
  virtual void SetCaptions(const std::string& label, const std::string& ok, const std::string& cancel) = 0;
  /// One sentence above the rest on why the dialog is open; empty: none,
  /// and no room kept for it.
  virtual void SetReason(const std::string& reason) = 0;
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual void SelectAllText() = 0;
  /// Moves the focus into the text box, which selects its text
  /// (OnTextFocused), also when it had the focus already.
  virtual void FocusText() = 0;
  /// Closes the dialog; the modal loop that shows it ends.
  virtual void Close() = 0;
  /// The shell's folder picker; empty when the user cancels.
  virtual std::string BrowseForFolder(WindowHandle owner, const std::string& prompt, std::uint32_t flags, int root) = 0;
};

class SetFolderDialog {
 public:
  SetFolderDialog(App& app, SetFolderView& view, FolderDialogCause cause = FolderDialogCause::Chosen)
      : app_(app), view_(view), cause_(cause) {}

  void OnLoad();
  /// Enter and Esc act wherever the focus is; true when the key was used.
  bool OnKeyDown(int keyCode);
  void OnTextFocused();
  void OnBrowse();
  void OnOk();
  void OnCancel();

 private:
  App& app_;
  SetFolderView& view_;
  FolderDialogCause cause_;
};

}  // namespace rw
