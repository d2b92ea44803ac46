#include "probe/probe.h"

#include <gtest/gtest.h>

namespace {

TEST(JoinPathTest, AddsOneBackslashOnlyWhereNeeded) {
  struct Case {
    std::u16string base, tail, joined;
  };
  const Case cases[] = {
      {u"C:\\Java", u"bin", u"C:\\Java\\bin"},
      {u"C:\\Java\\", u"bin", u"C:\\Java\\bin"},
      {u"C:\\Java/", u"bin", u"C:\\Java/\\bin"},  // a slash is no separator here
      {u"", u"bin", u"bin"},
      {u"base", u"", u"base\\"},
      {u"base", u"\\tail", u"base\\\\tail"},  // the tail is not looked at
      {u"\\", u"x", u"\\x"},
      {u"SOFTWARE\\JavaSoft\\Java Development Kit", u"1.6",
       u"SOFTWARE\\JavaSoft\\Java Development Kit\\1.6"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoinPath(c.base, c.tail), c.joined)
        << std::string(c.base.begin(), c.base.end()) << " + "
        << std::string(c.tail.begin(), c.tail.end());
  }
}

TEST(CandidateLibrariesTest, HoldsTheThreePlacesInOrder) {
  ASSERT_EQ(kCandidateLibraries.size(), 3u);
  EXPECT_EQ(kCandidateLibraries[0], u"jre\\bin\\server\\jvm.dll");
  EXPECT_EQ(kCandidateLibraries[1], u"jre\\bin\\client\\jvm.dll");
  EXPECT_EQ(kCandidateLibraries[2], u"bin\\client\\jvm.dll");
}

}  // namespace
