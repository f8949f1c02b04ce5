// The main window's roads: the first activation, Apply, Restore,
// re-pointing, the preview, export and import, and what the roads ask of
// the window (RoadUser). Their flows are in roads.h.
#include <algorithm>

#include "app/app.h"
#include "app/host_check.h"
#include "app/language_text.h"
#include "app/outcome_messages.h"
#include "stores/text.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/commands.h"
#include "ui/main_window_logic.h"
#include "ui/own_rules_source.h"
#include "ui/preview.h"
#include "ui/roads.h"
#include "ui/settings_transfer.h"

namespace rw {

void MainWindowLogic::OnActivate() {
  // Another road may hold the window; a later activation finds it free.
  if (activated_ || !Idle()) return;
  // Set first: unpacking lets window events run, and a second activation
  // meanwhile must not start a second unpacking.
  activated_ = true;
  // Without a version nothing is unpacked; OK and Restore say why.
  if (app_.HostVersion.empty()) return;
  RoadClaim road(*this, Road::PutBackKept);
  // An install whose watch was cut off left the archive before it.
  if (const std::optional<Logged> putBack = OfferKeptArchive(app_, *this)) Tell(putBack->result, putBack->logged);
  if (Leaving()) return;
  road.Become(Road::FirstUnpack);
  if (const PipelineResult unpacked = EnsureTree(app_, *this); unpacked.outcome != Outcome::Done || Leaving()) {
    Tell(unpacked);
    return;
  }
  if (app_.UpdatedFromVersion.empty()) return;
  road.Become(Road::ReapplyOffer);
  if (!OfferToReapply(app_, *this, model_, compositionEnabled_) || Leaving()) return;
  RoadClaim apply(*this, Road::Apply);
  RunApply();
}

void MainWindowLogic::OnOk() {
  RoadClaim road(*this, Road::Apply);
  RunApply();
}

void MainWindowLogic::RunApply() {
  // Enter in a field applies without leaving it, and a field never left
  // holds what the settings file gave: every value is checked first.
  for (const OptionDef& def : Options()) OnFieldLeft(def.option);
  const Applied applied = ApplyOptions(app_, *this, model_, compositionEnabled_,
                                       languageImported_ ? app_.LanguageName : std::string(), PendingOwnRules());
  if (applied.ownRulesWritten) pendingOwnRules_.reset();
  const PipelineResult& result = applied.result;
  Tell(result, applied.logged);
  if (EndsTheProgram(result.outcome)) Close();
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

void MainWindowLogic::OnHelp() { HelpCommand(app_); }

void MainWindowLogic::OnAbout() { AboutCommand(app_, Handle()); }

void MainWindowLogic::OnRestore() {
  RoadClaim road(*this, Road::Restore);
  const auto [result, logged] = RestoreHost(app_, *this);
  Tell(result, logged);
  if (EndsTheProgram(result.outcome)) Close();
}

void MainWindowLogic::OnSetFolder() {
  RoadClaim road(*this, Road::FolderDialog);
  ui_.ShowSetFolderDialog(app_, Handle(), FolderDialogCause::Chosen);
  road.Become(Road::Repoint);

  // Confirmed or cancelled, the host is checked again: the same version
  // changes nothing.
  if (CheckHostAndTell(app_, *this).outcome == HostCheck::Locked) {
    Close();
    return;
  }
  if (Leaving()) return;
  // Markers and greyed options follow the host.
  ApplyLanguage();
  if (app_.HostVersion.empty()) return;
  // Each installation keeps its own kept archive: back on one, it is
  // offered again.
  if (const std::optional<Logged> putBack = OfferKeptArchive(app_, *this)) Tell(putBack->result, putBack->logged);
  if (Leaving()) return;
  // A tree unpacked for the other host, or never finished, is rebuilt now.
  Tell(EnsureTree(app_, *this));
}

void MainWindowLogic::OnPreview() {
  RoadClaim road(*this, Road::Preview);
  // What the fields show is what OK would take: every value is checked first.
  for (const OptionDef& def : Options()) OnFieldLeft(def.option);
  // Without a version there is no tree of this host to compare with; OK
  // tells the same.
  if (app_.HostVersion.empty()) {
    Tell({Outcome::NoHostVersion, app_.Host().HostExecutable()});
    return;
  }
  const PipelineResult unpacked = EnsureTree(app_, *this);
  if (Leaving()) return;
  if (unpacked.outcome != Outcome::Done) {
    Tell(unpacked);
    return;
  }
  const Preview preview = BuildPreview(app_, model_.Snapshot(), compositionEnabled_, PendingOwnRules());
  road.Become(Road::PreviewOpen);
  ui_.ShowPreviewWindow(app_, preview, Handle());
}

FileDialogTexts MainWindowLogic::DialogTexts(std::string_view menuKey) const {
  // The menu item without its "...".
  std::string title = Text(app_, menuKey);
  while (!title.empty() && title.back() == '.') title.pop_back();
  return {title, Text(app_, "SettingsFiles"), Text(app_, "AllFiles"), std::string(kExportFileName)};
}

void MainWindowLogic::OnExport(bool withLooks) {
  RoadClaim road(*this, Road::ChoosingFile);
  // What the focused field shows is exported as leaving it would leave it.
  if (focusedField_) OnFieldLeft(*focusedField_);
  const std::optional<std::string> path =
      ui_.AskSavePath(DialogTexts(withLooks ? "ExportSettingsAndLooks" : "ExportSettings"), Handle());
  if (!path || Leaving()) return;
  road.Become(Road::Export);
  const std::vector<Look> looks = withLooks ? ReadNamedLooks(app_).looks : std::vector<Look>();
  const std::string message =
      ExportMessage(app_, ExportSettings(app_, model_, *path, PendingOwnRules(), withLooks ? &looks : nullptr));
  if (!message.empty()) app_.Message(message, MessageButtons::Ok, Handle(), MessageIcon::Error);
}

void MainWindowLogic::OnImportSettings() {
  RoadClaim road(*this, Road::ChoosingFile);
  const std::optional<std::string> path = ui_.AskOpenPath(DialogTexts("ImportSettings"), Handle());
  if (!path || Leaving()) return;
  road.Become(Road::Import);
  ImportResult imported = ReadSettingsForImport(app_, *path, model_);
  if (imported.report.status == TransferStatus::Done) {
    // Kept beside the looks here, not in the window: OK has nothing to add to them.
    TakeNamedLooks(app_, imported.report.namedLooks);
    ShowOptions(imported.options);
    if (!imported.language.empty()) SwitchLanguage(imported.language);
    if (!imported.report.ownRules.empty()) pendingOwnRules_ = WithImported(OwnRulesToEdit(), imported.report.ownRules);
    ShowHeader();
  }
  app_.Message(ImportMessage(app_, imported.report), MessageButtons::Ok, Handle(),
               imported.report.status == TransferStatus::Done ? MessageIcon::Information : MessageIcon::Error);
}

void MainWindowLogic::OnResetDefaults() { ShowOptions(DefaultOptions()); }

void MainWindowLogic::Tell(std::string_view text, MessageIcon icon) {
  app_.Message(text, MessageButtons::Ok, Handle(), icon);
}

bool MainWindowLogic::Ask(std::string_view question) {
  return app_.Message(question, MessageButtons::YesNo, Handle()) == MessageResult::Ok;
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

void MainWindowLogic::StepAside() {
  if (!Closed()) view_.Hide();
}

void MainWindowLogic::OnOwnRules() {
  RoadClaim road(*this, Road::OwnRulesOpen);
  OwnRulesFiles source(app_, pendingOwnRules_ ? &*pendingOwnRules_ : nullptr);
  ui_.ShowOwnRulesEditor(app_, source, Handle());
  ShowHeader();  // the header tells the check of what was saved
}

OwnRulesPair MainWindowLogic::OwnRulesToEdit() const {
  return pendingOwnRules_ ? *pendingOwnRules_ : ReadBothOwnRules(app_.platform, app_.programFolder);
}

}  // namespace rw
