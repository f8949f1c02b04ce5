#include "win32app/console_output.h"

#include <algorithm>
#include <string>

#include "platform/win32/unicode.h"

namespace rw::win32 {

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

bool IsUsable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

Win32ConsoleOutput::Win32ConsoleOutput() {
  out_ = Find(STD_OUTPUT_HANDLE);
  err_ = Find(STD_ERROR_HANDLE);
}

Win32ConsoleOutput::Stream Win32ConsoleOutput::Find(DWORD which) {
  // A redirected stream (a file or a pipe) is handed over even to a GUI
  // program, and gets the bytes as they are.
  const HANDLE given = GetStdHandle(which);
  if (IsUsable(given)) {
    if (GetFileType(given) == FILE_TYPE_CHAR && !IsConsole(given)) {
      // A console handle passed on by cmd.exe counts as one only once this
      // process is attached to that console; NUL never does.
      AttachParentConsole();
    }
    return {given, IsConsole(given)};
  }
  // Nothing given, as when started from a console window without
  // redirection: the parent's console, when it has one.
  AttachParentConsole();
  if (consoleOutput_) return {consoleOutput_.get(), true};
  return {};
}

void Win32ConsoleOutput::AttachParentConsole() {
  if (attachTried_) return;
  attachTried_ = true;
  if (AttachConsole(ATTACH_PARENT_PROCESS))
    consoleOutput_.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
}

void Win32ConsoleOutput::Write(const Stream& stream, std::string_view utf8) {
  if (!stream.handle || utf8.empty()) return;
  if (stream.console) {
    // The console shows UTF-16 whatever its code page.
    const std::wstring wide = Wide(utf8);
    for (std::size_t done = 0; done < wide.size();) {
      DWORD written = 0;
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
      // Older consoles take a limited amount per call; no pair is split.
      if (done + chunk < wide.size() && IS_HIGH_SURROGATE(wide[done + chunk - 1])) --chunk;
      if (!WriteConsoleW(stream.handle, wide.data() + done, chunk, &written, nullptr) || written == 0) return;
      done += written;
    }
    return;
  }
  // Files and pipes get the UTF-8 bytes as they are.
  for (std::size_t done = 0; done < utf8.size();) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(utf8.size() - done, 1 << 20));
    if (!::WriteFile(stream.handle, utf8.data() + done, chunk, &written, nullptr) || written == 0) return;
    done += written;
  }
}

}  // namespace rw::win32
