// SHA-256, to tell whole archives apart without keeping them in memory.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rw {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);

/// Lower-case hexadecimal, 64 characters.
std::string HexOf(const Sha256Digest& digest);

}  // namespace rw
