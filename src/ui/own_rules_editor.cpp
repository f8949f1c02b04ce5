#include "ui/own_rules_editor.h"

#include <algorithm>

#include "app/app.h"
#include "app/language_text.h"
#include "platform/key_codes.h"
#include "stores/text.h"
#include "ui/preview_window.h"  // ForEditControl

namespace rw {

namespace {

constexpr int kKeyS = 'S';

}  // namespace

void OwnRulesEditor::OnLoad() {
  view_.SetCaptions(Text(app_, "OwnRulesTitle"), Text(app_, "OwnRulesSave"), Text(app_, "Cancel"));
  for (std::size_t i = 0; i < kOwnRulesPages; ++i) {
    Page& page = pages_[i];
    page.isClassic = i == 1;
    page.used = !(page.isClassic && app_.SingleSkinHost);
    const std::optional<std::string> loaded = source_.Load(page.isClassic);
    page.readable = loaded.has_value();
    page.saved = page.text = ForEditControl(loaded.value_or(std::string()));
    view_.SetPageText(i, page.text);
    view_.SetPageEditable(i, Editable(page));
    ShowTitle(i);
    Check(i);
  }
  shown_ = 0;
  view_.ShowPage(0);
  ShowCheck();
  ShowSaveState();
}

void OwnRulesEditor::OnPageChosen(std::size_t page) {
  if (page >= kOwnRulesPages) return;
  shown_ = page;
  view_.ShowPage(page);
  ShowCheck();
}

void OwnRulesEditor::OnTextChanged(std::size_t index, std::string text) {
  if (index >= kOwnRulesPages || !Editable(pages_[index])) return;
  Page& page = pages_[index];
  const bool wasDirty = Dirty(index);
  page.text = std::move(text);
  Check(index);
  if (Dirty(index) != wasDirty) {
    ShowTitle(index);
    ShowSaveState();
  }
  if (index == shown_) ShowCheck();
}

void OwnRulesEditor::OnFindingChosen(std::size_t index) {
  const std::vector<OwnRulesFinding>& findings = pages_[shown_].findings;
  if (index >= findings.size() || findings[index].line <= 0) return;
  view_.GoToLine(shown_, findings[index].line);
}

bool OwnRulesEditor::SaveChanges() {
  bool allWritten = true;
  for (std::size_t i = 0; i < kOwnRulesPages; ++i) {
    Page& page = pages_[i];
    if (!Dirty(i)) continue;
    const FileChange written = source_.Save(page.isClassic, page.text);
    if (!written) {
      allWritten = false;
      std::string text = Fill(Text(app_, "OwnRulesSaveFailed"), {{"$file", source_.PathOf(page.isClassic)}});
      if (!written.osError.empty()) text += "\r\n\r\n" + written.osError;
      app_.Message(text, MessageButtons::Ok, view_.Handle(), MessageIcon::Error);
      continue;
    }
    page.saved = page.text;
    ShowTitle(i);
  }
  ShowSaveState();
  return allWritten;
}

void OwnRulesEditor::OnSave() {
  if (SaveChanges()) view_.Close();
}

void OwnRulesEditor::OnCancel() {
  if (Dirty() && app_.Message(Text(app_, "OwnRulesDiscard"), MessageButtons::YesNo, view_.Handle(),
                              MessageIcon::Warning) != MessageResult::Ok)
    return;
  view_.Close();
}

bool OwnRulesEditor::OnKeyDown(int keyCode, bool control) {
  if (keyCode == kKeyEscape && !control) {
    OnCancel();
    return true;
  }
  if (keyCode == kKeyS && control) {
    SaveChanges();
    return true;
  }
  return false;
}

bool OwnRulesEditor::Dirty(std::size_t page) const { return pages_[page].text != pages_[page].saved; }

bool OwnRulesEditor::Dirty() const {
  for (std::size_t i = 0; i < kOwnRulesPages; ++i)
    if (Dirty(i)) return true;
  return false;
}

void OwnRulesEditor::Check(std::size_t index) {
  Page& page = pages_[index];
  page.findings.clear();
  if (Editable(page)) page.findings = source_.Check(page.isClassic, page.text);
}

// An unsaved page says so in its tab, as editors mark an unsaved file.
void OwnRulesEditor::ShowTitle(std::size_t index) {
  const std::string title = Text(app_, index == 0 ? "OwnRulesModern" : "OwnRulesClassic");
  view_.SetPageTitle(index, Dirty(index) ? title + " *" : title);
}

void OwnRulesEditor::ShowCheck() {
  const Page& page = pages_[shown_];
  std::vector<std::string> lines;
  std::string summary;
  if (!page.used) {
    summary = Text(app_, "OwnRulesNotUsedHere");
  } else if (!page.readable) {
    summary = Fill(Text(app_, "OwnRulesEditorUnreadable"), {{"$file", source_.PathOf(page.isClassic)}});
  } else if (page.findings.empty()) {
    summary = Text(app_, page.text.empty() ? "OwnRulesEmpty" : "OwnRulesFine");
  } else {
    const bool blocked =
        std::any_of(page.findings.begin(), page.findings.end(), [](const OwnRulesFinding& f) { return f.fault; });
    summary = Text(app_, blocked ? "OwnRulesNotUsed" : "OwnRulesWarned");
    const std::string lineText = Text(app_, "OwnRulesLine");
    for (const OwnRulesFinding& f : page.findings)
      lines.push_back(f.line > 0 ? Fill(lineText, {{"$line", std::to_string(f.line)}, {"$reason", f.reason}})
                                 : f.reason);
  }
  view_.ShowCheck(summary, lines);
}

void OwnRulesEditor::ShowSaveState() { view_.SetSaveEnabled(Dirty()); }

}  // namespace rw
