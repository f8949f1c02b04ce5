// What checking the packed archive before installing it costs, against the
// packing itself, on the demo tree as the program packs it: the made-up
// interface tree with the replacement images copied in. Packing is one run
// of makpak; the check copies the archive into a temporary folder, unpacks it
// there with unpak, compares every folder and file with the tree byte for
// byte and removes the folder. Both run in turns for many rounds, and
// the best and median of each are compared. The demo tree is small enough for
// starting the tools to weigh most, so the same runs follow on fifty copies
// of it side by side.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Runs a tool with standard error silenced; false when it fails.
bool Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The fixture plus the images the program copies from ResFiles: four into
// the main skin, every one into the classic skin, whose account button has a
// picture of its own.
void MakeDemoTree(const fs::path& tree) {
  const fs::path source = RW_SOURCE_DIR;
  fs::create_directories(tree);
  fs::copy(source / "tests/fixtures/host-ui", tree, fs::copy_options::recursive);
  const fs::path images = source / "data/ResFiles";
  for (const char* name : {"nav_tool.png", "nav_account.png", "avatar_mx3.png", "avatar_mask_tweak.png"})
    fs::copy_file(images / name, tree / "ui/main/images" / name, fs::copy_options::overwrite_existing);
  for (const fs::directory_entry& image : fs::directory_iterator(images)) {
    std::string name = image.path().filename().string();
    if (name == "nav_account.png") continue;
    if (name == "nav_account_classic.png") name = "nav_account.png";
    fs::copy_file(image.path(), tree / "ui/main.classic/images" / name, fs::copy_options::overwrite_existing);
  }
}

std::string Bytes(const fs::path& path, std::uintmax_t size) {
  std::string bytes(size, '\0');
  std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(size));
  return bytes;
}

// Every folder and file below `root`, relative and sorted; folders end in '/'.
std::vector<std::string> Listing(const fs::path& root) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    std::string name = entry.path().lexically_relative(root).generic_string();
    if (entry.is_directory()) name += '/';
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool SameTree(const fs::path& a, const fs::path& b) {
  const std::vector<std::string> names = Listing(a);
  if (names != Listing(b)) return false;
  for (const std::string& name : names) {
    if (name.back() == '/') continue;
    const std::uintmax_t size = fs::file_size(a / name);
    if (fs::file_size(b / name) != size || Bytes(a / name, size) != Bytes(b / name, size)) return false;
  }
  return true;
}

struct Times {
  std::vector<double> seconds;
  double Best() const { return *std::min_element(seconds.begin(), seconds.end()); }
  double Median() const {
    std::vector<double> v = seconds;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
  }
};

// One comparison in a program folder below `base`; false when a tool failed
// or a check found the unpacked tree different. Every round checks in a new
// folder and the folders are removed (and timed) only at the end: on ext4
// without a journal, files created soon after a mass deletion are several
// times slower, which in the program would hit only the next Apply, but here
// every next round. Removed at the end, their files have reached the disk,
// so that part is timed on its expensive side.
bool Compare(const fs::path& base, int copies, int rounds) {
  const fs::path program = base / ("ravelwick-verify-bench-" + std::to_string(getpid()));
  const fs::path tree = program / "Resource";
  const fs::path archive = program / "Resource.dat";
  const auto checkFolder = [&](int round) { return program / ("Verify" + std::to_string(round)); };
  fs::remove_all(program);
  if (copies == 1) {
    MakeDemoTree(tree);
  } else {
    for (int i = 0; i < copies; ++i) MakeDemoTree(tree / ("copy" + std::to_string(i)));
  }

  Times pack, verify, copy, unpack, compare, remove;
  bool ok = true;
  for (int round = 0; round < rounds && ok; ++round) {
    sync();  // the previous round's writes are not this one's to pay for
    Clock::time_point start = Clock::now();
    ok = Run({MAKPAK, tree.string()});
    pack.seconds.push_back(SecondsSince(start));

    // Straight after the packing, as in the program.
    const fs::path check = checkFolder(round);
    start = Clock::now();
    fs::create_directory(check);
    fs::copy_file(archive, check / "Resource.dat");
    copy.seconds.push_back(SecondsSince(start));
    start = Clock::now();
    ok = ok && Run({UNPAK, (check / "Resource.dat").string()});
    unpack.seconds.push_back(SecondsSince(start));
    start = Clock::now();
    ok = ok && SameTree(tree, check / "Resource");
    compare.seconds.push_back(SecondsSince(start));
  }
  for (int round = 0; round < static_cast<int>(copy.seconds.size()); ++round) {
    const Clock::time_point start = Clock::now();
    fs::remove_all(checkFolder(round));
    remove.seconds.push_back(SecondsSince(start));
    verify.seconds.push_back(copy.seconds[round] + unpack.seconds[round] + compare.seconds[round] +
                             remove.seconds[round]);
  }
  if (!ok) {
    std::fprintf(stderr, "a tool failed or the unpacked tree differs from the packed one\n");
    fs::remove_all(program);
    return false;
  }

  std::size_t files = 0;
  std::uintmax_t bytes = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(tree))
    if (entry.is_regular_file()) ++files, bytes += entry.file_size();
  std::printf("In %s: %zu files, %.1f KB, archive %.1f KB (%d rounds, in turns)\n", base.c_str(), files, bytes / 1024.0,
              fs::file_size(archive) / 1024.0, rounds);
  std::printf("%-22s %9s %9s\n", "", "best ms", "median ms");
  const auto row = [](const char* name, const Times& t) {
    std::printf("%-22s %9.2f %9.2f\n", name, t.Best() * 1e3, t.Median() * 1e3);
  };
  row("pack (makpak)", pack);
  row("verification", verify);
  row("  copy the archive", copy);
  row("  unpack (unpak)", unpack);
  row("  compare the trees", compare);
  row("  remove the folder", remove);
  std::printf("verification / pack:          %.2f (best)  %.2f (median)\n", verify.Best() / pack.Best(),
              verify.Median() / pack.Median());
  std::printf("(pack + verification) / pack: %.2f (best)  %.2f (median)\n\n", 1 + verify.Best() / pack.Best(),
              1 + verify.Median() / pack.Median());
  fs::remove_all(program);
  return true;
}

}  // namespace

int main() {
  std::printf("Checking the packed archive before installing it vs packing it, demo tree\n\n");
  std::vector<fs::path> bases = {fs::temp_directory_path()};
  std::error_code ec;
  if (fs::is_directory("/dev/shm", ec) && !fs::equivalent("/dev/shm", fs::temp_directory_path(), ec))
    bases.push_back("/dev/shm");
  bool ok = true;
  for (const fs::path& base : bases) ok = Compare(base, 1, 201) && ok;
  std::printf("The same on fifty copies of the demo tree\n\n");
  for (const fs::path& base : bases) ok = Compare(base, 50, 31) && ok;
  return ok ? 0 : 1;
}
