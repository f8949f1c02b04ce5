#include "ui/settings_transfer.h"

#include <algorithm>

#include "app/app.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "engine/number_text.h"
#include "platform/canonical_path.h"
#include "stores/profile.h"
#include "stores/settings.h"
#include "stores/text.h"
#include "stores/utf8_file.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/field_checks.h"

namespace rw {

namespace {

const std::string_view kLanguageKey = KeyOf(ProgramSetting::Language);
// How much of a value, and how many names of a list, a report shows.
constexpr std::size_t kShownCharacters = 40;
constexpr std::size_t kShownNames = 20;

std::string Joined(const App& app, const std::vector<std::string>& names) {
  std::string out;
  for (std::size_t i = 0; i < names.size() && i < kShownNames; ++i) out += (i ? ", " : "") + names[i];
  if (names.size() > kShownNames)
    out += " " + Fill(Text(app, "ImportMore"), {{"$count", std::to_string(names.size() - kShownNames)}});
  return out;
}

// A line break inside a value would end it early and start a line of its own.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

bool GreyedHere(const App& app, const OptionModel& current, const OptionDef& def) {
  return !current.Enabled(def.option) || GreyedOnThisHost(def, app.SingleSkinHost);
}

// A name that can only be a file in the Languages folder.
bool InstalledLanguage(const App& app, std::string_view name) {
  if (name.find_first_of("\\/:") != std::string_view::npos) return false;
  return app.platform.files.FileExists(LanguageFilePath(app.programFolder, name));
}

// Stamped before reading, so that a huge file is never read. Nullopt, with
// the report's status set, when it is not read.
std::optional<std::string> ReadWithinLimit(Platform& platform, const std::string& path, FileCache& cache,
                                           ImportReport& report) {
  const auto refuse = [&](TransferStatus status) {
    report.status = status;
    return std::optional<std::string>();
  };
  const std::optional<FileStamp> stamp = platform.files.StampOf(path);
  if (!stamp) return refuse(TransferStatus::Unreadable);
  if (stamp->size > kMaxImportBytes) return refuse(TransferStatus::TooLarge);
  std::optional<std::string> bytes = cache.Read(platform, path);
  if (!bytes) return refuse(TransferStatus::Unreadable);
  if (bytes->size() > kMaxImportBytes) return refuse(TransferStatus::TooLarge);
  return bytes;
}

bool IsOptionKey(std::string_view key) {
  return std::any_of(Options().begin(), Options().end(),
                     [&](const OptionDef& def) { return EqualsIgnoreCase(def.settingsKey, key); });
}

// Notes the keys that are unknown, given twice or cut; false when none is
// an option or the language.
bool NoteKeys(const std::vector<IniKey>& keys, ImportReport& report) {
  bool holdsSettings = false;
  for (const IniKey& key : keys) {
    const bool option = IsOptionKey(key.name);
    const bool language = EqualsIgnoreCase(key.name, kLanguageKey);
    holdsSettings = holdsSettings || option || language;
    if (!option && !language) {
      // This computer's own keys are never carried, and never unknown.
      if (!IsThisComputersOwn(key.name)) report.unknown.push_back(key.name);
      continue;
    }
    if (key.lines > 1) report.duplicated.push_back(key.name);
    if (key.cut) report.cut.push_back(key.name);
  }
  return holdsSettings;
}

// The file being imported: its keys, and its values read through one cache.
struct ImportFile {
  Platform& platform;
  const std::string& path;
  FileCache& cache;
  std::vector<IniKey> keys;

  bool Has(std::string_view key) const {
    return std::any_of(keys.begin(), keys.end(), [&](const IniKey& k) { return EqualsIgnoreCase(k.name, key); });
  }
  std::string Read(std::string_view key) { return ReadIniValue(platform, path, key, "", &cache); }
};

void TakeOption(const App& app, const OptionModel& current, ImportFile& file, Option option, ImportResult& result) {
  const OptionDef& def = Def(option);
  ImportReport& report = result.report;
  OptionModel& options = result.options;
  if (!file.Has(def.settingsKey)) {
    report.missing.emplace_back(def.settingsKey);
    return;
  }
  const auto correct = [&](const std::string& found, const std::string& used, bool kept) {
    if (found != used) report.corrected.push_back({std::string(def.settingsKey), found, used, kept});
  };
  const std::string found = file.Read(def.settingsKey);
  const std::string value = found.empty() ? std::string(def.defaultValue) : found;
  if (def.kind == OptionKind::Text) {
    options.SetText(option, value);
    options.SetText(option, CheckField(option, options));
    correct(found, options.Text(option), false);
    ++report.taken;
    return;
  }
  // As loading does: a state it cannot read leaves the box as it was.
  const auto state = RoundToInt16(value);
  const bool readable = state && *state >= 0 && *state <= 2;
  if (readable) {
    options.SetState(option, *state);
    ++report.taken;
    if (*state != 0 && GreyedHere(app, current, def)) report.greyed.push_back(option);
  }
  correct(found, std::to_string(options.State(option)), !readable);
}

void TakeLanguage(const App& app, ImportFile& file, ImportResult& result) {
  if (!file.Has(kLanguageKey)) return;
  const std::string name = file.Read(kLanguageKey);
  if (!InstalledLanguage(app, name)) {
    result.report.languageNotInstalled = name;
  } else if (app.platform.system.LowerCase(name) != app.platform.system.LowerCase(app.LanguageName)) {
    result.report.language = result.language = name;
  }
}

}  // namespace

// A value as a report quotes it: control characters made visible, long ones
// shortened without splitting a character.
std::string Shown(std::string_view text) {
  std::string out = "\"";
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80 && ++characters > kShownCharacters) {
      out += "...";
      break;
    }
    out += byte < 0x20 || byte == 0x7F ? '?' : text[i];
  }
  return out + "\"";
}

