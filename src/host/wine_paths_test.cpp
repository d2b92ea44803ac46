#include "host/wine_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "test_support.h"

namespace host {
namespace {

// A prefix with a small Java tree on drive C, used through WINEPREFIX.
class WinePathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakePrefix(prefix_.path(), "");
    test::WriteFile(prefix_.path() / "drive_c/Program Files/Java/jdk1.6.0/jre/bin/server/jvm.dll");
    test::WriteFile(prefix_.path() / "drive_c/Program Files/Java/J\xC3\xA4va/bin/client/jvm.dll");
    test::WriteFile(prefix_.path() / "drive_c/odd/\xFF/jvm.dll");
    setenv("WINEPREFIX", prefix_.str().c_str(), 1);
  }
  void TearDown() override { unsetenv("WINEPREFIX"); }

  test::TempDir prefix_;
};

TEST_F(WinePathsTest, MapsDriveLetterPathsAsWineDoes) {
  struct Case {
    std::u16string path;
    bool exists;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\server\\jvm.dll", true},
      {u"c:\\program files\\JAVA\\JDK1.6.0\\JRE\\BIN\\SERVER\\JVM.DLL", true},
      {u"C:/Program Files/Java/jdk1.6.0/jre/bin/server/jvm.dll", true},
      {u"C:\\Program Files\\Java\\jdk1.6.0\\\\jre\\.\\bin\\server\\jvm.dll", true},
      {u"C:\\Program Files\\Java\\nothing\\..\\jdk1.6.0\\jre\\bin\\server\\jvm.dll", true},
      {u"C:\\..\\..\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\server\\jvm.dll", true},
      {u"C:\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\server", true},  // a directory counts
      {u"C:\\", true},
      {u"C:\\Program Files\\Java\\j\u00C4va\\bin\\client\\jvm.dll", true},
      {u"C:\\odd\\\xDCFF\\jvm.dll", true},  // a file name that is not UTF-8
      {u"C:\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\client\\jvm.dll", false},
      // Win32 trims the dots and spaces that end a path, and one dot that ends a directory.
      {u"C:\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\server\\jvm.dll. .", true},
      {u"C:\\Program Files\\Java\\jdk1.6.0.\\jre\\bin\\server\\jvm.dll", true},
      {u"C:\\Program Files\\Java\\jdk1.6.0..\\jre\\bin\\server\\jvm.dll", false},
      {u"C:\\Program Files\\Java\\jdk1.6.0 \\jre\\bin\\server\\jvm.dll", false},
      // The NT prefixes: \\?\ and \??\ take the rest as it is; \\.\ is cleaned up.
      {u"\\\\?\\C:\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\server\\jvm.dll", true},
      {u"\\??\\c:\\program files\\java\\jdk1.6.0\\jre\\bin\\server\\jvm.dll", true},
      {u"\\\\?\\C:\\Program Files\\Java\\jdk1.6.0.\\jre\\bin\\server\\jvm.dll", false},
      {u"\\\\?\\C:\\Program Files\\Java\\.\\jdk1.6.0\\jre\\bin\\server\\jvm.dll", false},
      {u"\\\\?\\C:/Program Files/Java/jdk1.6.0/jre/bin/server/jvm.dll", false},
      {u"//?/C:/Program Files/Java/jdk1.6.0./jre/bin/server/jvm.dll", true},
      {u"\\\\.\\C:\\Program Files\\Java\\x\\..\\jdk1.6.0\\jre\\bin\\server\\jvm.dll", true},
      // A file asked for as a directory; a server of a UNC path; characters Windows forbids.
      {u"C:\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\server\\jvm.dll\\", false},
      {u"\\\\tmp\\x", false},
      {u"C:\\Program Files\\Java\\jdk*\\jre\\bin\\server\\jvm.dll", false},
      {u"D:\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\server\\jvm.dll", false},  // no such drive
      {u"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WinePathExists(c.path), c.exists) << std::string(c.path.begin(), c.path.end());
}

TEST_F(WinePathsTest, ReachesTheHostRootThroughDriveZ) {
  const std::string host_path = (prefix_.path() / "drive_c/odd").string();
  std::u16string windows_path = u"Z:";
  for (char c : host_path) windows_path.push_back(c == '/' ? u'\\' : static_cast<char16_t>(c));
  EXPECT_TRUE(WinePathExists(windows_path));
}

TEST_F(WinePathsTest, TakesOtherPathsAsHostPaths) {
  const std::string root = prefix_.str();
  std::u16string absolute(root.begin(), root.end());
  EXPECT_TRUE(WinePathExists(absolute + u"\\drive_c\\odd"));
  EXPECT_TRUE(WinePathExists(absolute + u"/drive_c/odd"));
  // A host path is looked up as Wine looks it up: without regard to case.
  EXPECT_TRUE(WinePathExists(absolute + u"\\DRIVE_C\\odd"));
  EXPECT_TRUE(WinePathExists(absolute + std::u16string(u"/drive_c\0/nothing", 17)));

  char* saved = getcwd(nullptr, 0);
  ASSERT_EQ(chdir((prefix_.path() / "drive_c").c_str()), 0);
  EXPECT_TRUE(WinePathExists(u"odd\\\xDCFF\\jvm.dll"));
  EXPECT_FALSE(WinePathExists(u"odd\\jvm.dll"));
  ASSERT_EQ(chdir(saved), 0);
  free(saved);
}

// Paths without a drive letter are resolved as Wine resolves them: against the working
// directory as a drive path (C:\... inside drive_c, Z:\... elsewhere), with case ignored.
TEST_F(WinePathsTest, ResolvesRelativeFormsAgainstTheWorkingDirectoryAsADrivePath) {
  char* saved = getcwd(nullptr, 0);
  ASSERT_EQ(chdir((prefix_.path() / "drive_c/Program Files/Java").c_str()), 0);
  EXPECT_EQ(NtPathName(u"jdk1.6.0"), u"C:\\Program Files\\Java\\jdk1.6.0");
  EXPECT_EQ(NtPathName(u"..\\JAVA\\jdk1.6.0\\"), u"C:\\Program Files\\JAVA\\jdk1.6.0\\");
  EXPECT_EQ(NtPathName(u"\\Program Files"), u"C:\\Program Files");
  EXPECT_EQ(NtPathName(u"c:jdk1.6.0"), u"C:\\Program Files\\Java\\jdk1.6.0");
  EXPECT_EQ(NtPathName(u"d:jdk"), u"d:\\jdk");  // another drive: its root
  EXPECT_TRUE(WinePathExists(u"JDK1.6.0\\jre\\bin\\server\\jvm.dll"));
  EXPECT_TRUE(WinePathExists(u"..\\..\\program files\\java\\jdk1.6.0"));
  EXPECT_TRUE(WinePathExists(u"\\Program Files\\Java\\jdk1.6.0"));
  EXPECT_TRUE(WinePathExists(u"C:jdk1.6.0"));
  ASSERT_EQ(chdir(prefix_.path().c_str()), 0);  // outside drive_c: below Z:
  const std::string host = prefix_.str();
  std::u16string dos = u"Z:";
  for (char c : host) dos.push_back(c == '/' ? u'\\' : static_cast<char16_t>(c));
  EXPECT_EQ(NtPathName(u"drive_c"), dos + u"\\drive_c");
  EXPECT_TRUE(WinePathExists(u"Drive_C\\odd"));
  ASSERT_EQ(chdir(saved), 0);
  free(saved);
}

TEST(WinePrefixTest, ComesFromWineprefixOrTheHomeDirectory) {
  setenv("HOME", "/home/someone", 1);
  setenv("WINEPREFIX", "/srv/prefix", 1);
  EXPECT_EQ(WinePrefix(), "/srv/prefix");
  EXPECT_EQ(MachineRegistryFile(), "/srv/prefix/system.reg");
  setenv("WINEPREFIX", "", 1);
  EXPECT_EQ(WinePrefix(), "/home/someone/.wine");
  unsetenv("WINEPREFIX");
  EXPECT_EQ(WinePrefix(), "/home/someone/.wine");
  unsetenv("HOME");
  EXPECT_EQ(WinePrefix(), "");
  EXPECT_EQ(MachineRegistryFile(), "");
}

}  // namespace
}  // namespace host
