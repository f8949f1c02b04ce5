#include "engine/apply_tweaks.h"

#include "engine/tweak_block.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

// Rewrites index.css: the earlier block goes, the new one is appended. A
// sheet that exists but cannot be read is left alone rather than replaced
// by the block alone.
void RewriteStyleSheet(Platform& platform, const std::string& path, const TweakInputs& inputs, bool isClassic) {
  std::string content;
  if (auto text = ReadUtf8File(platform, path)) {
    content = std::move(*text);
  } else if (platform.FileExists(path)) {
    return;
  }
  RemoveEarlierBlock(content);
  content.append(BuildTweakBlock(inputs, isClassic));
  WriteUtf8File(platform, path, content);
}

}  // namespace

void ApplyTweaks(Platform& platform, const std::string& programFolder, const TweakInputs& inputs, bool isClassic) {
  const std::string ui = programFolder + "\\Resource\\ui\\";
  const std::string skin = ui + (isClassic ? "main.classic\\" : "main\\");

  RewriteStyleSheet(platform, skin + "index.css", inputs, isClassic);
}

}  // namespace rw
