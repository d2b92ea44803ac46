#include "main/locate_jvm.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "host/allocation.h"
#include "host/host.h"
#include "trace/trace.h"

namespace {

TEST(ReadEnvironmentVariableTest, TreatsUnsetAndEmptyAlike) {
  unsetenv("LOCATE_JVM_TEST_VARIABLE");
  EXPECT_EQ(ReadEnvironmentVariable(u"LOCATE_JVM_TEST_VARIABLE"), u"");
  setenv("LOCATE_JVM_TEST_VARIABLE", "", 1);
  EXPECT_EQ(host::QueryEnvironmentLength(u"LOCATE_JVM_TEST_VARIABLE"), 1u);  // the NUL alone
  EXPECT_EQ(ReadEnvironmentVariable(u"LOCATE_JVM_TEST_VARIABLE"), u"");
  setenv("LOCATE_JVM_TEST_VARIABLE", " \"C:\\Java\" \xE2\x82\xAC\xFF", 1);
  EXPECT_EQ(ReadEnvironmentVariable(u"LOCATE_JVM_TEST_VARIABLE"), u" \"C:\\Java\" \u20AC\xDCFF");
  unsetenv("LOCATE_JVM_TEST_VARIABLE");
}

TEST(ReadEnvironmentVariableTest, CopyFailsWhenTheValueDoesNotFit) {
  setenv("LOCATE_JVM_TEST_VARIABLE", "abc", 1);
  char16_t buffer[4];
  EXPECT_NE(host::CopyEnvironmentValue(u"LOCATE_JVM_TEST_VARIABLE", buffer, 3), 0);
  EXPECT_EQ(host::CopyEnvironmentValue(u"LOCATE_JVM_TEST_VARIABLE", buffer, 4), 0);
  EXPECT_EQ(std::u16string(buffer), u"abc");
  unsetenv("LOCATE_JVM_TEST_VARIABLE");
}

TEST(ReadEnvironmentVariableDeathTest, EndsTheProcessWhenNoBufferCanBeHad) {
  // The message names JAVA_HOME whatever the variable is, and has no line break.
  setenv("LOCATE_JVM_TEST_VARIABLE", "C:\\Java", 1);
  EXPECT_EXIT(
      {
        host::FailAllocationsFrom(8);  // "C:\Java" and its NUL: 8 units
        ReadEnvironmentVariable(u"LOCATE_JVM_TEST_VARIABLE");
      },
      ::testing::ExitedWithCode(1), "^Memory exhausted allocating space for value of JAVA_HOME$");
  EXPECT_EQ(ReadEnvironmentVariable(u"LOCATE_JVM_TEST_VARIABLE"),
            u"C:\\Java");  // seam untouched here
  unsetenv("LOCATE_JVM_TEST_VARIABLE");
}

TEST(TraceTest, SplicesTheArgumentAsText) {
  g_verbose = true;
  ::testing::internal::CaptureStderr();
  Trace(u"Looking in JAVA_HOME '%s'\n", u"%s %n %d %%");
  Trace(u"found!\n");
  Trace(u"no slot", u"dropped");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Looking in JAVA_HOME '%s %n %d %%'\nfound!\nno slot");
  g_verbose = false;
  ::testing::internal::CaptureStderr();
  Trace(u"silent %s\n", u"x");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
