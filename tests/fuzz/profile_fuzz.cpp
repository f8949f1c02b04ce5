// Any INI text: lookups never crash, and a write is read back (cut at 1023
// bytes) while every other line stays byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "stores/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // First byte picks a key, the next few a value; the rest is the file.
  if (input.size() < 2) return 0;
  static const char* kKeys[] = {"Language", "InstallFolder", "FileVersion", "HideHome", "A"};
  const std::string key = kKeys[static_cast<unsigned char>(input[0]) % 5];
  const size_t valueLength = static_cast<unsigned char>(input[1]) % 16;
  input.remove_prefix(2);
  std::string value(input.substr(0, std::min(valueLength, input.size())));
  input.remove_prefix(std::min(valueLength, input.size()));
  // Values are single-line and unpadded in practice.
  for (char& c : value)
    if (c == '\r' || c == '\n' || c == '\0') c = '_';
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();

  (void)rw::ProfileLookup(input, "General", key, false);
  (void)rw::ProfileLookup(input, "General", key, true);
  const std::string updated = rw::ProfileUpdate(input, "General", key, value);
  const auto back = rw::ProfileLookup(updated, "General", key, false);
  if (!back || *back != value.substr(0, rw::kMaxProfileValueBytes)) __builtin_trap();
  // Writing the same value again changes nothing.
  if (rw::ProfileUpdate(updated, "General", key, value) != updated) __builtin_trap();
  return 0;
}