std::string ExportText(const App& app, const OptionModel& options, std::string_view time, const OwnRulesPair* ownRules,
                       const std::vector<Look>* namedLooks) {
  std::string text;
  const auto line = [&](const std::string& content) { text += content + "\r\n"; };
  line("; Ravelwick settings, exported by Ravelwick " + app.AppVersion);
  line("; Maxthon " + (app.HostVersion.empty() ? std::string("version unknown") : app.HostVersion));
  line("; " + std::string(time));
  line("[" + std::string(kGeneralSection) + "]");
  line(std::string(kLanguageKey) + "=" + app.LanguageName);
  for (Option option : SaveOrder()) {
    const OptionDef& def = Def(option);
    line(std::string(def.settingsKey) + "=" +
         (def.kind == OptionKind::Text ? OneLine(options.Text(option)) : std::to_string(options.State(option))));
  }
  text += OwnRulesExportText(ownRules ? *ownRules : ReadBothOwnRules(app.platform, app.programFolder));
  if (namedLooks) text += NamedLooksExportText(*namedLooks);
  return text;
}

ExportResult ExportSettings(const App& app, const OptionModel& options, const std::string& path,
                            const OwnRulesPair* ownRules, const std::vector<Look>* namedLooks) {
  ExportResult result{TransferStatus::Done, path, {}};
  // Replacing settings.ini would save the window before OK and drop the keys
  // that belong to this computer.
  if (SameFileOrFolder(app.platform, path, app.SettingsPath())) {
    result.status = TransferStatus::OwnSettingsFile;
    return result;
  }
  if (const FileChange written =
          WriteUtf8File(app.platform, path, ExportText(app, options, NowUtc(), ownRules, namedLooks));
      !written) {
    result.status = TransferStatus::WriteFailed;
    result.osError = written.osError;
  }
  app.files.Forget(path);
  return result;
}

std::string ExportMessage(const App& app, const ExportResult& result) {
  std::string text;
  if (result.status == TransferStatus::OwnSettingsFile)
    text = Text(app, "ExportOwnSettings");
  else if (result.status == TransferStatus::WriteFailed)
    text = Text(app, "ExportFailed");
  text = Fill(text, {{"$file", result.path}});
  if (!result.osError.empty()) text += "\r\n\r\n" + result.osError;
  return text;
}

ImportResult ReadSettingsForImport(const App& app, const std::string& path, const OptionModel& current) {
  ImportResult result{{}, current, {}};
  ImportReport& report = result.report;
  report.path = path;
  FileCache cache;
  const std::optional<std::string> bytes = ReadWithinLimit(app.platform, path, cache, report);
  if (!bytes) return result;
  ImportFile file{app.platform, path, cache, ReadIniKeys(app.platform, path, &cache)};
  if (!NoteKeys(file.keys, report)) {
    report.status = TransferStatus::NoSettings;
    return result;
  }
  report.ownRules = ReadOwnRulesSection(*bytes);
  report.namedLooks = ReadNamedLooksSection(*bytes);
  // Boxes first: the background tab width is checked against the tab width box.
  for (const OptionKind kind : {OptionKind::Check, OptionKind::Text})
    for (Option option : SaveOrder())
      if (Def(option).kind == kind) TakeOption(app, current, file, option, result);
  TakeLanguage(app, file, result);
  return result;
}

ImportResult ReadSettingsForImport(const App& app, const std::string& path) {
  return ReadSettingsForImport(app, path, StoredOptions(app));
}

