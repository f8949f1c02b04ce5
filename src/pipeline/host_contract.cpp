#include "pipeline/host_contract.h"

#include "startup/app.h"
#include "stores/text.h"

namespace rw {

namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

std::string UnpackerCommandLine(const App& app) {
  return Quoted(app.Path(kUnpackerImageName)) + " " + Quoted(app.Path("Resource.dat"));
}

std::string PackerCommandLine(const App& app) {
  return Quoted(app.Path(kPackerImageName)) + " " + Quoted(app.Path("Resource"));
}

std::string HostCommandLine(const App& app) { return Quoted(app.HostBinFolder + "maxthon.exe"); }

bool BelongsToHost(const App& app, const ProcessInfo& process) {
  // An empty Bin folder would be found in every path and claim every
  // browser on the machine.
  if (app.HostBinFolder.empty()) return false;
  return AsciiLower(process.executablePath).find(AsciiLower(app.HostBinFolder)) != std::string::npos;
}

bool WaitForToolToEnd(Platform& platform, std::string_view imageName, int polls, bool pumpEvents) {
  for (int poll = 0; poll < polls; ++poll) {
    platform.Sleep(kPollIntervalMs);
    if (pumpEvents) platform.PumpEvents();
    if (platform.ListProcesses(std::string(imageName)).empty()) return true;
  }
  return false;
}

bool CopyOverAtomically(Platform& platform, const std::string& from, const std::string& to) {
  const std::string partial = to + ".partial";
  if (platform.FileExists(partial)) platform.RemoveFile(partial);
  if (platform.CopyFileOver(from, partial) && platform.RenameOver(partial, to)) return true;
  if (platform.FileExists(partial)) platform.RemoveFile(partial);
  return false;
}

}  // namespace rw
