// Any bytes decode to well-formed UTF-8, and decoding that again changes
// nothing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "stores/utf8_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string once = rw::DecodeUtf8(input);
  if (rw::DecodeUtf8(once) != once) __builtin_trap();
  if (once.size() > 3 * size) __builtin_trap();  // at most one U+FFFD per byte
  return 0;
}
