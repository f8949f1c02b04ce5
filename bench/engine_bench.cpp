// Speed and memory of the tweak engine against plain reading and writing of
// the same files, on real files in a temporary folder. Prints ratios from
// one run; each measurement runs in a child process so that its peak memory
// is its own.
#include <malloc.h>
#include <sys/wait.h>
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
#include "platform/posix/posix_platform.h"
#include "stores/utf8_file.h"
#include "ui/preview.h"

namespace fs = std::filesystem;

namespace {

struct Measure {
  double seconds = 0;
  double peakMb = 0;  // growth of the resident set during the work
};

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return 0;
}

// Runs prepare() untimed and work() timed in a child; best time of `rounds`.
Measure InChild(const std::function<void()>& prepare, const std::function<void()>& work, int rounds) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    double best = 1e9;
    long peakKb = 0;
    for (int r = 0; r < rounds; ++r) {
      prepare();
      { std::ofstream("/proc/self/clear_refs") << "5"; }  // resets the high-water mark
      const long before = StatusKb("VmRSS:");
      const auto start = std::chrono::steady_clock::now();
      work();
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      best = std::min(best, took.count());
      peakKb = std::max(peakKb, StatusKb("VmHWM:") - before);
    }
    const Measure m{best, peakKb / 1024.0};
    if (write(fds[1], &m, sizeof m) != sizeof m) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  Measure m;
  if (read(fds[0], &m, sizeof m) != sizeof m) m = {};
  close(fds[0]);
  waitpid(pid, nullptr, 0);
  return m;
}

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

std::string SheetOfSize(size_t bytes) {
  const std::string line = ".toolbar .item > .icon:hover{background-image:url(images/item_hover.png);padding:2 4}\r\n";
  std::string half;
  while (half.size() < bytes / 2) half += line;
  return half + "/*ravelwick*/\r\n.tabbar .tab {max-width:60 !important}\r\n/*ravelwick*/" + half;
}

rw::OptionSnapshot Options() {
  rw::OptionSnapshot options;
  for (rw::Option box : {rw::Option::CombineUndoHistory, rw::Option::NormalMenuButton, rw::Option::AvatarToButton,
                         rw::Option::CombineAddressSearch, rw::Option::ShowModeText, rw::Option::HideFavBarButton,
                         rw::Option::AvatarToMenu, rw::Option::MaxTabWidth, rw::Option::BkgndTabWidth,
                         rw::Option::SetFont, rw::Option::TabOnBottom})
    options = options.WithState(box, 1);
  return options.WithText(rw::Option::MaxTabWidthText, "180")
      .WithText(rw::Option::MaxSearchWidthText, "200")
      .WithText(rw::Option::BkgndTabWidthText, "60")
      .WithText(rw::Option::FontFamilyText, "Segoe UI, Tahoma")
      .WithText(rw::Option::FontSizeText, "12px");
}

}  // namespace

