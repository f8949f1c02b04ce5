#include "ui/main_window_logic.h"

#include <algorithm>
#include <utility>

#include "app/app.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "pipeline/pipeline.h"
#include "stores/settings.h"
#include "stores/text.h"
#include "ui/catalogue.h"
#include "ui/commands.h"
#include "ui/diagnostics.h"
#include "ui/field_checks.h"
#include "ui/settings_transfer.h"
#include "ui/status_verb.h"
#include "ui/ui_factory.h"
#include "ui/window_commands.h"

namespace rw {

namespace {

constexpr std::string_view kIconName = "AAA";
constexpr std::string_view kIniSuffix = ".ini";

// The parts that are no options and say what they do: the commands, Select
// All and Find; the legends and the menu bar's one item say nothing.
std::string_view DescriptionKey(WindowPart part) {
  if (part == WindowPart(Control::SelectAll)) return "DescribeSelectAll";
  if (part == WindowPart(Control::Find)) return "DescribeFind";
  const WindowCommand* command = nullptr;
  if (const Control* control = std::get_if<Control>(&part)) command = CommandOf(*control);
  if (const MenuItem* item = std::get_if<MenuItem>(&part)) command = CommandOf(*item);
  return command ? command->describeKey : std::string_view();
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

MainWindowLogic::MainWindowLogic(App& app, MainView& view, UiFactory& ui)
    : app_(app), view_(view), ui_(ui), shownEnabled_(WindowCommands().size(), true) {}

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
  const bool english = app_.platform.system.LowerCase(app_.LanguageName) == "english";
  for (const WindowCommand& command : WindowCommands()) {
    std::string caption = text(command.captionKey);
    if (command.englishToo && !english) caption = EnglishText(app_, command.captionKey) + " / " + caption;
    std::visit([&](auto place) { view_.SetCaption(place, caption); }, command.place);
  }
  // Markers tell the skins apart; a single-skin host needs none.
  const bool markers = !app_.SingleSkinHost;
  for (const auto& [control, key] : kControlCaptionKeys) {
    const bool legend = control == Control::ModernLegend || control == Control::ClassicLegend;
    view_.SetCaption(control, legend && !markers ? std::string() : text(key));
  }
  if (!findText_.empty()) OnFindChanged(findText_);

  for (const OptionDef& def : Options()) {
    if (def.kind != OptionKind::Check) continue;
    view_.SetCaption(def.option, text(def.captionKey) + (markers ? std::string(def.marker) : std::string()));
  }
  for (const OptionDef& def : Options())
    if (def.host == HostRule::HostDependent) SetEnabled(def.option, !GreyedOnThisHost(def, app_.SingleSkinHost));

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
  if (index >= langItems_.size() || !MayRun(LanguageMenuCommand())) return;
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

bool MainWindowLogic::MayRun(const WindowCommand& command) const {
  if (phase_ == WindowPhase::Closed) return false;
  return Idle() || command.availability == Availability::DuringRoads;
}

// A command posted to a greyed item or button still arrives: it is refused
// here, not in each handler.
void MainWindowLogic::Run(const WindowCommand& command) {
  if (command.handler && MayRun(command)) (this->*command.handler)();
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
  const std::span<const WindowCommand> commands = WindowCommands();
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const bool enabled = MayRun(commands[i]);
    if (shownEnabled_[i] == enabled) continue;
    shownEnabled_[i] = enabled;
    std::visit([&](auto place) { view_.SetEnabled(place, enabled); }, commands[i].place);
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

bool MainWindowLogic::OnKeyDown(int key, bool repeat, bool ctrlOnly) {
  if (key == kKeyEscape) return true;
  for (const WindowCommand& command : WindowCommands()) {
    if (command.shortcut.key != key || (command.shortcut.withCtrl && !ctrlOnly)) continue;
    // Wherever the focus is; a held key runs it once.
    if (!repeat) Run(command);
    return true;
  }
  if (key != kKeyEnter) return false;
  // Enter presses the default button: once per press, and not while it is
  // greyed.
  if (!repeat) Run(*CommandOf(Control::Ok));
  return true;
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

std::string MainWindowLogic::Description(WindowPart part) const {
  if (const Option* option = std::get_if<Option>(&part)) return Text(app_, Def(*option).descriptionKey);
  const std::string_view key = DescriptionKey(part);
  return key.empty() ? std::string() : Text(app_, key);
}

}  // namespace rw
