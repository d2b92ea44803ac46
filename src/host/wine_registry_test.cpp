#include "host/wine_registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "host/registry.h"
#include "test_support.h"

namespace host::wine_registry {
namespace {

struct Result {
  long open = -1;
  long query = -1;
  std::string data;  // the bytes the query returned
  std::uint32_t size = 0;
};

// Opens `key` in a registry file of `contents` and queries `name`, as the lookup does.
Result Lookup(const std::string& contents, std::u16string_view key_path, std::u16string_view name,
              std::uint32_t capacity = kRegistryQueryBytes) {
  test::TempDir dir;
  test::WriteFile(dir.path() / "system.reg", contents);
  Result result;
  Key* key = nullptr;
  result.open = OpenKey(open((dir.path() / "system.reg").c_str(), O_RDONLY), key_path, &key);
  if (result.open != kSuccess) return result;
  std::string buffer(kRegistryBufferUnits * sizeof(char16_t), '\0');
  result.size = capacity;
  result.query =
      QueryValue(key, name, reinterpret_cast<std::uint8_t*>(buffer.data()), &result.size);
  if (result.query == kSuccess) result.data = buffer.substr(0, result.size);
  CloseKey(key);
  return result;
}

std::string File(const std::string& keys) {
  return test::kRegistryHeader + keys;
}

// The bytes of a REG_SZ: UTF-16LE units and a NUL unit.
std::string Units(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text)
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes + std::string(2, '\0');
}

TEST(WineRegistryTest, ReadsTheDataFormsAsBytes) {
  struct Case {
    std::string line;
    std::string bytes;
  };
  const Case cases[] = {
      {"\"V\"=\"1.6\"", Units(u"1.6")},
      {"\"V\"=\"\"", Units(u"")},
      {"\"V\"=str(2):\"%JAVA%\\\\bin\"", Units(u"%JAVA%\\bin")},
      {"\"V\"=str(7):\"a\\0b\\0\"", Units(std::u16string(u"a\0b\0", 4))},
      {"\"V\"=hex:01,02,ff", "\x01\x02\xff"},
      {"\"V\"=hex:", ""},
      {"\"V\"=hex(1):31,00,2e,00", std::string("1\0.\0", 4)},
      {"\"V\"=hex(b):0a,00,00,00,00,00,00,00", std::string("\x0a\0\0\0\0\0\0\0", 8)},
      {"\"V\"=dword:0000000a", std::string("\x0a\0\0\0", 4)},
      {"\"V\"=dword:DEADBEEF", "\xef\xbe\xad\xde"},
      {"\"V\"=hex:31,00,\\\n  32,00,\\\n  33,00", std::string("1\0"
                                                              "2\0"
                                                              "3\0",
                                                              6)},
      {"\"V\"=hex(7):61,00,00,00,\\\r\n  62,00", std::string("a\0\0\0b\0", 6)},
      // Read with strtoul, as Wine's loader reads them.
      {"\"V\"=str:\"x\"", Units(u"x")},
      {"\"V\"=hex():01", "\x01"},
      {"\"V\"=hex(0x3):02", "\x02"},
      {"\"V\"=hex:001,2", "\x01\x02"},
      {"\"V\"=hex:0x1f", "\x1f"},
      {"\"V\"=hex:01,\\ ignored\n  02", "\x01\x02"},
      {"\"V\"=dword:123456789", "\x89\x67\x45\x23"},  // nine digits keep the last eight
      {"\"V\"=dword:12345678901234567890", "\xff\xff\xff\xff"},
      {"\"V\"=dword:-1", "\xff\xff\xff\xff"},
      {"\"V\"=dword:0x10", std::string("\x10\0\0\0", 4)},
      {"\"V\"=dword:", std::string(4, '\0')},
      {"\"V\"= \t dword:  5", std::string("\x05\0\0\0", 4)},
  };
  for (const Case& c : cases) {
    const Result r = Lookup(File("[Software\\\\K] 1\n" + c.line + "\n"), u"Software\\K", u"V");
    EXPECT_EQ(r.query, kSuccess) << c.line;
    EXPECT_EQ(r.data, c.bytes) << c.line;
  }
}

TEST(WineRegistryTest, DecodesEscapesInNamesAndText) {
  struct Case {
    std::string escaped;
    std::u16string text;
  };
  const Case cases[] = {
      {R"(C:\\Program Files\\Java)", u"C:\\Program Files\\Java"},
      {R"(say \"hi\")", u"say \"hi\""},
      {R"(\n\r\t\a\b\e\f\v)", u"\n\r\t\a\b\x1B\f\v"},
      {R"(\xe4\x20ac)", u"\u00E4\u20AC"},
      {R"(\x00f6a)", u"\u00F6a"},          // padded to four digits before a hex digit
      {R"(\xd83d\xde00)", u"\U0001F600"},  // a pair, escaped unit by unit
      {R"(a\0001)", std::u16string(u"a\0"
                                   u"1",
                                   3)},
      {R"(\1x\12\0123)",
       u"\x01x\x0A\x0A"
       u"3"},              // octal takes three digits at most
      {R"(\q\])", u"q]"},  // any other escaped character stands for itself
      {"J\xC3\xA4va\xE2\x82\xAC", u"J\u00E4va\u20AC"},
      {"bad\xFFutf8", u"badutf8"},  // bytes that are not UTF-8 are dropped
      {"a\xE4\xB8", u"a"},          // and so is a cut character
      {"a\xC0\xAF", u"a"},          // and an overlong one
      {"\xED\xA0\x80", u"\xD800"},  // an encoded surrogate is the unit it encodes
      {R"(a\xg)", u"axg"},          // \x without digits is x
      {"\\\xC3\xA4", u"\u00E4"},    // an escaped character that is not ASCII is itself
  };
  for (const Case& c : cases) {
    const Result text = Lookup(File("[K] 1\n\"V\"=\"" + c.escaped + "\"\n"), u"K", u"V");
    EXPECT_EQ(text.data, Units(c.text)) << c.escaped;
    // The same escapes in a value name and in a key path.
    const Result named = Lookup(File("[K] 1\n\"" + c.escaped + "\"=\"x\"\n"), u"K", c.text);
    EXPECT_EQ(named.data, Units(u"x")) << c.escaped;
    if (c.text.find(u'\\') == std::u16string::npos && c.text.find(u'\0') == std::u16string::npos) {
      const Result keyed =
          Lookup(File("[K\\\\" + c.escaped + "] 1\n\"V\"=\"x\"\n"), u"K\\" + c.text, u"V");
      EXPECT_EQ(keyed.data, Units(u"x")) << c.escaped;
    }
  }
}

TEST(WineRegistryTest, MatchesKeysAndNamesWithoutRegardToCase) {
  const std::string file = File(
      "[Software\\\\JavaSoft\\\\Java Development Kit\\\\1.6\\xe4] 1\n\"JAVAHOME\"=\"C:\\\\jdk\"\n");
  const Result r =
      Lookup(file, u"SOFTWARE\\javasoft\\JAVA DEVELOPMENT KIT\\1.6\u00C4", u"JavaHome");
  EXPECT_EQ(r.query, kSuccess);
  EXPECT_EQ(r.data, Units(u"C:\\jdk"));
}

TEST(WineRegistryTest, OpensKeysThatOnlyHaveSubkeysAndIgnoresEmptyComponents) {
  const std::string file = File("[A\\\\B\\\\C] 1\n\"V\"=\"c\"\n");
  EXPECT_EQ(Lookup(file, u"A\\B", u"V").open, kSuccess);
  EXPECT_EQ(Lookup(file, u"A\\B", u"V").query, kFileNotFound);
  EXPECT_EQ(Lookup(file, u"A\\\\B\\C\\", u"V").data, Units(u"c"));
  EXPECT_EQ(Lookup(file, u"A\\B\\CD", u"V").open, kFileNotFound);
  EXPECT_EQ(Lookup(file, u"A\\BC", u"V").open, kFileNotFound);
  EXPECT_EQ(Lookup(file, u"A\\B\\C", u"W").query, kFileNotFound);
}

TEST(WineRegistryTest, TheLastOfRepeatedKeysAndValuesWins) {
  const std::string file = File(
      "[K] 1\n\"V\"=\"first\"\n\"V\"=\"second\"\n\n[Other] 1\n\"V\"=\"other\"\n"
      "[k] 2\n\"v\"=\"third\"\n");
  EXPECT_EQ(Lookup(file, u"K", u"V").data, Units(u"third"));
  // Even when its data do not parse: the value is then there, with no data.
  const Result broken = Lookup(file + "\"V\"=broken\n", u"K", u"V");
  EXPECT_EQ(broken.query, kSuccess);
  EXPECT_EQ(broken.data, "");
}

TEST(WineRegistryTest, ReadsTheDefaultValueByTheEmptyName) {
  const std::string file = File("[K] 1\n@=\"default\"\n\"\"=\"quoted\"\n");
  EXPECT_EQ(Lookup(file, u"K", u"").data, Units(u"quoted"));
  EXPECT_EQ(Lookup(File("[K] 1\n@=\"default\"\n"), u"K", u"").data, Units(u"default"));
}

TEST(WineRegistryTest, FailsDataLargerThanTheCapacity) {
  const std::string fits(8190, 'x');  // 8190 units and a NUL: 16382 bytes
  const Result whole = Lookup(File("[K] 1\n\"V\"=\"" + fits + "\"\n"), u"K", u"V");
  EXPECT_EQ(whole.query, kSuccess);
  EXPECT_EQ(whole.size, 16382u);
  const Result over = Lookup(File("[K] 1\n\"V\"=\"" + fits + "x\"\n"), u"K", u"V");
  EXPECT_EQ(over.query, kMoreData);
  EXPECT_EQ(over.size, 16384u);
  // A line far longer than the reader's buffer: too much data, and the file still serves.
  const std::string huge(200000, 'y');
  const std::string file =
      File("[K] 1\n\"V\"=\"" + huge + "\"\n\"W\"=\"w\"\n[L] 1\n\"V\"=\"after\"\n");
  EXPECT_EQ(Lookup(file, u"K", u"V").query, kMoreData);
  EXPECT_EQ(Lookup(file, u"K", u"W").data, Units(u"w"));
  EXPECT_EQ(Lookup(file, u"L", u"V").data, Units(u"after"));
}

TEST(WineRegistryTest, KeepsValuesWhoseDataDoNotParseWithNoData) {
  const std::string file = File(
      "[Broken\\\\Key\n\"V\"=\"in a broken key\"\n"
      "[K] 1\n"
      "\"A\"=\"unterminated\n"
      "\"B\"=hex:zz,01\n"
      "\"C\"=weird:00\n"
      "\"D\"=HEX:01\n"
      "\"E\"=Dword:1\n"
      "\"F\"=str(3):\"x\"\n"
      "\"H\"=hex:100\n"
      "\"I\"=hex: 01\n"
      "\"J\"=hex:01,02,\\\n"
      "\"Eaten\"=\"the line after a continuation is taken as hex data\"\n"
      "\"G\n"
      "#option\n"
      ";; comment [Ghost]\n"
      "\x01\x02\xff\xfe binary\n"
      "\"V\"=\"value with [brackets]\\n[K] inside\"\n"
      "[K] 2\n"
      "\"W\"=\"w\"");  // no line break at the end of the file
  for (std::u16string_view name : {u"A", u"B", u"C", u"D", u"E", u"F", u"H", u"I", u"J"}) {
    const Result r = Lookup(file, u"K", name);
    EXPECT_EQ(r.query, kSuccess) << std::string(name.begin(), name.end());
    EXPECT_EQ(r.data, "") << std::string(name.begin(), name.end());
  }
  EXPECT_EQ(Lookup(file, u"K", u"Eaten").query, kFileNotFound);
  EXPECT_EQ(Lookup(file, u"K", u"G").query, kFileNotFound);  // no '=': not a value
  EXPECT_EQ(Lookup(file, u"Broken\\Key", u"V").open, kFileNotFound);
  EXPECT_EQ(Lookup(file, u"Ghost", u"").open, kFileNotFound);  // a '[' after a line's start
  EXPECT_EQ(Lookup(file, u"K", u"V").data, Units(u"value with [brackets]\n[K] inside"));
  EXPECT_EQ(Lookup(file, u"K", u"W").data, Units(u"w"));
}

TEST(WineRegistryTest, ReadsIndentedAndLongLines) {
  const std::string indented = File("  [K] 1\n \t\"V\"=\"x\"\n\t[L] 1\n\"W\"=\"y\"\n");
  EXPECT_EQ(Lookup(indented, u"K", u"V").data, Units(u"x"));
  EXPECT_EQ(Lookup(indented, u"K", u"W").query, kFileNotFound);  // the indented [L] ends K
  EXPECT_EQ(Lookup(indented, u"L", u"W").data, Units(u"y"));
  // A value name of 11000 units, written as escapes: a line of 66 KB.
  std::string name;
  for (int i = 0; i < 11000; ++i) name += "\\x4e2d";
  const std::string long_value = File("[K] 1\n\"" + name + "\"=\"long\"\n");
  EXPECT_EQ(Lookup(long_value, u"K", std::u16string(11000, u'\u4E2D')).data, Units(u"long"));
  // A key line of 66 KB.
  std::string key = "[K";
  std::u16string path = u"K";
  for (int c = 0; c < 44; ++c) {
    key += "\\\\";
    path += u"\\";
    for (int i = 0; i < 250; ++i) key += "\\x4e2d", path += u"\u4E2D";
  }
  EXPECT_EQ(Lookup(File(key + "] 1\n\"V\"=\"deep\"\n"), path, u"V").data, Units(u"deep"));
}

TEST(WineRegistryTest, ReadsNothingFromAFileThatIsNotARegistry) {
  EXPECT_EQ(Lookup("", u"K", u"V").open, kFileNotFound);
  EXPECT_EQ(Lookup("REGEDIT4\n[K]\n\"V\"=\"x\"\n", u"K", u"V").open, kFileNotFound);
  EXPECT_EQ(Lookup(std::string(100000, '\0') + "\n[K] 1\n\"V\"=\"x\"\n", u"K", u"V").open,
            kFileNotFound);
  EXPECT_EQ(Lookup("WINE REGISTRY Version 2\n[K] 1\n\"V\"=\"x\"\n", u"K", u"V").data, Units(u"x"));
}

TEST(WineRegistryTest, FindsKeysAcrossTheReadersBuffer) {
  // Enough keys before the one asked for that its line straddles several refills.
  std::string keys;
  for (int i = 0; i < 5000; ++i)
    keys += "[Software\\\\Classes\\\\K" + std::to_string(i) + "] 1\n\"V\"=\"" + std::to_string(i) +
            "\"\n";
  const std::string file = File(keys + "[Software\\\\JavaSoft] 1\n\"V\"=hex:01,\\\n  02\n");
  EXPECT_EQ(Lookup(file, u"Software\\JavaSoft", u"V").data, "\x01\x02");
  EXPECT_EQ(Lookup(file, u"Software\\Classes\\K4321", u"V").data, Units(u"4321"));
}

// The reader passes over other keys' lines with a quick comparison of the bytes as written; these
// are the lines where a byte-wise comparison alone would go wrong. Each case runs with the quick
// comparison on and off, and both must give the answer the case names.
TEST(WineRegistryTest, TheQuickComparisonAgreesWithTheFullOne) {
  const std::string jre = "Software\\\\JavaSoft\\\\Java Runtime Environment\\\\1.6";
  const std::string long_key = "Software\\\\" + std::string(300, 'k');
  const std::u16string jre_path = u"Software\\JavaSoft\\Java Runtime Environment\\1.6";
  const std::string short_key = long_key.substr(0, long_key.size() - 1);
  const std::u16string long_path = u"Software\\" + std::u16string(300, u'k');
  struct Case {
    const char* name;
    std::string keys;
    std::u16string path;
    long open;
  };
  const Case cases[] = {
      {"a '[' in mid-line", "\"V\"=\"x\" [" + jre + "] 1\n", jre_path, kFileNotFound},
      {"a '[' in a comment", ";; [" + jre + "]\n", jre_path, kFileNotFound},
      // "\\x5c" is a backslash written as an escape: still a separator, so the key exists.
      {"an escaped separator", "[Software\\x5cJavaSoft] 1\n", u"Software\\JavaSoft", kSuccess},
      {"an escaped letter", "[Software\\\\Java\\x53oft] 1\n", u"Software\\JavaSoft", kSuccess},
      {"a doubled separator", "[Software\\\\\\\\JavaSoft] 1\n", u"Software\\JavaSoft", kSuccess},
      {"a key path over 256 bytes", "[" + long_key + "] 1\n", long_path, kSuccess},
      {"one byte short of it", "[" + short_key + "] 1\n", long_path, kFileNotFound},
      {"raw 4-byte UTF-8", "[Software\\\\J\xF0\x9F\x98\x80] 1\n", u"Software\\J\U0001F600",
       kSuccess},
      {"a longer name", "[Software\\\\JavaSoftware] 1\n", u"Software\\JavaSoft", kFileNotFound},
      {"a key below it", "[Software\\\\JavaSoft\\\\X] 1\n", u"Software\\JavaSoft", kSuccess},
  };
  for (const Case& c : cases) {
    for (const bool quick : {true, false}) {
      UseQuickMatch(quick);
      const Result r = Lookup(File("[Other] 1\n" + c.keys + "[Zother] 1\n"), c.path, u"V");
      EXPECT_EQ(r.open, c.open) << c.name << (quick ? " (quick)" : " (full)");
    }
  }
  UseQuickMatch(true);
}

}  // namespace
}  // namespace host::wine_registry
