#include "pipeline/host_contract.h"

#include "platform/canonical_path.h"
#include "startup/app.h"
#include "stores/text.h"

namespace rw {

namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

std::string UnpackerCommandLine(const App& app) { return UnpackerCommandLineFor(app, app.Path("Resource.dat")); }

std::string PackerCommandLine(const App& app) {
  return Quoted(app.Path(kPackerImageName)) + " " + Quoted(app.Path("Resource"));
}

std::string UnpackerCommandLineFor(const App& app, const std::string& archive) {
  return Quoted(app.Path(kUnpackerImageName)) + " " + Quoted(archive);
}

std::string HostCommandLine(const App& app) { return Quoted(app.HostBinFolder + "maxthon.exe"); }

bool BelongsToHost(const App& app, const ProcessInfo& process) {
  // An empty Bin folder would be found in every path and claim every
  // browser on the machine.
  if (app.HostBinFolder.empty()) return false;
  const std::string path = CanonicalPath(app.platform, process.executablePath).value_or(process.executablePath);
  return app.platform.LowerCase(path).find(app.platform.LowerCase(app.HostBinFolder)) != std::string::npos;
}

bool WaitForToolToEnd(Platform& platform, std::string_view imageName, int polls, bool pumpEvents) {
  for (int poll = 0; poll < polls; ++poll) {
    platform.Sleep(kPollIntervalMs);
    if (pumpEvents) platform.PumpEvents();
    if (platform.ListProcesses(std::string(imageName)).empty()) return true;
  }
  return false;
}

bool RunTool(Platform& platform, const std::string& commandLine, std::string_view imageName, bool pumpEvents) {
  const std::uint32_t pid = platform.StartProcess(commandLine, /*hidden=*/true);
  if (pid == 0) return false;
  if (WaitForToolToEnd(platform, imageName, kToolPolls, pumpEvents)) return platform.ExitCodeOf(pid) == 0u;
  platform.TerminateProcess(pid);
  for (int poll = 0; poll < kTerminatePolls && !platform.ExitCodeOf(pid); ++poll) platform.Sleep(kPollIntervalMs);
  return false;
}

}  // namespace rw
