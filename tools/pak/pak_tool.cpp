#include "pak_tool.h"

#include <cstdio>

#include "archive.h"
#include "tree.h"

namespace fs = std::filesystem;

namespace rw::pak {

namespace {

// Paths arrive with Windows separators from the program and with either
// kind by hand; a trailing one would make "<folder>\.dat".
std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

bool EndsWithDat(const std::string& path) {
  if (path.size() <= 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return tail == ".dat";
}

void RemoveQuietly(const fs::path& path) { RemoveTree(path); }

void Report(const std::string& message) { std::fputs((message + "\n").c_str(), stderr); }

}  // namespace

int RunMakpak(const std::string& folderArg, std::string& message) {
  const std::string folder = WithoutTrailingSeparators(folderArg);
  const fs::path source = PathFromUtf8(folder);
  const fs::path target = PathFromUtf8(folder + ".dat");
  const fs::path partial = PathFromUtf8(folder + ".dat.packing");
  if (KindOf(source) != DiskKind::Folder) {
    message = "no such folder: " + folder;
    return kInputMissing;
  }
  std::vector<Entry> entries;
  std::string archive;
  if (!ReadTree(source, entries, message) || !Pack(std::move(entries), archive, message)) return kBadInput;
  if (!WriteWholeFile(partial, archive) || !ReplaceFileAtomically(partial, target)) {
    RemoveQuietly(partial);
    message = "cannot write " + folder + ".dat";
    return kWriteFailed;
  }
  message = "packed " + folder + ".dat";
  return kOk;
}

int RunUnpak(const std::string& archiveArg, std::string& message) {
  if (!EndsWithDat(archiveArg)) {
    message = "the archive's name must end in .dat: " + archiveArg;
    return kUsage;
  }
  const std::string folder = archiveArg.substr(0, archiveArg.size() - 4);
  const fs::path target = PathFromUtf8(folder);
  const fs::path staging = PathFromUtf8(folder + ".unpacking");
  std::string bytes;
  if (KindOf(PathFromUtf8(archiveArg)) != DiskKind::File) {
    message = "no such archive: " + archiveArg;
    return kInputMissing;
  }
  std::vector<Entry> entries;
  if (!ReadWholeFile(PathFromUtf8(archiveArg), bytes)) {
    message = "cannot read " + archiveArg;
    return kBadInput;
  }
  if (!Unpack(bytes, entries, message)) {
    message = archiveArg + ": " + message;
    return kBadInput;
  }
  bytes.clear();
  if (KindOf(target) != DiskKind::Missing) {
    message = "already there: " + folder;
    return kTargetExists;
  }
  RemoveQuietly(staging);  // left by an interrupted run
  if (!WriteTree(staging, entries, message)) {
    RemoveQuietly(staging);
    return kWriteFailed;
  }
  if (!RenameFolder(staging, target)) {
    RemoveQuietly(staging);
    message = "cannot create " + folder;
    return kWriteFailed;
  }
  message = "unpacked " + folder;
  return kOk;
}

int MakpakMain(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    Report("usage: makpak <folder>   packs the folder into <folder>.dat");
    return kUsage;
  }
  std::string message;
  const int code = RunMakpak(args[1], message);
  Report("makpak: " + message);
  return code;
}

int UnpakMain(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    Report("usage: unpak <name>.dat   unpacks the archive into the new folder <name>");
    return kUsage;
  }
  std::string message;
  const int code = RunUnpak(args[1], message);
  Report("unpak: " + message);
  return code;
}

}  // namespace rw::pak
