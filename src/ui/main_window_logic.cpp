#include "ui/main_window_logic.h"

#include <algorithm>
#include <utility>

#include "app/app.h"
#include "app/host_check.h"
#include "app/language_text.h"
#include "app/outcome_messages.h"
#include "app/program_settings.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "stores/settings.h"
#include "stores/text.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/commands.h"
#include "ui/field_checks.h"
#include "ui/main_sequence.h"
#include "ui/preview.h"
#include "ui/settings_transfer.h"
#include "ui/ui_factory.h"
#include "ui/window_header.h"

namespace rw {

namespace {

constexpr std::string_view kIconName = "AAA";
constexpr std::string_view kIniSuffix = ".ini";

// The controls that are no options and say what they do; the legends and the
// menu bar's one item say nothing.
std::string_view DescriptionKey(Control control) {
  switch (control) {
    case Control::Ok:
      return "DescribeOK";
    case Control::Cancel:
      return "DescribeCancel";
    case Control::SelectAll:
      return "DescribeSelectAll";
    case Control::MenuPreview:
      return "DescribeMenuPreview";
    case Control::MenuSetFolder:
      return "DescribeMenuSetFolder";
    case Control::MenuLanguage:
      return "DescribeMenuLanguage";
    case Control::MenuExportSettings:
      return "DescribeMenuExportSettings";
    case Control::MenuImportSettings:
      return "DescribeMenuImportSettings";
    case Control::MenuResetDefaults:
      return "DescribeMenuResetDefaults";
    case Control::MenuRestore:
      return "DescribeMenuRestore";
    case Control::MenuHelp:
      return "DescribeMenuHelp";
    case Control::MenuAbout:
      return "DescribeMenuAbout";
    case Control::MenuExit:
      return "DescribeMenuExit";
    default:
      return {};
  }
}

constexpr std::array kTippedControls{Control::SelectAll, Control::Ok, Control::Cancel};

RowMark MarkOf(const OptionStatus& status) {
  if (status.greyed) return RowMark::Greyed;
  if (status.noEffect) return RowMark::NoEffect;
  if (status.contradictedBy) return RowMark::Contradicted;
  if (status.needs) return RowMark::Needs;
  return status.changedFromDefault ? RowMark::Changed : RowMark::None;
}

// The roads that may unpack, install or put back an archive.
bool MayChangeTheTree(Road road) {
  switch (road) {
    case Road::PutBackKept:
    case Road::FirstUnpack:
    case Road::Apply:
    case Road::Restore:
    case Road::Repoint:
    case Road::Preview:
    case Road::Unpack:
      return true;
    default:
      return false;
  }
}

}  // namespace

MainWindowLogic::MainWindowLogic(App& app, MainView& view, UiFactory& ui) : app_(app), view_(view), ui_(ui) {}

void MainWindowLogic::OnLoad() {
  view_.SetIcons(kIconName);
  compositionEnabled_ = app_.platform.desktop.IsCompositionEnabled();
  view_.SetTitle(app_.AppTitle);
  ApplyLanguage();
  LoadOptions(app_, model_, compositionEnabled_);
  ShowModel();
  status_.emplace(app_);
  ShowHeader();
  ShowStatus();
  FillLanguageMenu();
  CopyReplacementImages(app_.Host());
}

void MainWindowLogic::ApplyLanguage() {
  const auto text = [this](std::string_view key) { return Text(app_, key); };
  view_.SetCaption(Control::MenuTop, text("Menu"));
  view_.SetCaption(Control::MenuPreview, text("Preview"));
  view_.SetCaption(Control::MenuSetFolder, text("SetFolder"));
  view_.SetCaption(Control::MenuRestore, text("Restore"));
  view_.SetCaption(Control::MenuHelp, text("Help"));
  view_.SetCaption(Control::MenuAbout, text("About"));
  view_.SetCaption(Control::MenuExit, text("Exit"));
  view_.SetCaption(Control::MenuExportSettings, text("ExportSettings"));
  view_.SetCaption(Control::MenuImportSettings, text("ImportSettings"));
  view_.SetCaption(Control::MenuResetDefaults, text("ResetDefaults"));

  // Whoever picked a language they cannot read still finds the English word.
  if (app_.platform.system.LowerCase(app_.LanguageName) != "english")
    view_.SetCaption(Control::MenuLanguage, EnglishText(app_, "SetLanguage") + " / " + text("SetLanguage"));
  else
    view_.SetCaption(Control::MenuLanguage, text("SetLanguage"));

  view_.SetCaption(Control::Ok, text("OK"));
  view_.SetCaption(Control::Cancel, text("Cancel"));

  // Markers tell the skins apart; a single-skin host needs none.
  const bool markers = !app_.SingleSkinHost;
  for (const OptionDef& def : Options()) {
    if (def.kind != OptionKind::Check) continue;
    view_.SetCaption(def.option, text(def.captionKey) + (markers ? std::string(def.marker) : std::string()));
  }
  view_.SetCaption(Control::SelectAll, text("SelectAll"));

  for (const OptionDef& def : Options())
    if (def.host == HostRule::HostDependent) SetEnabled(def.option, !app_.SingleSkinHost);

  view_.SetCaption(Control::ModernLegend, markers ? text("ModernOnly") : std::string());
  view_.SetCaption(Control::ClassicLegend, markers ? text("ClassicOnly") : std::string());

  ShowControlTips();
  if (!status_) return;
  ShowHeader();
  ShowStatus();
}

void MainWindowLogic::FillLanguageMenu() {
  // Names compare as the file system does, in every letter; the extension
  // is plain ASCII there.
  const std::string current = app_.platform.system.LowerCase(app_.LanguageName);
  for (const std::string& name : app_.platform.files.ListFiles(app_.Path("Languages"))) {
    // A bare ".ini" has no name to show.
    if (name.size() <= kIniSuffix.size() || !AsciiLower(name).ends_with(kIniSuffix)) continue;
    const std::string base = name.substr(0, name.size() - kIniSuffix.size());
    const std::string lowerBase = app_.platform.system.LowerCase(base);
    if (lowerBase == "english") continue;  // item 0 stands for it

    const bool matches = lowerBase == current;
    langItems_.push_back(base);
    langChecked_.push_back(matches && langChecked_[0]);
    view_.AddLanguageItem(base, langChecked_.back());
    if (matches) SetLanguageCheck(0, false);
  }
}

void MainWindowLogic::OnLanguageChosen(std::size_t index) {
  if (index >= langItems_.size() || !MayRun(Command::Language)) return;
  const std::string caption = langItems_[index];
  // The file may have gone since the menu was filled.
  if (!app_.platform.files.FileExists(LanguageFilePath(app_.programFolder, caption))) return;
  app_.LanguageName = caption;
  Write(app_, ProgramSetting::Language, caption);
  languageImported_ = false;
  for (std::size_t i = 0; i < langItems_.size(); ++i) SetLanguageCheck(i, i == index);
  ApplyLanguage();
}

// Every enabled box takes the state of Select All, the legends included.
void MainWindowLogic::SelectAll() {
  const int state = model_.State(Control::SelectAll);
  for (const OptionDef& def : Options())
    if (def.kind == OptionKind::Check && model_.Enabled(def.option)) SetState(def.option, state);
  for (Control box : kCheckBoxControls) {
    if (model_.Enabled(box) && model_.SetState(box, state)) view_.SetCheck(box, state);
  }
  ShowStatus();
}

void MainWindowLogic::OnCheckClicked(Option option) {
  if (Def(option).kind != OptionKind::Check || !model_.Enabled(option)) return;
  SetState(option, model_.State(option) == 0 ? 1 : 0);
  ShowStatus();
}

void MainWindowLogic::OnCheckClicked(Control box) {
  if (!model_.Enabled(box)) return;
  const int state = model_.State(box) == 0 ? 1 : 0;
  if (model_.SetState(box, state)) view_.SetCheck(box, state);
  if (box == Control::SelectAll) SelectAll();
}

void MainWindowLogic::OnTextChanged(Option field, std::string_view text) {
  if (model_.SetText(field, text)) ShowStatus();
}

void MainWindowLogic::OnFieldFocused(Option field) {
  if (Def(field).kind == OptionKind::Text) focusedField_ = field;
}

void MainWindowLogic::OnFieldLeft(Option field) {
  if (focusedField_ == field) focusedField_.reset();
  if (Def(field).kind != OptionKind::Text) return;
  if (SetText(field, CheckField(field, model_))) ShowStatus();
}

bool MainWindowLogic::MayRun(Command command) const {
  if (phase_ == WindowPhase::Closed) return false;
  // A close waits for the road's end. Nothing else: a box opened over a
  // road's wait, even About's, would hold the wait until it is closed.
  return Idle() || command == Command::Exit;
}

MainWindowLogic::RoadClaim::RoadClaim(MainWindowLogic& window, Road road) : window_(window), outer_(window.road_) {
  window_.SetRoad(road);
}

MainWindowLogic::RoadClaim::~RoadClaim() {
  window_.SetRoad(outer_);
  if (outer_ != Road::None) return;
  if (window_.phase_ == WindowPhase::CloseAfterRoad) window_.Close();
  window_.AfterRoad();
}

void MainWindowLogic::RoadClaim::Become(Road road) { window_.SetRoad(road); }

void MainWindowLogic::SetRoad(Road road) {
  road_ = road;
  if (MayChangeTheTree(road)) treeMayHaveChanged_ = true;
  ShowCommandStates();
}

void MainWindowLogic::SetPhase(WindowPhase phase) {
  phase_ = phase;
  ShowCommandStates();
}

void MainWindowLogic::ShowCommandStates() {
  if (phase_ == WindowPhase::Closed) return;
  for (std::size_t i = 0; i < kCommandControls.size(); ++i) {
    const auto [command, control] = kCommandControls[i];
    const bool enabled = MayRun(command);
    if (shownEnabled_[i] == enabled) continue;
    shownEnabled_[i] = enabled;
    view_.SetEnabled(control, enabled);
  }
}

bool MainWindowLogic::OnClosing() {
  switch (road_) {
    // Nothing is under way that a close could cut off: the window under
    // them takes them along.
    case Road::None:
    case Road::PreviewOpen:
    case Road::ChoosingFile:
    case Road::Telling:
      return true;
    case Road::FolderDialog:
      if (phase_ == WindowPhase::Open) {
        view_.CloseFolderDialog();
        ScheduleClose();
      }
      return false;
    default:
      // Half-way through a road nothing may pull the window away; the
      // program closes once the road is over.
      SetPhase(WindowPhase::CloseAfterRoad);
      return false;
  }
}

void MainWindowLogic::Close() {
  if (phase_ == WindowPhase::Closed) return;
  if (!OnClosing()) return;
  phase_ = WindowPhase::Closed;
  view_.KillCloseTimer();
  view_.Destroy();
}

void MainWindowLogic::ScheduleClose() {
  view_.KillCloseTimer();
  view_.StartCloseTimer(kCloseDelayMs);
  SetPhase(WindowPhase::CloseScheduled);
}

void MainWindowLogic::OnCloseTimer() {
  view_.KillCloseTimer();
  if (phase_ != WindowPhase::CloseScheduled) return;
  SetPhase(WindowPhase::Open);
  Close();
}

// An install whose watch was cut off left the archive before it; each
// installation keeps its own, so re-pointing back offers it again.
void MainWindowLogic::OfferKeptAside() {
  if (!HasKeptAsideArchive(app_.Host())) return;
  if (app_.Message(Text(app_, "KeptAsideFound"), MessageButtons::YesNo, Handle()) == MessageResult::Ok) {
    const PipelineResult result = PutBackKeptAside(app_.Host(), *this);
    Tell(result, LogRestore(app_, result, "Previous look put back"));
  } else {
    DropKeptAside(app_.Host());
  }
}

void MainWindowLogic::OnActivate() {
  // Another road may hold the window; a later activation finds it free.
  if (activated_ || !Idle()) return;
  // Set first: unpacking lets window events run, and a second activation
  // meanwhile must not start a second unpacking.
  activated_ = true;
  // Without a version nothing is unpacked; OK and Restore say why.
  if (app_.HostVersion.empty()) return;
  RoadClaim road(*this, Road::PutBackKept);
  OfferKeptAside();
  if (Leaving()) return;
  road.Become(Road::FirstUnpack);
  if (!IsTreeUsable(app_.Host())) {
    const PipelineResult unpacked = UnpackArchive(app_.Host(), *this);
    Tell(unpacked);
    if (unpacked.outcome != Outcome::Done || Leaving()) return;
  }
  if (app_.UpdatedFromVersion.empty()) return;
  road.Become(Road::ReapplyOffer);
  OfferToReapply();
}

// A browser update brings its own interface back; the user's choices are
// still in the settings and can go onto the new version at once.
void MainWindowLogic::OfferToReapply() {
  const std::string version = app_.HostVersion;
  const std::string from = app_.UpdatedFromVersion;
  if (Read(app_, ProgramSetting::ReapplyDeclined) == version) return ForgetUpdate(app_);
  const OptionSnapshot options = WithEveryFieldChecked(model_).Snapshot();
  int ticked = 0;
  for (const OptionDef& def : Options())
    if (def.kind == OptionKind::Check && options.Ticked(def.option)) ++ticked;
  if (ticked == 0) return ForgetUpdate(app_);

  std::string question =
      Fill(Text(app_, "ReapplyAfterUpdate"), {{"$old", from}, {"$new", version}, {"$count", std::to_string(ticked)}});
  const Preview preview = BuildPreview(app_, options, compositionEnabled_);
  if (preview.notFound > 0)
    question += " " + Fill(Text(app_, "ReapplyNotFound"), {{"$count", std::to_string(preview.notFound)}});
  const bool yes = app_.Message(question, MessageButtons::YesNo, Handle()) == MessageResult::Ok;
  ForgetUpdate(app_);
  if (!yes) {
    Write(app_, ProgramSetting::ReapplyDeclined, version);
    return;
  }
  if (Leaving()) return;
  RoadClaim apply(*this, Road::Apply);
  RunApply();
}

bool MainWindowLogic::OnKeyDown(int key, bool repeat) {
  if (key == kKeyEscape) return true;
  if (key != kKeyEnter) return false;
  // Enter presses the default button: once per press, and not while it is
  // greyed.
  if (!repeat && MayRun(Command::Ok)) OnOk();
  return true;
}

void MainWindowLogic::OnOk() {
  if (!MayRun(Command::Ok)) return;
  RoadClaim road(*this, Road::Apply);
  RunApply();
}

void MainWindowLogic::RunApply() {
  // Enter in a field applies without leaving it, and a field never left
  // holds what the settings file gave: every value is checked first.
  for (const OptionDef& def : Options()) OnFieldLeft(def.option);

  const OptionSnapshot options = model_.Snapshot();
  auto [result, report] = Apply(options);
  const bool logged = LogApply(app_, options, report, result);
  if (result.outcome == Outcome::Done) ForgetUpdate(app_);
  Tell(result, logged);
  if (EndsTheProgram(result.outcome)) Close();
}

MainWindowLogic::ApplyRun MainWindowLogic::Apply(const OptionSnapshot& options) {
  // Nothing of another host version may reach this one.
  if (app_.HostVersion.empty()) return {{Outcome::NoHostVersion, app_.Host().HostExecutable()}, {}};
  // Installed only what the settings file now holds, or the next /apply
  // would take it back.
  if (PipelineResult saved =
          SaveForInstall(app_, model_, compositionEnabled_, languageImported_ ? app_.LanguageName : std::string());
      saved.outcome != Outcome::Done)
    return {std::move(saved), {}};
  // A tree that never finished unpacking, or lost files since, is built
  // again now rather than packed.
  if (!IsTreeUsable(app_.Host())) {
    PipelineResult unpacked = UnpackArchive(app_.Host(), *this);
    if (unpacked.outcome != Outcome::Done) return {unpacked, {}};
  }
  // What was saved, even if a box was clicked while the tree was unpacked.
  TweakReport report = WriteTweaks(app_, options, compositionEnabled_);
  return {InstallArchive(app_.Host(), *this, /*restore=*/false, HealthCheckWanted(app_)), std::move(report)};
}

bool MainWindowLogic::EndsTheProgram(Outcome outcome) {
  switch (outcome) {
    case Outcome::Done:
    // The window was hidden for the watch; the message was the last word.
    case Outcome::RolledBack:
    case Outcome::RollbackFailed:
    case Outcome::StillDown:
    case Outcome::RestoredButDown:
      return true;
    default:
      return false;
  }
}

void MainWindowLogic::Tell(const PipelineResult& result, bool logged) {
  // A log that could not be written is said in the run's own message.
  std::string message = MessageFor(app_, result);
  if (const std::string note = LogNotWrittenNote(app_, logged); !note.empty())
    message += (message.empty() ? "" : "\r\n\r\n") + note;
  if (message.empty()) return;
  // Still claimed, so no command runs under the box; but a close from
  // outside (a shutdown, taskkill) need not wait for someone to read it.
  const Road telling = road_;
  SetRoad(Road::Telling);
  app_.Message(message, MessageButtons::Ok, Handle(), IconFor(result));
  if (phase_ != WindowPhase::Closed) SetRoad(telling);
}

// Not during a road: it may start the very browser a road is closing.
void MainWindowLogic::OnHelp() {
  if (MayRun(Command::Help)) HelpCommand(app_);
}

void MainWindowLogic::OnAbout() {
  if (MayRun(Command::About)) AboutCommand(app_, *this);
}

void MainWindowLogic::OnRestore() {
  if (!MayRun(Command::Restore)) return;
  RoadClaim road(*this, Road::Restore);
  const PipelineResult result = RestoreCommand(app_, *this);
  Tell(result, LogRestore(app_, result));
  if (EndsTheProgram(result.outcome)) Close();
}

void MainWindowLogic::OnSetFolder() {
  if (!MayRun(Command::SetFolder)) return;
  RoadClaim road(*this, Road::FolderDialog);
  ui_.ShowSetFolderDialog(app_, Handle(), FolderDialogCause::Chosen);
  road.Become(Road::Repoint);

  // Confirmed or cancelled, the host is checked again: the same version
  // changes nothing.
  const HostCheckResult check = CheckHost(app_);
  if (const std::string message = MessageFor(app_, check); !message.empty())
    app_.Message(message, MessageButtons::Ok, Handle(), IconFor(check));
  if (check.outcome == HostCheck::Locked) {
    Close();
    return;
  }
  if (Leaving()) return;
  // Markers and greyed options follow the host.
  ApplyLanguage();
  if (!app_.HostVersion.empty()) OfferKeptAside();
  if (Leaving()) return;
  // A tree unpacked for the other host, or never finished, is rebuilt now.
  const Installation installation = app_.Host();
  if (!installation.hostVersion.empty() && !IsTreeUsable(installation)) Tell(UnpackArchive(installation, *this));
}

void MainWindowLogic::OnPreview() {
  // Nor a second one over the first: a command posted to the disabled
  // window still arrives.
  if (!MayRun(Command::Preview)) return;
  RoadClaim road(*this, Road::Preview);
  // What the fields show is what OK would take: every value is checked first.
  for (const OptionDef& def : Options()) OnFieldLeft(def.option);
  // Without a version there is no tree of this host to compare with; OK
  // tells the same.
  if (app_.HostVersion.empty()) {
    Tell({Outcome::NoHostVersion, app_.Host().HostExecutable()});
    return;
  }
  if (!IsTreeUsable(app_.Host())) {
    const PipelineResult unpacked = UnpackArchive(app_.Host(), *this);
    if (Leaving()) return;
    if (unpacked.outcome != Outcome::Done) {
      Tell(unpacked);
      return;
    }
  }
  const Preview preview = BuildPreview(app_, model_.Snapshot(), compositionEnabled_);
  road.Become(Road::PreviewOpen);
  ui_.ShowPreviewWindow(app_, preview, Handle());
}

FileDialogTexts MainWindowLogic::DialogTexts(std::string_view menuKey) const {
  // The menu item without its "...".
  std::string title = Text(app_, menuKey);
  while (!title.empty() && title.back() == '.') title.pop_back();
  return {title, Text(app_, "SettingsFiles"), Text(app_, "AllFiles"), std::string(kExportFileName)};
}

void MainWindowLogic::OnExportSettings() {
  if (!MayRun(Command::ExportSettings)) return;
  RoadClaim road(*this, Road::ChoosingFile);
  // What the focused field shows is exported as leaving it would leave it.
  if (focusedField_) OnFieldLeft(*focusedField_);
  const std::optional<std::string> path = ui_.AskSavePath(DialogTexts("ExportSettings"), Handle());
  if (!path || Leaving()) return;
  road.Become(Road::Export);
  const std::string message = ExportMessage(app_, ExportSettings(app_, model_, *path));
  if (!message.empty()) app_.Message(message, MessageButtons::Ok, Handle(), MessageIcon::Error);
}

void MainWindowLogic::OnImportSettings() {
  if (!MayRun(Command::ImportSettings)) return;
  RoadClaim road(*this, Road::ChoosingFile);
  const std::optional<std::string> path = ui_.AskOpenPath(DialogTexts("ImportSettings"), Handle());
  if (!path || Leaving()) return;
  road.Become(Road::Import);
  const ImportResult imported = ReadSettingsForImport(app_, *path, model_);
  if (imported.report.status == TransferStatus::Done) {
    ShowOptions(imported.options);
    if (!imported.language.empty()) SwitchLanguage(imported.language);
  }
  app_.Message(ImportMessage(app_, imported.report), MessageButtons::Ok, Handle(),
               imported.report.status == TransferStatus::Done ? MessageIcon::Information : MessageIcon::Error);
}

void MainWindowLogic::OnResetDefaults() {
  if (!MayRun(Command::ResetDefaults)) return;
  ShowOptions(DefaultOptions());
}

bool MainWindowLogic::ConfirmCloseHost() {
  return app_.Message(Text(app_, "ConfirmClose"), MessageButtons::OkCancel, Handle()) == MessageResult::Ok;
}

WindowHandle MainWindowLogic::Handle() { return Closed() ? 0 : view_.Handle(); }

// The window's own roads hold it already; this covers the pipeline run on
// its own.
void MainWindowLogic::SetBusy(bool busy) {
  if (!busy)
    pipelineClaim_.reset();
  else if (road_ == Road::None)
    pipelineClaim_.emplace(*this, Road::Unpack);
}

void MainWindowLogic::ShowWait(WaitStep step, unsigned waitedMs, unsigned limitMs) {
  if (Closed()) return;
  treeMayHaveChanged_ = true;
  if (step == WaitStep::Unpacking && status_ && status_->NotReady() != StatusNotReady::Unpacking) {
    status_->SetUnpacking();
    ShowStatus();
  }
  std::string_view key;
  switch (step) {
    case WaitStep::Unpacking:
      key = "WaitUnpacking";
      break;
    case WaitStep::Packing:
      key = "WaitPacking";
      break;
    case WaitStep::Verifying:
      key = "WaitVerifying";
      break;
    case WaitStep::ClosingHost:
      key = "WaitClosing";
      break;
    case WaitStep::WatchingHost:
      key = "WaitWatching";
      break;
  }
  const std::string text = Fill(Text(app_, key), {{"$seconds", std::to_string(waitedMs / 1000)},
                                                  {"$limit", std::to_string((limitMs + 999) / 1000)}});
  const int percent = limitMs == 0 ? 0 : static_cast<int>(std::min<unsigned>(waitedMs, limitMs) * 100 / limitMs);
  view_.ShowProgress(text, percent);
}

void MainWindowLogic::EndWait() {
  if (!Closed()) view_.HideProgress();
}

void MainWindowLogic::Hide() {
  if (!Closed()) view_.Hide();
}

void MainWindowLogic::SetState(Option option, int state) {
  if (model_.SetState(option, state)) view_.SetCheck(option, state);
}

bool MainWindowLogic::SetText(Option field, const std::string& text) {
  if (!model_.SetText(field, text)) return false;
  view_.SetText(field, text);
  return true;
}

void MainWindowLogic::SetEnabled(Option option, bool enabled) {
  if (model_.SetEnabled(option, enabled)) view_.SetEnabled(option, enabled);
}

void MainWindowLogic::ShowModel() {
  for (const OptionDef& def : Options()) {
    if (def.kind == OptionKind::Check)
      view_.SetCheck(def.option, model_.State(def.option));
    else
      view_.SetText(def.option, model_.Text(def.option));
    view_.SetEnabled(def.option, model_.Enabled(def.option));
  }
  for (Control box : kCheckBoxControls) {
    view_.SetCheck(box, model_.State(box));
    view_.SetEnabled(box, model_.Enabled(box));
  }
}

void MainWindowLogic::ShowOptions(const OptionModel& options) {
  for (const OptionDef& def : Options()) {
    if (def.kind == OptionKind::Check)
      SetState(def.option, options.State(def.option));
    else
      SetText(def.option, options.Text(def.option));
  }
  ShowStatus();
}

// Shown at once, stored by OK with the options.
void MainWindowLogic::SwitchLanguage(const std::string& name) {
  const std::string wanted = app_.platform.system.LowerCase(name);
  app_.LanguageName = name;
  for (std::size_t i = 0; i < langItems_.size(); ++i) {
    const bool matches = app_.platform.system.LowerCase(langItems_[i]) == wanted;
    if (matches) app_.LanguageName = langItems_[i];
    SetLanguageCheck(i, matches);
  }
  languageImported_ = true;
  ApplyLanguage();
}

void MainWindowLogic::SetLanguageCheck(std::size_t index, bool checked) {
  if (index >= langChecked_.size()) return;
  langChecked_[index] = checked;
  view_.CheckLanguageItem(index, checked);
}

// --- What the window says of itself ---------------------------------------

void MainWindowLogic::OnPointed(std::optional<WindowPart> part) {
  pointed_ = part;
  ShowDetails();
}

void MainWindowLogic::OnFocused(std::optional<WindowPart> part) {
  focused_ = part;
  ShowDetails();
}

void MainWindowLogic::OnMenuHighlighted(std::optional<Control> item) {
  menuItem_ = item;
  ShowDetails();
}

std::string MainWindowLogic::Description(WindowPart part) const {
  if (const Control* control = std::get_if<Control>(&part)) {
    const std::string_view key = DescriptionKey(*control);
    return key.empty() ? std::string() : Text(app_, key);
  }
  return Text(app_, Def(std::get<Option>(part)).descriptionKey);
}

std::string MainWindowLogic::TooltipOf(WindowPart part) const {
  std::string text = Description(part);
  const Option* option = std::get_if<Option>(&part);
  if (!option || !status_) return text;
  const OptionDef& def = Def(*option);
  const OptionStatus& status = statuses_[IndexOf(*option)];
  std::string words = status_->NotReady() ? status_->NotReadyWords() : status.words;
  // A changed field names its default among its words already.
  if (def.kind == OptionKind::Text && (status_->NotReady() || !status.changedFromDefault)) {
    words += (words.empty() ? "" : " ") + Fill(Text(app_, "StatusDefaultField"), {{"$value", def.defaultValue}});
  }
  if (!words.empty()) text += (text.empty() ? "" : "\n") + words;
  return text;
}

void MainWindowLogic::ShowTip(WindowPart part, std::string text) {
  auto [it, added] = shownTips_.try_emplace(part);
  if (!added && it->second == text) return;
  it->second = std::move(text);
  if (const Option* option = std::get_if<Option>(&part))
    view_.SetTooltip(*option, it->second);
  else
    view_.SetTooltip(std::get<Control>(part), it->second);
}

void MainWindowLogic::ShowControlTips() {
  for (Control control : kTippedControls) ShowTip(control, TooltipOf(control));
}

void MainWindowLogic::ShowStatus() {
  if (!status_ || Closed()) return;
  statuses_ = status_->Compute(model_.Snapshot(), compositionEnabled_, app_.SingleSkinHost);
  for (const OptionDef& def : Options()) {
    const RowMark mark = MarkOf(statuses_[IndexOf(def.option)]);
    if (shownMarks_[IndexOf(def.option)] != mark) {
      shownMarks_[IndexOf(def.option)] = mark;
      view_.SetRowMark(def.option, mark);
    }
    ShowTip(def.option, TooltipOf(def.option));
  }
  ShowDetails();
}

// The menu item highlighted, else the control under the mouse, else the
// one with the focus; else why the rows have no status yet.
void MainWindowLogic::ShowDetails() {
  if (Closed()) return;
  std::string text;
  if (menuItem_) text = Description(*menuItem_);
  if (text.empty() && pointed_) text = TooltipOf(*pointed_);
  if (text.empty() && focused_) text = TooltipOf(*focused_);
  if (text.empty() && status_) text = status_->NotReadyWords();
  if (shownDetails_ == text) return;
  shownDetails_ = text;
  view_.SetDetails(text);
}

void MainWindowLogic::ShowHeader() {
  if (Closed()) return;
  std::string text = HeaderLine(app_, ReadArchiveState(app_, fingerprints_));
  if (shownHeader_ == text) return;
  shownHeader_ = text;
  view_.SetHeader(*shownHeader_);
}

void MainWindowLogic::AfterRoad() {
  if (!treeMayHaveChanged_ || !status_ || Closed()) return;
  treeMayHaveChanged_ = false;
  status_->Reload();
  ShowHeader();
  ShowStatus();
}

}  // namespace rw
