#include "support/fake_platform.h"

#include <cctype>

#include <algorithm>

#include "platform/cp1252.h"
#include "stores/text.h"

namespace rw::test {

FakePlatform::FakePlatform(std::string programFolder)
    : FakeParts(this, std::move(programFolder)), Platform{fakeFiles, fakeProcesses, fakeDesktop, fakeSystem} {
  fakeDesktop.SeeFiles(&fakeFiles);
}

FakePlatform::FakePlatform(const FakePlatform& other)
    : FakeWorld(other), FakeParts(other), Platform{fakeFiles, fakeProcesses, fakeDesktop, fakeSystem} {
  BindParts();
}

FakePlatform& FakePlatform::operator=(const FakePlatform& other) {
  FakeWorld::operator=(other);
  FakeParts::operator=(other);
  BindParts();
  return *this;
}

void FakePlatform::BindParts() {
  for (WorldPart* part : std::initializer_list<WorldPart*>{&fakeFiles, &fakeProcesses, &fakeDesktop, &fakeSystem})
    part->Bind(this);
  fakeDesktop.SeeFiles(&fakeFiles);
}

std::uint32_t FakeWorld::AddProcess(const std::string& imageName, const std::string& exePath, int listingsLeft,
                                    std::uint32_t pid) {
  FakeProcess p;
  p.info = ProcessInfo{pid != 0 ? pid : nextPid++, imageName, exePath};
  p.listingsLeft = listingsLeft;
  processList.push_back(p);
  return p.info.pid;
}

// --- Processes ---------------------------------------------------------------

std::vector<ProcessInfo> FakeProcesses::ListProcesses(const std::string& imageName) {
  ++world_->processListings;
  std::vector<ProcessInfo> out;
  auto& processes = world_->processList;
  for (auto it = processes.begin(); it != processes.end();) {
    if (!EqualsIgnoreCase(it->info.imageName, imageName)) {
      ++it;
      continue;
    }
    if (it->listingsLeft == 0) {
      it = processes.erase(it);
      continue;
    }
    out.push_back(it->info);
    if (it->listingsLeft > 0) --it->listingsLeft;
    ++it;
  }
  return out;
}

bool FakeProcesses::TerminateProcess(std::uint32_t pid) {
  if (world_->failHook && world_->failHook(Op::Terminate, std::to_string(pid))) return false;
  world_->terminated.push_back(pid);
  auto& processes = world_->processList;
  auto it = std::find_if(processes.begin(), processes.end(), [&](const FakeProcess& p) { return p.info.pid == pid; });
  if (it == processes.end()) return false;
  if (!it->ignoresTerminate) processes.erase(it);
  return true;
}

std::uint32_t FakeProcesses::StartProcess(const std::string& commandLine, bool hidden) {
  if (world_->failHook && world_->failHook(Op::Start, commandLine)) return 0;
  world_->started.push_back(commandLine);
  const std::uint32_t pid = world_->nextPid++;
  startedPids_[pid] = commandLine;
  world_->lastStartedPid = pid;
  if (world_->onStart) world_->onStart(commandLine, hidden);
  return pid;
}

std::optional<std::uint32_t> FakeProcesses::ExitCodeOf(std::uint32_t pid) {
  const auto it = startedPids_.find(pid);
  if (it == startedPids_.end()) return std::nullopt;
  // A browser started keeps running unless it is told to refuse; tools end.
  std::string lowered = it->second;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lowered.find("maxthon.exe") != std::string::npos)
    return world_->hostExitCode ? world_->hostExitCode(it->first) : std::nullopt;
  return world_->exitCodeOf ? world_->exitCodeOf(it->second) : 0;
}

bool FakeProcesses::OpenInDefaultBrowser(const std::string& address) {
  world_->browserOpened.push_back(address);
  return true;
}

// --- Desktop -----------------------------------------------------------------

WindowHandle FakeDesktop::FindTopWindow(const std::string& className, const std::string& title) {
  for (const auto& w : world_->windows)
    if (EqualsIgnoreCase(w.className, className) && (title.empty() || w.title == title)) return w.handle;
  return 0;
}

void FakeDesktop::RaiseWindow(WindowHandle window) { world_->raised.push_back(window); }

void FakeDesktop::SendCloseCommand(WindowHandle window) {
  world_->closeCommands.push_back(window);
  auto& windows = world_->windows;
  auto it = std::find_if(windows.begin(), windows.end(), [&](const FakeWindow& w) { return w.handle == window; });
  if (it == windows.end() || !it->closesOnCommand) return;
  const std::uint32_t pid = it->ownerPid;
  windows.erase(it);
  auto& processes = world_->processList;
  if (pid)
    processes.erase(
        std::remove_if(processes.begin(), processes.end(), [&](const FakeProcess& p) { return p.info.pid == pid; }),
        processes.end());
}

MessageResult FakeDesktop::ShowMessage(WindowHandle, const std::string& text, const std::string& title,
                                       MessageButtons buttons, MessageIcon icon) {
  world_->messages.push_back({text, title, buttons, icon});
  if (world_->answers.empty()) return MessageResult::Ok;
  const MessageResult answer = world_->answers.front();
  world_->answers.pop_front();
  return answer;
}

void FakeDesktop::PumpEvents() { ++world_->pumps; }
void FakeDesktop::SetWaitCursor(bool wait) { world_->waitCursor = wait; }
void FakeDesktop::InitCommonControls() { world_->commonControlsInitialised = true; }
bool FakeDesktop::IsCompositionEnabled() { return world_->composition; }

bool FakeDesktop::OpenInTextEditor(const std::string& path) {
  if (!files_ || !files_->FileExists(path)) return false;
  world_->editorOpened.push_back(path);
  return true;
}

bool FakeDesktop::CopyTextToClipboard(const std::string& text) {
  world_->clipboard = text;
  return true;
}

// --- System ------------------------------------------------------------------

std::optional<std::string> FakeSystem::ReadRegistryString(const std::string& valuePath) {
  for (const auto& [k, v] : world_->registry)
    if (EqualsIgnoreCase(k, valuePath)) return v;
  return std::nullopt;
}

std::uint32_t FakeSystem::SystemDefaultLcid() { return world_->lcid; }
bool FakeSystem::ClaimSingleInstance(const std::string& name) { return world_->claimedNames.insert(name).second; }
std::string FakeSystem::AnsiToUtf8(std::string_view ansi) { return Cp1252ToUtf8(ansi); }
std::optional<std::string> FakeSystem::Utf8ToAnsi(std::string_view utf8) { return Utf8ToCp1252(utf8); }

void FakeSystem::Sleep(unsigned milliseconds) {
  world_->nowMs += milliseconds;
  ++world_->sleeps;
  if (world_->onSleep) world_->onSleep();
}

}  // namespace rw::test
