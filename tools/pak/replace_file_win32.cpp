#include <windows.h>

#include "pak_tool.h"

namespace rw::pak {

bool ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace rw::pak
