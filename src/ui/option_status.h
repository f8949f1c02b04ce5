// The live status of every option row: what the options as they stand now
// would do on this browser, found by running the engine in memory on the
// working tree as the preview does, each time a box or field changes. The
// window draws the marks; this only decides them and says them in words.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/conflicts.h"
#include "engine/option.h"
#include "engine/option_snapshot.h"

namespace rw {

struct App;
struct OptionDef;

/// Why a row is greyed on this browser.
enum class GreyReason : std::uint8_t {
  SingleSkinHost,  // host 3.0.15.300 has only the modern skin and lacks what the option edits
  NoComposition    // desktop composition is off
};

struct OptionStatus {
  /// The option finds nothing to change. `noPlace` holds the places its edits
  /// looked for and did not find, in words ("the toolbar of the classic
  /// skin"); when it is empty the option changes nothing with the other
  /// options as they are, and no single box would change that.
  bool noEffect = false;
  std::vector<std::string> noPlace;
  /// Another ticked option wins over this one: the rules of the two say so,
  /// or this one acts once that one is cleared.
  std::optional<Option> contradictedBy;
  /// This one changes nothing until that unticked box is ticked too.
  std::optional<Option> needs;
  std::optional<GreyReason> greyed;
  /// The state or text differs from the option table's default.
  bool changedFromDefault = false;
  /// One sentence per mark, in the chosen language, for the tooltip and the
  /// details line; empty without marks. The sentence of changedFromDefault
  /// comes last.
  std::vector<std::string> sentences;
  /// The sentences joined.
  std::string words;

  bool Marked() const { return noEffect || contradictedBy || needs || greyed || changedFromDefault; }
};

using OptionStatuses = std::array<OptionStatus, kOptionCount>;

/// Why no row shows a status yet.
enum class StatusNotReady : std::uint8_t {
  NoHost,       // no browser folder chosen yet
  NotUnpacked,  // the working tree is missing or not recorded as whole
  Unpacking     // the window says the tree is being unpacked now
};

class OptionStatusModel {
 public:
  /// Reads the working tree of the app's host if it is usable.
  explicit OptionStatusModel(const App& app);

  /// Reads the templates of both skins again (after an unpack, a re-point or
  /// an Apply); the only place the model reads files.
  void Reload();
  /// While the tree is being unpacked: no status until the next Reload.
  void SetUnpacking();

  /// Nullopt once the templates are read.
  std::optional<StatusNotReady> NotReady() const { return notReady_; }
  /// The language key of NotReady and its words, for the details line.
  static std::string_view NotReadyKey(StatusNotReady why);
  std::string NotReadyWords() const;

  /// The status of every option for the options as they stand. Every row is
  /// unmarked while NotReady. Runs the engine in memory only; the pair
  /// judgements are kept until the fields, the host or the tree change, so
  /// a click costs only the pairs of the box clicked.
  OptionStatuses Compute(const OptionSnapshot& options, bool compositionEnabled, bool singleSkinHost);

 private:
  using Texts = std::vector<std::optional<std::string>>;
  const std::string& Say(std::string_view key);
  std::string NameOf(Option option);

  // A skin of this host: the templates its judging sees and what the
  // tweaks' edits found.
  struct Skin {
    bool classic;
    const Texts* judged;
    TweakTextRun run;
  };
  using PlacesByOption = std::array<std::vector<std::string>, kOptionCount>;
  using WinnersByOption = std::array<std::optional<Option>, kOptionCount>;
  std::vector<Skin> RunSkins(const OptionSnapshot& options, bool compositionEnabled, bool singleSkinHost) const;
  PlacesByOption PlacesNotFound(const std::vector<Skin>& skins, bool singleSkinHost);
  WinnersByOption ContradictionWinners(const std::vector<Skin>& skins, const TweakInputs& inputs);
  std::vector<TweakRuns*> KeptRuns(const std::vector<Skin>& skins, bool singleSkinHost, bool compositionEnabled);
  bool EditedSomewhere(const std::vector<Skin>& skins, bool singleSkinHost, Option option) const;
  void Describe(const OptionDef& def, OptionStatus& status);

  const App& app_;
  std::optional<StatusNotReady> notReady_;
  // By [isClassic][singleSkinHost], in the order of TemplatesOf.
  std::array<std::array<Texts, 2>, 2> templates_;
  // Beyond a size the templates are judged by the style rules alone: the
  // judging runs see none.
  std::array<std::array<bool, 2>, 2> tooLarge_{};
  std::array<std::array<Texts, 2>, 2> blank_;
  const Texts& Judged(bool classic, bool single) const;
  // By isClassic; both refer to templates_.
  std::array<std::optional<ConflictJudge>, 2> judges_;
  std::array<std::optional<TweakRuns>, 2> runs_;
  std::string saidLanguage_;
  std::map<std::string, std::string, std::less<>> said_;
};

}  // namespace rw
