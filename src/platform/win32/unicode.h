// UTF-8 <-> UTF-16 at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace rw::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

/// Every letter lowered as file names compare, whatever the user's language.
std::string LowerCase(std::string_view text);

}  // namespace rw::win32
