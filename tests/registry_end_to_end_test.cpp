// The registry stages, through the real binary on small Wine prefixes made for each case.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

constexpr char kFailure[] = "Unable to locate a compatible JVM";
constexpr char kJdk[] = "[Software\\\\JavaSoft\\\\Java Development Kit] 1\n";
constexpr char kJre[] = "[Software\\\\JavaSoft\\\\Java Runtime Environment] 1\n";

std::string JdkKey(const std::string& version) {
  return "[Software\\\\JavaSoft\\\\Java Development Kit\\\\" + version + "] 1\n";
}
std::string JreKey(const std::string& version) {
  return "[Software\\\\JavaSoft\\\\Java Runtime Environment\\\\" + version + "] 1\n";
}

// The lines of a JDK whose home holds no candidate library.
std::string EmptyHomeTrace(const std::string& home) {
  return "Looking in JavaHome '" + home + "'\n" + "Trying '" + home +
         "\\jre\\bin\\server\\jvm.dll'...not found.\n" + "Trying '" + home +
         "\\jre\\bin\\client\\jvm.dll'...not found.\n" + "Trying '" + home +
         "\\bin\\client\\jvm.dll'...not found.\n";
}

// A JRE that is accepted, and its lines.
const std::string kGoodJre = kJre + std::string("\"CurrentVersion\"=\"1.6\"\n") + JreKey("1.6") +
                             "\"RuntimeLib\"=\"C:\\\\jre6\\\\bin\\\\client\\\\jvm.dll\"\n";
const std::string kGoodJreTrace =
    "Found JRE version '1.6'\nVersion meets requirement, retrieving runtime path\n"
    "Runtime path set to 'C:\\jre6\\bin\\client\\jvm.dll'\n";

struct Case {
  const char* name;
  std::string keys;                // system.reg below its header
  std::vector<std::string> files;  // created under drive_c
  std::string trace;               // standard error with -v
  int status;
};

