#include "ui/main_window_logic.h"

#include "engine/apply_tweaks.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "startup/app.h"
#include "startup/main_sequence.h"
#include "startup/outcome_messages.h"
#include "startup/ui_factory.h"
#include "stores/settings.h"
#include "stores/text.h"
#include "ui/catalogue.h"
#include "ui/commands.h"
#include "ui/field_checks.h"

namespace rw {

namespace {

constexpr std::string_view kIconName = "AAA";
constexpr std::string_view kIniSuffix = ".ini";

}  // namespace

MainWindowLogic::MainWindowLogic(App& app, MainView& view, UiFactory& ui) : app_(app), view_(view), ui_(ui) {}

void MainWindowLogic::Form_Load() {
  view_.SetIcons(kIconName);
  CompositionEnabled = IsCompositionEnabled();
  view_.SetTitle(app_.AppTitle);
  ApplyLanguage();
  LoadOptions(app_, model_, CompositionEnabled);
  ShowModel();
  FillLanguageMenu();
  CopyReplacementImages(app_.Host());
}

void MainWindowLogic::ApplyLanguage() {
  const auto text = [this](std::string_view key) { return app_.LookupText(key); };
  view_.SetCaption("mnuMenu", text("Menu"));
  view_.SetCaption("mnuSetFolder", text("SetFolder"));
  view_.SetCaption("mnuRestore", text("Restore"));
  view_.SetCaption("mnuHelp", text("Help"));
  view_.SetCaption("mnuAbout", text("About"));
  view_.SetCaption("mnuExit", text("Exit"));

  // Whoever picked a language they cannot read still finds the English word.
  if (app_.platform.LowerCase(app_.LanguageName) != "english")
    view_.SetCaption("mnuLanguage", app_.LookupText("SetLanguage", true) + " / " + text("SetLanguage"));
  else
    view_.SetCaption("mnuLanguage", text("SetLanguage"));

  view_.SetCaption("cmdOK", text("OK"));
  view_.SetCaption("cmdCancel", text("Cancel"));

  // Markers tell the skins apart, and host 3.0.15.300 has only one skin.
  const bool markers = !app_.Host3015300;
  for (const OptionDef& def : Options()) {
    if (def.kind != OptionKind::Check) continue;
    view_.SetCaption(def.control, text(def.captionKey) + (markers ? std::string(def.marker) : std::string()));
  }
  view_.SetCaption(kSelectAll, text("SelectAll"));

  for (const OptionDef& def : Options())
    if (def.host == HostRule::HostDependent) SetEnabled(def.control, !app_.Host3015300);

  view_.SetCaption(kModernLegend, markers ? text("ModernOnly") : std::string());
  view_.SetCaption(kClassicLegend, markers ? text("ClassicOnly") : std::string());
}

bool MainWindowLogic::IsCompositionEnabled() { return app_.platform.IsCompositionEnabled(); }

void MainWindowLogic::FillLanguageMenu() {
  // Names compare as the file system does, in every letter; the extension
  // is plain ASCII there.
  const std::string current = app_.platform.LowerCase(app_.LanguageName);
  for (const std::string& name : app_.platform.ListFiles(app_.Path("Languages"))) {
    // A bare ".ini" has no name to show.
    if (name.size() <= kIniSuffix.size() || !AsciiLower(name).ends_with(kIniSuffix)) continue;
    const std::string base = name.substr(0, name.size() - kIniSuffix.size());
    const std::string lowerBase = app_.platform.LowerCase(base);
    if (lowerBase == "english") continue;  // item 0 stands for it

    const bool matches = lowerBase == current;
    langItems_.push_back(base);
    langChecked_.push_back(matches && langChecked_[0]);
    view_.AddLanguageItem(base, langChecked_.back());
    if (matches) SetLanguageCheck(0, false);
  }
}

void MainWindowLogic::mnuLangList_Click(std::size_t index) {
  if (index >= langItems_.size()) return;
  const std::string caption = langItems_[index];
  // The file may have gone since the menu was filled.
  if (!app_.platform.FileExists(LanguageFilePath(app_.programFolder, caption))) return;
  app_.LanguageName = caption;
  app_.WriteSetting("Language", caption);
  for (std::size_t i = 0; i < langItems_.size(); ++i) SetLanguageCheck(i, i == index);
  ApplyLanguage();
}

void MainWindowLogic::chkSelectAll_Click() {
  const int state = model_.State(kSelectAll);
  for (const OptionModel::Control& c : model_.Controls()) {
    if (c.isCheck && c.enabled && c.name.starts_with("chk")) SetState(c.name, state);
  }
}

void MainWindowLogic::OnCheckClicked(std::string_view control) {
  if (!model_.Has(control) || !model_.Enabled(control)) return;
  SetState(control, model_.State(control) == 0 ? 1 : 0);
  if (control == kSelectAll) chkSelectAll_Click();
}

void MainWindowLogic::OnTextChanged(std::string_view control, std::string_view text) { model_.SetText(control, text); }

void MainWindowLogic::OnFieldFocus(std::string_view control) {
  if (model_.Has(control)) focusedField_ = std::string(control);
}

void MainWindowLogic::OnFieldValidate(std::string_view control) {
  if (focusedField_ == control) focusedField_.clear();
  const OptionDef* def = FindOption(control);
  if (!def || def->kind != OptionKind::Text) return;
  SetText(control, CheckField(control, model_));
}

bool MainWindowLogic::Form_Unload() {
  if (FolderDialogOpen) {
    view_.CloseFolderDialog();
    FolderDialogOpen = false;
    ScheduleMainUnload();
    return false;
  }
  ReleaseServices(app_);
  return true;
}

void MainWindowLogic::UnloadWindow() {
  if (unloaded_) return;
  if (!Form_Unload()) return;
  unloaded_ = true;
  view_.KillUnloadTimer();
  view_.Destroy();
}

void MainWindowLogic::ScheduleMainUnload() {
  view_.KillUnloadTimer();
  view_.StartUnloadTimer(kUnloadDelayMs);
  unloadPending_ = true;
}

void MainWindowLogic::MainUnloadTimerProc() {
  view_.KillUnloadTimer();
  if (!unloadPending_) return;
  unloadPending_ = false;
  UnloadWindow();
}

void MainWindowLogic::Form_Activate() {
  if (Activated || unloaded_) return;
  // Set first: unpacking lets window events run, and a second activation
  // meanwhile must not start a second unpacking.
  Activated = true;
  // Without a version nothing is unpacked; OK and Restore say why.
  if (app_.HostVersion.empty() || IsTreeUsable(app_.Host())) return;
  Tell(UnpackArchive(app_.Host(), *this));
}

bool MainWindowLogic::Form_KeyDown(int key, bool repeat) {
  if (key == kKeyEscape) return true;
  if (key != kKeyEnter) return false;
  // Enter presses the default button: once per press, and not while it is
  // disabled (during unpacking).
  if (!repeat && okEnabled_) cmdOK_Click();
  return true;
}

void MainWindowLogic::cmdOK_Click() {
  if (applying_ || unloaded_) return;
  applying_ = true;
  // Enter in a field applies without leaving it: check the typed value first.
  if (!focusedField_.empty()) OnFieldValidate(std::string(focusedField_));

  PipelineResult result = Apply();
  applying_ = false;
  if (result.outcome == Outcome::Done)
    UnloadWindow();
  else
    Tell(result);
}

PipelineResult MainWindowLogic::Apply() {
  // Nothing of another host version may reach this one.
  if (app_.HostVersion.empty()) return {Outcome::NoHostVersion, app_.Host().HostExecutable()};
  SaveOptions(app_, model_, CompositionEnabled);
  // A tree that never finished unpacking, or lost files since, is built
  // again now rather than packed.
  if (!IsTreeUsable(app_.Host())) {
    PipelineResult unpacked = UnpackArchive(app_.Host(), *this);
    if (unpacked.outcome != Outcome::Done || unloaded_) return unpacked;
  }
  const OptionSnapshot options = model_.Snapshot();
  const TweakInputs inputs{options, app_.Host3015300, CompositionEnabled};
  ApplyTweaks(app_.platform, app_.programFolder, inputs, /*isClassic=*/false);
  if (!app_.Host3015300) ApplyTweaks(app_.platform, app_.programFolder, inputs, /*isClassic=*/true);
  return InstallArchive(app_.Host(), *this, /*restore=*/false);
}

void MainWindowLogic::Tell(const PipelineResult& result) {
  const std::string message = MessageFor(app_, result);
  if (!message.empty()) app_.Message(message, MessageButtons::Ok, Handle());
}

void MainWindowLogic::mnuHelp_Click() { HelpCommand(app_); }

void MainWindowLogic::mnuAbout_Click() { AboutCommand(app_, *this); }

// While the tree is being unpacked (OK is disabled then) neither the host
// folder nor the tree may change under the unpacker.
void MainWindowLogic::mnuRestore_Click() {
  if (!okEnabled_ || applying_) return;
  const PipelineResult result = RestoreCommand(app_, *this);
  if (result.outcome == Outcome::Done)
    UnloadWindow();
  else
    Tell(result);
}

void MainWindowLogic::mnuSetFolder_Click() {
  if (!okEnabled_ || applying_) return;
  SetFolderHooks hooks;
  hooks.showDialog = [this](WindowHandle owner) { ui_.ShowSetFolderDialog(app_, owner); };
  hooks.applyLanguage = [this] {
    if (!unloaded_) ApplyLanguage();
  };
  Tell(SetFolderCommand(app_, *this, FolderDialogOpen, hooks));
}

bool MainWindowLogic::ConfirmCloseHost() {
  return app_.Message(app_.LookupText("ConfirmClose"), MessageButtons::OkCancel, Handle()) == MessageResult::Ok;
}

WindowHandle MainWindowLogic::Handle() { return unloaded_ ? 0 : view_.Handle(); }

void MainWindowLogic::EnableOk(bool enabled) {
  okEnabled_ = enabled;
  if (!unloaded_) view_.SetEnabled("cmdOK", enabled);
}

void MainWindowLogic::Hide() {
  if (!unloaded_) view_.Hide();
}

void MainWindowLogic::SetState(std::string_view control, int state) {
  if (model_.SetState(control, state)) view_.SetCheck(control, state);
}

void MainWindowLogic::SetText(std::string_view control, const std::string& text) {
  if (model_.SetText(control, text)) view_.SetText(control, text);
}

void MainWindowLogic::SetEnabled(std::string_view control, bool enabled) {
  if (model_.SetEnabled(control, enabled)) view_.SetEnabled(control, enabled);
}

void MainWindowLogic::ShowModel() {
  for (const OptionModel::Control& c : model_.Controls()) {
    if (c.isCheck)
      view_.SetCheck(c.name, c.state);
    else
      view_.SetText(c.name, c.text);
    view_.SetEnabled(c.name, c.enabled);
  }
}

void MainWindowLogic::SetLanguageCheck(std::size_t index, bool checked) {
  if (index >= langChecked_.size()) return;
  langChecked_[index] = checked;
  view_.CheckLanguageItem(index, checked);
}

}  // namespace rw
