#include "tree.h"

#include <fstream>

namespace fs = std::filesystem;

namespace rw::pak {

namespace {

bool Walk(const fs::path& folder, const std::string& prefix, std::vector<Entry>& entries, std::string& error) {
  std::vector<fs::path> names;
  if (!ListFolder(folder, names)) {
    error = "cannot list " + Utf8FromPath(folder);
    return false;
  }
  for (const fs::path& base : names) {
    const fs::path path = folder / base;
    const std::string name = prefix + Utf8FromPath(base);
    const DiskKind kind = KindOf(path);
    if (kind == DiskKind::Folder) {
      entries.push_back(Entry{name, EntryKind::Folder, {}});
      if (!Walk(path, name + "/", entries, error)) return false;
    } else if (kind == DiskKind::File) {
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
  return true;
}

}  // namespace

bool ReadTree(const fs::path& root, std::vector<Entry>& entries, std::string& error) {
  if (KindOf(root) != DiskKind::Folder) {
    error = "not a folder: " + Utf8FromPath(root);
    return false;
  }
  entries.clear();
  return Walk(root, "", entries, error);
}

bool WriteTree(const fs::path& root, const std::vector<Entry>& entries, std::string& error) {
  if (!MakeFolder(root)) {
    error = "cannot create " + Utf8FromPath(root) + (KindOf(root) != DiskKind::Missing ? ": it exists" : "");
    return false;
  }
  for (const Entry& entry : entries) {
    fs::path path = root;
    // Name by name, so each lands with the system's separator.
    for (std::size_t start = 0, slash = 0; slash != std::string::npos; start = slash + 1) {
      slash = entry.name.find('/', start);
      path /= PathFromUtf8(entry.name.substr(start, slash - start));
    }
    if (entry.kind == EntryKind::Folder) {
      if (!MakeFolder(path)) {
        error = "cannot create folder " + entry.name + (KindOf(path) != DiskKind::Missing ? ": it exists" : "");
        return false;
      }
    } else if (KindOf(path) != DiskKind::Missing) {
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
