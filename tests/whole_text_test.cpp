// Whole-number text.

#include "runtime/whole_text.hpp"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(WholeText, SignDigitsAndNoPadding) {
  struct Case {
    std::int32_t value;
    const char* text;
  };
  const Case cases[] = {
      {0, "0"},
      {7, "7"},
      {-7, "-7"},
      {42, "42"},
      {1000, "1000"},  // inner zeros kept
      {-1000, "-1000"},
      {INT32_MAX, "2147483647"},
      {INT32_MIN, "-2147483648"},  // its magnitude has no positive 32-bit form
      {INT32_MIN + 1, "-2147483647"},
  };
  for (const Case& c : cases) EXPECT_EQ(runtime::wholeText(c.value), c.text) << c.value;
}

}  // namespace
