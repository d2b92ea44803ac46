// The Windows build under Wine, which implements the registry, file and console calls the
// tool makes, and the Linux build on the same prefix once Wine has written its registry back:
// both must give the answer each case expects, so any difference between them is a fault of
// the Linux registry reader or path mapping.
//
// The suite runs once per Windows build: `wine_tests` for the x64 .exe, `wine_tests --bits=32`
// for the x86 one, which runs under WoW64 and sees the 32-bit view of HKLM\Software (kept in
// Software\Wow6432Node), so there the cases' keys are written into that view. The Linux build
// reads the 64-bit view, like the x64 build.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <regex>

#include "search_cases.h"
#include "test_support.h"
#include "wine_prefix.h"

namespace {

namespace fs = std::filesystem;

int g_bits = 64;  // the build under test

const std::string kExe64 = LOCATE_JVM_EXE;
const std::string kExe32 = LOCATE_JVM_EXE_X86;
const std::string kLinux = LOCATE_JVM_BINARY;

// The keys of a case as seen from a 32-bit program: every key under Software moves into the
// 32-bit view.
std::string In32BitView(const std::string& keys) {
  static const std::regex software(R"((^|\n)\[(software)\\\\)", std::regex::icase);
  return std::regex_replace(keys, software, "$1[$2\\\\Wow6432Node\\\\");
}

using test::kWineLoader;
using test::Runs32BitPrograms;
using test::WinePrefix;

// The .exe under test.
const std::string& Exe() {
  return g_bits == 32 ? kExe32 : kExe64;
}

class WineTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const fs::path& made : made_) fs::remove_all(made);
  }

  // Creates files under drive_c, and remembers their top directories to remove afterwards.
  void MakeFiles(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
      test::WriteFile(WinePrefix::root / "drive_c" / file);
      made_.push_back(WinePrefix::root / "drive_c" / fs::path(file).begin()->string());
    }
  }

  // Runs the Windows build, then the Linux build on the same prefix, each with and without -v,
  // and checks both against the expectation. With `write_back`, the server is stopped between
  // the two, so that the Linux build reads the registry as Wine wrote it. Without `linux_too`
  // only the Windows build runs.
  void ExpectBoth(const std::string& name, const std::vector<std::string>& environment,
                  const std::string& trace, int status, bool write_back, bool linux_too = true) {
    const std::string quiet = status == 0 ? "" : test::kFailure;
    std::vector<test::Outcome> windows;
    for (const bool verbose : {true, false}) {
      std::vector<std::string> arguments = {Exe()};
      if (verbose) arguments.push_back("-v");
      windows.push_back(WinePrefix::Wine(arguments, environment));
      EXPECT_EQ(windows.back().err, verbose ? trace : quiet) << name << " (Windows build)";
      EXPECT_EQ(windows.back().status, status) << name << " (Windows build)";
      EXPECT_EQ(windows.back().out, "") << name << " (Windows build)";
    }
    if (write_back) WinePrefix::StopServer();
    if (!linux_too) return;
    for (const bool verbose : {true, false}) {
      const std::vector<std::string> arguments =
          verbose ? std::vector<std::string>{"-v"} : std::vector<std::string>{};
      const test::Outcome linux =
          test::Execute(kLinux, {arguments, WinePrefix::Environment(environment)});
      EXPECT_EQ(linux.err, windows[verbose ? 0 : 1].err) << name << ": the two builds differ";
      EXPECT_EQ(linux.status, windows[verbose ? 0 : 1].status) << name << ": the two builds differ";
      EXPECT_EQ(linux.out, "") << name << " (Linux build)";
    }
  }

  std::vector<fs::path> made_;
};

// JDK keys with home `home`, in the 32-bit view (`view` "Wow6432Node\\\\") or the 64-bit one ("").
std::string JdkKeys(const std::string& view, const std::string& version, const std::string& home) {
  return "[Software\\\\" + view + "JavaSoft\\\\Java Development Kit] 1\n\"CurrentVersion\"=\"" +
         version + "\"\n[Software\\\\" + view + "JavaSoft\\\\Java Development Kit\\\\" + version +
         "] 1\n\"JavaHome\"=\"" + home + "\"\n";
}
std::string JreKeys(const std::string& view, const std::string& version, const std::string& lib) {
  return "[Software\\\\" + view + "JavaSoft\\\\Java Runtime Environment] 1\n\"CurrentVersion\"=\"" +
         version + "\"\n[Software\\\\" + view + "JavaSoft\\\\Java Runtime Environment\\\\" +
         version + "] 1\n\"RuntimeLib\"=\"" + lib + "\"\n";
}
const char kIn32[] = "Wow6432Node\\\\";

