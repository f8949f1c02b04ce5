// The own rules editor: its behaviour, independent of the window that shows
// it. One page per skin, each checked as it is typed; the files change only
// when the user saves.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ui/own_rules_source.h"

namespace rw {

struct App;

/// The pages in the order they are shown: the modern skin, then the classic.
inline constexpr std::size_t kOwnRulesPages = 2;

/// What the editor logic needs of its window. Each page has a text field of
/// its own, which keeps its caret and undo while another page is shown.
class OwnRulesView {
 public:
  virtual ~OwnRulesView() = default;
  virtual WindowHandle Handle() = 0;
  virtual void SetCaptions(const std::string& title, const std::string& save, const std::string& cancel) = 0;
  virtual void SetPageTitle(std::size_t page, const std::string& title) = 0;
  /// A page's text, its lines ending in "\r\n"; the view does not report it
  /// back as a change.
  virtual void SetPageText(std::size_t page, const std::string& text) = 0;
  /// Whether the page's text can be edited; a page that cannot is greyed.
  virtual void SetPageEditable(std::size_t page, bool editable) = 0;
  /// Shows the page's text field and marks its tab, without telling the
  /// logic again.
  virtual void ShowPage(std::size_t page) = 0;
  /// What the check says of the page shown: one line above, and the
  /// findings, one per line, below it.
  virtual void ShowCheck(const std::string& summary, const std::vector<std::string>& findings) = 0;
  /// Marks the line (1 for the first) in the page's text and scrolls to it.
  virtual void GoToLine(std::size_t page, int line) = 0;
  virtual void SetSaveEnabled(bool enabled) = 0;
  /// Closes the window; the modal loop that shows it ends.
  virtual void Close() = 0;
};

class OwnRulesEditor {
 public:
  /// `source` must outlive this object.
  OwnRulesEditor(const App& app, OwnRulesSource& source, OwnRulesView& view)
      : app_(app), source_(source), view_(view) {}

  /// Captions, both pages loaded and checked, the first one shown.
  void OnLoad();
  /// The user chose a tab; an index past the pages does nothing.
  void OnPageChosen(std::size_t page);
  /// The user edited a page; the view already shows `text`.
  void OnTextChanged(std::size_t page, std::string text);
  /// The user chose a line of the check's findings.
  void OnFindingChosen(std::size_t index);
  /// The Save button: writes what changed and closes once all is written.
  void OnSave();
  /// Ctrl+S: writes what changed and stays; false when a file was not
  /// written (the user was told why).
  bool SaveChanges();
  /// Cancel, Esc and the close box: asks before unsaved changes are lost.
  void OnCancel();
  /// Esc and Ctrl+S, wherever the focus is; true when the key was used.
  bool OnKeyDown(int keyCode, bool control);

  bool Dirty() const;
  bool Dirty(std::size_t page) const;
  std::size_t Shown() const { return shown_; }
  /// The page's findings of the last check.
  const std::vector<OwnRulesFinding>& Findings(std::size_t page) const { return pages_[page].findings; }

 private:
  struct Page {
    bool isClassic = false;
    bool used = true;      // the host has this skin
    bool readable = true;  // a file that cannot be read is left alone
    std::string saved;     // the file's text as the field shows it
    std::string text;      // what the field shows now
    std::vector<OwnRulesFinding> findings;
  };
  bool Editable(const Page& page) const { return page.used && page.readable; }
  void Check(std::size_t page);
  void ShowTitle(std::size_t page);
  void ShowCheck();
  void ShowSaveState();

  const App& app_;
  OwnRulesSource& source_;
  OwnRulesView& view_;
  std::array<Page, kOwnRulesPages> pages_{};
  std::size_t shown_ = 0;
};

}  // namespace rw
