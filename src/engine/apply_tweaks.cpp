#include "engine/apply_tweaks.h"

#include <functional>

#include "engine/template_edits.h"
#include "engine/tweak_block.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

// Rewrites index.css: the earlier block goes, the new one is appended. A
// sheet that exists but cannot be read is left alone rather than replaced
// by the block alone.
void RewriteStyleSheet(Platform& platform, const std::string& path, const TweakInputs& inputs, bool isClassic) {
  auto sheet = ReadUtf8File(platform, path);
  if (!sheet && platform.FileExists(path)) return;
  const std::string content =
      SheetWithBlock(sheet ? std::string_view(*sheet) : std::string_view(), BuildTweakBlock(inputs, isClassic));
  sheet.reset();
  WriteUtf8File(platform, path, content);
}

// Reads, edits and writes back one file; one that cannot be read is skipped,
// so it is never written from empty text.
void EditFile(Platform& platform, const std::string& path, const std::function<void(std::string&)>& edit) {
  auto text = ReadUtf8File(platform, path);
  if (!text) return;
  edit(*text);
  WriteUtf8File(platform, path, *text);
}

}  // namespace

void ApplyTweaks(Platform& platform, const std::string& programFolder, const TweakInputs& inputs, bool isClassic) {
  const OptionSnapshot& options = inputs.options;
  const std::string ui = programFolder + "\\Resource\\ui\\";
  const std::string skin = ui + (isClassic ? "main.classic\\" : "main\\");

  RewriteStyleSheet(platform, skin + "index.css", inputs, isClassic);

  EditFile(platform, skin + "navbar.htm", [&](std::string& t) { EditToolbarTemplate(t, inputs, isClassic); });
  EditFile(platform, skin + "index.htm", [&](std::string& t) { EditWindowTemplate(t, options, isClassic); });
  EditFile(platform, skin + "favbar.htm", [&](std::string& t) { EditFavBarTemplate(t, options); });
  EditFile(platform, ui + "menus\\main.htm", [&](std::string& t) { EditMainMenuTemplate(t, inputs); });
  if (inputs.singleSkinHost) {
    EditFile(platform, ui + "main\\caption.css", [&](std::string& t) { EditCaptionSheet(t, options); });
    EditFile(platform, ui + "main-menu\\style.css", [&](std::string& t) { EditMainMenuSheet(t, options); });
  }
}

}  // namespace rw
