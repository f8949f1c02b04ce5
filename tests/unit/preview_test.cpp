// The preview: what Apply would write, shown without writing anything.
#include <gtest/gtest.h>

#include <fstream>

#include "app/app.h"
#include "engine/conflicts.h"
#include "pipeline/tree_record.h"
#include "stores/text.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/option_status.h"
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

// The demo tree unpacked and recorded for a host, as the model finds it.
struct StatusWorld {
  test::FakePlatform p;
  App app{p, "C:\\Ravelwick"};
  explicit StatusWorld(const std::string& version = "3.0.0.1") {
    enginetest::LoadTree(p);
    app.HostBinFolder = "C:\\M3\\Bin\\";
    app.HostVersion = version;
    app.SingleSkinHost = version == "3.0.15.300";
    RecordTree(app.Host());
  }
  OptionStatuses Statuses(const OptionSnapshot& options, bool composition = true) {
    return OptionStatusModel(app).Compute(options, composition, app.SingleSkinHost);
  }
};

std::vector<Option> Boxes() {
  std::vector<Option> boxes;
  for (const OptionDef& def : Options())
    if (def.kind == OptionKind::Check) boxes.push_back(def.option);
  return boxes;
}

OptionSnapshot Ticking(OptionSnapshot options, const std::vector<Option>& boxes) {
  for (const Option box : boxes) options = options.WithState(box, 1);
  return options;
}

TEST(OptionStatus, NoStatusUntilTheTreeIsThereAndNoMarkForTheDefaults) {
  test::FakePlatform p;
  App app(p, "C:\\Ravelwick");
  OptionStatusModel model(app);
  EXPECT_EQ(model.NotReady(), StatusNotReady::NoHost);
  app.HostBinFolder = "C:\\M3\\Bin\\";
  app.HostVersion = "3.0.0.1";
  model.Reload();
  EXPECT_EQ(model.NotReady(), StatusNotReady::NotUnpacked);
  EXPECT_FALSE(model.NotReadyWords().empty());
  for (const OptionStatus& s : model.Compute(Ticking(enginetest::Defaults(), Boxes()), true, false))
    EXPECT_FALSE(s.Marked());
  enginetest::LoadTree(p);
  ASSERT_TRUE(RecordTree(app.Host()));
  model.Reload();
  EXPECT_FALSE(model.NotReady());
  for (const OptionStatus& s : model.Compute(enginetest::Defaults(), true, false)) EXPECT_FALSE(s.Marked()) << s.words;
  // Each option changed alone marks that one row only; a field names its default.
  for (const OptionDef& def : Options()) {
    const OptionSnapshot changed = def.kind == OptionKind::Check ? enginetest::Defaults().WithState(def.option, 1)
                                                                 : enginetest::Defaults().WithText(def.option, "7");
    const OptionStatuses statuses = model.Compute(changed, true, false);
    for (const OptionDef& other : Options())
      EXPECT_EQ(statuses[IndexOf(other.option)].changedFromDefault, other.option == def.option);
    if (def.kind == OptionKind::Text) {
      EXPECT_NE(statuses[IndexOf(def.option)].words.find(def.defaultValue), std::string::npos);
    }
  }
}

TEST(OptionStatus, AnOptionWhoseTemplateLostItsPlacesIsMarkedWithThePlaceInWords) {
  // Where each box alone edits, by the engine's report on the whole tree;
  // with that template emptied the box has nothing left to find there.
  for (const bool classic : {false, true}) {
    for (const Option box : Boxes()) {
      StatusWorld intact;
      const OptionSnapshot options = enginetest::Defaults().WithState(box, 1);
      for (const TweakEffect& e : ApplyTweaks(intact.p, "C:\\Ravelwick", {options, false, true}, classic).effects) {
        if (e.kind != TweakEffect::Kind::Edit) continue;
        SCOPED_TRACE(e.file + " " + std::string(Def(box).settingsKey));
        StatusWorld world;
        EXPECT_TRUE(world.Statuses(options)[IndexOf(box)].noPlace.empty());
        world.p.AddFile(kUi + enginetest::Backslashed(e.file.substr(3)), "");
        const OptionStatus status = world.Statuses(options)[IndexOf(box)];
        ASSERT_TRUE(status.noEffect);
        ASSERT_EQ(status.noPlace.size(), 1u);
        const bool ofSkin = e.file.find("/main") == 2;
        EXPECT_EQ(status.noPlace.front().find(classic ? "classic skin" : "modern skin") != std::string::npos, ofSkin);
        EXPECT_NE(status.words.find(status.noPlace.front()), std::string::npos);
      }
    }
  }
}