// Loads `keys` into the prefix's registry through Wine's server, which starts afresh.
void LoadKeys(const std::string& keys) {
  WinePrefix::ReplaceRegistry(keys);
  WinePrefix::StartServer();
}

// Every registry case: its keys are loaded by Wine's own server, and the Linux build then reads
// the file that server wrote. For the x86 build the keys go into the 32-bit view, which the
// Linux build does not read (the views are compared in their own test).
TEST_F(WineTest, RegistryCasesGiveTheSameAnswerOnBothBuilds) {
  for (const auto& group :
       {test::JdkStepCases, test::JreStepCases, test::JdkFoundCases, test::ValueTypeCases,
        test::CaseCases, test::SuffixCases, test::KeyPathCases}) {
    for (const test::SearchCase& c : group()) {
      LoadKeys(g_bits == 32 ? In32BitView(c.keys) : c.keys);
      MakeFiles(c.files);
      ExpectBoth(c.name, {}, "JAVA_HOME not set\n" + c.trace, c.status, true, g_bits == 64);
      TearDown();
      made_.clear();
    }
  }
  WinePrefix::ReplaceRegistry("");
}

TEST_F(WineTest, JavaHomeCasesGiveTheSameAnswerOnBothBuilds) {
  WinePrefix::StartServer();
  MakeFiles({"homes/server/jre/bin/server/jvm.dll", "homes/bin-client/bin/client/jvm.dll",
             "homes/J\xC3\xA4va %s/jre/bin/client/jvm.dll"});
  struct Case {
    std::string home;
    std::string trace;
    int status;
  };
  const std::string server = "C:\\homes\\server";
  const std::string client = "C:\\homes\\bin-client";
  const std::string other = "C:\\homes\\J\xC3\xA4va %s";
  const std::string none = "C:\\homes\\none";
  const Case cases[] = {
      {server,
       "Looking in JAVA_HOME '" + server + "'\n" +
           test::Tried(server + "\\jre\\bin\\server\\jvm.dll", true),
       0},
      {"c:\\HOMES\\Server\\",
       "Looking in JAVA_HOME 'c:\\HOMES\\Server\\'\n" +
           test::Tried("c:\\HOMES\\Server\\jre\\bin\\server\\jvm.dll", true),
       0},
      {"C:/homes/server/",
       "Looking in JAVA_HOME 'C:/homes/server/'\n" +
           test::Tried("C:/homes/server/\\jre\\bin\\server\\jvm.dll", true),
       0},
      {client,
       "Looking in JAVA_HOME '" + client + "'\n" +
           test::Tried(client + "\\jre\\bin\\server\\jvm.dll", false) +
           test::Tried(client + "\\jre\\bin\\client\\jvm.dll", false) +
           test::Tried(client + "\\bin\\client\\jvm.dll", true),
       0},
      {other,
       "Looking in JAVA_HOME '" + other + "'\n" +
           test::Tried(other + "\\jre\\bin\\server\\jvm.dll", false) +
           test::Tried(other + "\\jre\\bin\\client\\jvm.dll", true),
       0},
      {none,
       "Looking in JAVA_HOME '" + none + "'\n" +
           test::Tried(none + "\\jre\\bin\\server\\jvm.dll", false) +
           test::Tried(none + "\\jre\\bin\\client\\jvm.dll", false) +
           test::Tried(none + "\\bin\\client\\jvm.dll", false) + test::kFailure,
       1},
      {"\"" + server + "\"",
       "Looking in JAVA_HOME '\"" + server + "\"'\n" +
           test::Tried("\"" + server + "\"\\jre\\bin\\server\\jvm.dll", false) +
           test::Tried("\"" + server + "\"\\jre\\bin\\client\\jvm.dll", false) +
           test::Tried("\"" + server + "\"\\bin\\client\\jvm.dll", false) + test::kFailure,
       1},
      {"C:\\homes\\..\\homes\\.\\server",
       "Looking in JAVA_HOME 'C:\\homes\\..\\homes\\.\\server'\n" +
           test::Tried("C:\\homes\\..\\homes\\.\\server\\jre\\bin\\server\\jvm.dll", true),
       0},
      {"", "JAVA_HOME not set\n" + std::string(test::kFailure), 1},
  };
  for (const Case& c : cases) ExpectBoth(c.home, {"JAVA_HOME=" + c.home}, c.trace, c.status, false);
}

