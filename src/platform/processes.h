// Other programs: finding, starting and ending them, and the browser the
// user chose for web addresses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rw {

/// One entry of the process list.
struct ProcessInfo {
  std::uint32_t pid = 0;
  std::string imageName;       // e.g. "Maxthon.exe"
  std::string executablePath;  // full path, may be empty when not readable
};

class Processes {
 public:
  virtual ~Processes() = default;

  /// Processes whose image name equals `imageName`, compared without regard
  /// to letter case.
  virtual std::vector<ProcessInfo> ListProcesses(const std::string& imageName) = 0;
  virtual bool TerminateProcess(std::uint32_t pid) = 0;
  /// Starts a command line without waiting; hidden or with the default
  /// window style. The program, quoted or not, comes first and its path may
  /// be long. Returns the process id, 0 when it could not be started.
  virtual std::uint32_t StartProcess(const std::string& commandLine, bool hidden) = 0;
  /// Exit code of a process this platform started; nullopt while it runs or
  /// when it is not known. A process killed from outside ends with a
  /// non-zero code.
  virtual std::optional<std::uint32_t> ExitCodeOf(std::uint32_t pid) = 0;
  /// Opens an address in the user's default browser.
  virtual bool OpenInDefaultBrowser(const std::string& address) = 0;
};

}  // namespace rw
