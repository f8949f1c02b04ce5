#include "ui/option_status.h"

#include <algorithm>

#include "app/app.h"
#include "app/language_text.h"
#include "engine/apply_tweaks.h"
#include "pipeline/tree_record.h"
#include "stores/text.h"
#include "stores/utf8_file.h"
#include "ui/catalogue.h"

namespace rw {

namespace {

using Texts = std::vector<std::optional<std::string>>;

// Where a template's edits act, in words; the first row that fits names the
// place. Rows with an option name the part of a template that option edits.
struct PlaceRow {
  std::string_view file;  // the template's name without its folder
  std::optional<Option> option;
  std::string_view key;
};

constexpr PlaceRow kPlaces[] = {
    {"navbar.htm", {}, "StatusPlaceToolbar"},
    {"index.htm", Option::AvatarToButton, "StatusPlaceAvatar"},
    {"index.htm", Option::AvatarToMenu, "StatusPlaceAvatar"},
    {"index.htm", Option::MenuToAvatar, "StatusPlaceAvatar"},
    {"index.htm", Option::TabOnBottom, "StatusPlaceStatusBar"},
    {"index.htm", {}, "StatusPlaceWindow"},
    {"favbar.htm", {}, "StatusPlaceFavBar"},
    {"main.htm", {}, "StatusPlaceMainMenu"},
    {"caption.css", {}, "StatusPlaceTitleBar"},
    {"style.css", {}, "StatusPlaceMenuLook"},
};

// Judging an option runs the engine a few dozen times; templates far beyond
// any browser's are judged by the style rules alone, as the preview does.
constexpr size_t kJudgedTemplateBytes = 512 * 1024;

// Whether the option changes anything in `options`: a box against it
// cleared, a field against another text.
bool Acts(TweakRuns& runs, const OptionSnapshot& options, Option option) {
  return !runs.Same(options, Def(option).kind == OptionKind::Check
                                 ? options.WithState(option, 0)
                                 : options.WithText(option, options.Text(option) + "1"));
}

// Runs kept across clicks; beyond this many they are dropped and made anew.
constexpr size_t kKeptRuns = 20000;

std::optional<GreyReason> GreyedHere(const OptionDef& def, bool singleSkinHost, bool compositionEnabled) {
  if (GreyedOnThisHost(def, singleSkinHost)) return GreyReason::SingleSkinHost;
  if (def.host == HostRule::Composition && !compositionEnabled) return GreyReason::NoComposition;
  return std::nullopt;
}

bool ChangedFromDefault(const OptionDef& def, const OptionSnapshot& options) {
  return def.kind == OptionKind::Check ? std::to_string(options.State(def.option)) != def.defaultValue
                                       : options.Text(def.option) != def.defaultValue;
}

// The box a field belongs to: the check box that starts its row.
std::optional<Option> BoxOfRow(const OptionDef& field) {
  for (const OptionDef& def : Options())
    if (def.kind == OptionKind::Check && def.column == field.column && def.row == field.row) return def.option;
  return std::nullopt;
}

std::string_view FileName(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void AddOnce(std::vector<std::string>& list, std::string item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(std::move(item));
}

// An option in use that acts nowhere: the box that would make it act (a
// field's own box first, then the others in table order, each tried alone),
// or else the ticked box that keeps it from acting, found the same way.
void FindWhyIdle(const OptionDef& def, const OptionSnapshot& options, bool singleSkinHost, bool compositionEnabled,
                 const auto& actsSomewhere, OptionStatus& status) {
  std::vector<Option> candidates;
  if (def.kind == OptionKind::Text)
    if (const auto box = BoxOfRow(def)) candidates.push_back(*box);
  for (const OptionDef& other : Options())
    if (other.kind == OptionKind::Check && other.option != def.option) candidates.push_back(other.option);
  for (const Option candidate : candidates) {
    if (options.State(candidate) != 0 || GreyedHere(Def(candidate), singleSkinHost, compositionEnabled)) continue;
    if (actsSomewhere(options.WithState(candidate, 1), def.option)) {
      status.needs = candidate;
      break;
    }
  }
  for (const OptionDef& other : Options()) {
    if (status.needs || other.option == def.option || !options.Ticked(other.option) ||
        GreyedHere(other, singleSkinHost, compositionEnabled))
      continue;
    if (actsSomewhere(options.WithState(other.option, 0), def.option)) {
      status.contradictedBy = other.option;
      break;
    }
  }
  status.noEffect = !status.needs && !status.contradictedBy;
}

}  // namespace

OptionStatusModel::OptionStatusModel(const App& app) : app_(app) { Reload(); }

void OptionStatusModel::SetUnpacking() {
  notReady_ = StatusNotReady::Unpacking;
  judges_ = {};
  for (auto& runs : runs_) runs.reset();
}

void OptionStatusModel::Reload() {
  judges_ = {};
  for (auto& runs : runs_) runs.reset();
  templates_ = {};
  blank_ = {};
  if (app_.HostBinFolder.empty() || app_.HostVersion.empty()) {
    notReady_ = StatusNotReady::NoHost;
    return;
  }
  if (!IsTreeUsable(app_.Host())) {
    notReady_ = StatusNotReady::NotUnpacked;
    return;
  }
  notReady_.reset();
  // Each file once, however many runs list it.
  const std::string ui = app_.Host().Tree() + "\\ui\\";
  std::map<std::string, std::optional<std::string>> read;
  for (const bool classic : {false, true}) {
    for (const bool single : {false, true}) {
      Texts& texts = templates_[classic][single];
      size_t bytes = 0;
      for (const std::string& name : TemplatesOf(single, classic)) {
        auto it = read.find(name);
        if (it == read.end()) it = read.emplace(name, ReadUtf8File(app_.platform, ui + name)).first;
        texts.push_back(it->second);
        bytes += it->second ? it->second->size() : 0;
      }
      tooLarge_[classic][single] = bytes > kJudgedTemplateBytes;
      if (tooLarge_[classic][single]) blank_[classic][single] = Texts(texts.size());
    }
  }
}

const OptionStatusModel::Texts& OptionStatusModel::Judged(bool classic, bool single) const {
  return tooLarge_[classic][single] ? blank_[classic][single] : templates_[classic][single];
}

std::string_view OptionStatusModel::NotReadyKey(StatusNotReady why) {
  switch (why) {
    case StatusNotReady::NoHost:
      return "StatusNoHost";
    case StatusNotReady::NotUnpacked:
      return "StatusNotUnpacked";
    case StatusNotReady::Unpacking:
      return "StatusUnpacking";
  }
  return "StatusNotUnpacked";
}

std::string OptionStatusModel::NotReadyWords() const {
  if (!notReady_) return {};
  const std::string_view key = NotReadyKey(*notReady_);
  return Text(app_, key);
}

const std::string& OptionStatusModel::Say(std::string_view key) {
  if (saidLanguage_ != app_.LanguageName) {
    said_.clear();
    saidLanguage_ = app_.LanguageName;
  }
  auto it = said_.find(key);
  if (it == said_.end()) {
    it = said_.emplace(std::string(key), Text(app_, key)).first;
  }
  return it->second;
}

std::string OptionStatusModel::NameOf(Option option) {
  const OptionDef& def = Def(option);
  return "\"" + (def.captionKey.empty() ? std::string() : Say(def.captionKey)) + "\"";
}

std::vector<OptionStatusModel::Skin> OptionStatusModel::RunSkins(const OptionSnapshot& options, bool compositionEnabled,
                                                                 bool singleSkinHost) const {
  std::vector<Skin> skins;
  for (const bool classic : {false, true}) {
    if (classic && singleSkinHost) continue;
    const TweakInputs inputs{options, singleSkinHost, compositionEnabled};
    skins.push_back({classic, &Judged(classic, singleSkinHost),
                     TweakTextsWithNotes(templates_[classic][singleSkinHost], inputs, classic)});
  }
  return skins;
}

// Places not found, in words, per option.
OptionStatusModel::PlacesByOption OptionStatusModel::PlacesNotFound(const std::vector<Skin>& skins,
                                                                    bool singleSkinHost) {
  PlacesByOption notFound;
  for (const Skin& skin : skins) {
    const std::vector<std::string> names = TemplatesOf(singleSkinHost, skin.classic);
    const std::string& skinName = skin.classic ? Say("StatusSkinClassic") : Say("StatusSkinModern");
    for (size_t t = 0; t < skin.run.notes.size() && t < names.size(); ++t) {
      for (const EditNote& note : skin.run.notes[t]) {
        if (note.result != EditResult::NotFound) continue;
        const std::string_view file = FileName(names[t]);
        const auto row = std::find_if(std::begin(kPlaces), std::end(kPlaces), [&](const PlaceRow& r) {
          return r.file == file && (!r.option || *r.option == note.option);
        });
        std::string place = row == std::end(kPlaces) ? std::string(file) : Say(row->key);
        AddOnce(notFound[IndexOf(note.option)], Fill(place, {{"$skin", skinName}}));
      }
    }
  }
  return notFound;
}

// Contradictions: the pairs are kept while the fields and host stay.
OptionStatusModel::WinnersByOption OptionStatusModel::ContradictionWinners(const std::vector<Skin>& skins,
                                                                           const TweakInputs& inputs) {
  WinnersByOption winners;
  for (const Skin& skin : skins) {
    std::optional<ConflictJudge>& judge = judges_[skin.classic];
    if (!judge || !judge->Serves(inputs, skin.classic)) judge.emplace(*skin.judged, inputs, skin.classic);
    for (const OptionConflict& conflict : judge->ConflictsAmong(inputs.options))
      if (!winners[IndexOf(conflict.loser)]) winners[IndexOf(conflict.loser)] = conflict.winner;
  }
  return winners;
}

std::vector<TweakRuns*> OptionStatusModel::KeptRuns(const std::vector<Skin>& skins, bool singleSkinHost,
                                                    bool compositionEnabled) {
  std::vector<TweakRuns*> runs;
  for (const Skin& skin : skins) {
    std::optional<TweakRuns>& kept = runs_[skin.classic];
    if (!kept || kept->singleSkinHost != singleSkinHost || kept->compositionEnabled != compositionEnabled ||
        kept->Kept() > kKeptRuns)
      kept.emplace(*skin.judged, singleSkinHost, compositionEnabled, skin.classic);
    runs.push_back(&*kept);
  }
  return runs;
}

// Over the size limit the runs see no templates, so an edit that found its
// place counts as acting.
bool OptionStatusModel::EditedSomewhere(const std::vector<Skin>& skins, bool singleSkinHost, Option option) const {
  for (const Skin& skin : skins) {
    if (!tooLarge_[skin.classic][singleSkinHost]) continue;
    for (const EditNotes& notes : skin.run.notes)
      for (const EditNote& note : notes)
        if (note.option == option && note.result != EditResult::NotFound) return true;
  }
  return false;
}

// The words, one sentence per mark.
void OptionStatusModel::Describe(const OptionDef& def, OptionStatus& status) {
  std::vector<std::string>& sentences = status.sentences;
  if (status.greyed)
    sentences.push_back(*status.greyed == GreyReason::SingleSkinHost ? Say("StatusGreyedHost")
                                                                     : Say("StatusGreyedComposition"));
  for (const std::string& place : status.noPlace) sentences.push_back(Fill(Say("StatusNotFound"), {{"$place", place}}));
  if (status.noEffect && status.noPlace.empty()) sentences.push_back(Say("StatusIdle"));
  if (status.contradictedBy)
    sentences.push_back(Fill(Say("StatusContradicted"), {{"$option", NameOf(*status.contradictedBy)}}));
  if (status.needs) sentences.push_back(Fill(Say("StatusNeeds"), {{"$option", NameOf(*status.needs)}}));
  if (status.changedFromDefault)
    sentences.push_back(def.kind == OptionKind::Check
                            ? Say("StatusChanged")
                            : Fill(Say("StatusChangedField"), {{"$value", std::string(def.defaultValue)}}));
  for (const std::string& sentence : sentences) {
    if (!status.words.empty()) status.words += ' ';
    status.words += sentence;
  }
}

OptionStatuses OptionStatusModel::Compute(const OptionSnapshot& options, bool compositionEnabled, bool singleSkinHost) {
  OptionStatuses statuses;
  if (notReady_) return statuses;

  const std::vector<Skin> skins = RunSkins(options, compositionEnabled, singleSkinHost);
  const PlacesByOption notFound = PlacesNotFound(skins, singleSkinHost);
  const WinnersByOption winners = ContradictionWinners(skins, {options, singleSkinHost, compositionEnabled});
  const std::vector<TweakRuns*> runs = KeptRuns(skins, singleSkinHost, compositionEnabled);
  const auto actsSomewhere = [&](const OptionSnapshot& with, Option option) {
    return std::any_of(runs.begin(), runs.end(), [&](TweakRuns* r) { return Acts(*r, with, option); });
  };

  for (const OptionDef& def : Options()) {
    OptionStatus& status = statuses[IndexOf(def.option)];
    status.greyed = GreyedHere(def, singleSkinHost, compositionEnabled);
    status.changedFromDefault = ChangedFromDefault(def, options);
    const bool inUse = def.kind == OptionKind::Check ? options.Ticked(def.option) : status.changedFromDefault;
    if (!status.greyed && inUse) {
      if (!notFound[IndexOf(def.option)].empty()) {
        status.noEffect = true;
        status.noPlace = notFound[IndexOf(def.option)];
      } else if (winners[IndexOf(def.option)]) {
        status.contradictedBy = winners[IndexOf(def.option)];
      } else if (!actsSomewhere(options, def.option) && !EditedSomewhere(skins, singleSkinHost, def.option)) {
        FindWhyIdle(def, options, singleSkinHost, compositionEnabled, actsSomewhere, status);
      }
    }
    Describe(def, status);
  }
  return statuses;
}

}  // namespace rw
