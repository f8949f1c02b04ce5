// The main window's behaviour without the window: loading, captions, the
// language menu, Select All, the field checks, closing and the commands.
// The view shows what this class decides and forwards the user's events.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/tweak_report.h"
#include "pipeline/outcome.h"
#include "pipeline/window_ops.h"
#include "platform/key_codes.h"
#include "ui/main_view.h"
#include "ui/option_model.h"
#include "ui/ui_factory.h"

namespace rw {

struct App;

/// How long a close put off by the open host folder dialog waits.
inline constexpr unsigned kCloseDelayMs = 100;

class MainWindowLogic : public MainWindowOps {
 public:
  MainWindowLogic(App& app, MainView& view, UiFactory& ui);
  MainWindowLogic(const MainWindowLogic&) = delete;
  MainWindowLogic& operator=(const MainWindowLogic&) = delete;

  // --- Operations of the window ---
  /// Icons, title, captions, the options from the settings file, the
  /// language menu and the replacement images, in that order.
  void OnLoad();
  void ApplyLanguage();
  void FillLanguageMenu();
  /// Ends the window unless OnClosing puts it off; later calls do nothing.
  void Close();
  void ScheduleClose();
  /// The timer of a close put off by the host folder dialog fired.
  void OnCloseTimer();

  // --- Events ---
  /// False when the close is put off (the host folder dialog was open).
  bool OnClosing();
  void OnActivate();
  /// True when the key was handled here and must not reach the control.
  /// `repeat` marks the key-repeat presses of a held key.
  bool OnKeyDown(int key, bool repeat);
  void OnOk();
  void OnCancel() { Close(); }
  void OnExit() { Close(); }
  void OnLanguageChosen(std::size_t index);
  void OnHelp();
  void OnAbout();
  void OnRestore();
  void OnSetFolder();
  /// Shows what OK would change, unpacking first when the working tree is
  /// not usable; saves, tweaks and installs nothing.
  void OnPreview();
  /// The options as the window shows them, to a file the user names.
  void OnExportSettings();
  /// A file's options into the window, with a report; saved only by OK.
  void OnImportSettings();
  /// Every option's default into the window; saved only by OK.
  void OnResetDefaults();

  /// A click on a check box: not ticked becomes ticked, ticked or mixed
  /// becomes not ticked. Select All then sets every enabled box alike.
  void OnCheckClicked(Option option);
  void OnCheckClicked(Control box);
  /// The user edited a field; the view already shows the text.
  void OnTextChanged(Option field, std::string_view text);
  void OnFieldFocused(Option field);
  /// The focus left the field: run its check.
  void OnFieldLeft(Option field);

  const OptionModel& Model() const { return model_; }
  OptionSnapshot Snapshot() const { return model_.Snapshot(); }
  const std::vector<std::string>& LanguageItems() const { return langItems_; }
  const std::vector<bool>& LanguageChecks() const { return langChecked_; }
  bool Closed() const { return closed_; }
  bool OkEnabled() const { return okEnabled_; }

  // --- MainWindowOps, for the pipeline ---
  WindowHandle Handle() override;
  bool ConfirmCloseHost() override;
  void EnableOk(bool enabled) override;
  void Hide() override;
  void ShowWait(WaitStep step, unsigned waitedMs, unsigned limitMs) override;
  void EndWait() override;

 private:
  void SetState(Option option, int state);
  void SetText(Option field, const std::string& text);
  void SetEnabled(Option option, bool enabled);
  void SelectAll();
  void ShowModel();
  /// The states and texts of `options` into the model and the view.
  void ShowOptions(const OptionModel& options);
  void SwitchLanguage(const std::string& name);
  FileDialogTexts DialogTexts(std::string_view menuKey) const;
  void SetLanguageCheck(std::size_t index, bool checked);
  struct ApplyRun {
    PipelineResult result;
    TweakReport report;
  };
  /// Saves the options, writes the tweaks and installs them.
  ApplyRun Apply();
  /// Shows the message a failed road needs; nothing for success or Cancel.
  void Tell(const PipelineResult& result);
  /// After a browser update: asks once per version whether the stored
  /// options go onto it now.
  void OfferToReapply();
  /// Success, and the ends of a road that hid the window to watch the host.
  static bool EndsTheProgram(Outcome outcome);

  App& app_;
  MainView& view_;
  UiFactory& ui_;
  OptionModel model_;
  std::vector<std::string> langItems_{std::string(kEnglishItem)};
  std::vector<bool> langChecked_{true};
  std::optional<Option> focusedField_;
  bool compositionEnabled_ = false;
  bool activated_ = false;
  bool folderDialogOpen_ = false;
  bool previewOpen_ = false;
  bool okEnabled_ = true;
  bool applying_ = false;        // a road (Apply, Restore) is under way
  bool closeAfterRoad_ = false;  // a close was asked for meanwhile
  bool closePending_ = false;
  bool closed_ = false;
  bool languageImported_ = false;  // stored with the options by OK
};

}  // namespace rw
