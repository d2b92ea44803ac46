// Faults around the tool: standard error that cannot be written. The search and its exit
// status must not change, and the process must not die of SIGPIPE.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

TEST(FaultTest, AStandardErrorThatCannotBeWrittenChangesNothing) {
  test::TempDir dir;
  test::WriteFile(dir.path() / "home/jre/bin/server/jvm.dll");
  const std::string found = "JAVA_HOME=" + dir.str() + "/home";
  const std::string missing = "JAVA_HOME=" + dir.str() + "/nothing";
  for (test::StandardError mode : {test::StandardError::kClosed, test::StandardError::kFullDevice,
                                   test::StandardError::kReaderGone}) {
    for (const auto& [environment, status] : {std::pair{found, 0}, std::pair{missing, 1}}) {
      for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"-v"}}) {
        test::Run run{arguments, {environment}};
        run.standard_error = mode;
        const test::Outcome outcome = test::Execute(LOCATE_JVM_BINARY, run);
        EXPECT_FALSE(outcome.timed_out);
        EXPECT_EQ(outcome.status, status) << static_cast<int>(mode) << " " << environment;
        EXPECT_EQ(outcome.out, "");
      }
    }
  }
}

}  // namespace

namespace {

using test::kFailure;
const std::string kJdk =
    "[Software\\\\JavaSoft\\\\Java Development Kit] 1\n\"CurrentVersion\"=\"1.6\"\n"
    "[Software\\\\JavaSoft\\\\Java Development Kit\\\\1.6] 1\n\"JavaHome\"=\"C:\\\\jdk\"\n";
const std::string kFound =
    "JAVA_HOME not set\nFound JDK version '1.6'\nVersion meets requirement, retrieving home path\n"
    "Looking in JavaHome 'C:\\jdk'\nTrying 'C:\\jdk\\jre\\bin\\server\\jvm.dll'...found!\n";
const std::string kNothing = std::string("JAVA_HOME not set\n") + kFailure;

// A prefix whose JDK home holds a library, with `contents` as its whole system.reg.
test::Outcome SearchWith(const std::string& contents) {
  test::TempDir prefix;
  test::MakePrefix(prefix.path(), "");
  test::WriteFile(prefix.path() / "system.reg", contents);
  test::WriteFile(prefix.path() / "drive_c/jdk/jre/bin/server/jvm.dll");
  test::Outcome outcome =
      test::Execute(LOCATE_JVM_BINARY, {{"-v"}, {"WINEPREFIX=" + prefix.str()}});
  EXPECT_FALSE(outcome.timed_out);
  EXPECT_EQ(outcome.out, "");
  return outcome;
}

TEST(BrokenRegistryTest, BrokenFilesNeverCrashOrHang) {
  const std::string whole = test::kRegistryHeader + kJdk;
  ASSERT_EQ(SearchWith(whole).err, kFound);
  // Cut at every byte: the search ends normally, finding the JDK only once its home is whole.
  const std::size_t complete = whole.size() - 1;  // only the last line break may go
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const test::Outcome outcome = SearchWith(whole.substr(0, size));
    EXPECT_EQ(outcome.status, size >= complete ? 0 : 1) << "cut at " << size;
    EXPECT_TRUE(outcome.err.rfind("JAVA_HOME not set\n", 0) == 0) << "cut at " << size;
  }
  // Random bytes, with and without a header in front.
  std::string noise(1 << 20, '\0');
  std::uint32_t state = 12345;
  for (char& c : noise) c = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
  EXPECT_EQ(SearchWith(noise).err, kNothing);
  EXPECT_EQ(SearchWith(test::kRegistryHeader + noise).status, 1);
  EXPECT_EQ(SearchWith(test::kRegistryHeader + noise + "\n" + kJdk).err, kFound);
}

TEST(BrokenRegistryTest, TheRestOfABrokenFileStillServes) {
  const std::string header = test::kRegistryHeader;
  const std::string cases[] = {
      std::string(10 << 20, 'x') + "\n",                                     // a 10 MB line
      "[Software\\\\JavaSoft\\\\Java Development Kit] 1\n\"JavaHome\"=\"" +  // a 10 MB value
          std::string(10 << 20, 'y') + "\"\n",
      "[Unterminated\n\"CurrentVersion\"=\"never closed\n\"Other\"=str(2):\"no end\n",
      "[K] 1\n\"Bad\"=\"\\x\"\n\"Worse\"=\"\\\n\"Hex\"=hex:0g,\\\n",
      std::string("\0\0\0[\0]\n", 7),
  };
  for (const std::string& broken : cases) {
    const test::Outcome outcome = SearchWith(header + broken + "\n" + kJdk);
    EXPECT_EQ(outcome.err, kFound) << broken.substr(0, 60);
    EXPECT_EQ(outcome.status, 0) << broken.substr(0, 60);
  }
  // Broken where the search looks: the value cut mid-string reads as absent.
  EXPECT_EQ(SearchWith(header +
                       "[Software\\\\JavaSoft\\\\Java Development Kit] 1\n\"CurrentVersion\"=\"1.")
                .err,
            kNothing);
}

}  // namespace
