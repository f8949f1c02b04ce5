#include <array>
#include <string_view>

#include "pipeline/installation.h"
#include "pipeline/pipeline.h"

namespace rw {

namespace {

struct ImageCopy {
  std::string_view source;  // in ResFiles
  std::string_view target;  // below Resource\ui
};

// Copy order. nav_tool, avatar_mx3 and avatar_mask_tweak serve both skins;
// the classic skin's avatar button has a picture of its own.
constexpr std::array<ImageCopy, 17> kImageCopies{{
    {"nav_tool.png", "main\\images\\nav_tool.png"},
    {"nav_account.png", "main\\images\\nav_account.png"},
    {"avatar_mx3.png", "main\\images\\avatar_mx3.png"},
    {"avatar_mask_tweak.png", "main\\images\\avatar_mask_tweak.png"},
    {"nav_tool.png", "main.classic\\images\\nav_tool.png"},
    {"nav_account_classic.png", "main.classic\\images\\nav_account.png"},
    {"statusbar_bg_bottom_tab.png", "main.classic\\images\\statusbar_bg_bottom_tab.png"},
    {"tab_active_bottom_tab.png", "main.classic\\images\\tab_active_bottom_tab.png"},
    {"tab_bottom_tab.png", "main.classic\\images\\tab_bottom_tab.png"},
    {"tab_bottom_tab_aero.png", "main.classic\\images\\tab_bottom_tab_aero.png"},
    {"tab_hover_bottom_tab.png", "main.classic\\images\\tab_hover_bottom_tab.png"},
    {"tab_new_bottom_tab_aero.png", "main.classic\\images\\tab_new_bottom_tab_aero.png"},
    {"tabbar_bg_bottom_tab.png", "main.classic\\images\\tabbar_bg_bottom_tab.png"},
    {"tabbar_bg_bottom_tab_aero.png", "main.classic\\images\\tabbar_bg_bottom_tab_aero.png"},
    {"toolbar_bg_bottom_tab.png", "main.classic\\images\\toolbar_bg_bottom_tab.png"},
    {"avatar_mx3.png", "main.classic\\images\\avatar_mx3.png"},
    {"avatar_mask_tweak.png", "main.classic\\images\\avatar_mask_tweak.png"},
}};

}  // namespace

void CopyReplacementImages(const Installation& installation) {
  const std::string sourceFolder = installation.Path("ResFiles") + "\\";
  const std::string targetBase = installation.Tree() + "\\ui\\";
  // Each copy stands alone: a missing source or target folder only costs
  // that one copy, and no folders are created.
  for (const ImageCopy& copy : kImageCopies) {
    const std::string source = sourceFolder + std::string(copy.source);
    const std::string target = targetBase + std::string(copy.target);
    // A copy keeps its source's size and time, so a target that still has
    // them is that copy: every start after the first finds them all in place.
    if (const auto stamp = installation.platform.files.StampOf(source);
        stamp && installation.platform.files.StampOf(target) == stamp)
      continue;
    installation.platform.files.CopyFileOver(source, target);
  }
}

}  // namespace rw
