// The record of a finished unpack: which host the working tree came from and
// which files it held. A tree without a matching record is never packed:
// it may be half-written (an unpacker that hung or was killed), thinned out
// by hand, or unpacked from another host.
#pragma once

#include <string>
#include <vector>

namespace rw {

struct Installation;

/// Lists the tree as it is now and records it for this host version and
/// folder. False (and no record) when the tree lacks the skin's style sheet,
/// so an unpacker that wrote nothing cannot pass for one that finished.
bool RecordTree(const Installation& installation);
/// True when the tree holds the skin's style sheet, which every use needs.
bool HoldsStyleSheet(const Installation& installation, const std::vector<std::string>& files);

/// True when the tree was recorded for this host version and folder and
/// still holds every recorded file. Files added since (the replacement
/// images) do not matter.
bool IsTreeUsable(const Installation& installation);

/// Removes the record, then the tree. True when the tree is gone.
bool DiscardTree(const Installation& installation);

}  // namespace rw
