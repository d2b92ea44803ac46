// The cases of the search through the registry, shared by the Linux end-to-end tests and the
// Wine suite, which runs them on both binaries.
#include "search_cases.h"

#include "test_support.h"

namespace test {

namespace {

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

}  // namespace

std::vector<SearchCase> JdkStepCases() {
  const std::string jdk16 = kJdk + std::string("\"CurrentVersion\"=\"1.6\"\n");
  const std::string meets =
      "Found JDK version '1.6'\nVersion meets requirement, retrieving home path\n";
  return {
      {"no JDK", kGoodJre, {}, kGoodJreTrace, 0},
      {"empty CurrentVersion",
       kJdk + std::string("\"CurrentVersion\"=\"\"\n") + kGoodJre,
       {},
       kGoodJreTrace,
       0},
      {"old JDK",
       kJdk + std::string("\"CurrentVersion\"=\"1.4.2_10\"\n") + kGoodJre,
       {},
       "Found JDK version '1.4.2_10'\n" + kGoodJreTrace,
       0},
      {"no digits",
       kJdk + std::string("\"CurrentVersion\"=\"abc\"\n") + kGoodJre,
       {},
       "Found JDK version 'abc'\n" + kGoodJreTrace,
       0},
      {"no per-version key",
       jdk16 + kGoodJre,
       {},
       meets + "JavaHome key not present\n" + kGoodJreTrace,
       0},
      {"empty JavaHome",
       jdk16 + JdkKey("1.6") + "\"JavaHome\"=\"\"\n" + kGoodJre,
       {},
       meets + "JavaHome key not present\n" + kGoodJreTrace,
       0},
      {"home without a library",
       jdk16 + JdkKey("1.6") + "\"JavaHome\"=\"C:\\\\jdk6\"\n" + kGoodJre,
       {"jdk6/bin/server/jvm.dll"},
       meets + EmptyHomeTrace("C:\\jdk6") + kGoodJreTrace,
       0},
      {"other versions are not read",
       jdk16 + JdkKey("1.7") + "\"JavaHome\"=\"C:\\\\jdk7\"\n" + kGoodJre,
       {"jdk7/jre/bin/server/jvm.dll"},
       meets + "JavaHome key not present\n" + kGoodJreTrace,
       0},
  };
}

std::vector<SearchCase> JreStepCases() {
  const std::string jre16 = kJre + std::string("\"CurrentVersion\"=\"1.6\"\n");
  const std::string meets =
      "Found JRE version '1.6'\nVersion meets requirement, retrieving runtime path\n";
  return {
      {"nothing registered", "", {}, kFailure, 1},
      {"no JRE after an old JDK",
       kJdk + std::string("\"CurrentVersion\"=\"1.4\"\n"),
       {},
       "Found JDK version '1.4'\n" + std::string(kFailure),
       1},
      {"empty CurrentVersion", kJre + std::string("\"CurrentVersion\"=\"\"\n"), {}, kFailure, 1},
      {"old JRE",
       kJre + std::string("\"CurrentVersion\"=\"1\"\n") + JreKey("1") + "\"RuntimeLib\"=\"x\"\n",
       {},
       "Found JRE version '1'\n" + std::string(kFailure),
       1},
      {"no RuntimeLib",
       jre16 + JreKey("1.6"),
       {},
       meets + "RuntimeLib key not present\n" + kFailure,
       1},
      {"empty RuntimeLib",
       jre16 + JreKey("1.6") + "\"RuntimeLib\"=\"\"\n",
       {},
       meets + "RuntimeLib key not present\n" + kFailure,
       1},
      {"RuntimeLib taken as recorded",
       jre16 + JreKey("1.6") + "\"RuntimeLib\"=\"Q:\\\\no such.dll\"\n",
       {},
       meets + "Runtime path set to 'Q:\\no such.dll'\n",
       0},
  };
}

std::vector<SearchCase> JdkFoundCases() {
  const std::string jdk = kJdk + std::string("\"CurrentVersion\"=\"1.6.0_31\"\n") +
                          JdkKey("1.6.0_31") +
                          "\"JavaHome\"=\"C:\\\\Program Files\\\\Java\\\\jdk1.6.0_31\"\n";
  const std::string found =
      "Found JDK version '1.6.0_31'\nVersion meets requirement, retrieving home path\n"
      "Looking in JavaHome 'C:\\Program Files\\Java\\jdk1.6.0_31'\n"
      "Trying 'C:\\Program Files\\Java\\jdk1.6.0_31\\jre\\bin\\server\\jvm.dll'...not found.\n"
      "Trying 'C:\\Program Files\\Java\\jdk1.6.0_31\\jre\\bin\\client\\jvm.dll'...found!\n";
  return {{"JDK found",
           jdk + kGoodJre,
           {"Program Files/Java/jdk1.6.0_31/jre/bin/client/jvm.dll"},
           found,
           0}};
}

std::vector<SearchCase> ValueTypeCases() {
  const auto jre = [](const std::string& version_data, const std::string& library_data) {
    return kJre + ("\"CurrentVersion\"=" + version_data + "\n") + JreKey("1.6") +
           ("\"RuntimeLib\"=" + library_data + "\n");
  };
  const std::string meets =
      "Found JRE version '1.6'\nVersion meets requirement, retrieving runtime path\n";
  const std::string fits(8190, 'L');
  return {
      {"multi-string",
       jre("str(7):\"1.6\\0001.4\\0\"", "\"lib\""),
       {},
       meets + "Runtime path set to 'lib'\n",
       0},
      {"expandable string, unexpanded",
       jre("\"1.6\"", "str(2):\"%JRE%\\\\jvm.dll\""),
       {},
       meets + "Runtime path set to '%JRE%\\jvm.dll'\n",
       0},
      {"binary without a NUL",
       jre("hex:31,00,2e,00,36,00", "hex(1):6c,00,69,00,62,00,ff"),
       {},
       meets + "Runtime path set to 'lib'\n",
       0},  // the odd last byte is dropped
      {"binary text",
       jre("hex(1):31,00,2e,00,36,00,00,00,37,00", "\"lib\""),
       {},
       meets + "Runtime path set to 'lib'\n",
       0},
      {"zero bytes", jre("hex:", "\"lib\""), {}, kFailure, 1},
      {"a DWORD",
       jre("dword:00000031", "\"lib\""),
       {},
       "Found JRE version '1'\n" + std::string(kFailure),
       1},
      {"8190 characters",
       jre("\"1.6\"", "\"" + fits + "\""),
       {},
       meets + "Runtime path set to '" + fits + "'\n",
       0},
      {"8191 characters",
       jre("\"1.6\"", "\"" + fits + "L\""),
       {},
       meets + "RuntimeLib key not present\n" + kFailure,
       1},
      {"escapes",
       jre("\"1.6\"", "\"C:\\\\J\\xe4va\\\\\\\"x\\\"\\\\%s%n\""),
       {},
       meets + "Runtime path set to 'C:\\J\xC3\xA4va\\\"x\"\\%s%n'\n",
       0},
  };
}

std::vector<SearchCase> CaseCases() {
  const std::string keys =
      "[software\\\\JAVASOFT\\\\java development kit] 1\n\"currentversion\"=\"1.7.0\"\n"
      "[SOFTWARE\\\\JavaSoft\\\\Java Development Kit\\\\1.7.0] 1\n\"JAVAHOME\"=\"c:\\\\PROGRAM "
      "FILES\\\\java\\\\JDK7\"\n";
  const std::string found =
      "Found JDK version '1.7.0'\nVersion meets requirement, retrieving home path\n"
      "Looking in JavaHome 'c:\\PROGRAM FILES\\java\\JDK7'\n"
      "Trying 'c:\\PROGRAM FILES\\java\\JDK7\\jre\\bin\\server\\jvm.dll'...found!\n";
  return {{"cases differ", keys, {"Program Files/Java/jdk7/jre/bin/server/jvm.dll"}, found, 0}};
}

std::vector<SearchCase> SuffixCases() {
  const std::string keys = kJdk + std::string("\"CurrentVersion\"=\"1.8.0_402-b06\"\n") +
                           JdkKey("1.8.0_402") + "\"JavaHome\"=\"C:\\\\wrong\"\n" +
                           JdkKey("1.8.0_402-b06") + "\"JavaHome\"=\"C:\\\\right\"\n";
  return {{"suffix",
           keys,
           {"right/bin/client/jvm.dll"},
           "Found JDK version '1.8.0_402-b06'\nVersion meets requirement, retrieving home path\n"
           "Looking in JavaHome 'C:\\right'\n"
           "Trying 'C:\\right\\jre\\bin\\server\\jvm.dll'...not found.\n"
           "Trying 'C:\\right\\jre\\bin\\client\\jvm.dll'...not found.\n"
           "Trying 'C:\\right\\bin\\client\\jvm.dll'...found!\n",
           0}};
}

std::vector<SearchCase> KeyPathCases() {
  // The per-version key is the version text as read: a separator in it separates, and empty
  // components count for nothing, as when Windows opens a key.
  const auto found = [](const std::string& version, const std::string& home) {
    return "Found JDK version '" + version +
           "'\nVersion meets requirement, retrieving home path\n" + "Looking in JavaHome '" + home +
           "'\nTrying '" + home + "\\jre\\bin\\server\\jvm.dll'...found!\n";
  };
  return {
      {"a version ending in a separator",
       kJdk + std::string("\"CurrentVersion\"=\"1.6\\\\\"\n") + JdkKey("1.6") +
           "\"JavaHome\"=\"C:\\\\jdk6\"\n",
       {"jdk6/jre/bin/server/jvm.dll"},
       found("1.6\\", "C:\\jdk6"),
       0},
      {"a version with a doubled separator",
       kJdk + std::string("\"CurrentVersion\"=\"1.6\\\\\\\\x\"\n") + JdkKey("1.6\\\\x") +
           "\"JavaHome\"=\"C:\\\\jdk6x\"\n",
       {"jdk6x/jre/bin/server/jvm.dll"},
       found("1.6\\\\x", "C:\\jdk6x"),
       0},
  };
}

}  // namespace test
