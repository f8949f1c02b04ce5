// The stand-in archive tools against cp -r on the same generated tree: a few
// thousand files in nested folders, tens of megabytes. The three commands run
// in turns, each round in another order, and the best of several rounds is
// compared, which keeps a noisy machine from deciding the ratios. Every round
// writes into new folders and nothing is deleted until the end: on a file
// system without a journal, ext4 steps over recently freed inodes one by one,
// which made whichever command ran after a deletion several times slower.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

extern char** environ;

namespace {

constexpr int kFiles = 3000;
constexpr int kRounds = 7;

// Text that looks like the host's markup, with runs of random bytes in the
// larger files standing in for images.
std::string Content(std::mt19937& random, size_t size) {
  static const std::string markup =
      "<div class='button' id='BTN_HOME' title='$TT_HOME$'><img src='images/nav_home.png'/></div>\r\n"
      ".tabbar .tab:hover{background-image:url(images/tab_hover.png);padding:2 4}\r\n";
  std::string bytes;
  bytes.reserve(size);
  const bool binary = size > 32 * 1024;
  while (bytes.size() < size) {
    if (binary) {
      bytes += static_cast<char>(random() & 0xFF);
    } else {
      bytes.append(markup, 0, std::min(markup.size(), size - bytes.size()));
    }
  }
  return bytes;
}

// Returns the total size in bytes.
size_t MakeTree(const fs::path& root) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> percent(0, 99);
  size_t total = 0;
  for (int i = 0; i < kFiles; ++i) {
    const fs::path folder =
        root / ("skin" + std::to_string(i % 6)) / ("part" + std::to_string(i % 50)) / (i % 3 ? "images" : "templates");
    fs::create_directories(folder);
    const int p = percent(random);
    size_t size = p < 80   ? 1024 + random() % (15 * 1024)
                  : p < 98 ? 16 * 1024 + random() % (16 * 1024)
                           : 64 * 1024 + random() % (128 * 1024);
    const std::string name = "file" + std::to_string(i) + (i % 3 ? ".png" : ".htm");
    std::ofstream(folder / name, std::ios::binary) << Content(random, size);
    total += size;
  }
  return total;
}

// Runs a command and returns its wall time in seconds; -1 when it fails.
double Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  posix_spawn_file_actions_t quiet;  // the tools report every run on standard error
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  const int spawned = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count() : -1;
}

struct Command {
  const char* name;
  // The command line for a round, after any untimed preparation.
  std::function<std::vector<std::string>(int round)> prepare;
  std::vector<double> seconds;
};

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// One comparison in a folder below `base`; false when a command failed or
// the unpacked tree differs.
bool Compare(const fs::path& base) {
  const fs::path work = base / ("ravelwick-pak-bench-" + std::to_string(getpid()));
  const fs::path source = work / "src" / "Resource";
  const fs::path archive = work / "src" / "Resource.dat";
  const auto copyOf = [&](int round) { return work / ("copy" + std::to_string(round)) / "Resource"; };
  const auto unpackedOf = [&](int round) { return work / ("unpacked" + std::to_string(round)) / "Resource"; };
  fs::remove_all(work);
  const size_t total = MakeTree(source);
  if (Run({MAKPAK, source.string()}) < 0) {
    std::fprintf(stderr, "makpak failed on the generated tree\n");
    fs::remove_all(work);
    return false;
  }
  const std::uintmax_t archiveSize = fs::file_size(archive);

  std::vector<Command> commands = {
      {"cp -r",
       [&](int round) {
         fs::create_directories(copyOf(round).parent_path());
         return std::vector<std::string>{"cp", "-r", source.string(), copyOf(round).string()};
       },
       {}},
      {"makpak",
       [&](int) {
         return std::vector<std::string>{MAKPAK, source.string()};
       },
       {}},
      {"unpak",
       [&](int round) {
         const fs::path target = unpackedOf(round).string() + ".dat";
         fs::create_directories(target.parent_path());
         fs::copy_file(archive, target);
         return std::vector<std::string>{UNPAK, target.string()};
       },
       {}},
  };
  for (int round = 0; round < kRounds; ++round) {
    for (size_t k = 0; k < commands.size(); ++k) {
      Command& command = commands[(k + round) % commands.size()];
      const auto args = command.prepare(round);
      sync();  // the previous command's writes are not this one's to pay for
      const double seconds = Run(args);
      if (seconds < 0) {
        std::fprintf(stderr, "%s failed\n", command.name);
        fs::remove_all(work);
        return false;
      }
      command.seconds.push_back(seconds);
    }
  }
  // The unpacked tree must be the source tree.
  const bool same = Run({"diff", "-r", "-q", source.string(), unpackedOf(kRounds - 1).string()}) >= 0;

  std::printf("In %s: %d files, %.1f MB, archive %.1f MB (best of %d, interleaved)\n", base.c_str(), kFiles,
              total / 1048576.0, archiveSize / 1048576.0, kRounds);
  std::printf("%-8s %10s %10s %10s %10s\n", "command", "best ms", "median ms", "MB/s", "x cp -r");
  const double cp = Best(commands[0].seconds);
  for (const Command& command : commands)
    std::printf("%-8s %10.1f %10.1f %10.0f %10.2f\n", command.name, Best(command.seconds) * 1e3,
                Median(command.seconds) * 1e3, total / 1048576.0 / Best(command.seconds), Best(command.seconds) / cp);
  std::printf("unpacked tree %s the source tree\n\n", same ? "equals" : "DIFFERS FROM");
  fs::remove_all(work);
  return same;
}

}  // namespace

int main() {
  std::printf("Stand-in archive tools vs cp -r of the same tree\n\n");
  // On the disk and, where there is one, in memory: the disk weighs the
  // file system's work, memory the tools' own.
  bool ok = Compare(fs::temp_directory_path());
  std::error_code ec;
  if (fs::is_directory("/dev/shm", ec) && !fs::equivalent("/dev/shm", fs::temp_directory_path(), ec))
    ok = Compare("/dev/shm") && ok;
  return ok ? 0 : 1;
}
