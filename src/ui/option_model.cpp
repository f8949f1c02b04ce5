#include "ui/option_model.h"

#include <algorithm>

#include "ui/catalogue.h"

namespace rw {

bool OptionModel::SetState(Option option, int state) {
  Entry& e = options_[IndexOf(option)];
  if (Def(option).kind != OptionKind::Check || e.state == state) return false;
  e.state = state;
  return true;
}

bool OptionModel::SetText(Option option, std::string_view text) {
  Entry& e = options_[IndexOf(option)];
  if (Def(option).kind != OptionKind::Text || e.text == text) return false;
  e.text = std::string(text);
  return true;
}

bool OptionModel::SetEnabled(Option option, bool enabled) {
  Entry& e = options_[IndexOf(option)];
  if (e.enabled == enabled) return false;
  e.enabled = enabled;
  return true;
}

const OptionModel::Entry* OptionModel::BoxEntry(Control box) const {
  const auto* found = std::find(kCheckBoxControls.begin(), kCheckBoxControls.end(), box);
  return found == kCheckBoxControls.end() ? nullptr
                                          : &boxes_[static_cast<std::size_t>(found - kCheckBoxControls.begin())];
}

OptionModel::Entry* OptionModel::BoxEntry(Control box) {
  return const_cast<Entry*>(static_cast<const OptionModel*>(this)->BoxEntry(box));
}

int OptionModel::State(Control box) const {
  const Entry* e = BoxEntry(box);
  return e ? e->state : 0;
}

bool OptionModel::Enabled(Control box) const {
  const Entry* e = BoxEntry(box);
  return e && e->enabled;
}

bool OptionModel::SetState(Control box, int state) {
  Entry* e = BoxEntry(box);
  if (!e || e->state == state) return false;
  e->state = state;
  return true;
}

bool OptionModel::SetEnabled(Control box, bool enabled) {
  Entry* e = BoxEntry(box);
  if (!e || e->enabled == enabled) return false;
  e->enabled = enabled;
  return true;
}

OptionSnapshot OptionModel::Snapshot() const {
  OptionSnapshot snapshot;
  for (const OptionDef& def : Options()) {
    const Entry& e = options_[IndexOf(def.option)];
    if (def.kind == OptionKind::Check)
      snapshot.states_[IndexOf(def.option)] = e.state;
    else
      snapshot.texts_[IndexOf(def.option)] = e.text;
  }
  return snapshot;
}

}  // namespace rw
