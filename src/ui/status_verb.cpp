#include "ui/status_verb.h"

#include "app/app.h"
#include "app/host_check.h"
#include "app/language_text.h"
#include "engine/number_text.h"
#include "ui/catalogue.h"
#include "ui/main_sequence.h"
#include "ui/option_model.h"
#include "ui/option_search.h"
#include "ui/option_status.h"
#include "ui/roads.h"
#include "ui/window_header.h"

namespace rw {

// A text field shares its row's check box caption, so it is named under
// "Field" and its settings key.
std::string CaptionOf(const App& app, const OptionDef& def) {
  std::string caption =
      def.kind == OptionKind::Text ? Text(app, "Field" + std::string(def.settingsKey)) : Text(app, def.captionKey);
  // The window's captions lead into a field ("... (px):"); here the value follows.
  for (const std::string_view colon : {":", "\xEF\xBC\x9A"})
    if (caption.ends_with(colon)) caption.resize(caption.size() - colon.size());
  while (caption.ends_with(' ')) caption.pop_back();
  return caption;
}

namespace {

std::string ValueInWords(const App& app, const OptionDef& def, const OptionModel& model) {
  if (def.kind == OptionKind::Text) return model.Text(def.option);
  switch (model.State(def.option)) {
    case 1:
      return Text(app, "StatusTicked");
    case 2:
      return Text(app, "StatusMixed");
    default:
      return Text(app, "StatusNotTicked");
  }
}

}  // namespace

bool IsDefault(const OptionDef& def, const OptionModel& model) {
  if (def.kind == OptionKind::Text) return model.Text(def.option) == def.defaultValue;
  return RoundToInt16(def.defaultValue) == model.State(def.option);
}

std::vector<std::string> MarksInWords(const App& app, const OptionDef& def, const OptionModel& model,
                                      const OptionStatus& status) {
  std::vector<std::string> marks;
  if (!IsDefault(def, model)) marks.push_back(Text(app, "StatusChangedMark"));
  // The status's own sentence for a changed value is said short above.
  const std::size_t said = status.sentences.size() - (status.changedFromDefault ? 1 : 0);
  for (std::size_t i = 0; i < said; ++i) marks.push_back(status.sentences[i]);
  return marks;
}

ExitCode StatusVerb(App& app, ConsoleOutput& console, const Invocation&) {
  LookAtHost(app);
  ArchiveFingerprints fingerprints;
  console.Out(StatusText(app, fingerprints));
  return ExitCode::Done;
}

std::string StatusText(const App& app, ArchiveFingerprints& fingerprints) {
  std::string text = HeaderLine(app, ReadArchiveState(app, fingerprints)) + "\n\n";

  // The options as the window loads them.
  OptionModel model;
  LoadOptions(app, model, app.platform.desktop.IsCompositionEnabled());
  // Read only: the working tree as it is, nothing unpacked for it.
  OptionStatusModel statusModel(app);
  const OptionStatuses statuses =
      statusModel.Compute(model.Snapshot(), app.platform.desktop.IsCompositionEnabled(), app.SingleSkinHost);
  if (statusModel.NotReady()) text += statusModel.NotReadyWords() + "\n\n";
  for (const Option row : ReadingOrder()) {
    const OptionDef& def = Def(row);
    text += CaptionOf(app, def) + ": " + ValueInWords(app, def, model);
    std::string marks;
    for (const std::string& mark : MarksInWords(app, def, model, statuses[static_cast<std::size_t>(def.option)]))
      marks += (marks.empty() ? "" : ", ") + mark;
    if (!marks.empty()) text += " (" + marks + ")";
    text += "\n";
  }
  return text;
}

}  // namespace rw
