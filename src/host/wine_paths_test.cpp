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
      {u"C:\\Program Files\\Java\\jdk1.6.0\\jre\\bin\\server\\jvm.dll.", false},
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
  EXPECT_FALSE(WinePathExists(absolute + u"\\DRIVE_C\\odd"));  // host names keep their case
  EXPECT_TRUE(WinePathExists(absolute + std::u16string(u"/drive_c\0/nothing", 17)));

  char* saved = getcwd(nullptr, 0);
  ASSERT_EQ(chdir((prefix_.path() / "drive_c").c_str()), 0);
  EXPECT_TRUE(WinePathExists(u"odd\\\xDCFF\\jvm.dll"));
  EXPECT_FALSE(WinePathExists(u"odd\\jvm.dll"));
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
