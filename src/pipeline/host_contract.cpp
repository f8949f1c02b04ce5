#include "pipeline/host_contract.h"

#include "pipeline/installation.h"
#include "platform/canonical_path.h"
#include "stores/text.h"

namespace rw {

namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

std::string UnpackerCommandLine(const Installation& installation) {
  return UnpackerCommandLineFor(installation, installation.PackedArchive());
}

std::string PackerCommandLine(const Installation& installation) {
  return Quoted(installation.Path(kPackerImageName)) + " " + Quoted(installation.Tree());
}

std::string UnpackerCommandLineFor(const Installation& installation, const std::string& archive) {
  return Quoted(installation.Path(kUnpackerImageName)) + " " + Quoted(archive);
}

std::string HostCommandLine(const Installation& installation) {
  return Quoted(installation.hostBinFolder + "maxthon.exe");
}

bool BelongsToHost(const Installation& installation, const ProcessInfo& process) {
  // An empty Bin folder would be found in every path and claim every
  // browser on the machine.
  if (installation.hostBinFolder.empty()) return false;
  const std::string path =
      CanonicalPath(installation.platform, process.executablePath).value_or(process.executablePath);
  return installation.platform.system.LowerCase(path).find(
             installation.platform.system.LowerCase(installation.hostBinFolder)) != std::string::npos;
}

bool WaitForToolToEnd(Platform& platform, std::string_view imageName, int polls, RoadUser* window, WaitStep step) {
  for (int poll = 0; poll < polls; ++poll) {
    platform.system.Sleep(kPollIntervalMs);
    if (window) {
      window->ShowWait(step, (poll + 1) * kPollIntervalMs, polls * kPollIntervalMs);
      platform.desktop.PumpEvents();
    }
    if (platform.processes.ListProcesses(std::string(imageName)).empty()) return true;
  }
  return false;
}

ToolEnd RunToolToItsEnd(Platform& platform, const std::string& commandLine, std::string_view imageName,
                        RoadUser* window, WaitStep step) {
  const std::uint32_t pid = platform.processes.StartProcess(commandLine, /*hidden=*/true);
  if (pid == 0) return ToolEnd::NotStarted;
  if (WaitForToolToEnd(platform, imageName, kToolPolls, window, step))
    return platform.processes.ExitCodeOf(pid) == 0u ? ToolEnd::Finished : ToolEnd::Ended;
  platform.processes.TerminateProcess(pid);
  for (int poll = 0; poll < kTerminatePolls && !platform.processes.ExitCodeOf(pid); ++poll)
    platform.system.Sleep(kPollIntervalMs);
  return ToolEnd::Killed;
}

bool RunTool(Platform& platform, const std::string& commandLine, std::string_view imageName, RoadUser* window,
             WaitStep step) {
  return RunToolToItsEnd(platform, commandLine, imageName, window, step) == ToolEnd::Finished;
}

}  // namespace rw
