// The registry stages, through the real binary on small Wine prefixes made for each case.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "search_cases.h"
#include "test_support.h"

namespace {

using test::kFailure;

class RegistryTest : public ::testing::Test {
 protected:
  // Runs the case in a fresh prefix, with and without -v.
  void Check(const test::SearchCase& c) {
    test::TempDir prefix;
    test::MakePrefix(prefix.path(), c.keys);
    for (const std::string& file : c.files) test::WriteFile(prefix.path() / "drive_c" / file);
    const std::vector<std::string> environment = {"WINEPREFIX=" + prefix.str()};
    const test::Outcome traced = test::Execute(LOCATE_JVM_BINARY, {{"-v"}, environment});
    EXPECT_EQ(traced.err, "JAVA_HOME not set\n" + c.trace) << c.name;
    EXPECT_EQ(traced.status, c.status) << c.name;
    EXPECT_EQ(traced.out, "") << c.name;
    const test::Outcome quiet = test::Execute(LOCATE_JVM_BINARY, {{}, environment});
    EXPECT_EQ(quiet.err, c.status == 0 ? "" : kFailure) << c.name;
    EXPECT_EQ(quiet.status, c.status) << c.name;
    EXPECT_EQ(quiet.out, "") << c.name;
  }
};

TEST_F(RegistryTest, EachFailingStepOfTheJdkLeadsToTheJre) {
  for (const test::SearchCase& c : test::JdkStepCases()) Check(c);
}

TEST_F(RegistryTest, EachFailingStepOfTheJreEndsTheSearch) {
  for (const test::SearchCase& c : test::JreStepCases()) Check(c);
}

TEST_F(RegistryTest, AJdkThatIsFoundEndsTheSearchBeforeTheJre) {
  for (const test::SearchCase& c : test::JdkFoundCases()) Check(c);
}

TEST_F(RegistryTest, ReadsValuesOfEveryTypeAsTextUpToTheFirstNul) {
  for (const test::SearchCase& c : test::ValueTypeCases()) Check(c);
}

TEST_F(RegistryTest, MatchesKeysNamesAndDriveLetterPathsWithoutRegardToCase) {
  for (const test::SearchCase& c : test::CaseCases()) Check(c);
}

TEST_F(RegistryTest, AVersionWithASuffixNamesItsKeyAsWritten) {
  for (const test::SearchCase& c : test::SuffixCases()) Check(c);
}

TEST_F(RegistryTest, AVersionTextWithSeparatorsNamesTheKeyAsWindowsOpensIt) {
  for (const test::SearchCase& c : test::KeyPathCases()) Check(c);
}

TEST(RegistryFileTest, AMissingOrUnusableRegistryReadsAsEmpty) {
  const auto run = [](const std::vector<std::string>& environment) {
    const test::Outcome outcome = test::Execute(LOCATE_JVM_BINARY, {{"-v"}, environment});
    EXPECT_FALSE(outcome.timed_out);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.status, 1);
    return outcome.err;
  };
  const std::string nothing = std::string("JAVA_HOME not set\n") + kFailure;
  test::TempDir dir;
  EXPECT_EQ(run({}), nothing);                                     // no HOME, no WINEPREFIX
  EXPECT_EQ(run({"HOME=" + dir.str()}), nothing);                  // no ~/.wine
  EXPECT_EQ(run({"WINEPREFIX=" + dir.str() + "/none"}), nothing);  // no such prefix
  std::filesystem::create_directories(dir.path() / "directory/system.reg");
  EXPECT_EQ(run({"WINEPREFIX=" + dir.str() + "/directory"}), nothing);
  std::filesystem::create_directories(dir.path() / "fifo");
  ASSERT_EQ(mkfifo((dir.path() / "fifo/system.reg").c_str(), 0600), 0);
  EXPECT_EQ(run({"WINEPREFIX=" + dir.str() + "/fifo"}), nothing);  // and does not block
  std::filesystem::create_directories(dir.path() / "device");
  std::filesystem::create_symlink("/dev/zero", dir.path() / "device/system.reg");
  EXPECT_EQ(run({"WINEPREFIX=" + dir.str() + "/device"}), nothing);
}

TEST(RegistryFileTest, HomeDotWineIsThePrefixWhenWineprefixIsUnsetOrEmpty) {
  test::TempDir home;
  test::MakePrefix(
      home.path() / ".wine",
      "[Software\\\\JavaSoft\\\\Java Runtime Environment] 1\n\"CurrentVersion\"=\"abc\"\n");
  for (const std::vector<std::string>& environment :
       {std::vector<std::string>{"HOME=" + home.str()}, {"HOME=" + home.str(), "WINEPREFIX="}}) {
    const test::Outcome outcome = test::Execute(LOCATE_JVM_BINARY, {{"-v"}, environment});
    EXPECT_EQ(outcome.err, std::string("JAVA_HOME not set\nFound JRE version 'abc'\n") + kFailure);
  }
}

}  // namespace

namespace {

// The prefix the README points at shows a successful search.
TEST(ExamplePrefixTest, FindsItsJdk) {
  const test::Outcome outcome = test::Execute(
      LOCATE_JVM_BINARY,
      {{"-v"}, {std::string("WINEPREFIX=") + LOCATE_JVM_SOURCE_DIR + "/examples/wine-prefix"}});
  EXPECT_EQ(outcome.err,
            "JAVA_HOME not set\nFound JDK version '1.8'\nVersion meets requirement, retrieving "
            "home path\n"
            "Looking in JavaHome 'C:\\Program Files\\Java\\jdk1.8.0_402'\n"
            "Trying 'C:\\Program Files\\Java\\jdk1.8.0_402\\jre\\bin\\server\\jvm.dll'...found!\n");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, "");
}

}  // namespace
