#include "ui/preview.h"

#include "app/app.h"
#include "engine/apply_tweaks.h"
#include "engine/line_diff.h"
#include "platform/overlay_platform.h"

namespace rw {

namespace {

// "C:\Ravelwick\Resource\ui\main\index.css" -> "ui/main/index.css".
std::string BelowTree(const std::string& path, const std::string& tree) {
  std::string below = path.size() > tree.size() ? path.substr(tree.size() + 1) : path;
  for (char& c : below)
    if (c == '\\') c = '/';
  return below;
}

}  // namespace

Preview BuildPreview(const App& app, const OptionSnapshot& options, bool compositionEnabled) {
  OverlayPlatform overlay(app.platform);
  const TweakInputs inputs{options, app.SingleSkinHost, compositionEnabled};
  ApplyTweaks(overlay, app.programFolder, inputs, /*isClassic=*/false);
  if (!app.SingleSkinHost) ApplyTweaks(overlay, app.programFolder, inputs, /*isClassic=*/true);

  Preview preview;
  preview.sections.push_back({"Summary", {}});
  const std::string tree = app.Host().Tree();
  for (const OverlayPlatform::Change& change : overlay.Changes()) {
    const std::string path = BelowTree(change.path, tree);
    const DiffOrSizes diff = DiffOrSizesOf(change.before.value_or(""), change.after.value_or(""), path);
    preview.sections.push_back({path, PreviewText(diff, path)});
    ++preview.changedFiles;
  }
  return preview;
}

std::string PreviewAsText(const Preview& preview) {
  std::string text;
  for (const PreviewSection& section : preview.sections) {
    text += "== " + section.title + " ==\n";
    text += section.text;
    if (!section.text.empty() && section.text.back() != '\n') text += '\n';
    text += '\n';
  }
  return text;
}

}  // namespace rw
