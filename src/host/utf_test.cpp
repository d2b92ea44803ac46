#include "host/utf.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(Utf8Test, DecodesValidTextAndEscapesEveryOtherByte) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"C:\\Java", u"C:\\Java"},
      {"J\xC3\xA4va", u"J\u00E4va"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"a\xFFz", u"a\xDCFFz"},
      {"\xC3", u"\xDCC3"},                                // cut short
      {"\xC0\xAF", u"\xDCC0\xDCAF"},                      // overlong
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // above U+10FFFF
      {"\x80", u"\xDC80"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << c.bytes;
}

TEST(Utf8Test, EveryByteStringSurvivesTheRoundTrip) {
  std::string all;
  for (int i = 1; i < 256; ++i) all.push_back(static_cast<char>(i));
  for (int i = 0x80; i < 256; ++i) all += std::string("\xE2") + static_cast<char>(i);
  EXPECT_EQ(EncodeUtf8(DecodeUtf8(all), LoneSurrogates::kRestoreBytes), all);
}

TEST(Utf8Test, WritesOtherLoneSurrogatesAsReplacement) {
  EXPECT_EQ(EncodeUtf8(u"a\xD800z", LoneSurrogates::kRestoreBytes), "a\xEF\xBF\xBDz");
  EXPECT_EQ(EncodeUtf8(u"\xDFFF", LoneSurrogates::kRestoreBytes), "\xEF\xBF\xBD");
  EXPECT_EQ(EncodeUtf8(u"\xDC80", LoneSurrogates::kReplace), "\xEF\xBF\xBD");
  EXPECT_EQ(EncodeUtf8(u"\xD83D\xDE00", LoneSurrogates::kReplace), "\xF0\x9F\x98\x80");
}

TEST(Utf8Test, EncodesInChunksWithoutSplittingACharacter) {
  const std::u16string text = u"ab\U0001F600\u20AC";
  std::u16string_view rest = text;
  char out[5];
  EXPECT_EQ(EncodeUtf8(&rest, LoneSurrogates::kReplace, out, sizeof out),
            2u);  // no room for 4 more
  EXPECT_EQ(rest.size(), 3u);
  EXPECT_EQ(EncodeUtf8(&rest, LoneSurrogates::kReplace, out, sizeof out), 4u);
  EXPECT_EQ(EncodeUtf8(&rest, LoneSurrogates::kReplace, out, sizeof out), 3u);
  EXPECT_TRUE(rest.empty());
}

}  // namespace
}  // namespace host
