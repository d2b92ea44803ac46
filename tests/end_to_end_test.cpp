// The JAVA_HOME stage and the command line, through the real binary on real directories.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using test::kFailure;
using test::Tried;
const std::string kServer = "\\jre\\bin\\server\\jvm.dll";
const std::string kClient = "\\jre\\bin\\client\\jvm.dll";
const std::string kBinClient = "\\bin\\client\\jvm.dll";

class JavaHomeTest : public ::testing::Test {
 protected:
  // A home under the temporary directory holding the given candidates (relative, backslashed).
  std::string Home(const std::string& name, std::initializer_list<std::string> candidates) {
    const std::string home = dir_.str() + "/" + name;
    std::filesystem::create_directories(home);
    for (std::string candidate : candidates) {
      for (char& c : candidate)
        if (c == '\\') c = '/';
      test::WriteFile(home + candidate);
    }
    return home;
  }

  // Runs the tool with only the given environment (no Wine prefix) and checks that it wrote
  // nothing to standard output.
  test::Outcome Tool(std::vector<std::string> arguments,
                     std::vector<std::string> environment = {}) {
    test::Outcome outcome = test::Execute(LOCATE_JVM_BINARY, {arguments, environment});
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(outcome.timed_out);
    return outcome;
  }

  test::TempDir dir_;
};

TEST_F(JavaHomeTest, FailsWithTheMessageAloneWhenNothingIsFound) {
  for (const std::vector<std::string>& environment :
       {std::vector<std::string>{}, {"JAVA_HOME="}, {"java_home=/", "Java_Home=/"}}) {
    const test::Outcome quiet = Tool({}, environment);
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.err, kFailure);
    const test::Outcome traced = Tool({"-v"}, environment);
    EXPECT_EQ(traced.status, 1);
    EXPECT_EQ(traced.err, std::string("JAVA_HOME not set\n") + kFailure);
  }
}

TEST_F(JavaHomeTest, ProbesTheCandidatesInOrderAndStopsAtTheFirst) {
  struct Case {
    const char* name;
    std::initializer_list<std::string> present;
    std::vector<std::pair<std::string, bool>> tried;
  };
  const Case cases[] = {
      {"server", {kServer}, {{kServer, true}}},
      {"server-and-client", {kServer, kClient}, {{kServer, true}}},
      {"client", {kClient, kBinClient}, {{kServer, false}, {kClient, true}}},
      {"bin-client", {kBinClient}, {{kServer, false}, {kClient, false}, {kBinClient, true}}},
      // A server library directly under bin is not a candidate.
      {"bin-server",
       {"\\bin\\server\\jvm.dll"},
       {{kServer, false}, {kClient, false}, {kBinClient, false}}},
  };
  for (const Case& c : cases) {
    const std::string home = Home(c.name, c.present);
    std::string trace = "Looking in JAVA_HOME '" + home + "'\n";
    for (const auto& [candidate, found] : c.tried) trace += Tried(home + candidate, found);
    const bool found = c.tried.back().second;
    if (!found) trace += kFailure;

    const test::Outcome traced = Tool({"-v"}, {"JAVA_HOME=" + home});
    EXPECT_EQ(traced.err, trace) << c.name;
    EXPECT_EQ(traced.status, found ? 0 : 1) << c.name;
    const test::Outcome quiet = Tool({}, {"JAVA_HOME=" + home});
    EXPECT_EQ(quiet.err, found ? "" : kFailure) << c.name;
    EXPECT_EQ(quiet.status, found ? 0 : 1) << c.name;
  }
}

