// The edits of the skin templates and of the shared menu and style files.
// Each works on a file's text in memory and goes both ways: a ticked option
// writes the program's markup, an unticked one writes the default form back.
// Each returns how the edits of its ticked options went; all share one
// signature so a table can list them.
#pragma once

#include <string>

#include "engine/apply_tweaks.h"
#include "engine/tweak_report.h"

namespace rw {

/// navbar.htm of the skin: undo buttons, main-menu button, avatar button,
/// search box, browsing-mode text.
EditNotes EditToolbarTemplate(std::string& text, const TweakInputs& inputs, bool isClassic);

/// index.htm of the skin: avatar identifier and title, and (classic skin)
/// where the tab bar is included.
EditNotes EditWindowTemplate(std::string& text, const TweakInputs& inputs, bool isClassic);

/// favbar.htm of the skin: the favourites button and the separators.
EditNotes EditFavBarTemplate(std::string& text, const TweakInputs& inputs, bool isClassic);

/// menus\main.htm, shared by both skins: the avatar item at the top.
EditNotes EditMainMenuTemplate(std::string& text, const TweakInputs& inputs, bool isClassic);

/// main\caption.css, edited for host version 3.0.15.300 only.
EditNotes EditCaptionSheet(std::string& text, const TweakInputs& inputs, bool isClassic);

/// main-menu\style.css, edited for host version 3.0.15.300 only.
EditNotes EditMainMenuSheet(std::string& text, const TweakInputs& inputs, bool isClassic);

}  // namespace rw