class RegistryTest : public ::testing::Test {
 protected:
  // Runs the case in a fresh prefix, with and without -v.
  void Check(const Case& c) {
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
  const std::string jdk16 = kJdk + std::string("\"CurrentVersion\"=\"1.6\"\n");
  const std::string meets = "Found JDK version '1.6'\nVersion meets requirement, retrieving home path\n";
  const Case cases[] = {
      {"no JDK", kGoodJre, {}, kGoodJreTrace, 0},
      {"empty CurrentVersion", kJdk + std::string("\"CurrentVersion\"=\"\"\n") + kGoodJre, {}, kGoodJreTrace, 0},
      {"old JDK", kJdk + std::string("\"CurrentVersion\"=\"1.4.2_10\"\n") + kGoodJre, {},
       "Found JDK version '1.4.2_10'\n" + kGoodJreTrace, 0},
      {"no digits", kJdk + std::string("\"CurrentVersion\"=\"abc\"\n") + kGoodJre, {},
       "Found JDK version 'abc'\n" + kGoodJreTrace, 0},
      {"no per-version key", jdk16 + kGoodJre, {}, meets + "JavaHome key not present\n" + kGoodJreTrace, 0},
      {"empty JavaHome", jdk16 + JdkKey("1.6") + "\"JavaHome\"=\"\"\n" + kGoodJre, {},
       meets + "JavaHome key not present\n" + kGoodJreTrace, 0},
      {"home without a library", jdk16 + JdkKey("1.6") + "\"JavaHome\"=\"C:\\\\jdk6\"\n" + kGoodJre,
       {"jdk6/bin/server/jvm.dll"}, meets + EmptyHomeTrace("C:\\jdk6") + kGoodJreTrace, 0},
      {"other versions are not read",
       jdk16 + JdkKey("1.7") + "\"JavaHome\"=\"C:\\\\jdk7\"\n" + kGoodJre, {"jdk7/jre/bin/server/jvm.dll"},
       meets + "JavaHome key not present\n" + kGoodJreTrace, 0},
  };
  for (const Case& c : cases) Check(c);
}

TEST_F(RegistryTest, EachFailingStepOfTheJreEndsTheSearch) {
  const std::string jre16 = kJre + std::string("\"CurrentVersion\"=\"1.6\"\n");
  const std::string meets = "Found JRE version '1.6'\nVersion meets requirement, retrieving runtime path\n";
  const Case cases[] = {
      {"nothing registered", "", {}, kFailure, 1},
      {"no JRE after an old JDK", kJdk + std::string("\"CurrentVersion\"=\"1.4\"\n"), {},
       "Found JDK version '1.4'\n" + std::string(kFailure), 1},
      {"empty CurrentVersion", kJre + std::string("\"CurrentVersion\"=\"\"\n"), {}, kFailure, 1},
      {"old JRE", kJre + std::string("\"CurrentVersion\"=\"1\"\n") + JreKey("1") + "\"RuntimeLib\"=\"x\"\n",
       {}, "Found JRE version '1'\n" + std::string(kFailure), 1},
      {"no RuntimeLib", jre16 + JreKey("1.6"), {}, meets + "RuntimeLib key not present\n" + kFailure, 1},
      {"empty RuntimeLib", jre16 + JreKey("1.6") + "\"RuntimeLib\"=\"\"\n", {},
       meets + "RuntimeLib key not present\n" + kFailure, 1},
      {"RuntimeLib taken as recorded", jre16 + JreKey("1.6") + "\"RuntimeLib\"=\"Q:\\\\no such.dll\"\n",
       {}, meets + "Runtime path set to 'Q:\\no such.dll'\n", 0},
  };
  for (const Case& c : cases) Check(c);
}

TEST_F(RegistryTest, AJdkThatIsFoundEndsTheSearchBeforeTheJre) {
  const std::string jdk = kJdk + std::string("\"CurrentVersion\"=\"1.6.0_31\"\n") + JdkKey("1.6.0_31") +
                          "\"JavaHome\"=\"C:\\\\Program Files\\\\Java\\\\jdk1.6.0_31\"\n";
  const std::string found =
      "Found JDK version '1.6.0_31'\nVersion meets requirement, retrieving home path\n"
      "Looking in JavaHome 'C:\\Program Files\\Java\\jdk1.6.0_31'\n"
      "Trying 'C:\\Program Files\\Java\\jdk1.6.0_31\\jre\\bin\\server\\jvm.dll'...not found.\n"
      "Trying 'C:\\Program Files\\Java\\jdk1.6.0_31\\jre\\bin\\client\\jvm.dll'...found!\n";
  Check({"JDK found", jdk + kGoodJre, {"Program Files/Java/jdk1.6.0_31/jre/bin/client/jvm.dll"}, found, 0});
}

TEST_F(RegistryTest, ReadsValuesOfEveryTypeAsTextUpToTheFirstNul) {
  const auto jre = [](const std::string& version_data, const std::string& library_data) {
    return kJre + ("\"CurrentVersion\"=" + version_data + "\n") + JreKey("1.6") +
           ("\"RuntimeLib\"=" + library_data + "\n");
  };
  const std::string meets = "Found JRE version '1.6'\nVersion meets requirement, retrieving runtime path\n";
  const std::string fits(8190, 'L');
  const Case cases[] = {
      {"multi-string", jre("str(7):\"1.6\\0001.4\\0\"", "\"lib\""), {}, meets + "Runtime path set to 'lib'\n", 0},
      {"expandable string, unexpanded", jre("\"1.6\"", "str(2):\"%JRE%\\\\jvm.dll\""), {},
       meets + "Runtime path set to '%JRE%\\jvm.dll'\n", 0},
      {"binary without a NUL", jre("hex:31,00,2e,00,36,00", "hex(1):6c,00,69,00,62,00,ff"), {},
       meets + "Runtime path set to 'lib'\n", 0},  // the odd last byte is dropped
      {"binary text", jre("hex(1):31,00,2e,00,36,00,00,00,37,00", "\"lib\""), {},
       meets + "Runtime path set to 'lib'\n", 0},
      {"zero bytes", jre("hex:", "\"lib\""), {}, kFailure, 1},
      {"a DWORD", jre("dword:00000031", "\"lib\""), {}, "Found JRE version '1'\n" + std::string(kFailure), 1},
      {"8190 characters", jre("\"1.6\"", "\"" + fits + "\""), {}, meets + "Runtime path set to '" + fits + "'\n", 0},
      {"8191 characters", jre("\"1.6\"", "\"" + fits + "L\""), {}, meets + "RuntimeLib key not present\n" + kFailure, 1},
      {"escapes", jre("\"1.6\"", "\"C:\\\\J\\xe4va\\\\\\\"x\\\"\\\\%s%n\""), {},
       meets + "Runtime path set to 'C:\\J\xC3\xA4va\\\"x\"\\%s%n'\n", 0},
  };
  for (const Case& c : cases) Check(c);
}

TEST_F(RegistryTest, MatchesKeysNamesAndDriveLetterPathsWithoutRegardToCase) {
  const std::string keys =
      "[software\\\\JAVASOFT\\\\java development kit] 1\n\"currentversion\"=\"1.7.0\"\n"
      "[SOFTWARE\\\\JavaSoft\\\\Java Development Kit\\\\1.7.0] 1\n\"JAVAHOME\"=\"c:\\\\PROGRAM FILES\\\\java\\\\JDK7\"\n";
  const std::string found =
      "Found JDK version '1.7.0'\nVersion meets requirement, retrieving home path\n"
      "Looking in JavaHome 'c:\\PROGRAM FILES\\java\\JDK7'\n"
      "Trying 'c:\\PROGRAM FILES\\java\\JDK7\\jre\\bin\\server\\jvm.dll'...found!\n";
  Check({"cases differ", keys, {"Program Files/Java/jdk7/jre/bin/server/jvm.dll"}, found, 0});
}

TEST_F(RegistryTest, AVersionWithASuffixNamesItsKeyAsWritten) {
  const std::string keys = kJdk + std::string("\"CurrentVersion\"=\"1.8.0_402-b06\"\n") +
                           JdkKey("1.8.0_402") + "\"JavaHome\"=\"C:\\\\wrong\"\n" +
                           JdkKey("1.8.0_402-b06") + "\"JavaHome\"=\"C:\\\\right\"\n";
  Check({"suffix", keys, {"right/bin/client/jvm.dll"},
         "Found JDK version '1.8.0_402-b06'\nVersion meets requirement, retrieving home path\n"
         "Looking in JavaHome 'C:\\right'\n"
         "Trying 'C:\\right\\jre\\bin\\server\\jvm.dll'...not found.\n"
         "Trying 'C:\\right\\jre\\bin\\client\\jvm.dll'...not found.\n"
         "Trying 'C:\\right\\bin\\client\\jvm.dll'...found!\n",
         0});
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
  EXPECT_EQ(run({}), nothing);                                   // no HOME, no WINEPREFIX
  EXPECT_EQ(run({"HOME=" + dir.str()}), nothing);                // no ~/.wine
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
  test::MakePrefix(home.path() / ".wine", kJre + std::string("\"CurrentVersion\"=\"abc\"\n"));
  for (const std::vector<std::string>& environment :
       {std::vector<std::string>{"HOME=" + home.str()}, {"HOME=" + home.str(), "WINEPREFIX="}}) {
    const test::Outcome outcome = test::Execute(LOCATE_JVM_BINARY, {{"-v"}, environment});
    EXPECT_EQ(outcome.err, std::string("JAVA_HOME not set\nFound JRE version 'abc'\n") + kFailure);
  }
}

}  // namespace
