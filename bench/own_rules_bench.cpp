// What a 64 KB file of own rules adds to the preview on the demo tree: the
// preview with and without it, on real files in a temporary folder, against
// reading the file in the same run. Prints medians and the ratio.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "engine/own_rules.h"
#include "pipeline/tree_record.h"
#include "platform/posix/posix_platform.h"
#include "stores/own_rules_files.h"
#include "ui/catalogue.h"
#include "ui/own_rules_state.h"
#include "ui/preview.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// Rules of every shape the check and the selector judge meet, to 64 KB.
std::string RulesOf64Kb() {
  std::string css = "/* own rules for the bench */\r\n";
  for (int i = 0;; ++i) {
    std::string rule = "#BTN_HOME .tab" + std::to_string(i) + ", .tabbar > .item-" + std::to_string(i % 97) +
                       "{margin:0 " + std::to_string(i % 9) + "px;content:\"{" + std::to_string(i) + "}\"}\r\n";
    if (css.size() + rule.size() > rw::kOwnRulesMaxBytes) break;
    css += rule;
  }
  return css;
}

}  // namespace

int main() {
  const fs::path root = fs::temp_directory_path() / ("ravelwick-own-rules-bench-" + std::to_string(getpid()));
  const std::string program = root.string();
  const fs::path fixtures = fs::path(RW_SOURCE_DIR) / "tests" / "fixtures" / "host-ui";
  fs::remove_all(root);
  fs::create_directories(root / "Resource");
  fs::copy(fixtures, root / "Resource", fs::copy_options::recursive);
  rw::PosixPlatform platform;
  rw::App app(platform, program);
  app.HostBinFolder = program + "\\Bin\\";
  app.HostVersion = "3.0.0.1";
  if (!rw::RecordTree(app.Host())) {
    std::printf("the tree could not be recorded\n");
    return 1;
  }
  rw::OptionSnapshot options;
  for (const rw::OptionDef& def : rw::Options())
    if (def.kind == rw::OptionKind::Text) options = options.WithText(def.option, def.defaultValue);
  options = options.WithState(rw::Option::HideHome, 1);

  const std::string css = RulesOf64Kb();
  const auto previews = [&](int rounds) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
      const auto start = Clock::now();
      (void)rw::BuildPreview(app, options, false);
      ms.push_back(Ms(Clock::now() - start));
    }
    return Median(ms);
  };
  const double without = previews(30);
  if (!rw::WriteOwnRules(platform, program, rw::Skin::Modern, css) ||
      !rw::WriteOwnRules(platform, program, rw::Skin::Classic, css)) {
    std::printf("the own rules could not be written\n");
    return 1;
  }
  const double with = previews(30);
  std::vector<double> reads;
  for (int i = 0; i < 200; ++i) {
    const auto start = Clock::now();
    (void)rw::ReadOwnRules(platform, program, rw::Skin::Modern);
    reads.push_back(Ms(Clock::now() - start));
  }
  const double read = Median(reads);
  std::vector<double> checks, looks;
  for (int i = 0; i < 50; ++i) {
    auto start = Clock::now();
    (void)rw::CheckOwnRules(css);
    checks.push_back(Ms(Clock::now() - start));
    start = Clock::now();
    (void)rw::LookAtOwnRules(app);
    looks.push_back(Ms(Clock::now() - start));
  }
  std::printf("Own rules in the preview: %zu bytes per skin, both skins (ms, medians)\n", css.size());
  std::printf("%10s %10s %10s %10s %10s %10s %12s\n", "without", "with", "added", "check", "judged", "read",
              "added/read");
  std::printf("%10.2f %10.2f %10.2f %10.3f %10.3f %10.3f %12.0f\n", without, with, with - without, Median(checks),
              Median(looks), read, (with - without) / read);
  std::printf(
      "\nadded: what the two files add to one preview; check: checking one file; judged: both files\n"
      "read, checked and judged against the tree; read: reading one file once\n");
  fs::remove_all(root);
  return 0;
}