std::string ImportReportText(const App& app, const ImportReport& report) {
  std::string_view key;
  switch (report.status) {
    case TransferStatus::Unreadable:
      key = "ImportUnreadable";
      break;
    case TransferStatus::TooLarge:
      key = "ImportTooLarge";
      break;
    case TransferStatus::NoSettings:
      key = "ImportNoSettings";
      break;
    case TransferStatus::Done:
    case TransferStatus::OwnSettingsFile:
    case TransferStatus::WriteFailed:
      key = "ImportTaken";
      break;
  }
  std::string text = Fill(
      Text(app, key),
      {{"$count", std::to_string(report.taken)}, {"$total", std::to_string(kOptionCount)}, {"$file", report.path}});
  if (report.status != TransferStatus::Done) return text;

  const auto list = [&](std::string_view key, const std::vector<std::string>& names) {
    if (!names.empty()) text += "\r\n" + Text(app, key) + " " + Joined(app, names);
  };
  if (!report.corrected.empty()) {
    text += "\r\n" + Text(app, "ImportCorrected");
    for (std::size_t i = 0; i < report.corrected.size() && i < kShownNames; ++i) {
      const ValueCorrection& c = report.corrected[i];
      text += "\r\n    " + c.key + ": " + Shown(c.found) + " -> " + Shown(c.used);
      if (c.kept) text += " " + Text(app, "ImportKept");
    }
  }
  list("ImportCut", report.cut);
  list("ImportDuplicated", report.duplicated);
  list("ImportUnknown", report.unknown);
  list("ImportMissing", report.missing);
  std::vector<std::string> greyed;
  for (Option option : report.greyed) greyed.push_back(QuotedCaption(app, option));
  list("ImportGreyed", greyed);
  if (!report.language.empty()) text += "\r\n" + Fill(Text(app, "ImportLanguage"), {{"$language", report.language}});
  if (!report.languageNotInstalled.empty())
    text += "\r\n" + Fill(Text(app, "ImportNoLanguage"), {{"$language", Shown(report.languageNotInstalled)}});
  if (!report.ownRules.empty()) text += "\r\n" + OwnRulesImportText(app, report.ownRules);
  if (const std::string looks = NamedLooksImportText(app, report.namedLooks); !looks.empty()) text += "\r\n" + looks;
  return text;
}

std::string ImportMessage(const App& app, const ImportReport& report) {
  std::string text = ImportReportText(app, report);
  const bool looksTaken =
      std::any_of(report.namedLooks.begin(), report.namedLooks.end(),
                  [](const NamedLookImport& look) { return look.status == LookImportStatus::Taken; });
  if (report.status == TransferStatus::Done)
    text += "\r\n\r\n" + Text(app, looksTaken ? "ImportNotSavedLooksKept" : "ImportNotSaved");
  return text;
}

OptionModel StoredOptions(const App& app) {
  OptionModel options;
  LoadOptions(app, options, app.platform.desktop.IsCompositionEnabled());
  for (const OptionDef& def : Options())
    if (def.host == HostRule::HostDependent) options.SetEnabled(def.option, !GreyedOnThisHost(def, app.SingleSkinHost));
  return options;
}

OptionModel DefaultOptions() {
  OptionModel options;
  for (const OptionDef& def : Options()) {
    if (def.kind == OptionKind::Text)
      options.SetText(def.option, def.defaultValue);
    else
      options.SetState(def.option, RoundToInt16(def.defaultValue).value_or(0));
  }
  return options;
}

StoredImport ImportIntoSettings(const App& app, const std::string& path) {
  StoredImport out{ReadSettingsForImport(app, path), false, {}};
  if (out.imported.report.status != TransferStatus::Done) return out;
  std::vector<IniValue> values = SavedSettings(app, out.imported.options, app.platform.desktop.IsCompositionEnabled());
  if (!out.imported.language.empty()) values.emplace_back(kLanguageKey, out.imported.language);
  const FileChange stored = WriteIniValues(app.platform, app.SettingsPath(), values);
  out.stored = stored.ok;
  out.osError = stored.osError;
  app.files.Forget(app.SettingsPath());
  const std::vector<OwnRulesImport>& own = out.imported.report.ownRules;
  if (out.stored && !own.empty())
    out.ownRulesWritten = WriteBothOwnRules(app.platform, app.programFolder,
                                            WithImported(ReadBothOwnRules(app.platform, app.programFolder), own));
  if (out.stored) TakeNamedLooks(app, out.imported.report.namedLooks);
  return out;
}

std::string StoredImportText(const App& app, const StoredImport& result) {
  std::string text = ImportReportText(app, result.imported.report);
  if (result.imported.report.status != TransferStatus::Done) return text;
  text += "\r\n\r\n" + Fill(result.stored ? Text(app, "ImportStored") : Text(app, "ImportStoreFailed"),
                            {{"$file", app.SettingsPath()}});
  if (!result.stored && !result.osError.empty()) text += "\r\n\r\n" + result.osError;
  if (!result.ownRulesWritten)
    text += "\r\n\r\n" + Fill(Text(app, "OwnRulesNotSaved"), {{"$folder", app.Path(kOwnRulesFolder)}}) +
            (result.ownRulesWritten.osError.empty() ? "" : "\r\n" + result.ownRulesWritten.osError);
  return text;
}

PipelineResult SaveForInstall(const App& app, OptionModel& options, bool compositionEnabled,
                              std::string_view language) {
  options = WithEveryFieldChecked(std::move(options));
  std::vector<IniValue> values = SavedSettings(app, options, compositionEnabled);
  if (!language.empty()) values.emplace_back(kLanguageKey, std::string(language));
  FileChange written = WriteIniValues(app.platform, app.SettingsPath(), values);
  app.files.Forget(app.SettingsPath());
  if (!written) return {Outcome::SettingsUnsaved, app.SettingsPath(), std::move(written.osError)};
  return {};
}

}  // namespace rw
