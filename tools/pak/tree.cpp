#include "tree.h"

#include <fstream>

namespace fs = std::filesystem;

namespace rw::pak {

namespace {

bool Walk(const fs::path& folder, const std::string& prefix, std::vector<Entry>& entries, std::string& error) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    const std::string name = prefix + Utf8FromPath(path.filename());
    const fs::file_status status = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_directory(status)) {
      entries.push_back(Entry{name, EntryKind::Folder, {}});
      if (!Walk(path, name + "/", entries, error)) return false;
    } else if (fs::is_regular_file(status)) {
      std::string bytes;
      if (!ReadWholeFile(path, bytes)) {
        error = "cannot read " + Utf8FromPath(path);
        return false;
      }
      entries.push_back(Entry{name, EntryKind::File, std::move(bytes)});
    } else {
      error = "neither a file nor a folder: " + Utf8FromPath(path);
      return false;
    }
  }
  if (ec) {
    error = "cannot list " + Utf8FromPath(folder) + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

fs::path PathFromUtf8(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8FromPath(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

bool ReadTree(const fs::path& root, std::vector<Entry>& entries, std::string& error) {
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(root, ec))) {
    error = "not a folder: " + Utf8FromPath(root);
    return false;
  }
  entries.clear();
  return Walk(root, "", entries, error);
}

bool WriteTree(const fs::path& root, const std::vector<Entry>& entries, std::string& error) {
  std::error_code ec;
  if (!fs::create_directory(root, ec)) {
    error = "cannot create " + Utf8FromPath(root) + (ec ? ": " + ec.message() : ": it exists");
    return false;
  }
  for (const Entry& entry : entries) {
    const fs::path path = root / PathFromUtf8(entry.name);
    if (entry.kind == EntryKind::Folder) {
      if (!fs::create_directory(path, ec)) {
        error = "cannot create folder " + entry.name + (ec ? ": " + ec.message() : ": it exists");
        return false;
      }
    } else if (fs::exists(fs::symlink_status(path, ec))) {
      error = "cannot create file " + entry.name + ": it exists";
      return false;
    } else if (!WriteWholeFile(path, entry.data)) {
      error = "cannot write file " + entry.name;
      return false;
    }
  }
  return true;
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  bytes.resize(static_cast<std::size_t>(size));
  in.seekg(0);
  return static_cast<bool>(in.read(bytes.data(), size));
}

bool WriteWholeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace rw::pak
