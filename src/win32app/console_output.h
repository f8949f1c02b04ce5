// Standard output and error of a GUI-subsystem program, for the command
// line verbs: the streams it was given when they are redirected, else the
// console of the program that started it.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/win32/handle.h"
#include "ui/command_line.h"

namespace rw::win32 {

class Win32ConsoleOutput : public ConsoleOutput {
 public:
  Win32ConsoleOutput();
  void Out(std::string_view utf8) override { Write(out_, utf8); }
  void Err(std::string_view utf8) override { Write(err_, utf8); }
  bool ErrReachesSomeone() const override { return err_.handle != nullptr; }

 private:
  struct Stream {
    HANDLE handle = nullptr;  // not owned; null: nowhere to write
    bool console = false;
  };
  static void Write(const Stream& stream, std::string_view utf8);
  Stream Find(DWORD which);
  void AttachParentConsole();

  UniqueHandle consoleOutput_;  // the parent's console, opened when needed
  bool attachTried_ = false;
  Stream out_;
  Stream err_;
};

}  // namespace rw::win32
