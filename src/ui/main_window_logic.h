// The main window's behaviour without the window: loading, captions, the
// language menu, Select All, the field checks, closing and the commands.
// The view shows what this class decides and forwards the user's events.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pipeline/outcome.h"
#include "pipeline/window_ops.h"
#include "platform/key_codes.h"
#include "ui/main_view.h"
#include "ui/option_model.h"

namespace rw {

struct App;
class UiFactory;

inline constexpr unsigned kUnloadDelayMs = 100;

class MainWindowLogic : public MainWindowOps {
 public:
  MainWindowLogic(App& app, MainView& view, UiFactory& ui);
  MainWindowLogic(const MainWindowLogic&) = delete;
  MainWindowLogic& operator=(const MainWindowLogic&) = delete;

  // Window members.
  bool CompositionEnabled = false;
  bool Activated = false;
  bool FolderDialogOpen = false;

  // --- Operations of the window ---
  void Form_Load();
  void ApplyLanguage();
  bool IsCompositionEnabled();
  void FillLanguageMenu();
  /// Ends the window unless Form_Unload cancels; later calls do nothing.
  void UnloadWindow();
  void ScheduleMainUnload();
  void MainUnloadTimerProc();

  // --- Events ---
  /// False when the unload is cancelled (the host folder dialog was open).
  bool Form_Unload();
  void Form_Activate();
  /// True when the key was handled here and must not reach the control.
  /// `repeat` marks the key-repeat presses of a held key.
  bool Form_KeyDown(int key, bool repeat);
  void cmdOK_Click();
  void cmdCancel_Click() { UnloadWindow(); }
  void mnuExit_Click() { UnloadWindow(); }
  void chkSelectAll_Click();
  void mnuLangList_Click(std::size_t index);
  void mnuHelp_Click();
  void mnuAbout_Click();
  void mnuRestore_Click();
  void mnuSetFolder_Click();

  /// A click on a check box (option, legend or Select All): not ticked
  /// becomes ticked, ticked or mixed becomes not ticked.
  void OnCheckClicked(std::string_view control);
  /// The user edited a field; the view already shows the text.
  void OnTextChanged(std::string_view control, std::string_view text);
  void OnFieldFocus(std::string_view control);
  /// The focus left the field: run its check.
  void OnFieldValidate(std::string_view control);

  const OptionModel& Model() const { return model_; }
  OptionSnapshot Snapshot() const { return model_.Snapshot(); }
  const std::vector<std::string>& LanguageItems() const { return langItems_; }
  const std::vector<bool>& LanguageChecks() const { return langChecked_; }
  bool Unloaded() const { return unloaded_; }
  bool OkEnabled() const { return okEnabled_; }

  // --- MainWindowOps, for the pipeline ---
  WindowHandle Handle() override;
  void EnableOk(bool enabled) override;
  void Hide() override;
  void Unload() override { UnloadWindow(); }

 private:
  void SetState(std::string_view control, int state);
  void SetText(std::string_view control, const std::string& text);
  void SetEnabled(std::string_view control, bool enabled);
  void ShowModel();
  void SetLanguageCheck(std::size_t index, bool checked);
  /// Saves the options, writes the tweaks and installs them.
  PipelineResult Apply();
  /// Shows the message a failed road needs; nothing for success or Cancel.
  void Tell(const PipelineResult& result);

  App& app_;
  MainView& view_;
  UiFactory& ui_;
  OptionModel model_;
  std::vector<std::string> langItems_{std::string(kEnglishItem)};
  std::vector<bool> langChecked_{true};
  std::string focusedField_;
  bool okEnabled_ = true;
  bool applying_ = false;
  bool unloadPending_ = false;
  bool unloaded_ = false;
};

}  // namespace rw
