#include <cstdio>

#include "pak_tool.h"

namespace rw::pak {

bool ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace rw::pak
