// The named looks in an exported settings file: a section of their own
// after "General", each line of a look's file after the look's number and a
// "|", so that no line of a look can pass for a key or a section, and the
// look's own check line tells a damaged entry from a sound one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/looks.h"
#include "ui/named_looks.h"

namespace rw {

inline constexpr std::string_view kNamedLooksSection = "Named looks";

/// The section for `looks` (CR LF line ends); empty when there are none.
std::string NamedLooksExportText(const std::vector<Look>& looks);

enum class LookImportStatus {
  Found,    // sound, not stored yet
  Taken,    // kept among the named looks here
  Kept,     // a look of that name is kept here already, and stays
  Damaged,  // the entry fails its own check
  BadName,  // empty, too long or not text
  Failed,   // the looks folder did not take it
};

/// One look as an import found it.
struct NamedLookImport {
  int number = 0;    // in the file
  std::string name;  // as the entry spells it; may be empty for a damaged one
  LookImportStatus status = LookImportStatus::Found;
  Look look;
};

/// The looks the section of an exported file holds; none without one.
std::vector<NamedLookImport> ReadNamedLooksSection(std::string_view fileText);

/// Keeps each look found under its name; a name kept here already keeps
/// the look it has here.
void TakeNamedLooks(const App& app, std::vector<NamedLookImport>& imports);

/// One line per look: taken, kept as it was here, or refused and why.
std::string NamedLooksImportText(const App& app, const std::vector<NamedLookImport>& imports);

}  // namespace rw
