// What a run of the tweak engine did, option by option and file by file:
// an output beside the files it writes, never a change of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/option.h"
#include "engine/own_rules.h"

namespace rw {

/// How an edit of a ticked option went in one file.
enum class EditResult : std::uint8_t {
  Made,     // the option's markup was written
  InPlace,  // the file already had it (an earlier run)
  NotFound  // neither the markup it replaces nor its own was there
};

struct EditNote {
  Option option;
  EditResult result;
  std::string_view anchor;  // what the edit looks for, in words
};

using EditNotes = std::vector<EditNote>;

struct TweakEffect {
  enum class Kind : std::uint8_t { Rules, Edit };
  Option option;
  Kind kind;
  EditResult result = EditResult::Made;  // for edits
  std::string file;                      // below the working tree, "ui/main/navbar.htm"
  std::string detail;                    // the rules, one per line; or the anchor
};

struct FileNotRead {
  std::string file;  // below the working tree, "ui/main/navbar.htm"
  bool exists;       // false: missing (or a folder); true: there but unreadable
  bool operator==(const FileNotRead&) const = default;
};

/// A skin's own rules in one run: what they were and whether they went in.
struct OwnRulesUse {
  bool classic;
  std::size_t bytes;
  std::string sha256;  // lower-case hexadecimal
  OwnRulesCheck check;
  bool used;  // written into the skin's index.css
};

struct TweakReport {
  std::vector<TweakEffect> effects;
  /// One per skin that has own rules.
  std::vector<OwnRulesUse> ownRules;
  /// Files below the tree the run needed but could not read, and why.
  std::vector<FileNotRead> unreadable;
  /// Files below the tree whose bytes the run changed.
  std::vector<std::string> changedFiles;

  void Append(TweakReport&& other) {
    for (auto& e : other.effects) effects.push_back(std::move(e));
    for (auto& u : other.unreadable) unreadable.push_back(std::move(u));
    for (auto& f : other.changedFiles) changedFiles.push_back(std::move(f));
    for (auto& o : other.ownRules) ownRules.push_back(std::move(o));
  }
};

}  // namespace rw
