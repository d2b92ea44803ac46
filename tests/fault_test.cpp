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
