// The tweak options of the main window: one row per option drives its
// control, caption, loading, saving, place and field check.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/option.h"
#include "stores/settings.h"

namespace rw {

struct App;
class OptionModel;

enum class OptionKind { Check, Text };
enum class Column { Left, Right };
/// Where a control sits in its row: a check box starts the row, text fields
/// stand at its right end (the font family field in the middle).
enum class Spot { Box, Middle, Right };
/// Which program state can disable the option.
enum class HostRule { None, HostDependent, Composition };
/// When SaveOptions writes the key.
enum class SaveRule { Always, WhileComposition, WhileTwoSkins };
/// How a field corrects its text when the focus leaves it (see
/// ui/field_checks.h); check boxes have none.
enum class FieldCheck { None, Width, BkgndTabWidth, FontFamily, FontSize };

struct OptionDef {
  Option option;
  OptionKind kind;
  std::string_view settingsKey;
  std::string_view defaultValue;
  std::string_view captionKey;      // empty for text fields
  std::string_view descriptionKey;  // language key of the plain-words explanation, for every row
  std::string_view marker;          // " *" modern skin only, " #" classic only
  Column column;
  int row;  // 1..19, from the top
  Spot spot;
  HostRule host;
  SaveRule saved;
  FieldCheck check;
};

inline constexpr int kRowsPerColumn = 19;

/// All options in load order, which is the order of Option.
std::span<const OptionDef> Options();
/// The row of one option.
const OptionDef& Def(Option option);
/// Its caption in the English built into the program, markers aside; empty
/// for text fields.
std::string EnglishCaption(const OptionDef& def);
/// Its caption in the chosen language in double quotes, as reports name an
/// option; "" for a text field.
std::string QuotedCaption(const App& app, Option option);
/// The options in the order SaveOptions writes their keys; stored settings
/// files keep this order.
std::span<const Option> SaveOrder();

/// The one rule for "greyed on this host": the host has only the modern skin
/// (`singleSkinHost`) and lacks what the option edits.
inline bool GreyedOnThisHost(const OptionDef& def, bool singleSkinHost) {
  return singleSkinHost && def.host == HostRule::HostDependent;
}

/// Reads every option from the settings file into the model. Unreadable
/// check states leave the box as it is; text is taken unchecked. Disables
/// the Aero status bar box when composition is off.
void LoadOptions(const App& app, OptionModel& model, bool compositionEnabled);

/// The keys and values SaveOptions writes, in save order.
std::vector<IniValue> SavedSettings(const App& app, const OptionModel& model, bool compositionEnabled);

/// Writes the options in save order; keys the save rules skip keep their
/// stored values.
void SaveOptions(const App& app, const OptionModel& model, bool compositionEnabled);

}  // namespace rw
