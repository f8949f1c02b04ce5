// What the main window says of itself: the marks and tips of the option
// rows, the details line and the header.
#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/diagnostics.h"
#include "ui/main_window_logic.h"
#include "ui/status_verb.h"
#include "ui/window_header.h"

namespace rw {

namespace {

constexpr std::array kTippedControls{Control::SelectAll, Control::Ok, Control::Cancel, Control::Find};

RowMark MarkOf(const OptionStatus& status) {
  if (status.greyed) return RowMark::Greyed;
  if (status.noEffect) return RowMark::NoEffect;
  if (status.contradictedBy) return RowMark::Contradicted;
  if (status.needs) return RowMark::Needs;
  return status.changedFromDefault ? RowMark::Changed : RowMark::None;
}

}  // namespace

void MainWindowLogic::OnPointed(std::optional<WindowPart> part) {
  pointed_ = part;
  ShowDetails();
}

void MainWindowLogic::OnFocused(std::optional<WindowPart> part) {
  focused_ = part;
  ShowDetails();
}

void MainWindowLogic::OnMenuHighlighted(std::optional<WindowPart> item) {
  menuItem_ = item;
  ShowDetails();
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
  std::string text = HeaderLineWithOwnRules(app_, ReadArchiveState(app_, fingerprints_), PendingOwnRules());
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

void MainWindowLogic::OnOpenLog() { app_.platform.desktop.OpenInTextEditor(app_.Path(kLogFileName)); }

void MainWindowLogic::OnCopyDiagnostics() {
  const std::string status = StatusText(app_, fingerprints_);
  app_.platform.desktop.CopyTextToClipboard(DiagnosticsText(app_, model_, shownHeader_.value_or(""), status));
}

void MainWindowLogic::OnFindChanged(std::string_view text) {
  if (Closed()) return;
  findText_ = text;
  // Every language the menu offers, so that typed words of any of them find
  // the rows shown in the chosen one.
  if (!search_) search_.emplace(app_, langItems_);
  found_ = search_->Find(text);
  view_.ShowFound(found_);
  std::string result;
  if (!SearchWords(app_.platform.system, text).empty()) {
    result = found_.empty()       ? Text(app_, "FindNone")
             : found_.size() == 1 ? Text(app_, "FindOne")
                                  : Fill(Text(app_, "FindCount"), {{"$count", std::to_string(found_.size())}});
  }
  view_.SetFindResult(result);
}

void MainWindowLogic::OnFindEnter() {
  for (const Option option : found_) {
    if (!model_.Enabled(option)) continue;
    view_.FocusOn(option);
    return;
  }
}

void MainWindowLogic::OnFindEscape() {
  view_.SetFindText("");
  OnFindChanged("");
}

}  // namespace rw
