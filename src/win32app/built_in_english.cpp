// The English texts of ravelwick.exe, carried in its resources
// (data/resources/ravelwick.rc) so that they are the shipped English.ini.
#include <windows.h>

#include "app/language_text.h"

namespace rw {

std::string_view BuiltInEnglish() {
  // A resource stays mapped for as long as the module: nothing to free.
  HRSRC found = FindResourceW(nullptr, L"ENGLISH_INI", RT_RCDATA);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const char*>(bytes), SizeofResource(nullptr, found)};
}

}  // namespace rw
