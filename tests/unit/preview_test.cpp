// The preview: what Apply would write, shown without writing anything.
#include <gtest/gtest.h>

#include "app/app.h"
#include "ui/activity_log.h"
#include "ui/preview.h"
#include "unit/engine_test_tree.h"

namespace rw {
namespace {

using enginetest::kUi;

std::map<std::string, std::optional<std::string>> Everything(test::FakePlatform& p) {
  std::map<std::string, std::optional<std::string>> files;
  for (const std::string& path : p.FilesBelow("C:\\")) files[path] = p.Contents(path);
  return files;
}

struct PreviewCase {
  std::string hostVersion;
  std::vector<Option> ticked;
  std::function<void(test::FakePlatform&)> spoil;  // bad input in the tree
  std::vector<std::string> inSummary;
  std::vector<std::string> sections;  // after the summary, in order
};

TEST(Preview, ShowsWhatApplyWouldWriteAndWritesNothing) {
  const auto hide = [](Option o) { return std::vector<Option>{o}; };
  const PreviewCase cases[] = {
      {"3.0.0.1",
       hide(Option::HideHome),
       nullptr,
       {"\"Hide Home Button\"", "    #BTN_HOME{display:none}", "Files that change: 2\n"},
       {"ui/main.classic/index.css", "ui/main/index.css"}},
      // The host without a classic skin: classic-only and greyed boxes are
      // named, and only the modern skin and its sheets are touched.
      {"3.0.15.300",
       {Option::TabOnBottom, Option::HideNewTab, Option::ClickableTitle},
       nullptr,
       {"! \"Tab Bar on Bottom (must hide Avatar)\" cannot act", "! \"Hide New Tab Button\" cannot act"},
       {"ui/main/caption.css", "ui/main/index.css"}},
      // Contradictions and idle boxes are warned about first.
      {"3.0.0.1",
       {Option::AlwaysFavButton, Option::HideFavorite, Option::AeroStatusBar, Option::HideStatusBar},
       nullptr,
       {"! \"Hide Favorites Button on Toolbar\" and \"Always show Favorites Button\" contradict each other; \"Hide "
        "Favorites Button on Toolbar\" wins. (#BTN_FAV{display:none!important})",
        "! \"Hide Status Bar\" and \"Aero Style Status Bar (for Win7/Vista only)\" contradict each other"},
       {"ui/main.classic/index.css", "ui/main/index.css"}},
      // A missing template, one that is a folder, and a place gone: named,
      // and the rest is still previewed.
      {"3.0.0.1",
       {Option::HideFavBarButton, Option::ShowModeText, Option::CombineAddressSearch},
       [](test::FakePlatform& p) {
         p.files.RemoveFile(kUi + "main\\favbar.htm");
         p.files.RemoveFile(kUi + "main.classic\\favbar.htm");
         p.AddFolder(kUi + "main.classic\\favbar.htm");
         p.AddFile(kUi + "main\\navbar.htm", "\xFF\xFE invalid \r only \r <div class=\"turbo\" />");
       },
       {"! ui/main/favbar.htm is missing", "! ui/main.classic/favbar.htm is missing",
        "! \"Combine Search Bar with Address Bar\" has no effect: <!-- #object address-box::go --> was not found in "
        "ui/main/navbar.htm."},
       {"ui/main.classic/index.css", "ui/main.classic/navbar.htm", "ui/main/index.css", "ui/main/navbar.htm"}},
  };
  for (const PreviewCase& c : cases) {
    SCOPED_TRACE(c.hostVersion + " " + c.inSummary.front());
    test::FakePlatform p;
    // As Apply leaves them, so that only what the options change shows.
    for (const std::string& file : enginetest::TreeFiles())
      p.AddFile(kUi + enginetest::Backslashed(file), std::string(kUtf8Bom) + enginetest::FixtureText(file));
    if (c.spoil) c.spoil(p);
    App app(p, "C:\\Ravelwick");
    app.HostVersion = c.hostVersion;
    app.SingleSkinHost = c.hostVersion == "3.0.15.300";
    OptionSnapshot options = enginetest::Defaults();
    for (const Option o : c.ticked) options = options.WithState(o, 1);

    const auto before = Everything(p);
    const Preview preview = BuildPreview(app, options, /*compositionEnabled=*/true);
    EXPECT_EQ(Everything(p), before);

    ASSERT_FALSE(preview.sections.empty());
    const std::string& summary = preview.sections.front().text;
    for (const std::string& piece : c.inSummary) EXPECT_NE(summary.find(piece), std::string::npos) << summary;
    // Warnings come before anything else.
    EXPECT_EQ(summary.rfind("Warnings:", 0) == 0, preview.warnings > 0) << summary;
    std::vector<std::string> titles;
    for (size_t i = 1; i < preview.sections.size(); ++i) titles.push_back(preview.sections[i].title);
    EXPECT_EQ(titles, c.sections);
    EXPECT_EQ(preview.changedFiles, static_cast<int>(c.sections.size()));
    for (size_t i = 1; i < preview.sections.size(); ++i)
      EXPECT_EQ(preview.sections[i].text.rfind("--- a/" + titles[i - 1] + "\n", 0), 0u) << preview.sections[i].text;
  }
}

TEST(ActivityLog, EntriesNamePlacesNotFoundAndWhyNothingWasInstalled) {
  test::FakePlatform p;
  App app(p, "C:\\Ravelwick");
  app.HostVersion = "3.0.0.1";
  app.HostBinFolder = "C:\\M3\\Bin\\";
  TweakReport report;
  report.effects.push_back({Option::ShowModeText, TweakEffect::Kind::Edit, EditResult::NotFound, "ui/main/navbar.htm",
                            "<div class=\"turbo\" />"});
  report.changedFiles = {"ui/main/index.css"};
  const std::string entry = ApplyLogEntry(app, enginetest::Defaults().WithState(Option::HideHome, 1), report,
                                          {Outcome::PackFailed, "C:\\Ravelwick\\Resource.dat"}, "T");
  EXPECT_EQ(entry.substr(0, entry.find("Options:")), "T Apply\nHost: 3.0.0.1, C:\\M3\\Bin\\\n");
  EXPECT_NE(entry.find("HideHome, "), std::string::npos);
  EXPECT_NE(entry.find("Files changed: ui/main/index.css\nNot found: ShowModeText in ui/main/navbar.htm (<div "
                       "class=\"turbo\" />)\nArchive installed: no: "),
            std::string::npos)
      << entry;
  EXPECT_EQ(RestoreLogEntry(app, {}, "T"), "T Restore\nHost: 3.0.0.1, C:\\M3\\Bin\\\nPut back: yes\n");
}

}  // namespace
}  // namespace rw