int main() {
  // Large blocks always come from and go back to the system, so the
  // resident set follows what the work holds.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  const fs::path root = fs::temp_directory_path() / ("ravelwick-engine-bench-" + std::to_string(getpid()));
  const std::string program = root.string();
  const fs::path ui = root / "Resource" / "ui";
  rw::PosixPlatform platform;
  const rw::OptionSnapshot options = Options();
  const rw::TweakInputs inputs{options, false, true};

  std::printf("Tweak engine benchmark (best of several runs; memory is resident-set growth)\n\n");
  std::printf("index.css with an earlier block in the middle: first half of ApplyTweaks vs read+write\n");
  std::printf("%8s %12s %12s %8s %14s %14s\n", "size", "engine ms", "r+w ms", "time x", "engine peak/sz",
              "r+w peak/sz");
  for (const size_t mb : {1, 10, 50}) {
    const std::string sheet = SheetOfSize(mb << 20);
    const fs::path sheetPath = ui / "main" / "index.css";
    fs::remove_all(root);
    const auto prepare = [&] { WriteBytes(sheetPath, sheet); };
    const std::string path = program + "\\Resource\\ui\\main\\index.css";
    const int rounds = mb == 1 ? 30 : mb == 10 ? 10 : 5;
    // Only index.css exists, so the template half finds nothing to do.
    const Measure engine = InChild(
        prepare, [&] { rw::ApplyTweaks(platform, program, inputs, false); }, rounds);
    const Measure plain = InChild(
        prepare, [&] { rw::WriteUtf8File(platform, path, *rw::ReadUtf8File(platform, path)); }, rounds);
    const double size = static_cast<double>(sheet.size()) / (1 << 20);
    std::printf("%6zuMB %12.1f %12.1f %8.2f %14.2f %14.2f\n", mb, engine.seconds * 1e3, plain.seconds * 1e3,
                engine.seconds / plain.seconds, engine.peakMb / size, plain.peakMb / size);
  }

  // The files one Apply reads and writes: four per skin and the shared menu,
  // once per skin.
  std::vector<std::string> files;
  for (const char* skin : {"main", "main.classic"})
    for (const char* name : {"index.css", "navbar.htm", "index.htm", "favbar.htm"})
      files.push_back(program + "\\Resource\\ui\\" + skin + "\\" + name);
  files.push_back(program + "\\Resource\\ui\\menus\\main.htm");
  files.push_back(files.back());
  const auto bothSkins = [&] {
    rw::ApplyTweaks(platform, program, inputs, false);
    rw::ApplyTweaks(platform, program, inputs, true);
  };
  const auto readWriteAll = [&] {
    for (const auto& file : files) rw::WriteUtf8File(platform, file, *rw::ReadUtf8File(platform, file));
  };
  // Overwritten in place, so that no round pays for files the previous one
  // deleted.
  const auto tree = [&](const std::string& navbar) {
    for (const char* skin : {"main", "main.classic"}) {
      for (const char* name : {"index.css", "index.htm", "favbar.htm"})
        WriteBytes(ui / skin / name, Fixture(std::string(skin) + "/" + name));
      WriteBytes(ui / skin / "navbar.htm", navbar.empty() ? Fixture(std::string(skin) + "/navbar.htm") : navbar);
    }
    WriteBytes(ui / "menus" / "main.htm", Fixture("menus/main.htm"));
  };

  std::printf(
      "\nWhole ApplyTweaks for both skins on the demo tree (tests/fixtures/host-ui) vs read+write of its files\n");
  std::printf("%12s %12s %8s\n", "engine us", "r+w us", "time x");
  {
    const Measure engine = InChild([&] { tree(""); }, bothSkins, 200);
    const Measure plain = InChild([&] { tree(""); }, readWriteAll, 200);
    std::printf("%12.0f %12.0f %8.2f\n", engine.seconds * 1e6, plain.seconds * 1e6, engine.seconds / plain.seconds);
  }

  std::printf("\nWhole ApplyTweaks for both skins, a large navbar.htm without a match, vs read+write of its files\n");
  std::printf("%8s %12s %12s %8s %14s %14s\n", "navbar", "engine ms", "r+w ms", "time x", "engine peak MB",
              "r+w peak MB");
  const std::string line =
      "<div class='button-group'><div id='BTN_UNDO' title='MAIN_MENU BOX_SEARCH search-box'><div TT_SEARCH "
      "menu='#MAIN_MENU' class='button'>\r\n";
  for (const size_t mb : {1, 10, 50}) {
    std::string navbar;
    while (navbar.size() < mb << 20) navbar += line;
    const int rounds = mb == 1 ? 20 : mb == 10 ? 10 : 3;
    const Measure engine = InChild([&] { tree(navbar); }, bothSkins, rounds);
    const Measure plain = InChild([&] { tree(navbar); }, readWriteAll, rounds);
    std::printf("%6zuMB %12.1f %12.1f %8.2f %14.1f %14.1f\n", mb, engine.seconds * 1e3, plain.seconds * 1e3,
                engine.seconds / plain.seconds, engine.peakMb, plain.peakMb);
  }

  // The preview runs the engine in memory, judges every pair of ticked
  // options and diffs the changed files; nothing is written.
  std::printf("\nPreview of both skins on the demo tree (report, conflicts, diffs) vs reading its files\n");
  std::printf("%12s %12s %8s\n", "preview us", "read us", "time x");
  {
    rw::App app(platform, program);
    const auto readAll = [&] {
      for (const auto& file : files) (void)rw::ReadUtf8File(platform, file);
    };
    const auto preview = [&] { (void)rw::PreviewAsText(rw::BuildPreview(app, options, true)); };
    const Measure made = InChild([&] { tree(""); }, preview, 50);
    const Measure read = InChild([&] { tree(""); }, readAll, 50);
    std::printf("%12.0f %12.0f %8.2f\n", made.seconds * 1e6, read.seconds * 1e6, made.seconds / read.seconds);
  }

  fs::remove_all(root);
  return 0;
}
