#include "host/case.h"

#include <gtest/gtest.h>

namespace host {
namespace {

// Two names match when their units' upper cases do, in every script the table covers.
TEST(FoldCaseTest, PairsBothCasesOfLettersInEveryScript) {
  struct Pair {
    char16_t small, capital;
    const char* what;
  };
  const Pair pairs[] = {
      {u'a', u'A', "ASCII"},
      {u'\u00E4', u'\u00C4', "Latin-1"},
      {u'\u00FF', u'\u0178', "y with diaeresis, capital in Latin Extended-A"},
      {u'\u013A', u'\u0139', "Latin Extended-A, capital odd"},
      {u'\u0219', u'\u0218', "Romanian s with comma below (Latin Extended-B)"},
      {u'\u1EA1', u'\u1EA0', "Vietnamese (Latin Extended Additional)"},
      {u'\u03AC', u'\u0386', "Greek with tonos"},
      {u'\u03C9', u'\u03A9', "basic Greek"},
      {u'\u1F00', u'\u1F08', "polytonic Greek"},
      {u'\u0491', u'\u0490', "Ukrainian ghe with upturn"},
      {u'\u0451', u'\u0401', "Cyrillic io"},
      {u'\u0561', u'\u0531', "Armenian"},
      {u'\u10D0', u'\u1C90', "Georgian against Mtavruli"},
      {u'\uAB70', u'\u13A0', "Cherokee small against capital"},
      {u'\u2C30', u'\u2C00', "Glagolitic"},
      {u'\u2C81', u'\u2C80', "Coptic"},
      {u'\uFF41', u'\uFF21', "fullwidth Latin"},
      {u'\u2170', u'\u2160', "Roman numerals"},
      {u'\u24D0', u'\u24B6', "circled letters"},
  };
  for (const Pair& p : pairs) {
    EXPECT_EQ(FoldCase(p.small), p.capital) << p.what;
    EXPECT_EQ(FoldCase(p.capital), p.capital) << p.what;
  }
}

TEST(FoldCaseTest, KeepsLookAlikesAndEverythingElseApart) {
  struct Unit {
    char16_t unit;
    const char* what;
  };
  const Unit own[] = {
      {u'\u0131', "dotless i"},
      {u'\u0130', "capital I with dot"},
      {u'\u017F', "long s"},
      {u'\u212A', "Kelvin sign"},
      {u'\u00DF', "sharp s"},
      {u'\u03C2', "final sigma"},
      {u'\u00B5', "micro sign"},
      {u'\u01C5', "title-case Dz with caron"},
      {u'\u00F7', "division sign"},
      {u'[', "bracket"},
      {u'\\', "backslash"},
      {u'{', "brace"},
      {static_cast<char16_t>(0xD801), "a high surrogate"},
      {static_cast<char16_t>(0xDC28), "a low surrogate (Deseret outside the BMP)"},
      {u'\u4E2D', "CJK"},
      {u'\uFFFF', "the last unit"},
  };
  for (const Unit& u : own) EXPECT_EQ(FoldCase(u.unit), u.unit) << u.what;
  EXPECT_NE(FoldCase(u'i'), FoldCase(u'\u0131'));
  EXPECT_NE(FoldCase(u'k'), FoldCase(u'\u212A'));
  EXPECT_NE(FoldCase(u'\u03C3'), FoldCase(u'\u03C2'));
}

}  // namespace
}  // namespace host
