// The tool only reads: under strace it opens nothing for writing and creates, renames or
// removes nothing; a prefix's files are unchanged after a search; and when JAVA_HOME answers,
// the registry file is not even opened.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string kKeys =
    "[Software\\\\JavaSoft\\\\Java Development Kit] 1\n\"CurrentVersion\"=\"1.4\"\n"
    "[Software\\\\JavaSoft\\\\Java Runtime Environment] 1\n\"CurrentVersion\"=\"1.6\"\n"
    "[Software\\\\JavaSoft\\\\Java Runtime Environment\\\\1.6] "
    "1\n\"RuntimeLib\"=\"C:\\\\jre\\\\jvm.dll\"\n";

// The calls that change the file system.
const std::set<std::string> kChangingCalls = {
    "creat",     "rename",    "renameat", "renameat2", "unlink",    "unlinkat",  "mkdir",
    "mkdirat",   "rmdir",     "link",     "linkat",    "symlink",   "symlinkat", "truncate",
    "ftruncate", "chmod",     "fchmod",   "fchmodat",  "chown",     "fchown",    "lchown",
    "fchownat",  "utime",     "utimes",   "utimensat", "futimesat", "mknod",     "mknodat",
    "setxattr",  "fsetxattr", "lsetxattr"};

bool HaveStrace() {
  return fs::exists("/usr/bin/strace");
}

// The file-system calls of one traced run, one a line.
std::string TraceCalls(const std::vector<std::string>& environment) {
  test::TempDir out;
  const std::string log = out.str() + "/calls";
  test::Run run{{"-f", "-qq", "-o", log, "-e", "trace=%file,%desc", LOCATE_JVM_BINARY, "-v"},
                environment};
  const test::Outcome outcome = test::Execute("/usr/bin/strace", run);
  EXPECT_FALSE(outcome.timed_out);
  std::ifstream file(log);
  std::stringstream calls;
  calls << file.rdbuf();
  return calls.str();
}

TEST(ReadOnlyTest, NothingIsOpenedForWritingCreatedRenamedOrRemoved) {
  if (!HaveStrace()) GTEST_SKIP() << "strace is not installed";
  test::TempDir prefix;
  test::MakePrefix(prefix.path(), kKeys);
  test::WriteFile(prefix.path() / "drive_c/jdk/jre/bin/client/jvm.dll");
  for (const std::vector<std::string>& environment :
       {std::vector<std::string>{"WINEPREFIX=" + prefix.str()},
        {"WINEPREFIX=" + prefix.str(), "JAVA_HOME=C:\\jdk"},
        {"JAVA_HOME=/nowhere"}}) {
    const std::string calls = TraceCalls(environment);
    ASSERT_NE(calls.find("execve"), std::string::npos) << calls;
    std::istringstream lines(calls);
    for (std::string line; std::getline(lines, line);) {
      // "<pid> name(arguments) = result"
      std::istringstream fields(line);
      std::string pid, call;
      fields >> pid >> call;
      const std::string name = call.substr(0, call.find('('));
      EXPECT_EQ(kChangingCalls.count(name), 0u) << line;
      if (name == "open" || name == "openat" || name == "openat2") {
        for (const char* flag : {"O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC"})
          EXPECT_EQ(line.find(flag), std::string::npos) << line;
      }
    }
  }
}

TEST(ReadOnlyTest, TheRegistryIsNotOpenedWhenJavaHomeAnswers) {
  if (!HaveStrace()) GTEST_SKIP() << "strace is not installed";
  test::TempDir prefix;
  test::MakePrefix(prefix.path(), kKeys);
  test::WriteFile(prefix.path() / "drive_c/jdk/jre/bin/server/jvm.dll");
  const std::string answered = TraceCalls({"WINEPREFIX=" + prefix.str(), "JAVA_HOME=C:\\jdk"});
  EXPECT_EQ(answered.find("system.reg"), std::string::npos) << answered;
  const std::string searched = TraceCalls({"WINEPREFIX=" + prefix.str(), "JAVA_HOME=C:\\nothing"});
  EXPECT_NE(searched.find("system.reg"), std::string::npos) << searched;
}

std::size_t CountOpens(const std::string& calls, const std::string& file) {
  std::size_t count = 0;
  std::istringstream lines(calls);
  for (std::string line; std::getline(lines, line);)
    if (line.find("open") != std::string::npos && line.find(file) != std::string::npos) ++count;
  return count;
}

TEST(ReadOnlyTest, EachLookupReadsTheRegistryAfreshAndAFoundJdkEndsThem) {
  if (!HaveStrace()) GTEST_SKIP() << "strace is not installed";
  test::TempDir prefix;
  // A JDK too old, then an accepted JRE: three lookups, each opening the file itself.
  test::MakePrefix(prefix.path(), kKeys);
  EXPECT_EQ(CountOpens(TraceCalls({"WINEPREFIX=" + prefix.str()}), "system.reg"), 3u);
  // A JDK that is found: its two values only; no key of the JRE is read.
  test::WriteFile(
      prefix.path() / "system.reg",
      std::string(test::kRegistryHeader) +
          "[Software\\\\JavaSoft\\\\Java Development Kit] 1\n\"CurrentVersion\"=\"1.6\"\n"
          "[Software\\\\JavaSoft\\\\Java Development Kit\\\\1.6] 1\n\"JavaHome\"=\"C:\\\\jdk\"\n" +
          kKeys.substr(kKeys.find("[Software\\\\JavaSoft\\\\Java Runtime")));
  test::WriteFile(prefix.path() / "drive_c/jdk/jre/bin/server/jvm.dll");
  EXPECT_EQ(CountOpens(TraceCalls({"WINEPREFIX=" + prefix.str()}), "system.reg"), 2u);
}

// Every entry under `root`: its bytes (for files) and modification time.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    struct stat info;
    lstat(entry.path().c_str(), &info);
    std::string state =
        std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
    if (entry.is_regular_file() && !entry.is_symlink()) {
      std::ifstream file(entry.path(), std::ios::binary);
      std::stringstream bytes;
      bytes << file.rdbuf();
      state.append(":").append(bytes.str());
    }
    entries[entry.path().string()] = state;
  }
  return entries;
}

TEST(ReadOnlyTest, APrefixIsUnchangedBySearches) {
  test::TempDir prefix;
  test::MakePrefix(prefix.path(), kKeys);
  test::WriteFile(prefix.path() / "drive_c/jdk/jre/bin/client/jvm.dll");
  const auto before = Snapshot(prefix.path());
  for (const std::vector<std::string>& environment :
       {std::vector<std::string>{"WINEPREFIX=" + prefix.str()},
        {"WINEPREFIX=" + prefix.str(), "JAVA_HOME=C:\\jdk"},
        {"WINEPREFIX=" + prefix.str(), "JAVA_HOME=C:\\x"}}) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"-v"}}) {
      const test::Outcome outcome = test::Execute(LOCATE_JVM_BINARY, {arguments, environment});
      EXPECT_EQ(outcome.status, 0);
    }
  }
  EXPECT_EQ(Snapshot(prefix.path()), before);
}

}  // namespace
