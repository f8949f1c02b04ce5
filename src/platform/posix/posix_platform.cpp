#include "platform/posix/posix_platform.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cwctype>
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

// The words for a refusal the file system would not make for root.
FileChange Denied() { return FileChange::Failed(std::make_error_code(std::errc::permission_denied).message()); }
FileChange Failed(const std::error_code& ec) { return FileChange::Failed(ec.message()); }
FileChange FailedWithErrno() { return FileChange::Failed(std::generic_category().message(errno)); }

}  // namespace

std::string PosixFileSystem::ProgramFolder() {
  std::error_code ec;
  auto exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

bool PosixFileSystem::FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(Native(path), ec);
}

bool PosixFileSystem::FolderExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(Native(path), ec);
}

bool PosixFileSystem::IsReadOnly(const std::string& path) {
  struct stat st;
  if (::stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return (st.st_mode & 0222) == 0;
}

std::optional<FileStamp> PosixFileSystem::StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{static_cast<std::uint64_t>(st.st_size), static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                                                               static_cast<std::uint64_t>(st.st_mtim.tv_nsec)};
}

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path) {
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

FileChange PosixFileSystem::WriteFile(const std::string& path, std::string_view bytes) {
  // Root ignores permission bits; honour the read-only attribute ourselves.
  if (IsReadOnly(path) || FolderExists(path)) return Denied();
  errno = 0;
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  if (!out) return FailedWithErrno();
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out ? FileChange::Done() : FailedWithErrno();
}

FileChange PosixFileSystem::RenameOver(const std::string& from, const std::string& to) {
  if (IsReadOnly(to) || FolderExists(to)) return Denied();
  std::error_code ec;
  fs::rename(Native(from), Native(to), ec);
  return ec ? Failed(ec) : FileChange::Done();
}

FileChange PosixFileSystem::CopyFileOver(const std::string& from, const std::string& to) {
  if (IsReadOnly(to)) return Denied();
  if (!FileExists(from)) return Failed(std::make_error_code(std::errc::no_such_file_or_directory));
  std::error_code ec;
  fs::copy_file(Native(from), Native(to), fs::copy_options::overwrite_existing, ec);
  if (ec) return Failed(ec);
  // As on Windows, the copy keeps the source's last-write time.
  fs::last_write_time(Native(to), fs::last_write_time(Native(from), ec), ec);
  return FileChange::Done();
}

FileChange PosixFileSystem::RemoveFile(const std::string& path) {
  if (IsReadOnly(path)) return Denied();
  if (!FileExists(path)) return Failed(std::make_error_code(std::errc::no_such_file_or_directory));
  std::error_code ec;
  return fs::remove(Native(path), ec) && !ec ? FileChange::Done() : Failed(ec);
}

FileChange PosixFileSystem::DeleteFolder(const std::string& path) {
  const fs::path root = Native(path);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return FileChange::Failed();
  // A link in the folder's place goes as a link; its target is not ours.
  if (fs::is_symlink(root, ec)) return fs::remove(root, ec) && !ec ? FileChange::Done() : Failed(ec);
  // Delete what can be deleted, keeping read-only files (and their folders).
  // Links at any depth are removed as links, never entered.
  std::vector<fs::path> folders;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const fs::file_status status = it->symlink_status(ec);
    if (fs::is_directory(status)) {
      folders.push_back(it->path());
    } else if (fs::is_symlink(status) || !IsReadOnly(it->path().string())) {
      fs::remove(it->path(), ec);
    }
  }
  std::sort(folders.rbegin(), folders.rend());
  for (const auto& f : folders) fs::remove(f, ec);  // fails harmlessly when not empty
  fs::remove(root, ec);
  return fs::exists(root) ? FileChange::Failed() : FileChange::Done();
}

FileChange PosixFileSystem::CreateFolder(const std::string& path) {
  std::error_code ec;
  if (fs::create_directory(Native(path), ec)) return FileChange::Done();
  return ec ? Failed(ec) : Failed(std::make_error_code(std::errc::file_exists));
}

std::optional<FileIdentity> PosixFileSystem::IdentityOf(const std::string& path) {
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), 0, static_cast<std::uint64_t>(st.st_ino)};
}

std::vector<std::string> PosixFileSystem::ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = fs::directory_iterator(Native(folder), ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
  return names;
}

std::vector<std::string> PosixFileSystem::ListTree(const std::string& folder) {
  std::vector<std::string> out;
  const fs::path root = Native(folder);
  std::error_code ec;
  if (fs::is_symlink(root, ec)) return out;
  // Links are never followed: a recursive iterator does not enter them by
  // default, and a link to a file is skipped here.
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_symlink(ec) || !it->is_regular_file(ec)) continue;
    // The iterator's paths are the root's followed by the names below it;
    // cutting the root off spares resolving both on every entry.
    const std::string& path = it->path().native();
    std::string relative = path.starts_with(root.native()) ? path.substr(root.native().size())
                                                           : fs::relative(it->path(), root, ec).string();
    relative.erase(0, relative.find_first_not_of('/'));
    std::replace(relative.begin(), relative.end(), '/', '\\');
    out.push_back(std::move(relative));
  }
  return out;
}

std::string PosixSystem::LowerCase(std::string_view text) {
  // The "C" locale lowers ASCII only; C.UTF-8 knows every letter.
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4 && i + length <= text.size());
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid) {  // kept as it is
      out += text[i++];
      continue;
    }
    const auto lowered =
        static_cast<char32_t>(utf8 ? towlower_l(static_cast<wint_t>(c), utf8) : std::towlower(static_cast<wint_t>(c)));
    // Only a lowering that keeps the encoded length; the byte counts of
    // names then stay put.
    const std::size_t newLength = lowered < 0x80 ? 1 : lowered < 0x800 ? 2 : lowered < 0x10000 ? 3 : 4;
    if (newLength != length) {
      out.append(text.substr(i, length));
    } else if (length == 1) {
      out += static_cast<char>(lowered);
    } else {
      out += static_cast<char>((0xF00 >> length) | (lowered >> (6 * (length - 1))));
      for (std::size_t k = length - 1; k-- > 0;) out += static_cast<char>(0x80 | ((lowered >> (6 * k)) & 0x3F));
    }
    i += length;
  }
  return out;
}

bool PosixSystem::ClaimSingleInstance(const std::string& name) {
  std::string file = name;
  for (char& c : file)
    if (c == '/' || c == '\\') c = '_';
  if (file.size() > 200) file = std::to_string(std::hash<std::string>{}(name)) + file.substr(file.size() - 200);
  std::error_code ec;
  const fs::path lock = fs::temp_directory_path(ec) / ("ravelwick-" + file + ".lock");
  // The descriptor stays open: the lock lasts until the process ends. A
  // second descriptor in this process is refused like another process.
  const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // cannot tell; must not keep the program from starting
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  ::close(fd);
  return false;
}

std::string PosixSystem::AnsiToUtf8(std::string_view ansi) { return Cp1252ToUtf8(ansi); }
std::optional<std::string> PosixSystem::Utf8ToAnsi(std::string_view utf8) { return Utf8ToCp1252(utf8); }

void PosixSystem::Sleep(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::string PosixSystem::SystemVersion() {
  utsname name{};
  if (uname(&name) != 0) return "Linux";
  return std::string(name.sysname) + " " + name.release;
}

}  // namespace rw
