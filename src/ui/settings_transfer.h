// Carrying the options to another installation: export to a file in the
// settings file's own format, import from such a file (or from another
// installation's settings.ini) with a report, and the defaults. None of it
// needs a window, so the command line can do the same.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/option.h"
#include "pipeline/outcome.h"
#include "ui/named_looks_transfer.h"
#include "ui/option_model.h"
#include "ui/own_rules_transfer.h"

namespace rw {

struct App;

inline constexpr std::uint64_t kMaxImportBytes = 1024 * 1024;
inline constexpr std::string_view kExportFileName = "Ravelwick settings.ini";

enum class TransferStatus {
  Done,
  Unreadable,       // missing, a folder, or the system refused to read it
  TooLarge,         // over kMaxImportBytes: no settings file is
  NoSettings,       // none of the option keys nor "Language"
  OwnSettingsFile,  // an export over settings.ini, which only OK writes
  WriteFailed,
};

struct ExportResult {
  TransferStatus status = TransferStatus::Done;
  std::string path;
  std::string osError;  // why the write failed, in the system's words
};

/// The exported file's text: comment lines naming the program, the host
/// version and `time`, then section "General" with "Language" and the 43
/// option keys in save order; then section "Own rules" when there are any
/// (`ownRules`, or the files when not given), and section "Named looks" when
/// `namedLooks` holds any.
std::string ExportText(const App& app, const OptionModel& options, std::string_view time,
                       const OwnRulesPair* ownRules = nullptr, const std::vector<Look>* namedLooks = nullptr);

/// Writes ExportText as UTF-8 with a byte-order mark, through a temporary
/// file: a failure leaves whatever was at `path` as it was.
ExportResult ExportSettings(const App& app, const OptionModel& options, const std::string& path,
                            const OwnRulesPair* ownRules = nullptr, const std::vector<Look>* namedLooks = nullptr);

/// What the user is told about an export; empty when it was done.
std::string ExportMessage(const App& app, const ExportResult& result);

struct ValueCorrection {
  std::string key;
  std::string found;  // as the settings reader gives it
  std::string used;
  bool kept = false;  // a check state no one can read: the box stays as it was
};

struct ImportReport {
  TransferStatus status = TransferStatus::Done;
  std::string path;
  int taken = 0;  // options whose value came from the file
  std::vector<ValueCorrection> corrected;
  std::vector<std::string> cut;          // values longer than the reader returns
  std::vector<std::string> duplicated;   // keys given on more than one line
  std::vector<std::string> unknown;      // keys as spelled in the file
  std::vector<std::string> missing;      // option keys the file lacks
  std::vector<Option> greyed;            // ticked by the file, greyed out here
  std::string language;                  // taken from the file
  std::string languageNotInstalled;      // named by the file, without a file here
  std::vector<OwnRulesImport> ownRules;  // the skins the file has own rules for
  std::vector<NamedLookImport> namedLooks;
};

struct ImportResult {
  ImportReport report;
  /// The options the import began with, the file's values put in.
  OptionModel options;
  /// The language to switch to; empty to keep the current one.
  std::string language;
};

/// Reads `path` with the settings file's reader and puts each value through
/// the checks of loading (check boxes) and of leaving a field (text fields)
/// over `current`. What the file lacks, or holds as an unreadable check
/// state, keeps its value from `current`. Changes nothing anywhere.
ImportResult ReadSettingsForImport(const App& app, const std::string& path, const OptionModel& current);
/// The same over the stored options.
ImportResult ReadSettingsForImport(const App& app, const std::string& path);

/// A value as a report quotes it: control characters made visible, a long
/// one shortened.
std::string Shown(std::string_view text);

/// The report in the user's language: a refusal, or what was taken,
/// corrected, ignored and left as it was.
std::string ImportReportText(const App& app, const ImportReport& report);

/// The report as the main window shows it: nothing is saved before OK.
std::string ImportMessage(const App& app, const ImportReport& report);

/// The stored options as the main window loads them, with the boxes this
/// host and display grey out disabled.
OptionModel StoredOptions(const App& app);

/// Every option at its default value.
OptionModel DefaultOptions();

struct StoredImport {
  ImportResult imported;
  bool stored = false;
  std::string osError;
  FileChange ownRulesWritten = FileChange::Done();  // the taken own rules, into their files
};

/// An import straight into settings.ini (and the own rules it carries into
/// their files, the named looks among those kept here), as OK would store it
/// after an import in the window; nothing is written when the file was
/// refused.
StoredImport ImportIntoSettings(const App& app, const std::string& path);

/// The report and whether the settings file took it.
std::string StoredImportText(const App& app, const StoredImport& result);

/// The save that comes before an install: the fields of `options` checked as
/// leaving them checks them, then the options, and `language` unless empty,
/// written to settings.ini in one replacement. SettingsUnsaved, with the
/// system's words, when the file does not take them: installing anyway would
/// put on a look that the stored settings, and so the next /apply, take back.
PipelineResult SaveForInstall(const App& app, OptionModel& options, bool compositionEnabled,
                              std::string_view language = {});

}  // namespace rw
