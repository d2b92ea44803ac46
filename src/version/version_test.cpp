#include "version/version.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ParseCase {
  std::u16string text;
  VersionList parsed;
  bool meets_minimum;
};

TEST(VersionTest, ParsesAndComparesAgainstTheMinimum) {
  const ParseCase cases[] = {
      {u"1.6", {1, 6}, true},
      {u"1.5", {1, 5}, true},
      {u"1.5.0_06", {1, 5, 0, 6}, true},
      {u"1.4.2_10", {1, 4, 2, 10}, false},
      {u"1.10", {1, 10}, true},
      {u"2", {2}, true},
      {u"1", {1}, false},
      {u"0.9.9", {0, 9, 9}, false},
      {u"", {}, false},
      {u"abc", {}, false},
      {u"v1.6", {1, 6}, true},
      {u"..1..5..", {1, 5}, true},
      {u"01.005", {1, 5}, true},
      {u"1-5", {1, 5}, true},
      {u"-1.+6", {1, 6}, true},  // neither sign makes a number negative
      {u"1 6", {1, 6}, true},
      {std::u16string(u"1\0"
                      u"6",
                      3),
       {1, 6},
       true},                       // a NUL separates; it does not end the text
      {u"1\u00B26", {1, 6}, true},  // superscript two is no digit
      {u"1\u00BD5", {1, 5}, true},
      {u"1\u0665"
       u"5",
       {1, 5},
       true},                    // nor is an Arabic-Indic digit
      {u"1\uFF15", {1}, false},  // nor a full-width five
      {u"2147483647.0", {2147483647, 0}, true},
      {u"2147483648.0", {2147483647, 0}, true},
      {u"1.4.2147483648", {1, 4, 2147483647}, false},
      {u"1.4.99999999999999999999", {1, 4, 2147483647}, false},
      {u"99999999999999999999.3", {2147483647, 3}, true},  // saturation leaves later parts alone
      {u"0000000000000000000000001.5", {1, 5}, true},      // leading zeros never overflow
      {u"1.5.0-ea+b12", {1, 5, 0, 12}, true},
  };
  for (const ParseCase& c : cases) {
    const std::string name(c.text.begin(), c.text.end());
    EXPECT_EQ(ParseVersion(c.text), c.parsed) << "text: " << name;
    EXPECT_EQ(MeetsMinimumVersion(kMinimumVersion, ParseVersion(c.text)), c.meets_minimum)
        << "text: " << name;
  }
}

TEST(VersionTest, ComparesComponentByComponentWithoutPadding) {
  struct Case {
    VersionList minimum, found;
    bool meets;
  };
  const Case cases[] = {
      {{}, {}, true},
      {{}, {3}, true},
      {{1, 5}, {1, 5, 0}, true},
      {{1, 5, 0}, {1, 5}, false},
      {{1, 5}, {1, 4, 99}, false},
      {{1, 5}, {1, 6, 0, 0}, true},
      {{1, 5}, {}, false},
      {{1, 5}, {2, 0}, true},
      {{0}, {-1}, false},  // signed comparison
      {{-5}, {-4}, true},
      {{1, 5}, {1, -2147483647 - 1}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MeetsMinimumVersion(c.minimum, c.found), c.meets)
        << "minimum " << ::testing::PrintToString(c.minimum) << ", found "
        << ::testing::PrintToString(c.found);
  }
}

TEST(VersionTest, MinimumIsOnePointFive) {
  EXPECT_EQ(kMinimumVersion, (VersionList{1, 5}));
}

}  // namespace
