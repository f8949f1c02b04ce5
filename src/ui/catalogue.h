// The 43 tweak options of the main window: one table drives the controls,
// their captions, loading, saving and the window layout.
#pragma once

#include <span>
#include <string_view>

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
enum class SaveRule { Always, WhileComposition, WhileNotHost3015300 };

struct OptionDef {
  std::string_view control;
  OptionKind kind;
  std::string_view settingsKey;
  std::string_view defaultValue;
  std::string_view captionKey;      // empty for text fields
  std::string_view englishCaption;  // design-time caption; empty for text fields
  std::string_view marker;          // " *" modern skin only, " #" classic only
  Column column;
  int row;  // 1..19, from the top
  Spot spot;
  HostRule host;
  SaveRule saved;
};

inline constexpr int kOptionCount = 43;
inline constexpr int kRowsPerColumn = 19;

/// All options in load order.
std::span<const OptionDef> Options();
/// Settings keys in the order SaveOptions writes them.
std::span<const std::string_view> SaveOrder();
/// The option with this control name, or nullptr.
const OptionDef* FindOption(std::string_view control);

/// Reads every option from the settings file into the model. Unreadable
/// check states leave the box as it is; text is taken unchecked. Disables
/// chkAeroStatusBar when composition is off.
void LoadOptions(const App& app, OptionModel& model, bool compositionEnabled);

/// Writes the options in save order; keys the save rules skip keep their
/// stored values.
void SaveOptions(const App& app, const OptionModel& model, bool compositionEnabled);

}  // namespace rw
