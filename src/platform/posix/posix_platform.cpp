#include "platform/posix/posix_platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/cp1252.h"

namespace fs = std::filesystem;

namespace rw {

namespace {

fs::path Native(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  return fs::path(p);
}

}  // namespace

std::string PosixPlatform::ProgramFolder() {
  std::error_code ec;
  auto exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

bool PosixPlatform::FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(Native(path), ec);
}

bool PosixPlatform::FolderExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(Native(path), ec);
}

bool PosixPlatform::IsReadOnly(const std::string& path) {
  struct stat st;
  if (::stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return (st.st_mode & 0222) == 0;
}

std::optional<FileStamp> PosixPlatform::StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{static_cast<std::uint64_t>(st.st_size), static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                                                               static_cast<std::uint64_t>(st.st_mtim.tv_nsec)};
}

std::optional<std::string> PosixPlatform::ReadFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  std::ifstream in(Native(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size < 0) return std::nullopt;
  bytes.resize(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
  return bytes;
}

bool PosixPlatform::WriteFile(const std::string& path, std::string_view bytes) {
  // Root ignores permission bits; honour the read-only attribute ourselves.
  if (IsReadOnly(path) || FolderExists(path)) return false;
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

bool PosixPlatform::RenameOver(const std::string& from, const std::string& to) {
  if (IsReadOnly(to) || FolderExists(to)) return false;
  std::error_code ec;
  fs::rename(Native(from), Native(to), ec);
  return !ec;
}

bool PosixPlatform::CopyFileOver(const std::string& from, const std::string& to) {
  if (IsReadOnly(to) || !FileExists(from)) return false;
  std::error_code ec;
  fs::copy_file(Native(from), Native(to), fs::copy_options::overwrite_existing, ec);
  if (ec) return false;
  // As on Windows, the copy keeps the source's last-write time.
  fs::last_write_time(Native(to), fs::last_write_time(Native(from), ec), ec);
  return true;
}

bool PosixPlatform::RemoveFile(const std::string& path) {
  if (IsReadOnly(path) || !FileExists(path)) return false;
  std::error_code ec;
  return fs::remove(Native(path), ec) && !ec;
}

bool PosixPlatform::DeleteFolder(const std::string& path) {
  const fs::path root = Native(path);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return false;
  // Delete what can be deleted, keeping read-only files (and their folders).
  std::vector<fs::path> folders;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_directory(ec)) {
      folders.push_back(it->path());
    } else if (!IsReadOnly(it->path().string())) {
      fs::remove(it->path(), ec);
    }
  }
  std::sort(folders.rbegin(), folders.rend());
  for (const auto& f : folders) fs::remove(f, ec);  // fails harmlessly when not empty
  fs::remove(root, ec);
  return !fs::exists(root);
}

bool PosixPlatform::CreateFolder(const std::string& path) {
  std::error_code ec;
  return fs::create_directory(Native(path), ec);
}

std::vector<std::string> PosixPlatform::ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = fs::directory_iterator(Native(folder), ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
  return names;
}

std::vector<std::string> PosixPlatform::ListTree(const std::string& folder) {
  std::vector<std::string> out;
  const fs::path root = Native(folder);
  std::error_code ec;
  // Links are never followed: a recursive iterator does not enter them by
  // default, and a link to a file is skipped here.
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_symlink(ec) || !it->is_regular_file(ec)) continue;
    std::string relative = fs::relative(it->path(), root, ec).string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    out.push_back(std::move(relative));
  }
  return out;
}

std::string PosixPlatform::LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::string PosixPlatform::AnsiToUtf8(std::string_view ansi) { return Cp1252ToUtf8(ansi); }
std::optional<std::string> PosixPlatform::Utf8ToAnsi(std::string_view utf8) { return Utf8ToCp1252(utf8); }

void PosixPlatform::Sleep(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace rw
