// The edits of the skin templates and of the shared menu and style files.
// Each works on a file's text in memory and goes both ways: a ticked option
// writes the program's markup, an unticked one writes the default form back.
#pragma once

#include <string>

#include "engine/apply_tweaks.h"

namespace rw {

/// navbar.htm of the skin: undo buttons, main-menu button, avatar button,
/// search box, browsing-mode text.
void EditToolbarTemplate(std::string& text, const TweakInputs& inputs, bool isClassic);

/// index.htm of the skin: avatar identifier and title, and (classic skin)
/// where the tab bar is included.
void EditWindowTemplate(std::string& text, const OptionSnapshot& options, bool isClassic);

/// favbar.htm of the skin: the favourites button and the separators.
void EditFavBarTemplate(std::string& text, const OptionSnapshot& options);

/// menus\main.htm, shared by both skins: the avatar item at the top.
void EditMainMenuTemplate(std::string& text, const TweakInputs& inputs);

/// main\caption.css, edited for host version 3.0.15.300 only.
void EditCaptionSheet(std::string& text, const OptionSnapshot& options);

/// main-menu\style.css, edited for host version 3.0.15.300 only.
void EditMainMenuSheet(std::string& text, const OptionSnapshot& options);

}  // namespace rw
