// The main window's commands of the looks (looks.h): the Looks window,
// Save Look As... and Undo Last Apply.
#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/catalogue.h"
#include "ui/looks.h"
#include "ui/main_window_logic.h"

namespace rw {

void MainWindowLogic::OnLooks(bool naming) {
  LooksChoice choice;
  {
    RoadClaim road(*this, Road::Looks);
    // Compared with, and saved, as OK would take them.
    for (const OptionDef& def : Options()) OnFieldLeft(def.option);
    choice = ui_.ShowLooksWindow(app_, model_.Snapshot(), Handle(), naming);
    if (Leaving() || !choice.look || !ShowLook(*choice.look)) return;
  }
  // As the menu would: not once a close was asked for.
  if (choice.preview && Idle()) OnPreview();
}

void MainWindowLogic::OnUndoLastApply() {
  const LookShelf history = ReadHistory(app_);
  if (history.looks.size() < 2) {
    app_.Message(Text(app_, "UndoNoEarlierLook"), MessageButtons::Ok, Handle(), MessageIcon::Warning);
    return;
  }
  RoadClaim road(*this, Road::Apply);
  if (ShowLook(history.looks[1])) RunApply();
}

bool MainWindowLogic::ShowLook(const Look& look) {
  if (const std::optional<std::string> failed = PutOwnRulesInPlace(app_, look)) {
    app_.Message(Fill(Text(app_, "LookNotPutInPlace"), {{"$file", *failed}}), MessageButtons::Ok, Handle(),
                 MessageIcon::Error);
    return false;
  }
  ShowOptions(ModelOf(look));
  ShowHeader();  // the look's own rules are in their files now
  return true;
}

}  // namespace rw
