#include "ui/preview_window.h"

#include "app/app.h"
#include "app/language_text.h"
#include "ui/preview.h"

namespace rw {

void PreviewWindow::OnLoad() {
  view_.SetCaptions(Text(app_, "PreviewTitle"), Text(app_, "Close"));
  std::vector<std::string> titles;
  titles.reserve(preview_.sections.size());
  for (const PreviewSection& section : preview_.sections) titles.push_back(section.title);
  view_.SetSectionTitles(titles);
  if (preview_.sections.empty()) return;
  view_.SelectSection(0);
  shown_ = 0;
  view_.ShowText(ForEditControl(preview_.sections[0].text));
}

void PreviewWindow::OnSectionChosen(std::size_t index) {
  if (index >= preview_.sections.size()) return;
  shown_ = index;
  view_.ShowText(ForEditControl(preview_.sections[index].text));
}

bool PreviewWindow::OnKeyDown(int keyCode) {
  if (keyCode != kKeyEscape) return false;
  OnClose();
  return true;
}

std::string ForEditControl(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n' && (i == 0 || text[i - 1] != '\r'))
      out += "\r\n";
    else if (c == '\0')
      out += "\xE2\x90\x80";
    else
      out += c;
  }
  return out;
}

}  // namespace rw
