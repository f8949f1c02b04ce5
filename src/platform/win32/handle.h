// Move-only owners for Win32 handles; copying is deleted so no handle has two
// owners.
#pragma once

#include <windows.h>

#include <utility>

namespace rw::win32 {

template <typename T, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T h) : h_(h) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, T{})) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, T{}));
    return *this;
  }
  ~Unique() { reset(); }

  T get() const { return h_; }
  explicit operator bool() const { return Traits::Valid(h_); }
  void reset(T h = T{}) {
    if (Traits::Valid(h_)) Traits::Close(h_);
    h_ = h;
  }

 private:
  T h_{};
};

// Kernel handles: both null and INVALID_HANDLE_VALUE mean "none", since
// CreateFile and snapshots return the latter and most others the former.
struct KernelHandleTraits {
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct ModuleTraits {
  static bool Valid(HMODULE m) { return m != nullptr; }
  static void Close(HMODULE m) { ::FreeLibrary(m); }
};
struct RegKeyTraits {
  static bool Valid(HKEY k) { return k != nullptr; }
  static void Close(HKEY k) { ::RegCloseKey(k); }
};

using UniqueHandle = Unique<HANDLE, KernelHandleTraits>;
using UniqueModule = Unique<HMODULE, ModuleTraits>;
using UniqueRegKey = Unique<HKEY, RegKeyTraits>;

}  // namespace rw::win32
