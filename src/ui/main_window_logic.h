// The main window's behaviour without the window: loading, captions, the
// language menu, Select All, the field checks, closing and the commands.
// The view shows what this class decides and forwards the user's events.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/tweak_report.h"
#include "pipeline/archive_state.h"
#include "pipeline/outcome.h"
#include "pipeline/road_user.h"
#include "platform/key_codes.h"
#include "stores/own_rules_files.h"
#include "ui/main_view.h"
#include "ui/option_model.h"
#include "ui/option_search.h"
#include "ui/option_status.h"
#include "ui/ui_factory.h"
#include "ui/window_commands.h"

namespace rw {

struct App;

/// How long a close put off by the open host folder dialog waits.
inline constexpr unsigned kCloseDelayMs = 100;

/// A sequence that lets window events run before it ends (it waits for a
/// tool or the host, or shows a modal window). One at a time holds the
/// window; the values after a road's name are its later steps.
enum class Road {
  None,
  PutBackKept,   // the first activation: the archive an install kept aside
  FirstUnpack,   // the first activation: the working tree
  ReapplyOffer,  // the first activation: the question after a browser update
  Apply,
  Restore,
  FolderDialog,  // re-pointing: the host folder dialog is up
  Repoint,       // re-pointing: the host checked again, the tree rebuilt
  Preview,       // the tree unpacked for the preview
  PreviewOpen,   // the preview window is up
  OwnRulesOpen,  // the own rules editor is up
  ChoosingFile,  // export or import: the file dialog is up
  Export,
  Import,
  Looks,    // the Looks window is up
  Unpack,   // the pipeline unpacks outside the window's own roads
  Telling,  // a road's last word is up: all it did is done, a close takes the box along
};

/// Where the window is in its life.
enum class WindowPhase {
  Open,
  CloseScheduled,  // the host folder dialog was closed for it; the timer runs
  CloseAfterRoad,  // asked for during a road; done when the road ends
  Closed,
};

class MainWindowLogic : public RoadUser {
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
  /// `repeat` marks the key-repeat presses of a held key; `ctrlOnly` that
  /// Ctrl is held and Alt is not.
  bool OnKeyDown(int key, bool repeat, bool ctrlOnly = false);
  /// The handler of a row of the command table, when it may run now: the
  /// one way a command starts.
  void Run(const WindowCommand& command);
  void OnLanguageChosen(std::size_t index);

  /// Find: the search field holds `text`; the rows holding its words are
  /// highlighted.
  void OnFindChanged(std::string_view text);
  /// Enter in the search field: the focus goes to the first match that is
  /// not greyed. Never Apply.
  void OnFindEnter();
  /// Escape in the search field: it is cleared and the highlight goes.
  void OnFindEscape();
  const std::vector<Option>& Found() const { return found_; }

  /// Own rules an import brought, held until OK writes them (a page the
  /// editor saves stays in them); null when the files speak for themselves.
  const OwnRulesPair* PendingOwnRules() const { return pendingOwnRules_ ? &*pendingOwnRules_ : nullptr; }
  /// What the editor starts from: the pending rules, else the files.
  OwnRulesPair OwnRulesToEdit() const;
  /// A click on a check box: not ticked becomes ticked, ticked or mixed
  /// becomes not ticked. Select All then sets every enabled box alike.
  void OnCheckClicked(Option option);
  void OnCheckClicked(Control box);
  /// The user edited a field; the view already shows the text.
  void OnTextChanged(Option field, std::string_view text);
  void OnFieldFocused(Option field);
  /// The focus left the field: run its check.
  void OnFieldLeft(Option field);

  // --- What the window says of itself ---
  /// The mouse rests on `part`; nullopt when it rests on none.
  void OnPointed(std::optional<WindowPart> part);
  /// The keyboard focus went to `part`.
  void OnFocused(std::optional<WindowPart> part);
  /// A menu item is highlighted; nullopt when the menu closes.
  void OnMenuHighlighted(std::optional<WindowPart> item);
  /// What a control's tip says: its description, then the option's status.
  std::string TooltipOf(WindowPart part) const;

  const OptionModel& Model() const { return model_; }
  /// Every row unmarked until the window is loaded and the tree is usable.
  const OptionStatuses& Statuses() const { return statuses_; }
  OptionSnapshot Snapshot() const { return model_.Snapshot(); }
  const std::vector<std::string>& LanguageItems() const { return langItems_; }
  const std::vector<bool>& LanguageChecks() const { return langChecked_; }
  bool Closed() const { return phase_ == WindowPhase::Closed; }
  bool OkEnabled() const { return MayRun(*CommandOf(Control::Ok)); }
  Road CurrentRoad() const { return road_; }
  WindowPhase Phase() const { return phase_; }
  /// Whether `command` may start now: only what is available during roads
  /// while one holds the window, nothing once it is closed. The view greys
  /// the rest.
  bool MayRun(const WindowCommand& command) const;

  /// The window's handle while it lives, as the owner of its boxes.
  WindowHandle Handle();

