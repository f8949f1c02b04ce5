// Faults the fuzz targets in tests/fuzz found, each kept as a plain test.
#include <gtest/gtest.h>

#include <string_view>

#include "engine/lazy_pattern.h"

namespace rw {
namespace {

using namespace std::string_view_literals;

// pattern_fuzz: a NUL byte was taken for a special character and made the
// whole pattern invalid; it is a literal like any other byte.
TEST(FuzzFindings, NulByteInAPatternIsALiteral) {
  const LazyPattern nul("\0"sv);
  EXPECT_TRUE(nul.valid());
  EXPECT_EQ(nul.Find("ab\0c"sv), (Span{2, 3}));
  EXPECT_EQ(nul.Find("abc"), std::nullopt);

  const LazyPattern gap("a\0.*?b"sv);
  EXPECT_TRUE(gap.valid());
  EXPECT_EQ(gap.Find("xA\0yyB"sv), (Span{1, 6}));
}

}  // namespace
}  // namespace rw
