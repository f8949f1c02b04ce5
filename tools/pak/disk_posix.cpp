// The disk calls of the tools on Linux, through std::filesystem.
#include <cstdio>

#include "pak_tool.h"
#include "tree.h"

namespace fs = std::filesystem;

namespace rw::pak {

fs::path PathFromUtf8(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8FromPath(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

DiskKind KindOf(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (!fs::exists(status)) return DiskKind::Missing;
  if (fs::is_directory(status)) return DiskKind::Folder;
  return fs::is_regular_file(status) ? DiskKind::File : DiskKind::Other;
}

bool ListFolder(const fs::path& folder, std::vector<fs::path>& names) {
  std::error_code ec;
  names.clear();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename());
  return !ec;
}

bool MakeFolder(const fs::path& path) {
  std::error_code ec;
  return fs::create_directory(path, ec);
}

bool RenameFolder(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
}

void RemoveTree(const fs::path& path) {
  std::error_code ec;
  fs::remove_all(path, ec);  // removes links, never enters them
}

bool ReplaceFileAtomically(const fs::path& from, const fs::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace rw::pak
