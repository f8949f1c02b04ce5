// Functions of system DLLs that only some commands need (the shell and COM
// for the folder picker and for opening web pages). Found on first use, so
// that no start pays for loading those DLLs and their dependencies.
#pragma once

#include <windows.h>

#include <objbase.h>

namespace rw::win32 {

/// The function `name` of the system DLL `dll`, or nullptr when either is
/// missing. Only the system folder is searched.
template <typename Fn>
Fn LateBound(const wchar_t* dll, const char* name) {
  HMODULE module = GetModuleHandleW(dll);
  if (!module) module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Without the search flags (Windows 7 before KB2533623): these are known
  // DLLs, which load from the system folder in any case.
  if (!module && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadLibraryW(dll);
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

/// COM on this thread for as long as it lives, for the shell's picker and
/// for addresses the shell may hand to extensions. Harmless when COM is
/// there already.
class ScopedCom {
 public:
  ScopedCom() {
    static const auto coInitializeEx = LateBound<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    started_ = coInitializeEx && SUCCEEDED(coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }
  ~ScopedCom() {
    static const auto coUninitialize = LateBound<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    if (started_ && coUninitialize) coUninitialize();
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

 private:
  bool started_ = false;
};

}  // namespace rw::win32
