#include <gtest/gtest.h>

#include "ui/field_checks.h"
#include "ui/option_model.h"

namespace rw {
namespace {

TEST(WidthField, EmptyOrNonNumericGivesTheDefaultAndValuesAreBounded) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"50", "100"},      {"1000", "400"}, {"", "180"},      {"12a", "180"},     {"250.6", "250.6"},
      {" 250 ", " 250 "}, {"98.5", "100"}, {"99.5", "99.5"}, {"100.5", "100.5"}, {"400.5", "400.5"},
      {"400.6", "400"},   {"-5", "100"},   {"2e2", "2e2"},   {"5e2", "400"},     {"abc", "180"},
      {".", "180"},       {"1e", "180"},   {"+ 5", "180"},   {"0x10", "180"},    {"\t250\t", "250"},
  };
  for (const auto& [typed, result] : cases) EXPECT_EQ(CheckWidthField(typed, "180"), result) << '"' << typed << '"';
  EXPECT_EQ(CheckWidthField("", "200"), "200");
}

TEST(WidthField, NumbersBeyondSixteenBitsClampToTheBounds) {
  EXPECT_EQ(CheckWidthField("99999", "180"), "400");
  EXPECT_EQ(CheckWidthField("32767.5", "180"), "400");
  EXPECT_EQ(CheckWidthField("-99999", "180"), "100");
  EXPECT_EQ(CheckWidthField("1e999999999999", "200"), "400");
  EXPECT_EQ(CheckWidthField("-1e40", "200"), "100");
}

TEST(WidthField, LocaleFormsAreNotNumbers) {
  EXPECT_EQ(CheckWidthField("1,000", "180"), "180");
  EXPECT_EQ(CheckWidthField("250,5", "200"), "200");
  EXPECT_EQ(CheckWidthField("1 000", "180"), "180");
}

TEST(BkgndTabWidth, BoundedBySixteenAndTheTabWidthLimit) {
  EXPECT_EQ(CheckBkgndTabWidth("170", TabWidthLimit(true, "150")), "150");
  EXPECT_EQ(CheckBkgndTabWidth("170", TabWidthLimit(false, "150")), "170");
  EXPECT_EQ(CheckBkgndTabWidth("10", 180), "16");
  EXPECT_EQ(CheckBkgndTabWidth("", 180), "60");
  EXPECT_EQ(CheckBkgndTabWidth("wide", 180), "60");
  EXPECT_EQ(CheckBkgndTabWidth("181", 180), "180");
  EXPECT_EQ(CheckBkgndTabWidth("99999", 180), "180");
  EXPECT_EQ(CheckBkgndTabWidth("-99999", 180), "16");
  EXPECT_EQ(CheckBkgndTabWidth("150.4", 150), "150.4");
}

TEST(BkgndTabWidth, TheLimitFollowsTheTickedTabWidthFieldWhateverItHolds) {
  EXPECT_EQ(TabWidthLimit(false, "300"), 180);
  EXPECT_EQ(TabWidthLimit(true, "300"), 300);
  EXPECT_EQ(TabWidthLimit(true, "250.6"), 251);
  EXPECT_EQ(TabWidthLimit(true, "abc"), 180);
  EXPECT_EQ(TabWidthLimit(true, ""), 180);
  EXPECT_EQ(TabWidthLimit(true, "99999"), 400);
  EXPECT_EQ(TabWidthLimit(true, "-99999"), 100);
}

TEST(FontFields, FamilyLosesWhatEndsARuleAndSizeNeedsPixelsOrPoints) {
  EXPECT_EQ(CheckFontFamily(""), "Segoe UI, Tahoma");
  EXPECT_EQ(CheckFontFamily("  ,Arial,, "), "  ,Arial,, ");
  EXPECT_EQ(CheckFontFamily("\"Segoe UI\", Tahoma"), "Segoe UI, Tahoma");

  const std::vector<std::pair<std::string, std::string>> sizes = {
      {" 14 ", "14px"}, {"11pt", "11pt"},   {"11PT", "12px"},       {"11em", "12px"}, {"", "12px"},
      {"   ", "12px"},  {" 13px ", "13px"}, {"largept", "largept"}, {"1.5", "1.5px"}, {"x", "12px"},
  };
  for (const auto& [typed, result] : sizes) EXPECT_EQ(CheckFontSize(typed), result) << '"' << typed << '"';
  EXPECT_EQ(CheckFontSize("1px}*{display:none!important}i{x:1px"), "12px");
}

// Whatever a field is given, its check gives back what cannot leave the
// declaration it goes into, and what passes the check again unchanged.
TEST(FieldChecks, NoValueLeavesItsDeclaration) {
  const std::string pieces[] = {"1", ".5", "px", "pt", " ",  "\t", ",", "A",  "\xE5\xAE\x8B", "{",       "}",
                                ";", "<",  ">",  "\"", "\\", "/",  "*", "\n", "\x7F",         "\xC2\x9F"};
  const auto fits = [](const std::string& v) {
    return v.find_first_of("{};<>\"\\\n\t\x7F") == std::string::npos && v.find("/*") == std::string::npos &&
           v.find("*/") == std::string::npos && v.find("\xC2\x9F") == std::string::npos;
  };
  std::string (*const checks[])(std::string_view) = {CheckFontFamily, CheckFontSize,
                                                     [](std::string_view t) { return CheckWidthField(t, "180"); },
                                                     [](std::string_view t) { return CheckBkgndTabWidth(t, 180); }};
  for (std::uint32_t seed = 1; seed <= 5000; ++seed) {
    std::string typed;
    for (std::uint32_t n = seed % 8, r = seed; n > 0; --n)
      typed += pieces[((r = r * 1103515245u + 12345u) >> 16) % std::size(pieces)];
    for (auto check : checks) EXPECT_TRUE(fits(check(typed)) && check(check(typed)) == check(typed)) << typed;
    EXPECT_TRUE(!fits(typed) || typed.empty() || CheckFontFamily(typed) == typed) << typed;
  }
}

TEST(CheckField, UsesTheModelForTheTabWidthLimit) {
  OptionModel model;
  model.SetText(Option::MaxTabWidthText, "150");
  model.SetText(Option::BkgndTabWidthText, "170");
  EXPECT_EQ(CheckField(Option::BkgndTabWidthText, model), "170");
  model.SetState(Option::MaxTabWidth, 1);
  EXPECT_EQ(CheckField(Option::BkgndTabWidthText, model), "150");
  // Mixed is not ticked.
  model.SetState(Option::MaxTabWidth, 2);
  EXPECT_EQ(CheckField(Option::BkgndTabWidthText, model), "170");
  model.SetText(Option::MaxSearchWidthText, "");
  EXPECT_EQ(CheckField(Option::MaxSearchWidthText, model), "200");
}

}  // namespace
}  // namespace rw
