// Speed and memory of the line diff against copying the same bytes. Prints
// ratios from one run; each measurement runs in a child process so that its
// peak memory is its own.
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "engine/line_diff.h"

namespace {

struct Measure {
  double seconds = 0;
  double peakMb = 0;  // growth of the resident set during the work
  std::size_t outputBytes = 0;
};

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return 0;
}

// Runs work() timed in a child; best time of `rounds`. The inputs are read
// through first, so that pages shared with the parent count before the work.
Measure InChild(const std::string& oldText, const std::string& newText, const std::function<std::size_t()>& work,
                int rounds) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    volatile char touched = 0;
    for (std::size_t i = 0; i < oldText.size(); i += 512) touched = touched + oldText[i];
    for (std::size_t i = 0; i < newText.size(); i += 512) touched = touched + newText[i];
    Measure m{1e9, 0, 0};
    long peakKb = 0;
    for (int r = 0; r < rounds; ++r) {
      { std::ofstream("/proc/self/clear_refs") << "5"; }  // resets the high-water mark
      const long before = StatusKb("VmRSS:");
      const auto start = std::chrono::steady_clock::now();
      m.outputBytes = work();
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      m.seconds = std::min(m.seconds, took.count());
      peakKb = std::max(peakKb, StatusKb("VmHWM:") - before);
    }
    m.peakMb = peakKb / 1024.0;
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

// A style sheet of mostly distinct lines with CR LF ends and repeated braces.
std::string Sheet(std::size_t bytes, const char* prefix) {
  std::string text;
  for (int n = 0; text.size() < bytes; ++n) {
    text += std::string(prefix) + ".item-" + std::to_string(n) + " > .icon:hover {\r\n";
    text += "  background-image: url(images/item_" + std::to_string(n) + ".png); padding: 2px 4px;\r\n";
    text += "}\r\n";
  }
  return text;
}

// The same text with one line changed at each of `places` spread evenly,
// the first and the last line included.
std::string Edited(std::string text, int places) {
  for (int p = 0; p < places; ++p) {
    std::size_t at = places == 1 ? text.size() / 2 : (text.size() - 1) * p / (places - 1);
    at = text.rfind('\n', at == 0 ? 0 : at - 1);
    at = at == std::string::npos ? 0 : at + 1;
    text.insert(at, "/* ravelwick */ ");
  }
  return text;
}

}  // namespace

int main() {
  // Large blocks always come from and go back to the system, so the
  // resident set follows what the work holds.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  std::printf("Line diff benchmark (best of several runs; memory is resident-set growth during the diff)\n\n");
  std::printf("%-34s %8s %10s %10s %8s %12s %10s\n", "case", "input MB", "diff ms", "copy ms", "time x", "peak/input",
              "diff KB");
  const struct {
    const char* name;
    std::size_t bytes;
    int places;  // 0: an unrelated text
  } cases[] = {
      {"2 MB, 5 lines changed", 2u << 20, 5},
      {"10 MB, 1 line changed in the middle", 10u << 20, 1},
      {"10 MB, 5 lines changed, ends too", 10u << 20, 5},
      {"10 MB, 50 lines changed", 10u << 20, 50},
      {"10 MB, every line changed (capped)", 10u << 20, 0},
  };
  for (const auto& c : cases) {
    const std::string oldText = Sheet(c.bytes, "");
    const std::string newText = c.places ? Edited(oldText, c.places) : Sheet(c.bytes, "#other ");
    const int rounds = c.places ? 5 : 2;
    const Measure diff = InChild(
        oldText, newText, [&] { return rw::UnifiedDiff(oldText, newText, "ui/main/index.css").size(); }, rounds);
    const Measure copy = InChild(
        oldText, newText,
        [&] {
          const std::string a(oldText), b(newText);
          return a.size() + b.size();
        },
        rounds);
    const double inputMb = static_cast<double>(oldText.size() + newText.size()) / (1 << 20);
    std::printf("%-34s %8.1f %10.1f %10.2f %8.1f %12.2f %10.0f\n", c.name, inputMb, diff.seconds * 1e3,
                copy.seconds * 1e3, diff.seconds / copy.seconds, diff.peakMb / inputMb, diff.outputBytes / 1024.0);
  }
  std::printf("\ninput: old + new text; copy: copying both; peak/input: extra resident memory of the diff\n");
  return 0;
}