TEST_F(WineTest, VariableNamesMatchWithoutRegardToCaseOnWindowsOnly) {
  WinePrefix::StartServer();
  MakeFiles({"homes/server/jre/bin/server/jvm.dll"});
  const test::Outcome windows = WinePrefix::Wine({Exe()}, {"java_home=C:\\homes\\server"});
  EXPECT_EQ(windows.status, 0);
  EXPECT_EQ(windows.err, "");
  const test::Outcome linux =
      test::Execute(kLinux, {{}, WinePrefix::Environment({"java_home=C:\\homes\\server"})});
  EXPECT_EQ(linux.status, 1);
  EXPECT_EQ(linux.err, test::kFailure);
}

TEST_F(WineTest, OnlyAnExactFirstArgumentTurnsTheTraceOn) {
  WinePrefix::StartServer();
  MakeFiles({"homes/server/jre/bin/server/jvm.dll"});
  const std::string trace =
      "Looking in JAVA_HOME 'C:\\homes\\server'\nTrying "
      "'C:\\homes\\server\\jre\\bin\\server\\jvm.dll'...found!\n";
  struct Case {
    std::vector<std::string> arguments;
    bool traced;
  };
  const Case cases[] = {{{"-v", "more"}, true},
                        {{"-V"}, false},
                        {{"-v "}, false},
                        {{""}, false},
                        {{"x", "-v"}, false}};
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {Exe()};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const test::Outcome outcome = WinePrefix::Wine(arguments, {"JAVA_HOME=C:\\homes\\server"});
    EXPECT_EQ(outcome.err, c.traced ? trace : "") << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(outcome.status, 0) << ::testing::PrintToString(c.arguments);
  }
}

// A real client: a cmd.exe script that branches on the exit status. (Wine's cmd runs both sides
// of "&&" and "||" after an external program whatever its status, so the chained form cannot be
// shown here; "if errorlevel" and %ERRORLEVEL% are what it honours.)
TEST_F(WineTest, ACmdScriptBranchesOnTheStatus) {
  WinePrefix::StartServer();
  MakeFiles({"homes/server/jre/bin/server/jvm.dll", "tool/placeholder"});
  fs::copy_file(Exe(), WinePrefix::root / "drive_c/tool/locate-jvm.exe");
  test::WriteFile(WinePrefix::root / "drive_c/tool/check.cmd",
                  "@echo off\r\nC:\\tool\\locate-jvm.exe 2>NUL\r\n"
                  "if errorlevel 1 (echo missing) else (echo found)\r\n"
                  "C:\\tool\\locate-jvm.exe 2>NUL\r\necho status %ERRORLEVEL%\r\n");
  for (const auto& [home, answer] :
       {std::pair<std::string, std::string>{"C:\\homes\\server", "found\r\nstatus 0"},
        {"C:\\homes\\none", "missing\r\nstatus 1"}}) {
    const test::Outcome script =
        WinePrefix::Wine({"cmd", "/c", "C:\\tool\\check.cmd"}, {"JAVA_HOME=" + home});
    EXPECT_EQ(script.out, answer + "\r\n") << home;
  }
}

// The example installer (examples/nsis), built around `exe`: a 64-bit installer for the x64
// build, a 32-bit one for the x86 build, as a user would make them.
fs::path BuildInstaller(const std::string& exe, int bits) {
  const fs::path out = WinePrefix::root / ("setup" + std::to_string(bits) + ".exe");
  std::vector<std::string> arguments = {"-V1", "-DLOCATE_JVM_EXE=" + exe,
                                        "-DOUTFILE=" + out.string()};
  if (bits == 64) arguments.push_back("-DTARGET=amd64-unicode");
  arguments.push_back(std::string(LOCATE_JVM_SOURCE_DIR) + "/examples/nsis/installer.nsi");
  const test::Outcome made =
      test::Execute("/usr/bin/makensis", {arguments, {"PATH=/usr/bin:/bin", "LANG=C.UTF-8"}});
  EXPECT_EQ(made.status, 0) << made.out << made.err;
  return out;
}

