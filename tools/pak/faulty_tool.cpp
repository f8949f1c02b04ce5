// Faulty stand-ins for unpak and makpak, for tests of how the program copes
// with a tool that fails. Each fault is its own executable (RW_FAULT names
// it) under the real image name, in a folder of its own; never shipped.
//
//   unpak-hang        writes about half of the tree into <name>, then sleeps until killed
//   unpak-dies        writes about half of the tree into <name>, then exits with 1
//   makpak-garbage    writes <folder>.dat of bytes that are no archive, exits with 0
//   makpak-truncated  writes the first half of a valid archive, exits with 0
//   makpak-hang       writes nothing and sleeps until killed
#include <chrono>
#include <cstdio>
#include <string_view>
#include <thread>

#include "archive.h"
#include "pak_tool.h"
#include "tree.h"

namespace {

using namespace rw::pak;

constexpr std::string_view kFault = RW_FAULT;

// What `taskkill /f` leaves as the exit code of a process it ends.
constexpr int kKilledExitCode = 1;

[[noreturn]] void SleepUntilKilled() {
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// Straight into the target, as an unpacker stopped half-way would leave it.
int UnpackHalf(const std::string& archive) {
  if (archive.size() <= 4) return kUsage;
  std::string bytes;
  std::vector<Entry> entries;
  std::string error;
  if (!ReadWholeFile(PathFromUtf8(archive), bytes) || !Unpack(bytes, entries, error)) return kBadInput;
  entries.resize(entries.size() / 2);  // sorted, so every parent stays
  if (!WriteTree(PathFromUtf8(archive.substr(0, archive.size() - 4)), entries, error)) return kWriteFailed;
  if (kFault == "unpak-hang") SleepUntilKilled();
  return kKilledExitCode;
}

int PackBadly(const std::string& folderArg) {
  const std::string folder = WithoutTrailingSeparators(folderArg);
  if (kFault == "makpak-hang") SleepUntilKilled();
  std::vector<Entry> entries;
  std::string archive;
  std::string error;
  if (!ReadTree(PathFromUtf8(folder), entries, error) || !Pack(std::move(entries), archive, error)) return kBadInput;
  if (kFault == "makpak-truncated") {
    archive.resize(archive.size() / 2);
  } else {
    for (char& c : archive) c = static_cast<char>(~c);  // same size, no magic, no valid checksum
  }
  return WriteWholeFile(PathFromUtf8(folder + ".dat"), archive) ? kOk : kWriteFailed;
}

}  // namespace

int ToolMain(const std::vector<std::string>& args) {
  if (args.size() != 2) return kUsage;
  std::fprintf(stderr, "faulty %s: %s\n", RW_FAULT, args[1].c_str());
  return kFault.starts_with("unpak") ? UnpackHalf(args[1]) : PackBadly(args[1]);
}
