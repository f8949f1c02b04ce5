// Key codes as Windows numbers them, for window logic that runs without
// <windows.h>.
#pragma once

namespace rw {

inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyP = 'P';
inline constexpr int kKeyF1 = 0x70;

}  // namespace rw