// A real installer: it runs the embedded .exe and goes on (status 0, and a file installed) only
// when that finds a JVM; otherwise it stops with status 2 and installs nothing.
TEST_F(WineTest, AnInstallerGoesOnOnlyWhenItsBuildFindsAJvm) {
  MakeFiles({"jdk/jre/bin/server/jvm.dll", "jre14/bin/client/jvm.dll"});
  const fs::path installer = BuildInstaller(Exe(), g_bits);
  const bool x64 = g_bits == 64;
  struct Case {
    const char* name;
    std::string keys;
    std::vector<std::string> environment;
    bool goes_on;
  };
  const Case cases[] = {
      {"no Java", "", {}, false},
      {"JAVA_HOME set", "", {"JAVA_HOME=C:\\jdk"}, true},
      {"a JDK in the 32-bit view only", JdkKeys(kIn32, "1.6", "C:\\\\jdk"), {}, !x64},
      {"a JDK in the 64-bit view only", JdkKeys("", "1.6", "C:\\\\jdk"), {}, x64},
      {"only a JRE older than 1.5",
       JreKeys("", "1.4.2", "C:\\\\jre14\\\\bin\\\\client\\\\jvm.dll") +
           JreKeys(kIn32, "1.4.2", "C:\\\\jre14\\\\bin\\\\client\\\\jvm.dll"),
       {},
       false},
  };
  for (const Case& c : cases) {
    LoadKeys(c.keys);
    made_.push_back(WinePrefix::root / "drive_c/installed");
    const test::Outcome setup =
        WinePrefix::Wine({installer.string(), "/S", "/D=C:\\installed"}, c.environment);
    EXPECT_EQ(setup.status, c.goes_on ? 0 : 2) << c.name;
    EXPECT_EQ(fs::exists(WinePrefix::root / "drive_c/installed/installed.txt"), c.goes_on)
        << c.name;
    fs::remove_all(WinePrefix::root / "drive_c/installed");
  }
  WinePrefix::ReplaceRegistry("");
}

// The mistake users make: the installer of a 32-bit application embeds the x64 build. With only
// a 64-bit JDK it goes on, and the application then finds no JVM that it can load; the x86 build
// would have stopped it.
TEST_F(WineTest, AnInstallerThatEmbedsTheWrongBitnessTakesTheWrongBranch) {
  if (g_bits != 64) GTEST_SKIP() << "runs in the x64 suite";
  MakeFiles({"jdk/jre/bin/server/jvm.dll"});
  LoadKeys(JdkKeys("", "1.6", "C:\\\\jdk"));
  made_.push_back(WinePrefix::root / "drive_c/installed");
  const test::Outcome wrong =
      WinePrefix::Wine({BuildInstaller(kExe64, 64).string(), "/S", "/D=C:\\installed"}, {});
  EXPECT_EQ(wrong.status, 0) << "the x64 build finds the 64-bit JDK";
  if (Runs32BitPrograms()) {
    const test::Outcome right =
        WinePrefix::Wine({BuildInstaller(kExe32, 32).string(), "/S", "/D=C:\\installed2"}, {});
    EXPECT_EQ(right.status, 2) << "the x86 build finds no JVM a 32-bit application can load";
  }
  WinePrefix::ReplaceRegistry("");
}

// What a terminal shows, without its control sequences and carriage returns.
std::string Shown(const std::string& screen) {
  static const std::regex control(
      "\x1B(\\[[0-9;?]*[ -/]*[@-~]|\\][^\x07\x1B]*(\x07|\x1B\\\\)|[@-Z\\\\-_])|\r");
  return std::regex_replace(screen, control, "");
}