  // --- RoadUser, for the roads and the pipeline ---
  bool ConfirmCloseHost() override;
  void SetBusy(bool busy) override;
  void StepAside() override;
  /// A box over the window.
  void Tell(std::string_view text, MessageIcon icon) override;
  bool Ask(std::string_view question) override;
  void ShowWait(WaitStep step, unsigned waitedMs, unsigned limitMs) override;
  void EndWait() override;

 private:
  friend std::span<const WindowCommand> WindowCommands();

  // --- The commands' handlers, reached through Run ---
  void OnOk();
  void OnCancel() { Close(); }
  void OnExit() { Close(); }
  void OnHelp();
  void OnAbout();
  void OnRestore();
  void OnSetFolder();
  /// Shows what OK would change, unpacking first when the working tree is
  /// not usable; saves, tweaks and installs nothing.
  void OnPreview();
  /// The options as the window shows them, to a file the user names.
  void OnExportSettings() { OnExport(/*withLooks=*/false); }
  /// The same, the named looks with them.
  void OnExportSettingsAndLooks() { OnExport(/*withLooks=*/true); }
  void OnExport(bool withLooks);
  /// A file's options into the window, with a report; saved only by OK.
  /// The named looks it carries are kept at once.
  void OnImportSettings();
  /// Every option's default into the window; saved only by OK.
  void OnResetDefaults();
  /// ravelwick.log in the user's text editor; nothing while there is none.
  void OnOpenLog();
  /// The diagnostics text (ui/diagnostics.h) onto the clipboard.
  void OnCopyDiagnostics();

  /// The own rules editor over the window; what it saves, OK applies.
  void OnOwnRules();
  /// The Looks window; a look chosen there goes into the window (its own
  /// rules into their files) and is installed only by OK. Save Look As...
  /// opens it with the name field first.
  void OnLooks(bool naming = false);
  void OnLooksWindow() { OnLooks(); }
  void OnSaveLookAs() { OnLooks(/*naming=*/true); }
  /// The look before the last install into the window, then OK's road.
  void OnUndoLastApply();

  /// Holds the window for a road from construction to destruction; roads
  /// run inside one another keep the outer one's claim. A close asked for
  /// meanwhile happens when the outermost ends.
  class RoadClaim {
   public:
    RoadClaim(MainWindowLogic& window, Road road);
    RoadClaim(const RoadClaim&) = delete;
    RoadClaim& operator=(const RoadClaim&) = delete;
    ~RoadClaim();
    /// The road goes on to its next step.
    void Become(Road road);

   private:
    MainWindowLogic& window_;
    Road outer_;
  };

  bool Idle() const { return road_ == Road::None && phase_ == WindowPhase::Open; }
  /// A close was asked for: what is left of a road is not started.
  bool Leaving() const { return phase_ != WindowPhase::Open; }
  void SetRoad(Road road);
  void SetPhase(WindowPhase phase);
  /// Enables in the view what MayRun allows, telling it only the changes.
  void ShowCommandStates();
  /// The Apply road, inside a claim.
  void RunApply();
  void SetState(Option option, int state);
  bool SetText(Option field, const std::string& text);
  void SetEnabled(Option option, bool enabled);
  void SelectAll();
  void ShowModel();
  /// The states and texts of `options` into the model and the view.
  void ShowOptions(const OptionModel& options);
  void SwitchLanguage(const std::string& name);
  /// A look's values into the window and its own rules into their files.
  bool ShowLook(const Look& look);
  FileDialogTexts DialogTexts(std::string_view menuKey) const;
  void SetLanguageCheck(std::size_t index, bool checked);
  /// Shows the message a failed road needs; nothing for success or Cancel.
  void Tell(const PipelineResult& result, bool logged = true);
  /// The statuses of the options as they stand, into marks, tips and the
  /// details line.
  void ShowStatus();
  void ShowDetails();
  void ShowHeader();
  void ShowControlTips();
  /// After the outermost road: what it may have done to the archive or the
  /// working tree is read again.
  void AfterRoad();
  std::string Description(WindowPart part) const;
  void ShowTip(WindowPart part, std::string text);
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
  Road road_ = Road::None;
  WindowPhase phase_ = WindowPhase::Open;
  std::vector<bool> shownEnabled_;               // per row of the command table, as the view shows them
  bool languageImported_ = false;                // stored with the options by OK
  std::optional<OwnRulesPair> pendingOwnRules_;  // written by OK

  std::optional<OptionStatusModel> status_;  // from the load on
  OptionStatuses statuses_{};
  ArchiveFingerprints fingerprints_;  // the archives hashed once per stamp for the window's life
  bool treeMayHaveChanged_ = false;   // by the road under way
  std::optional<WindowPart> pointed_, focused_;
  std::optional<WindowPart> menuItem_;
  // As the view shows them: set again only when they change.
  std::map<WindowPart, std::string> shownTips_;
  std::array<RowMark, kOptionCount> shownMarks_{};
  std::optional<std::string> shownDetails_, shownHeader_;
  // Last, so that a claim left at destruction ends while all its end shows
  // is still there.
  std::optional<RoadClaim> pipelineClaim_;  // SetBusy outside any road

  std::optional<OptionSearch> search_;  // from the first search on
  std::string findText_;
  std::vector<Option> found_;
};

}  // namespace rw
