// What the system knows beyond files and windows: the registry, its
// language and code page, the claim of a single instance, and the clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rw {

class SystemServices {
 public:
  virtual ~SystemServices() = default;

  /// A string value, e.g. "HKEY_CURRENT_USER\\Software\\Maxthon3\\Folder".
  /// nullopt when missing or not a string.
  virtual std::optional<std::string> ReadRegistryString(const std::string& valuePath) = 0;
  virtual std::uint32_t SystemDefaultLcid() = 0;
  /// Claims a name for this process until it ends; false when another
  /// process holds it already, or when this process claimed it before.
  /// Atomic: of two claims at once, one wins. Any text is a valid name.
  virtual bool ClaimSingleInstance(const std::string& name) = 0;
  /// Every letter lowered as the system's ordinal case-insensitive compare
  /// sees it (not ASCII only), so lowered texts compare like file names.
  virtual std::string LowerCase(std::string_view text) = 0;
  /// Bytes in the system ANSI code page to UTF-8.
  virtual std::string AnsiToUtf8(std::string_view ansi) = 0;
  /// UTF-8 to the ANSI code page; nullopt when a character has no
  /// representation there.
  virtual std::optional<std::string> Utf8ToAnsi(std::string_view utf8) = 0;
  virtual void Sleep(unsigned milliseconds) = 0;
  /// The operating system's name and version, e.g. "Windows 10.0.19045".
  virtual std::string SystemVersion() = 0;
};

}  // namespace rw
