#include "support/fake_tools.h"

#include <charconv>
#include <vector>

namespace rw::test {

namespace {

constexpr std::string_view kMagic = "FAKEPAK\n";

// The quoted arguments of a command line.
std::vector<std::string> Arguments(const std::string& commandLine) {
  std::vector<std::string> out;
  std::size_t start = commandLine.find('"');
  while (start != std::string::npos) {
    const std::size_t end = commandLine.find('"', start + 1);
    if (end == std::string::npos) break;
    out.push_back(commandLine.substr(start + 1, end - start - 1));
    start = commandLine.find('"', end + 1);
  }
  return out;
}

bool EndsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// False for bytes that start like an archive but break off.
bool Unpack(FakePlatform& p, const std::string& bytes, const std::string& folder, int limit) {
  if (bytes.compare(0, kMagic.size(), kMagic) != 0) {
    if (limit != 0) p.AddFile(folder + "\\ui\\main\\index.css", bytes);
    p.AddFolder(folder + "\\ui\\main\\images");
    return true;
  }
  std::size_t at = kMagic.size();
  for (int written = 0; at < bytes.size(); ++written) {
    const std::size_t nameEnd = bytes.find('\n', at);
    const std::size_t sizeEnd = nameEnd == std::string::npos ? nameEnd : bytes.find('\n', nameEnd + 1);
    if (sizeEnd == std::string::npos) return false;
    const std::string name = bytes.substr(at, nameEnd - at);
    std::size_t size = 0;
    const char* first = bytes.data() + nameEnd + 1;
    const char* last = bytes.data() + sizeEnd;
    if (std::from_chars(first, last, size).ptr != last || sizeEnd + 1 + size > bytes.size()) return false;
    if (limit < 0 || written < limit) p.AddFile(folder + "\\" + name, bytes.substr(sizeEnd + 1, size));
    at = sizeEnd + 1 + size;
  }
  return true;
}

}  // namespace

std::string PackFolder(FakePlatform& p, const std::string& folder) {
  std::string out(kMagic);
  for (const std::string& name : p.files.ListTree(folder)) {
    const std::string bytes = *p.Contents(folder + "\\" + name);
    out += name + "\n" + std::to_string(bytes.size()) + "\n" + bytes;
  }
  return out;
}

FakeTools::FakeTools(FakePlatform& p, std::string programFolder) : p_(p), programFolder_(std::move(programFolder)) {
  p_.onStart = [this](const std::string& commandLine, bool) { OnStart(commandLine); };
  p_.exitCodeOf = [this](const std::string& commandLine) {
    const auto it = exitCodes_.find(commandLine);
    return it == exitCodes_.end() ? 0u : it->second;
  };
}

void FakeTools::OnStart(const std::string& commandLine) {
  const std::vector<std::string> args = Arguments(commandLine);
  if (args.size() != 2) return;
  if (args[0] == programFolder_ + "\\unpak.exe" && EndsWith(args[1], ".dat")) {
    ++unpacks;
    p_.AddProcess("unpak.exe", args[0], unpackerListings, p_.lastStartedPid);
    const std::optional<std::string> archive = p_.Contents(args[1]);
    const std::string folder = args[1].substr(0, args[1].size() - 4);
    const bool whole = !unpackerWrites || !archive || Unpack(p_, *archive, folder, unpackerFileLimit);
    exitCodes_[commandLine] = whole ? unpackerExitCode : 2;
  } else if (args[0] == programFolder_ + "\\makpak.exe") {
    ++packs;
    p_.AddProcess("makpak.exe", args[0], packerListings, p_.lastStartedPid);
    exitCodes_[commandLine] = packerExitCode;
    if (packerWrites && p_.HasFolder(args[1])) {
      std::string bytes = PackFolder(p_, args[1]);
      p_.AddFile(args[1] + ".dat", garble ? garble(std::move(bytes)) : std::move(bytes));
    }
  }
}

}  // namespace rw::test