TEST_F(JavaHomeTest, UsesTheValueExactlyAsSet) {
  // Each home name is also a directory holding the server library, so only an unchanged value
  // finds it: blanks, quotes, separators, format directives and bytes that are not UTF-8.
  for (const std::string name :
       {"trailing blank ", " leading", "%s%n%d%x", "\xFF\xFE not utf-8", "J\xC3\xA4va"}) {
    const std::string home = Home(name, {kServer});
    const test::Outcome outcome = Tool({"-v"}, {"JAVA_HOME=" + home});
    EXPECT_EQ(outcome.err, "Looking in JAVA_HOME '" + home + "'\n" + Tried(home + kServer, true))
        << name;
    EXPECT_EQ(outcome.status, 0) << name;
  }
  // A home ending in a backslash gets no second one; one ending in a slash gets one after it.
  const std::string home = Home("ends", {kServer});
  const test::Outcome backslash = Tool({"-v"}, {"JAVA_HOME=" + home + "\\"});
  EXPECT_EQ(backslash.err, "Looking in JAVA_HOME '" + home + "\\'\n" + Tried(home + kServer, true));
  const test::Outcome slash = Tool({"-v"}, {"JAVA_HOME=" + home + "/"});
  EXPECT_EQ(slash.err,
            "Looking in JAVA_HOME '" + home + "/'\n" + Tried(home + "/" + kServer, true));
  // A home that does not exist, and one given in quotes around a real home.
  const test::Outcome missing = Tool({"-v"}, {"JAVA_HOME=" + home + "/nothing"});
  EXPECT_EQ(missing.err, "Looking in JAVA_HOME '" + home + "/nothing'\n" +
                             Tried(home + "/nothing" + kServer, false) +
                             Tried(home + "/nothing" + kClient, false) +
                             Tried(home + "/nothing" + kBinClient, false) + kFailure);
  EXPECT_EQ(missing.status, 1);
  const test::Outcome quoted = Tool({}, {"JAVA_HOME=\"" + home + "\""});
  EXPECT_EQ(quoted.status, 1);
  // A Linux directory whose name no Windows name can be, as Windows cannot reach it.
  for (const std::string name : {"\"quoted\"", "star*", "what?"}) {
    const std::string odd = Home(name, {kServer});
    EXPECT_EQ(Tool({}, {"JAVA_HOME=" + odd}).status, 1) << name;
  }
}

// A home typed in another case than the disk has, in the scripts Windows pairs case in: found,
// as under Wine. Look-alikes that Windows keeps apart (dotless i, long s) are not.
TEST_F(JavaHomeTest, MatchesTheHomeWithoutRegardToCaseInEveryScript) {
  struct Case {
    std::string on_disk, typed;
    int status;
  };
  const Case cases[] = {
      {"\xC8\x99tefan", "\xC8\x98TEFAN", 0},      // Romanian: ș, Ș
      {"vi\xE1\xBB\x87t", "VI\xE1\xBB\x86T", 0},  // Vietnamese: ệ, Ệ
      {"\xCE\xAC\xCE\xBB\xCF\x86\xCE\xB1", "\xCE\x86\xCE\x9B\xCE\xA6\xCE\x91", 0},  // Greek: άλφα
      {"\xD2\x91\xD1\x80\xD1\x83\xD0\xBD\xD1\x82", "\xD2\x90\xD0\xA0\xD0\xA3\xD0\x9D\xD0\xA2",
       0},                         // Ґрунт
      {"java", "JAV\xC4\xB1", 1},  // dotless i is not i
      {"jdks", "JDK\xC5\xBF", 1},  // long s is not s
  };
  for (const Case& c : cases) {
    Home(c.on_disk, {kServer});
    const test::Outcome outcome = Tool({}, {"JAVA_HOME=" + dir_.str() + "/" + c.typed});
    EXPECT_EQ(outcome.status, c.status) << c.typed;
  }
}

TEST_F(JavaHomeTest, OnlyAnExactFirstArgumentTurnsTheTraceOn) {
  const std::string home = Home("home", {kServer});
  const std::string trace = "Looking in JAVA_HOME '" + home + "'\n" + Tried(home + kServer, true);
  struct Case {
    std::vector<std::string> arguments;
    bool traced;
  };
  const Case cases[] = {
      {{}, false},
      {{"-v"}, true},
      {{"-v", "extra", "-x"}, true},
      {{"-V"}, false},
      {{"--v"}, false},
      {{"-v "}, false},
      {{" -v"}, false},
      {{"-"}, false},
      {{"-vv"}, false},
      {{"v"}, false},
      {{""}, false},
      {{"\xFF"}, false},
      {{"", "-v"}, false},
      {{"extra", "-v"}, false},
  };
  for (const Case& c : cases) {
    const test::Outcome outcome = Tool(c.arguments, {"JAVA_HOME=" + home});
    EXPECT_EQ(outcome.err, c.traced ? trace : "") << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(outcome.status, 0) << ::testing::PrintToString(c.arguments);
  }
}

TEST_F(JavaHomeTest, HandlesAVeryLongValue) {
  const std::string home = "/" + std::string(100000, 'j');
  const test::Outcome outcome = Tool({"-v"}, {"JAVA_HOME=" + home});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "Looking in JAVA_HOME '" + home + "'\n" + Tried(home + kServer, false) +
                             Tried(home + kClient, false) + Tried(home + kBinClient, false) +
                             kFailure);
}

}  // namespace
