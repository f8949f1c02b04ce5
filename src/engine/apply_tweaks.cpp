#include "engine/apply_tweaks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>

#include "engine/template_edits.h"
#include "engine/tweak_block.h"
#include "stores/sha256.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

using TemplateEdit = EditNotes (*)(std::string&, const TweakInputs&, bool);

struct TemplateRow {
  const char* name;  // below "ui\"; a leading '*' stands for the skin's folder
  TemplateEdit edit;
  bool singleSkinHostOnly;
};

constexpr std::array<TemplateRow, 6> kTemplates{{
    {"*navbar.htm", EditToolbarTemplate, false},
    {"*index.htm", EditWindowTemplate, false},
    {"*favbar.htm", EditFavBarTemplate, false},
    {"menus\\main.htm", EditMainMenuTemplate, false},
    {"main\\caption.css", EditCaptionSheet, true},
    {"main-menu\\style.css", EditMainMenuSheet, true},
}};

std::string SkinFolder(bool isClassic) { return isClassic ? "main.classic\\" : "main\\"; }

std::string NameOf(const TemplateRow& row, bool isClassic) {
  return row.name[0] == '*' ? SkinFolder(isClassic) + (row.name + 1) : std::string(row.name);
}

// "main\navbar.htm" -> "ui/main/navbar.htm", as reports name files.
std::string ReportedName(const std::string& belowUi) {
  std::string name = "ui/" + belowUi;
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

// A file's text is its bytes after a byte-order mark: the patterns are plain
// ASCII, so bytes that are not UTF-8 (a comment in another code page) need
// no decoding and stay as they are. A well-formed file is written back
// behind a byte-order mark; a fingerprint instead of a second copy of a
// large file tells whether that changes it.
struct TextRead {
  std::string text;
  bool hadBom;
  size_t size;
  size_t hash;
  std::optional<std::string> notUtf8;  // the text as read, when it is not UTF-8 throughout
};

std::optional<TextRead> ReadText(Platform& platform, const std::string& path) {
  std::optional<std::string> bytes = platform.files.ReadFile(path);
  if (!bytes) return std::nullopt;
  TextRead read{std::move(*bytes), false, 0, 0, std::nullopt};
  read.hadBom = read.text.starts_with(kUtf8Bom);
  if (read.hadBom) read.text.erase(0, kUtf8Bom.size());
  if (!IsWellFormedUtf8(read.text)) read.notUtf8 = read.text;
  read.size = read.text.size();
  read.hash = std::hash<std::string_view>{}(read.text);
  return read;
}

// Writes `text` back over what `read` found (nothing: a new file) and says
// whether the file's bytes changed. A file that is not UTF-8 throughout is
// the browser's own doing: it is written only when an edit changed its
// text, and keeps the start it had, so that every byte no edit touched stays.
bool WriteBack(Platform& platform, const std::string& path, const TextRead* read, std::string_view text) {
  if (read && read->notUtf8) {
    if (text == *read->notUtf8) return false;
    std::string bytes(read->hadBom ? kUtf8Bom : std::string_view());
    bytes.append(text);
    return WriteFileAtomic(platform, path, bytes).ok;
  }
  const bool changed =
      !read || !read->hadBom || text.size() != read->size || std::hash<std::string_view>{}(text) != read->hash;
  return WriteUtf8File(platform, path, text).ok && changed;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The rules each ticked box adds: the block's lines that are gone when the
// box alone is cleared. Rules that stand in every block belong to none.
// The own rules belong to no box and stand in both blocks alike: they are
// left out of the comparison.
void AttributeRules(const TweakInputs& inputs, bool isClassic, const std::string& sheet, TweakReport& report) {
  const std::vector<std::string> all =
      Lines(BuildTweakBlock({inputs.options, inputs.singleSkinHost, inputs.compositionEnabled}, isClassic));
  for (int i = 0; i < kOptionCount; ++i) {
    const auto option = static_cast<Option>(i);
    if (!inputs.options.Ticked(option)) continue;
    const OptionSnapshot without = inputs.options.WithState(option, 0);
    std::vector<std::string> others =
        Lines(BuildTweakBlock({without, inputs.singleSkinHost, inputs.compositionEnabled}, isClassic));
    std::string rules;
    for (const std::string& line : all) {
      const auto it = std::find(others.begin(), others.end(), line);
      if (it != others.end()) {
        others.erase(it);
        continue;
      }
      rules += line;
      rules += '\n';
    }
    if (!rules.empty()) report.effects.push_back({option, TweakEffect::Kind::Rules, EditResult::Made, sheet, rules});
  }
}

}  // namespace

std::vector<std::string> TemplatesOf(bool singleSkinHost, bool isClassic) {
  std::vector<std::string> names;
  for (const TemplateRow& row : kTemplates)
    if (!row.singleSkinHostOnly || singleSkinHost) names.push_back(NameOf(row, isClassic));
  return names;
}

namespace {

// The texts of one run; `notes`, when given, gets one list per template.
std::vector<std::optional<std::string>> RunInMemory(const std::vector<std::optional<std::string>>& templates,
                                                    const TweakInputs& inputs, bool isClassic,
                                                    std::vector<EditNotes>* notes) {
  std::vector<std::optional<std::string>> texts;
  texts.reserve(templates.size() + 1);
  texts.emplace_back(BuildTweakBlock(inputs, isClassic));
  size_t index = 0;
  for (const TemplateRow& row : kTemplates) {
    if (row.singleSkinHostOnly && !inputs.singleSkinHost) continue;
    if (index >= templates.size()) break;
    std::optional<std::string> text = templates[index++];
    if (text) {
      EditNotes made = row.edit(*text, inputs, isClassic);
      if (notes) notes->push_back(std::move(made));
    } else if (notes) {
      std::string nothing;
      EditNotes wanted = row.edit(nothing, inputs, isClassic);
      for (EditNote& note : wanted) note.result = EditResult::NotFound;
      notes->push_back(std::move(wanted));
    }
    texts.push_back(std::move(text));
  }
  return texts;
}

}  // namespace

std::vector<std::optional<std::string>> TweakTexts(const std::vector<std::optional<std::string>>& templates,
                                                   const TweakInputs& inputs, bool isClassic) {
  return RunInMemory(templates, inputs, isClassic, nullptr);
}

TweakTextRun TweakTextsWithNotes(const std::vector<std::optional<std::string>>& templates, const TweakInputs& inputs,
                                 bool isClassic) {
  TweakTextRun run;
  run.texts = RunInMemory(templates, inputs, isClassic, &run.notes);
  return run;
}

TweakReport ApplyTweaks(Platform& platform, const std::string& programFolder, const TweakInputs& inputs,
                        bool isClassic) {
  TweakReport report;
  const std::string ui = programFolder + "\\Resource\\ui\\";
  const auto unreadable = [&](const std::string& path, const std::string& name) {
    report.unreadable.push_back({ReportedName(name), platform.files.FileExists(path)});
  };

  // index.css: the earlier block goes, the new one is appended. A sheet that
  // exists but cannot be read is left alone rather than replaced by the
  // block alone.
  const std::string_view own = inputs.ownRules.For(isClassic);
  if (HasOwnRules(own)) {
    const OwnRulesCheck check = CheckOwnRules(own);
    report.ownRules.push_back({isClassic, own.size(), HexOf(Sha256(own)), check, false});
  }
  {
    const std::string name = SkinFolder(isClassic) + "index.css";
    const std::string path = ui + name;
    auto sheet = ReadText(platform, path);
    if (!sheet && platform.files.FileExists(path)) {
      unreadable(path, name);
    } else {
      const std::string content = SheetWithBlock(sheet ? std::string_view(sheet->text) : std::string_view(),
                                                 BuildTweakBlock(inputs, isClassic));
      if (sheet) std::string().swap(sheet->text);
      const bool written = WriteBack(platform, path, sheet ? &*sheet : nullptr, content);
      if (written) report.changedFiles.push_back(ReportedName(name));
      // Unchanged bytes hold them as well as written ones.
      if (!report.ownRules.empty())
        report.ownRules.back().used = report.ownRules.back().check.Ok() && (written || platform.files.FileExists(path));
      AttributeRules(inputs, isClassic, ReportedName(name), report);
    }
  }

  // Each template is read, edited and written back; one that cannot be read
  // is skipped, so it is never written from empty text.
  for (const TemplateRow& row : kTemplates) {
    if (row.singleSkinHostOnly && !inputs.singleSkinHost) continue;
    const std::string name = NameOf(row, isClassic);
    const std::string path = ui + name;
    auto read = ReadText(platform, path);
    if (!read) {
      unreadable(path, name);
      continue;
    }
    std::string& text = read->text;
    for (const EditNote& note : row.edit(text, inputs, isClassic))
      report.effects.push_back(
          {note.option, TweakEffect::Kind::Edit, note.result, ReportedName(name), std::string(note.anchor)});
    if (WriteBack(platform, path, &*read, text)) report.changedFiles.push_back(ReportedName(name));
  }
  return report;
}

}  // namespace rw
