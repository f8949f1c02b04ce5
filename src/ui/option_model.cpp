#include "ui/option_model.h"

#include <map>

#include "ui/catalogue.h"

namespace rw {

OptionModel::OptionModel() {
  const auto add = [this](std::string_view name, bool isCheck) {
    Control c;
    c.name = std::string(name);
    c.isCheck = isCheck;
    controls_.push_back(std::move(c));
  };
  for (const OptionDef& def : Options()) add(def.control, def.kind == OptionKind::Check);
  for (std::string_view extra : {kModernLegend, kClassicLegend, kSelectAll}) add(extra, true);
}

const OptionModel::Control* OptionModel::Find(std::string_view name) const {
  for (const Control& c : controls_)
    if (c.name == name) return &c;
  return nullptr;
}

OptionModel::Control* OptionModel::Find(std::string_view name) {
  return const_cast<Control*>(static_cast<const OptionModel*>(this)->Find(name));
}

int OptionModel::State(std::string_view name) const {
  const Control* c = Find(name);
  return c ? c->state : 0;
}

const std::string& OptionModel::Text(std::string_view name) const {
  static const std::string empty;
  const Control* c = Find(name);
  return c ? c->text : empty;
}

bool OptionModel::Enabled(std::string_view name) const {
  const Control* c = Find(name);
  return c && c->enabled;
}

bool OptionModel::SetState(std::string_view name, int state) {
  Control* c = Find(name);
  if (!c || !c->isCheck || c->state == state) return false;
  c->state = state;
  return true;
}

bool OptionModel::SetText(std::string_view name, std::string_view text) {
  Control* c = Find(name);
  if (!c || c->isCheck || c->text == text) return false;
  c->text = std::string(text);
  return true;
}

bool OptionModel::SetEnabled(std::string_view name, bool enabled) {
  Control* c = Find(name);
  if (!c || c->enabled == enabled) return false;
  c->enabled = enabled;
  return true;
}

OptionSnapshot OptionModel::Snapshot() const {
  std::map<std::string, int, std::less<>> states;
  std::map<std::string, std::string, std::less<>> texts;
  for (const Control& c : controls_) {
    if (c.isCheck)
      states.emplace(c.name, c.state);
    else
      texts.emplace(c.name, c.text);
  }
  return OptionSnapshot(std::move(states), std::move(texts));
}

}  // namespace rw