TEST(OptionStatus, LosersAreMarkedWithTheirWinnerAndWhatNeedsABoxNamesOneThatHelps) {
  StatusWorld world;
  OptionStatusModel model(world.app);
  const OptionSnapshot every = Ticking(enginetest::Defaults(), Boxes());
  const OptionStatuses statuses = model.Compute(every, true, false);
  std::set<std::pair<Option, Option>> found;
  for (const bool classic : {false, true}) {
    std::vector<std::optional<std::string>> templates;
    for (const std::string& name : TemplatesOf(false, classic))
      templates.push_back(enginetest::FixtureText(ReplaceAll(name, "\\", "/")));
    for (const OptionConflict& c : FindConflicts(templates, {every, false, true}, classic))
      found.emplace(c.winner, c.loser);
  }
  for (const OptionDef& def : Options()) {
    const OptionStatus& s = statuses[IndexOf(def.option)];
    const bool loses = std::any_of(found.begin(), found.end(), [&](const auto& c) { return c.second == def.option; });
    if (loses) {
      EXPECT_NE(s.contradictedBy.has_value(), s.noEffect) << def.settingsKey;
    }
    if (!s.contradictedBy) continue;
    // Not a pair the rules decide: the option acts once its winner is cleared.
    if (!found.count({*s.contradictedBy, def.option})) {
      const OptionStatus freed = model.Compute(every.WithState(*s.contradictedBy, 0), true, false)[IndexOf(def.option)];
      EXPECT_FALSE(freed.noEffect || freed.needs || freed.contradictedBy == s.contradictedBy) << freed.words;
    }
    EXPECT_NE(s.words.find(EnglishCaption(Def(*s.contradictedBy))), std::string::npos) << s.words;
  }

  // Each box alone, every field changed, on both hosts: ticking the box a
  // row needs takes the mark away, and an idle row has no such box.
  OptionSnapshot fields = enginetest::Defaults();
  for (const OptionDef& def : Options())
    if (def.kind == OptionKind::Text)
      fields = fields.WithText(def.option, std::string(def.defaultValue) == "12px" ? "14px" : "150");
  int needs = 0;
  for (const std::string version : {"3.0.0.1", "3.0.15.300"}) {
    StatusWorld host(version);
    OptionStatusModel hostModel(host.app);
    std::vector<OptionSnapshot> snapshots{fields};
    for (const Option box : Boxes()) snapshots.push_back(enginetest::Defaults().WithState(box, 1));
    for (const OptionSnapshot& options : snapshots) {
      const OptionStatuses before = hostModel.Compute(options, true, host.app.SingleSkinHost);
      for (const OptionDef& def : Options()) {
        const OptionStatus& s = before[IndexOf(def.option)];
        if (s.needs) {
          ++needs;
          EXPECT_NE(s.words.find(EnglishCaption(Def(*s.needs))), std::string::npos) << s.words;
          const OptionStatus after =
              hostModel.Compute(options.WithState(*s.needs, 1), true, host.app.SingleSkinHost)[IndexOf(def.option)];
          EXPECT_FALSE(after.needs || after.noEffect) << def.settingsKey << ": " << after.words;
        } else if (s.noEffect && s.noPlace.empty()) {
          for (const Option box : Boxes())
            if (options.State(box) == 0 && !before[IndexOf(box)].greyed) {
              EXPECT_TRUE(
                  hostModel.Compute(options.WithState(box, 1), true, host.app.SingleSkinHost)[IndexOf(def.option)]
                      .noEffect)
                  << def.settingsKey;
            }
        }
      }
    }
  }
  EXPECT_GT(needs, 0);
}

TEST(OptionStatus, TheWordsComeFromTheLanguageFileWithEveryPlaceholderFilled) {
  StatusWorld world("3.0.15.300");
  for (const std::string name : {"English", "Chinese Simplified"}) {
    std::ifstream in(std::string(RW_SOURCE_DIR) + "/data/Languages/" + name + ".ini", std::ios::binary);
    world.p.AddFile("C:\\Ravelwick\\Languages\\" + name + ".ini", std::string(std::istreambuf_iterator<char>(in), {}));
  }
  const OptionSnapshot options = Ticking(enginetest::Defaults().WithText(Option::MaxTabWidthText, "250"), Boxes());
  OptionStatusModel model(world.app);
  const OptionStatuses english = model.Compute(options, false, true);
  world.app.LanguageName = "Chinese Simplified";
  const OptionStatuses chinese = model.Compute(options, false, true);
  for (int i = 0; i < kOptionCount; ++i) {
    EXPECT_EQ(chinese[i].words.find('$'), std::string::npos) << chinese[i].words;
    if (english[i].Marked()) {
      EXPECT_NE(chinese[i].words, english[i].words);
    }
  }
}

TEST(OptionStatus, GreyedRowsAreThoseThePreviewSaysCannotAct) {
  for (const std::string version : {"3.0.0.1", "3.0.15.300"}) {
    StatusWorld world(version);
    // The boxes a host or display can hold back, so the preview judges few pairs.
    OptionSnapshot every = enginetest::Defaults();
    for (const OptionDef& def : Options())
      if (def.host != HostRule::None) every = every.WithState(def.option, 1);
    const OptionStatuses statuses = world.Statuses(every, /*composition=*/false);
    const std::string summary = BuildPreview(world.app, every, false).sections.front().text;
    for (const OptionDef& def : Options()) {
      if (def.kind != OptionKind::Check) continue;
      const bool cannotAct = summary.find("\"" + EnglishCaption(def) + "\" cannot act") != std::string::npos;
      EXPECT_EQ(statuses[IndexOf(def.option)].greyed.has_value(), cannotAct) << version << " " << def.settingsKey;
    }
  }
}

}  // namespace
}  // namespace rw