// Standard error on a console: Wine gives the program a console on the pseudo-terminal that
// `script` opens, and the tool writes through WriteConsoleW. The homes hold Latin with
// diacritics, Greek and CJK; nothing outside the Basic Multilingual Plane, which Wine's console
// shows as two U+FFFD (a flaw of Wine's, not of the tool's).
TEST_F(WineTest, AConsoleShowsTheTraceAndTheFailure) {
  const std::string home =
      "C:\\J\xC3\xA4va \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE4\xB8\xAD\xE6\x96\x87";
  const std::string none = "C:\\N\xC3\xB6ne \xCE\xB4 \xE6\x97\xA0";
  MakeFiles(
      {"J\xC3\xA4va \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 "
       "\xE4\xB8\xAD\xE6\x96\x87/jre/bin/server/jvm.dll"});
  WinePrefix::StartServer();
  struct Case {
    const char* name;
    std::string java_home;
    bool verbose;
    std::string shown;
    int status;
  };
  const Case cases[] = {
      {"the failure alone", "", false, test::kFailure, 1},
      {"the trace of a found library", home, true,
       "Looking in JAVA_HOME '" + home + "'\n" +
           test::Tried(home + "\\jre\\bin\\server\\jvm.dll", true),
       0},
      {"the trace, then the failure", none, true,
       "Looking in JAVA_HOME '" + none + "'\n" +
           test::Tried(none + "\\jre\\bin\\server\\jvm.dll", false) +
           test::Tried(none + "\\jre\\bin\\client\\jvm.dll", false) +
           test::Tried(none + "\\bin\\client\\jvm.dll", false) + test::kFailure,
       1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> environment;
    if (!c.java_home.empty()) environment.push_back("JAVA_HOME=" + c.java_home);
    const std::string command = std::string(kWineLoader) + " " + Exe() + (c.verbose ? " -v" : "");
    const test::Outcome console = test::Execute(
        "/usr/bin/script",
        {{"-q", "-e", "-c", command, "/dev/null"}, WinePrefix::Environment(environment)});
    EXPECT_EQ(Shown(console.out), c.shown) << c.name;
    EXPECT_EQ(console.status, c.status) << c.name;
  }
}

// A JDK in one view or both: each build finds the one of its own bitness, and the Linux build
// reads the 64-bit view. Runs in the x64 suite, with the x86 build too where it can run.
TEST_F(WineTest, EachBuildSeesTheRegistryViewOfItsOwnBitness) {
  if (g_bits != 64) GTEST_SKIP() << "runs in the x64 suite";
  MakeFiles({"jdk32/jre/bin/server/jvm.dll", "jdk64/jre/bin/server/jvm.dll"});
  const std::string in32 = JdkKeys(kIn32, "1.6", "C:\\\\jdk32");
  const std::string in64 = JdkKeys("", "1.6", "C:\\\\jdk64");
  const auto found = [](const std::string& home) {
    return "JAVA_HOME not set\nFound JDK version '1.6'\n"
           "Version meets requirement, retrieving home path\nLooking in JavaHome '" +
           home + "'\n" + test::Tried(home + "\\jre\\bin\\server\\jvm.dll", true);
  };
  const std::string nothing = std::string("JAVA_HOME not set\n") + test::kFailure;
  struct Case {
    const char* name;
    std::string keys;
    std::string x86, x64;  // what each build traces; the Linux build answers as the x64 one
  };
  const Case cases[] = {
      {"32-bit view only", in32, found("C:\\jdk32"), nothing},
      {"64-bit view only", in64, nothing, found("C:\\jdk64")},
      {"both views", in32 + in64, found("C:\\jdk32"), found("C:\\jdk64")},
  };
  const bool x86_runs = Runs32BitPrograms();
  for (const Case& c : cases) {
    LoadKeys(c.keys);
    const test::Outcome x64 = WinePrefix::Wine({kExe64, "-v"}, {});
    EXPECT_EQ(x64.err, c.x64) << c.name << " (x64 build)";
    EXPECT_EQ(x64.status, c.x64 == nothing ? 1 : 0) << c.name << " (x64 build)";
    if (x86_runs) {
      const test::Outcome x86 = WinePrefix::Wine({kExe32, "-v"}, {});
      EXPECT_EQ(x86.err, c.x86) << c.name << " (x86 build)";
      EXPECT_EQ(x86.status, c.x86 == nothing ? 1 : 0) << c.name << " (x86 build)";
    }
    WinePrefix::StopServer();
    const test::Outcome linux = test::Execute(kLinux, {{"-v"}, WinePrefix::Environment({})});
    EXPECT_EQ(linux.err, c.x64) << c.name << " (Linux build)";
    EXPECT_EQ(linux.out, "") << c.name << " (Linux build)";
  }
  WinePrefix::ReplaceRegistry("");
  if (!x86_runs) std::cout << "the x86 build was not run: this kernel cannot run 32-bit programs\n";
}

}  // namespace

// --bits=32 runs the suite on the x86 build. That needs a kernel that runs 32-bit programs;
// without one the suite reports itself skipped (status 77) rather than passed.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--bits=32") == 0) g_bits = 32;
  if (g_bits == 32 && !Runs32BitPrograms()) {
    std::cout << "SKIPPED: this kernel cannot run 32-bit programs (no IA-32 emulation), which "
                 "Wine needs to run the x86 build\n";
    return 77;
  }
  ::testing::AddGlobalTestEnvironment(new WinePrefix);
  return RUN_ALL_TESTS();
}
