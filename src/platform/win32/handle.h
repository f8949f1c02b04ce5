// Move-only owners of Win32 resources: handles, GDI objects, windows, menus
// and memory, one template over the function that gives each back. Copying
// is deleted so that nothing has two owners.
#pragma once

#include <windows.h>

#include <utility>

namespace rw::win32 {

/// Owns one `Traits::Type` and gives it back with `Traits::Close` when
/// reset, reassigned or destroyed; `Traits::Valid` tells an owned value
/// from "none".
template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() = default;
  explicit UniqueResource(Type value) : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& o) noexcept : value_(o.release()) {}
  UniqueResource& operator=(UniqueResource&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  ~UniqueResource() { reset(); }

  Type get() const { return value_; }
  explicit operator bool() const { return Traits::Valid(value_); }
  void reset(Type value = Traits::None()) {
    if (Traits::Valid(value_)) Traits::Close(value_);
    value_ = value;
  }
  /// Hands the value on to whatever owns it from now on.
  [[nodiscard]] Type release() { return std::exchange(value_, Traits::None()); }
  /// For a function that returns the value through a pointer; what was
  /// owned before is given back first.
  Type* put() {
    reset();
    return &value_;
  }

 private:
  Type value_ = Traits::None();
};

/// Resources whose "none" is null, given back by `Free`.
template <typename T, auto Free>
struct NullMeansNone {
  using Type = T;
  static Type None() { return nullptr; }
  static bool Valid(Type value) { return value != nullptr; }
  static void Close(Type value) { Free(value); }
};

/// Kernel handles: both null and INVALID_HANDLE_VALUE mean "none", since
/// CreateFile, snapshots and searches return the latter and most others the
/// former.
template <auto Free>
struct NullOrInvalidMeansNone : NullMeansNone<HANDLE, Free> {
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
};

using UniqueHandle = UniqueResource<NullOrInvalidMeansNone<&::CloseHandle>>;
using UniqueFind = UniqueResource<NullOrInvalidMeansNone<&::FindClose>>;
using UniqueModule = UniqueResource<NullMeansNone<HMODULE, &::FreeLibrary>>;
using UniqueRegKey = UniqueResource<NullMeansNone<HKEY, &::RegCloseKey>>;
using UniqueWindow = UniqueResource<NullMeansNone<HWND, &::DestroyWindow>>;
using UniqueMenu = UniqueResource<NullMeansNone<HMENU, &::DestroyMenu>>;
template <typename GdiObject>
using UniqueGdiObject = UniqueResource<NullMeansNone<GdiObject, &::DeleteObject>>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniquePen = UniqueGdiObject<HPEN>;
/// Memory the system allocated for the caller with LocalAlloc.
template <typename Pointer>
using UniqueLocalMemory = UniqueResource<NullMeansNone<Pointer, &::LocalFree>>;

}  // namespace rw::win32
