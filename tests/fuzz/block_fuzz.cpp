// The tweak block in index.css: removing the earlier block and appending the
// new one agrees with a plain search for the markers, keeps the text before
// the first block, and a second run changes nothing once the sheet holds just
// the one block. The same through ApplyTweaks on the test double, bytes to
// bytes, and the number reading of the option fields on the typed texts.
//
// Input: a flags byte, five bytes of check box states, five length bytes and
// the five field texts, then the sheet.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/apply_tweaks.h"
#include "engine/number_text.h"
#include "engine/option_snapshot.h"
#include "engine/tweak_block.h"
#include "fuzz/fuzz_support.h"
#include "stores/utf8_file.h"
#include "support/fake_platform.h"

namespace {

using rw::fuzz::Check;

constexpr size_t kMaxText = 64 * 1024;

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

size_t FindCaseless(std::string_view text, std::string_view what, size_t from) {
  for (size_t i = from; i + what.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < what.size() && Fold(text[i + k]) == Fold(what[k])) ++k;
    if (k == what.size()) return i;
  }
  return std::string_view::npos;
}

size_t CountCaseless(std::string_view text, std::string_view what) {
  size_t count = 0;
  for (size_t at = FindCaseless(text, what, 0); at != std::string_view::npos; at = FindCaseless(text, what, at + 1))
    ++count;
  return count;
}

// The first CR LF and opening marker, through the first marker after it.
std::string ExpectedSheet(std::string_view sheet, std::string_view block) {
  const std::string opening = "\r\n" + std::string(rw::kBlockMarker);
  const size_t start = FindCaseless(sheet, opening, 0);
  if (start != std::string_view::npos) {
    const size_t close = FindCaseless(sheet, rw::kBlockMarker, start + opening.size());
    if (close != std::string_view::npos)
      return std::string(sheet.substr(0, start)) + std::string(sheet.substr(close + rw::kBlockMarker.size())) +
             std::string(block);
  }
  return std::string(sheet) + std::string(block);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 11 || size > kMaxText) return 0;
  const uint8_t flags = data[0];
  auto states = rw::fuzz::StatesFrom(data + 1);
  std::string_view rest(reinterpret_cast<const char*>(data) + 11, size - 11);
  std::vector<std::pair<rw::Option, std::string>> texts;
  for (size_t i = 0; i < std::size(rw::fuzz::kTextFields); ++i) {
    const size_t length = std::min<size_t>(data[6 + i] % 24, rest.size());
    texts.emplace_back(rw::fuzz::kTextFields[i], std::string(rest.substr(0, length)));
    rest.remove_prefix(length);
  }
  const std::string_view sheet = rest;

  for (const auto& [field, text] : texts) {
    const auto number = rw::RoundToInt16(text);
    if (!rw::IsNumeric(text)) Check(!number);
    if (number) Check(rw::RoundToInt16(std::to_string(*number)) == number);
  }

  rw::OptionSnapshot options = states;
  for (const auto& [field, text] : texts) options = options.WithText(field, text);
  const bool classic = flags & 1;
  const rw::TweakInputs inputs{options, (flags & 2) != 0, (flags & 4) != 0};
  const std::string block = rw::BuildTweakBlock(inputs, classic);
  Check(block.starts_with("\r\n" + std::string(rw::kBlockMarker)) && block.ends_with(rw::kBlockMarker));
  // Whatever was typed into the fields, the block holds only its own two.
  Check(CountCaseless(block, rw::kBlockMarker) == 2);

  const std::string once = rw::SheetWithBlock(sheet, block);
  Check(once == ExpectedSheet(sheet, block));
  const std::string twice = rw::SheetWithBlock(once, block);
  if (CountCaseless(once, rw::kBlockMarker) == 2) Check(twice == once);

  // The whole first half of ApplyTweaks: bytes in, the sheet with its block
  // out, behind a byte-order mark; a sheet that is not UTF-8 throughout keeps
  // its bytes and its start. Large sheets are covered by the lines above.
  if (sheet.size() <= 4096) {
    rw::test::FakePlatform platform;
    const std::string path =
        std::string("C:\\Ravelwick\\Resource\\ui\\") + (classic ? "main.classic" : "main") + "\\index.css";
    platform.AddFile(path, std::string(sheet));
    rw::ApplyTweaks(platform, "C:\\Ravelwick", inputs, classic);
    std::string_view withoutBom = sheet;
    if (withoutBom.starts_with(rw::kUtf8Bom)) withoutBom.remove_prefix(rw::kUtf8Bom.size());
    const auto written = platform.Contents(path);
    const bool bom = rw::IsWellFormedUtf8(withoutBom) || sheet.starts_with(rw::kUtf8Bom);
    Check(written && *written == (bom ? std::string(rw::kUtf8Bom) : "") + rw::SheetWithBlock(withoutBom, block));
  }
  return 0;
}
