// How long the live status of every option row takes after one click (one
// box toggled, all 43 rows recomputed) and after one keystroke in a field,
// on real files in a temporary folder, against reading the same templates
// in the same run. Prints median and worst over many clicks, and ratios.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "engine/apply_tweaks.h"
#include "pipeline/tree_record.h"
#include "platform/posix/posix_platform.h"
#include "stores/utf8_file.h"
#include "ui/catalogue.h"
#include "ui/option_status.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::string Fixture(const std::string& relative) {
  std::ifstream in(std::string(RW_SOURCE_DIR) + "/tests/fixtures/host-ui/ui/" + relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// The file and `copies` more of it with every tag opening defused, so that
// the engine reads and searches ten times the text yet finds the same places.
std::string Grown(const std::string& text, int copies) {
  std::string filler = text;
  std::replace(filler.begin(), filler.end(), '<', '[');
  std::string grown = text;
  for (int i = 0; i < copies; ++i) grown += "\r\n" + filler;
  return grown;
}

const char* const kFiles[] = {"main/index.css",         "main/navbar.htm",         "main/index.htm",
                              "main/favbar.htm",        "main.classic/index.css",  "main.classic/navbar.htm",
                              "main.classic/index.htm", "main.classic/favbar.htm", "menus/main.htm",
                              "main/caption.css",       "main-menu/style.css"};

rw::OptionSnapshot StartOptions() {
  rw::OptionSnapshot options;
  for (const rw::OptionDef& def : rw::Options())
    if (def.kind == rw::OptionKind::Text) options = options.WithText(def.option, def.defaultValue);
  for (rw::Option box : {rw::Option::CombineUndoHistory, rw::Option::NormalMenuButton, rw::Option::AvatarToButton,
                         rw::Option::CombineAddressSearch, rw::Option::ShowModeText, rw::Option::HideFavBarButton,
                         rw::Option::AvatarToMenu, rw::Option::MaxTabWidth, rw::Option::BkgndTabWidth,
                         rw::Option::SetFont, rw::Option::TabOnBottom})
    options = options.WithState(box, 1);
  return options;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Spread {
  double median = 0;
  double worst = 0;
};

Spread SpreadOf(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main() {
  const fs::path root = fs::temp_directory_path() / ("ravelwick-status-bench-" + std::to_string(getpid()));
  const std::string program = root.string();
  rw::PosixPlatform platform;
  rw::App app(platform, program);
  app.HostBinFolder = program + "\\Bin\\";
  app.HostVersion = "3.0.0.1";

  std::vector<rw::Option> boxes;
  for (const rw::OptionDef& def : rw::Options())
    if (def.kind == rw::OptionKind::Check && def.host != rw::HostRule::Composition) boxes.push_back(def.option);

  std::printf("Live option status: all %d rows after one click, both skins (ms)\n", rw::kOptionCount);
  std::printf("%-10s %8s %8s %8s %8s %8s %8s %9s %8s\n", "tree", "first", "click", "worst", "key", "worst", "read",
              "click/rd", "ticked");
  for (const int copies : {0, 9}) {
    fs::remove_all(root);
    for (const char* file : kFiles) WriteBytes(root / "Resource" / "ui" / file, Grown(Fixture(file), copies));
    if (!rw::RecordTree(app.Host())) {
      std::printf("the tree could not be recorded\n");
      return 1;
    }

    // Reading the templates the model reads, as often as it is timed.
    std::vector<std::string> paths;
    for (const bool classic : {false, true})
      for (const std::string& name : rw::TemplatesOf(true, classic))
        if (std::find(paths.begin(), paths.end(), name) == paths.end()) paths.push_back(name);
    std::vector<double> reads;
    for (int i = 0; i < 200; ++i) {
      const auto start = Clock::now();
      for (const std::string& name : paths) (void)rw::ReadUtf8File(platform, program + "\\Resource\\ui\\" + name);
      reads.push_back(Ms(Clock::now() - start));
    }

    rw::OptionStatusModel model(app);
    rw::OptionSnapshot options = StartOptions();
    auto start = Clock::now();
    (void)model.Compute(options, true, false);
    const double first = Ms(Clock::now() - start);

    // A fixed walk of clicks over the boxes; the ticked count drifts.
    std::vector<double> clicks;
    unsigned seed = 12345;
    size_t tickedSum = 0;
    for (int i = 0; i < 400; ++i) {
      seed = seed * 1103515245u + 12345u;
      const rw::Option box = boxes[(seed >> 16) % boxes.size()];
      options = options.WithState(box, options.Ticked(box) ? 0 : 1);
      start = Clock::now();
      (void)model.Compute(options, true, false);
      clicks.push_back(Ms(Clock::now() - start));
      for (const rw::Option b : boxes) tickedSum += options.Ticked(b) ? 1 : 0;
    }

    // Typing in a field changes what every pair is judged with.
    std::vector<double> keys;
    for (int i = 0; i < 40; ++i) {
      options = options.WithText(rw::Option::MaxTabWidthText, std::to_string(150 + i));
      start = Clock::now();
      (void)model.Compute(options, true, false);
      keys.push_back(Ms(Clock::now() - start));
    }

    const Spread click = SpreadOf(clicks);
    const Spread key = SpreadOf(keys);
    const Spread read = SpreadOf(reads);
    std::printf("%-10s %8.2f %8.2f %8.2f %8.2f %8.2f %8.3f %9.0f %8.1f\n", copies == 0 ? "demo" : "demo x10", first,
                click.median, click.worst, key.median, key.worst, read.median, click.median / read.median,
                static_cast<double>(tickedSum) / clicks.size());
  }
  std::printf(
      "\nfirst: the first status after reading the tree; click: one box toggled (median, worst of 400);\n"
      "key: one keystroke in a width field (median, worst of 40); read: reading the templates once;\n"
      "ticked: boxes ticked on average during the clicks\n");
  fs::remove_all(root);
  return 0;
}
