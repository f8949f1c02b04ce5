// unpak.exe and makpak.exe on the test double. An archive is the tree's
// files written one after another; bytes that are not such an archive
// unpack to a tree whose modern style sheet holds them, so a test can name
// an archive by a word.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "support/fake_platform.h"

namespace rw::test {

std::string PackFolder(FakePlatform& p, const std::string& folder);

struct FakeToolBehaviour {
  // How many listings each tool stays in the process list (-1: never ends),
  // its exit code, and whether it writes its output at all.
  int unpackerListings = 2;
  int packerListings = 2;
  std::uint32_t unpackerExitCode = 0;
  std::uint32_t packerExitCode = 0;
  bool unpackerWrites = true;
  bool packerWrites = true;
  /// Files an unpacker writes before it stops (-1: all of them).
  int unpackerFileLimit = -1;
  /// Applied to what the packer writes, to garble it.
  std::string (*garble)(std::string) = nullptr;
  int unpacks = 0;
  int packs = 0;
};

class FakeTools : public FakeToolBehaviour {
 public:
  /// Takes over p.onStart and p.exitCodeOf.
  FakeTools(FakePlatform& p, std::string programFolder);
  FakeTools(const FakeTools&) = delete;
  FakeTools& operator=(const FakeTools&) = delete;

  void Reset() { static_cast<FakeToolBehaviour&>(*this) = FakeToolBehaviour{}; }

 private:
  void OnStart(const std::string& commandLine);

  FakePlatform& p_;
  std::string programFolder_;
  std::map<std::string, std::uint32_t> exitCodes_;  // by command line
};

}  // namespace rw::test
