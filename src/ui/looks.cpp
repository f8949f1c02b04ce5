#include "ui/looks.h"

#include <algorithm>
#include <charconv>

#include "app/app.h"
#include "app/program_settings.h"
#include "engine/number_text.h"
#include "stores/sha256.h"
#include "stores/text.h"
#include "stores/utf8_file.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/settings_transfer.h"

namespace rw {

namespace {

constexpr std::string_view kFirstLine = "Ravelwick look 1";
constexpr std::string_view kCheckKey = "Check=";
constexpr std::string_view kHistoryPrefix = "history-";
constexpr std::string_view kLookExtension = ".look";

// A value stays on its line whatever a hand-edited settings file held.
std::string OneLine(std::string_view text) {
  std::string line(text);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

std::string LooksFolder(const App& app) { return app.Path(kLooksFolder); }

// The sequence number of a history file's name; nullopt for other files.
std::optional<unsigned> HistoryNumber(std::string_view name) {
  if (!name.starts_with(kHistoryPrefix) || !name.ends_with(kLookExtension)) return std::nullopt;
  const std::string_view digits =
      name.substr(kHistoryPrefix.size(), name.size() - kHistoryPrefix.size() - kLookExtension.size());
  unsigned number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

// History file numbers, newest first.
std::vector<unsigned> HistoryNumbers(const App& app) {
  std::vector<unsigned> numbers;
  for (const std::string& name : app.platform.files.ListFiles(LooksFolder(app)))
    if (const std::optional<unsigned> number = HistoryNumber(name)) numbers.push_back(*number);
  std::sort(numbers.rbegin(), numbers.rend());
  return numbers;
}

std::string HistoryPath(const App& app, unsigned number) {
  std::string digits = std::to_string(number);
  if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
  return LooksFolder(app) + "\\" + std::string(kHistoryPrefix) + digits + std::string(kLookExtension);
}

// Reads one "Key=value" line or a counted block at `at`; false at a line
// that is neither.
bool ReadEntry(std::string_view text, std::size_t& at, Look& look) {
  const std::size_t end = text.find("\r\n", at);
  if (end == std::string_view::npos) return false;
  const std::string_view line = text.substr(at, end - at);
  at = end + 2;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key = line.substr(0, equals);
  const std::string value(line.substr(equals + 1));
  for (std::size_t i = 0; i < kOwnRulesFiles.size(); ++i) {
    if (key != "Rules." + std::to_string(i)) continue;
    std::size_t length = 0;
    const auto [stop, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc{} || stop != value.data() + value.size() || length > text.size() - at) return false;
    look.ownRules[i] = std::string(text.substr(at, length));
    at += length;
    if (text.substr(at, 2) != "\r\n") return false;
    at += 2;
    return true;
  }
  if (key == "Name") look.name = value;
  if (key == "Date") look.date = value;
  if (key == "HostVersion") look.hostVersion = value;
  if (key == "Archive") look.archiveHash = value;
  if (key.starts_with("Option.")) look.values.emplace_back(key.substr(7), value);
  return true;
}

}  // namespace

std::string Look::ValueOf(Option option) const {
  const OptionDef& def = Def(option);
  for (const auto& [key, value] : values)
    if (EqualsIgnoreCase(key, def.settingsKey)) return value;
  return std::string(def.defaultValue);
}

OptionSnapshot Look::Snapshot() const {
  OptionSnapshot snapshot;
  for (const OptionDef& def : Options()) {
    const std::string value = ValueOf(def.option);
    if (def.kind == OptionKind::Text) {
      snapshot = snapshot.WithText(def.option, value);
    } else if (const auto state = RoundToInt16(value); state && *state >= 0 && *state <= 2) {
      snapshot = snapshot.WithState(def.option, *state);
    }
  }
  return snapshot;
}

std::string LookText(const Look& look) {
  std::string text = std::string(kFirstLine) + "\r\n";
  const auto line = [&text](std::string_view key, std::string_view value) {
    text += std::string(key) + "=" + OneLine(value) + "\r\n";
  };
  if (!look.name.empty()) line("Name", look.name);
  line("Date", look.date);
  line("HostVersion", look.hostVersion);
  if (!look.archiveHash.empty()) line("Archive", look.archiveHash);
  for (const auto& [key, value] : look.values) line("Option." + key, value);
  for (std::size_t i = 0; i < look.ownRules.size(); ++i) {
    line("Rules." + std::to_string(i), std::to_string(look.ownRules[i].size()));
    text += look.ownRules[i] + "\r\n";
  }
  return text + std::string(kCheckKey) + HexOf(Sha256(text)) + "\r\n";
}

std::optional<Look> ParseLook(std::string_view text) {
  const std::size_t check = text.rfind(kCheckKey);
  if (check == std::string_view::npos || !text.starts_with(std::string(kFirstLine) + "\r\n")) return std::nullopt;
  if (text.substr(check) != std::string(kCheckKey) + HexOf(Sha256(text.substr(0, check))) + "\r\n") return std::nullopt;
  Look look;
  std::size_t at = kFirstLine.size() + 2;
  while (at < check)
    if (!ReadEntry(text.substr(0, check), at, look)) return std::nullopt;
  return look;
}

Look LookOf(const App& app, const OptionSnapshot& options) {
  Look look;
  look.date = NowUtc();
  look.hostVersion = app.HostVersion;
  for (const Option option : SaveOrder()) {
    const OptionDef& def = Def(option);
    look.values.emplace_back(
        def.settingsKey, def.kind == OptionKind::Text ? options.Text(option) : std::to_string(options.State(option)));
  }
  for (std::size_t i = 0; i < kOwnRulesFiles.size(); ++i)
    look.ownRules[i] = ReadUtf8File(app.platform, app.Path(kOwnRulesFiles[i])).value_or("");
  return look;
}

Look StoredLook(const App& app) { return LookOf(app, StoredOptions(app).Snapshot()); }

FileChange RecordLook(const App& app, const OptionSnapshot& options) {
  FileSystem& files = app.platform.files;
  Look look = LookOf(app, options);
  const std::optional<std::string> archive = files.ReadFile(app.Host().HostArchive());
  if (archive) look.archiveHash = HexOf(Sha256(*archive));
  if (!files.FolderExists(LooksFolder(app)))
    if (FileChange made = files.CreateFolder(LooksFolder(app)); !made) return made;
  std::vector<unsigned> numbers = HistoryNumbers(app);
  const unsigned next = numbers.empty() ? 1 : numbers.front() + 1;
  FileChange written = WriteFileAtomic(app.platform, HistoryPath(app, next), LookText(look));
  if (!written) return written;
  // The new entry counts as one of those kept.
  for (std::size_t i = kHistoryLength - 1; i < numbers.size(); ++i) files.RemoveFile(HistoryPath(app, numbers[i]));
  return written;
}

LookShelf ReadHistory(const App& app) {
  LookShelf shelf;
  for (const unsigned number : HistoryNumbers(app)) {
    const std::string path = HistoryPath(app, number);
    const std::optional<std::string> text = app.platform.files.ReadFile(path);
    std::optional<Look> look = text ? ParseLook(*text) : std::nullopt;
    if (look)
      shelf.looks.push_back(std::move(*look));
    else
      shelf.damaged.push_back(path);
  }
  return shelf;
}

std::optional<std::string> PutLookInPlace(const App& app, const Look& look) {
  std::vector<IniValue> values;
  for (const Option option : SaveOrder()) values.emplace_back(Def(option).settingsKey, look.ValueOf(option));
  const FileChange saved = WriteIniValues(app.platform, app.SettingsPath(), values);
  app.files.Forget(app.SettingsPath());
  if (!saved) return app.SettingsPath() + (saved.osError.empty() ? "" : ": " + saved.osError);
  return PutOwnRulesInPlace(app, look);
}

std::optional<std::string> PutOwnRulesInPlace(const App& app, const Look& look) {
  FileSystem& files = app.platform.files;
  for (std::size_t i = 0; i < kOwnRulesFiles.size(); ++i) {
    const std::string path = app.Path(kOwnRulesFiles[i]);
    FileChange change = FileChange::Done();
    if (look.ownRules[i].empty()) {
      if (files.FileExists(path)) change = files.RemoveFile(path);
    } else {
      const std::string folder = path.substr(0, path.rfind('\\'));
      if (!files.FolderExists(folder)) change = files.CreateFolder(folder);
      if (change) change = WriteUtf8File(app.platform, path, look.ownRules[i]);
    }
    if (!change) return path + (change.osError.empty() ? "" : ": " + change.osError);
  }
  return std::nullopt;
}

OptionModel ModelOf(const Look& look) {
  const OptionSnapshot snapshot = look.Snapshot();
  OptionModel model;
  for (const OptionDef& def : Options()) {
    model.SetState(def.option, snapshot.State(def.option));
    model.SetText(def.option, snapshot.Text(def.option));
  }
  return model;
}

std::vector<Option> Differences(const Look& look, const OptionSnapshot& current) {
  const OptionSnapshot theirs = look.Snapshot();
  std::vector<Option> differing;
  for (const OptionDef& def : Options())
    if (theirs.State(def.option) != current.State(def.option) || theirs.Text(def.option) != current.Text(def.option))
      differing.push_back(def.option);
  return differing;
}

}  // namespace rw
