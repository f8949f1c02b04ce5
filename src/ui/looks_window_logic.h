// The Looks window: the looks of the last installs and the named ones,
// with what each would change in the main window. Choosing one hands it
// back to the main window, which shows its values; nothing is installed here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ui/looks.h"
#include "ui/named_looks.h"

namespace rw {

struct LooksCaptions {
  std::string title, nameLabel, use, preview, saveAs, rename, remove, close;
};

/// What the Looks logic needs of its window.
class LooksView {
 public:
  virtual ~LooksView() = default;
  virtual WindowHandle Handle() = 0;
  virtual void SetCaptions(const LooksCaptions& captions) = 0;
  /// The list, replacing what it held; a heading row is never chosen.
  virtual void SetRows(const std::vector<std::string>& rows) = 0;
  /// Marks a row without telling the logic again.
  virtual void SelectRow(std::size_t row) = 0;
  /// The line under the list: which options the chosen look changes.
  virtual void SetDetails(const std::string& text) = 0;
  /// The name field.
  virtual std::string NameText() = 0;
  virtual void SetNameText(const std::string& text) = 0;
  virtual void Close() = 0;
};

/// What the window was closed with: a look to show, and whether the main
/// window previews it at once.
struct LooksChoice {
  std::optional<Look> look;
  bool preview = false;
};

class LooksWindow {
 public:
  /// `current`: the values the main window shows, to compare with.
  LooksWindow(const App& app, const OptionSnapshot& current, LooksView& view)
      : app_(app), current_(current), view_(view) {}

  /// Captions and the list: a heading, the history newest first, a heading,
  /// the named looks; the first look chosen. Damaged files are said once.
  void OnLoad();
  void OnRowChosen(std::size_t row);
  /// Use (or Preview): the chosen look goes back to the main window.
  void OnUse(bool preview);
  /// Keeps the main window's values under the name in the field, asking
  /// before one of that name is replaced.
  void OnSaveAs();
  /// The chosen named look takes the name in the field.
  void OnRename();
  void OnDelete();
  void OnClose() { view_.Close(); }

  const LooksChoice& Choice() const { return choice_; }

 private:
  struct Row {
    std::optional<Look> look;  // none for a heading
    bool named = false;
  };
  void ShowRows(std::optional<std::string> select = std::nullopt);
  std::string RowText(const Look& look, bool named) const;
  const Row* Chosen() const;
  /// Tells a refused name or a failed write; true when saved.
  bool Said(NamedSave saved, const std::string& name);

  const App& app_;
  OptionSnapshot current_;
  LooksView& view_;
  std::vector<Row> rows_;
  std::optional<std::size_t> chosen_;
  LooksChoice choice_;
  bool toldDamaged_ = false;
};

}  // namespace rw
