// The made-up interface tree of tests/fixtures/host-ui loaded into the test
// double, and option snapshots for the engine tests.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/apply_tweaks.h"
#include "engine/option_snapshot.h"
#include "stores/utf8_file.h"
#include "support/fake_platform.h"

namespace rw::enginetest {

inline const std::string kUi = "C:\\Ravelwick\\Resource\\ui\\";

inline std::string Backslashed(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

/// A fixture file's bytes, by its path below ui/ with forward slashes.
inline std::string FixtureText(const std::string& relative) {
  std::ifstream in(std::string(RW_SOURCE_DIR) + "/tests/fixtures/host-ui/ui/" + relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline const std::vector<std::string>& TreeFiles() {
  static const std::vector<std::string> files = {
      "main/index.css",         "main/navbar.htm",         "main/index.htm",          "main/favbar.htm",
      "main/tabbar.htm",        "main/statusbar.htm",      "main.classic/index.css",  "main.classic/navbar.htm",
      "main.classic/index.htm", "main.classic/favbar.htm", "main.classic/tabbar.htm", "main.classic/statusbar.htm",
      "menus/main.htm",         "main/caption.css",        "main-menu/style.css"};
  return files;
}

/// Puts the text files of the tree below C:\Ravelwick\Resource\ui.
inline void LoadTree(test::FakePlatform& p) {
  for (const auto& file : TreeFiles()) p.AddFile(kUi + Backslashed(file), FixtureText(file));
}

/// The text a file holds now (byte-order mark dropped), "<missing>" if none.
inline std::string Now(test::FakePlatform& p, const std::string& relative) {
  auto bytes = p.Contents(kUi + Backslashed(relative));
  if (!bytes) return "<missing>";
  if (bytes->compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) bytes->erase(0, kUtf8Bom.size());
  return *bytes;
}

/// Every option off, the text fields at their defaults.
inline OptionSnapshot Defaults() {
  return OptionSnapshot()
      .WithText(Option::MaxTabWidthText, "180")
      .WithText(Option::MaxSearchWidthText, "200")
      .WithText(Option::BkgndTabWidthText, "60")
      .WithText(Option::FontFamilyText, "Segoe UI, Tahoma")
      .WithText(Option::FontSizeText, "12px");
}

/// `base` with one literal piece replaced (the piece must occur exactly once).
inline std::string With(std::string base, const std::string& from, const std::string& to) {
  const auto at = base.find(from);
  if (at == std::string::npos || base.find(from, at + 1) != std::string::npos)
    return "<piece not unique: " + from + ">";
  return base.replace(at, from.size(), to);
}

}  // namespace rw::enginetest
