// What the pipeline relies on from the host browser and the two archive
// tools: image names, command lines and the polling rhythm.
#pragma once

#include <string>
#include <string_view>

#include "pipeline/road_user.h"
#include "platform/platform.h"

namespace rw {

struct Installation;

inline constexpr std::string_view kHostImageName = "Maxthon.exe";
inline constexpr std::string_view kUnpackerImageName = "unpak.exe";
inline constexpr std::string_view kPackerImageName = "makpak.exe";

inline constexpr unsigned kPollIntervalMs = 500;
inline constexpr int kToolPolls = 40;
inline constexpr int kClosePolls = 4;
inline constexpr int kTerminatePolls = 10;

/// "\"<pf>\unpak.exe\" \"<pf>\Resource.dat\"".
std::string UnpackerCommandLine(const Installation& installation);
/// "\"<pf>\makpak.exe\" \"<pf>\Resource\"".
std::string PackerCommandLine(const Installation& installation);
/// "\"<HostBinFolder>maxthon.exe\"".
std::string HostCommandLine(const Installation& installation);

/// "\"<pf>\unpak.exe\" \"<archive>\"": unpacks into the archive's path
/// without ".dat".
std::string UnpackerCommandLineFor(const Installation& installation, const std::string& archive);

/// A "Maxthon.exe" process belongs to this installation when its executable
/// path, in canonical form, contains HostBinFolder, every letter's case
/// ignored.
bool BelongsToHost(const Installation& installation, const ProcessInfo& process);

/// Polls the process list up to `polls` times, sleeping before each query;
/// true as soon as no process of that image name is listed.
bool WaitForToolToEnd(Platform& platform, std::string_view imageName, int polls, RoadUser* window, WaitStep step);

enum class ToolEnd {
  NotStarted,
  Ended,     // by itself, with an exit code other than 0 or none known
  Finished,  // by itself, with exit code 0
  Killed,    // still running after its polls
};

/// Starts one of the archive tools hidden and waits for it. One still
/// running after its polls is ended, so it cannot go on writing into what
/// the caller discards.
ToolEnd RunToolToItsEnd(Platform& platform, const std::string& commandLine, std::string_view imageName,
                        RoadUser* window, WaitStep step);
/// True only when the tool was seen to end with exit code 0.
bool RunTool(Platform& platform, const std::string& commandLine, std::string_view imageName, RoadUser* window,
             WaitStep step);

}  // namespace rw
