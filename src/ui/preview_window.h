// The preview window: its behaviour, independent of the window that shows
// it. It only shows; nothing in it changes a file or a setting.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_codes.h"

namespace rw {

struct App;
struct Preview;

/// What the preview logic needs of its window.
class PreviewView {
 public:
  virtual ~PreviewView() = default;
  virtual void SetCaptions(const std::string& title, const std::string& close) = 0;
  /// The list of sections, replacing what it held.
  virtual void SetSectionTitles(const std::vector<std::string>& titles) = 0;
  /// Marks the list item without telling the logic again.
  virtual void SelectSection(std::size_t index) = 0;
  /// The text of the section shown, its lines ending in "\r\n".
  virtual void ShowText(const std::string& text) = 0;
  /// Closes the window; the modal loop that shows it ends.
  virtual void Close() = 0;
};

class PreviewWindow {
 public:
  /// `preview` must outlive this object.
  PreviewWindow(const App& app, const Preview& preview, PreviewView& view)
      : app_(app), preview_(preview), view_(view) {}

  /// Captions, the list, and the first section (the summary with its
  /// warnings) chosen and shown.
  void OnLoad();
  /// The user chose a list item; an index past the list does nothing.
  void OnSectionChosen(std::size_t index);
  /// Esc closes wherever the focus is; true when the key was used.
  bool OnKeyDown(int keyCode);
  void OnClose() { view_.Close(); }

  std::size_t Shown() const { return shown_; }

 private:
  const App& app_;
  const Preview& preview_;
  PreviewView& view_;
  std::size_t shown_ = 0;
};

/// A text in the form a Windows edit control shows it: every line break a
/// "\r\n" (a "\n" gains its "\r", a "\r\n" stays as it is), and NUL, which
/// would end the text there, as U+2400 (the symbol for NUL).
std::string ForEditControl(std::string_view text);

}  // namespace rw
