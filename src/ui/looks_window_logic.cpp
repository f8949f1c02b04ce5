#include "ui/looks_window_logic.h"

#include <utility>

#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/catalogue.h"
#include "ui/named_looks.h"
#include "ui/status_verb.h"

namespace rw {

void LooksWindow::OnLoad() {
  const auto text = [this](std::string_view key) { return Text(app_, key); };
  view_.SetCaptions({text("LooksTitle"), text("LooksName"), text("LooksUse"), text("LooksPreview"), text("LooksSaveAs"),
                     text("LooksRename"), text("LooksDelete"), text("LooksClose")});
  ShowRows();
}

void LooksWindow::ShowRows(std::optional<std::string> select) {
  const LookShelf history = ReadHistory(app_);
  const LookShelf named = ReadNamedLooks(app_);
  rows_.clear();
  std::vector<std::string> texts;
  const auto add = [&](const LookShelf& shelf, std::string_view heading, bool isNamed) {
    rows_.push_back({});
    texts.push_back(Text(app_, heading));
    for (const Look& look : shelf.looks) {
      rows_.push_back({look, isNamed});
      texts.push_back("    " + RowText(look, isNamed));
    }
  };
  add(history, "LooksHistoryHeading", false);
  add(named, "LooksNamedHeading", true);
  view_.SetRows(texts);
  chosen_.reset();
  for (std::size_t i = 0; i < rows_.size() && !chosen_; ++i)
    if (rows_[i].look && (!select || (rows_[i].named && FoldCase(rows_[i].look->name) == FoldCase(*select))))
      OnRowChosen(i);
  if (!chosen_) view_.SetDetails("");
  std::string damaged;
  for (const LookShelf* shelf : {&history, &named})
    for (const std::string& path : shelf->damaged)
      damaged += Fill(Text(app_, "LookDamaged"), {{"$file", path}}) + "\r\n";
  // Said once: the list is filled again after every save.
  if (!damaged.empty() && !std::exchange(toldDamaged_, true))
    app_.Message(damaged, MessageButtons::Ok, view_.Handle(), MessageIcon::Warning);
}

std::string LooksWindow::RowText(const Look& look, bool named) const {
  const std::size_t differing = Differences(look, current_).size();
  const std::string differ = differing == 0 ? Text(app_, "LooksSame")
                             : differing == 1
                                 ? Text(app_, "LooksOneDiffers")
                                 : Fill(Text(app_, "LooksDiffer"), {{"$count", std::to_string(differing)}});
  return Fill(Text(app_, named ? "LooksWindowNamedRow" : "LooksWindowRow"),
              {{"$name", look.name}, {"$date", look.date}, {"$version", look.hostVersion}, {"$differ", differ}});
}

void LooksWindow::OnRowChosen(std::size_t row) {
  if (row >= rows_.size() || !rows_[row].look) {
    if (chosen_) view_.SelectRow(*chosen_);  // a heading keeps the choice where it was
    return;
  }
  chosen_ = row;
  view_.SelectRow(row);
  const Look& look = *rows_[row].look;
  if (rows_[row].named) view_.SetNameText(look.name);
  std::string names;
  for (const Option option : Differences(look, current_))
    names += (names.empty() ? "" : ", ") + CaptionOf(app_, Def(option));
  view_.SetDetails(names.empty() ? Text(app_, "LooksSame") : Fill(Text(app_, "LooksChanges"), {{"$options", names}}));
}

const LooksWindow::Row* LooksWindow::Chosen() const { return chosen_ ? &rows_[*chosen_] : nullptr; }

void LooksWindow::OnUse(bool preview) {
  const Row* row = Chosen();
  if (!row) return;
  choice_ = {row->look, preview};
  view_.Close();
}

bool LooksWindow::Said(NamedSave saved, const std::string& name) {
  if (saved == NamedSave::Saved) return true;
  if (saved == NamedSave::Exists) return false;
  const std::string_view key = saved == NamedSave::BadName ? "LookBadName" : "LookNotSaved";
  app_.Message(Fill(Text(app_, key), {{"$name", name}, {"$folder", app_.Path(kLooksFolder)}}), MessageButtons::Ok,
               view_.Handle(), MessageIcon::Error);
  return false;
}

void LooksWindow::OnSaveAs() {
  const std::string name = view_.NameText();
  NamedSave saved = SaveNamedLook(app_, LookOf(app_, current_), name, false);
  if (saved == NamedSave::Exists && app_.Message(Fill(Text(app_, "LookReplaceQuestion"), {{"$name", name}}),
                                                 MessageButtons::YesNo, view_.Handle()) == MessageResult::Ok)
    saved = SaveNamedLook(app_, LookOf(app_, current_), name, true);
  if (Said(saved, name)) ShowRows(std::string(TrimBlanks(name)));
}

void LooksWindow::OnRename() {
  const Row* row = Chosen();
  if (!row || !row->named) return;
  const std::string from = row->look->name, to = view_.NameText();
  NamedSave saved = RenameNamedLook(app_, from, to, false);
  if (saved == NamedSave::Exists && app_.Message(Fill(Text(app_, "LookReplaceQuestion"), {{"$name", to}}),
                                                 MessageButtons::YesNo, view_.Handle()) == MessageResult::Ok)
    saved = RenameNamedLook(app_, from, to, true);
  if (Said(saved, to)) ShowRows(std::string(TrimBlanks(to)));
}

void LooksWindow::OnDelete() {
  const Row* row = Chosen();
  if (!row || !row->named) return;
  const std::string name = row->look->name;
  if (app_.Message(Fill(Text(app_, "LookDeleteQuestion"), {{"$name", name}}), MessageButtons::YesNo, view_.Handle()) !=
      MessageResult::Ok)
    return;
  if (!DeleteNamedLook(app_, name)) Said(NamedSave::Failed, name);
  ShowRows();
}

}  // namespace rw
