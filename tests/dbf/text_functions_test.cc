// SUBSTR, STUFF and STRTRAN text routines.
#include "dbf/text_functions.h"

#include <gtest/gtest.h>

#include <string>

#include "dbf/errors.h"

namespace qxdbf {
namespace {

TEST(SubStrTest, Table) {
  struct Case {
    const char* text;
    int64_t start, length;
    const char* result;
  };
  const Case cases[] = {
      {"ABCDE", 2, 3, "BCD"}, {"ABCDE", 2, 0, "BCDE"},  {"ABCDE", 2, -1, "BCDE"},
      {"ABCDE", 4, 9, "DE"},  {"ABCDE", 5, 1, "E"},     {"ABC", 4, 0, ""},
      {"ABC", 4, 2, ""},      {"ABC", 1000, 1, ""},     {"", 1, 1, ""},
      {"ABCDE", 0, 2, "AB"},  {"ABCDE", -2, 0, "DE"},   {"ABCDE", -3, 1, "C"},
      {"ABCDE", -9, 2, "AB"}, {"ABC", INT64_MIN, 0, "ABC"},
      {"ABC", 1, INT64_MAX, "ABC"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SubStr(c.text, c.start, c.length), c.result)
        << c.text << " " << c.start << " " << c.length;
  EXPECT_EQ(SubStr("ABC", 2), "BC");
}

TEST(StuffTest, Table) {
  struct Case {
    const char* text;
    int64_t start, remove;
    const char* insert;
    const char* result;
  };
  const Case cases[] = {
      {"ABCDE", 2, 2, "xyz", "AxyzDE"}, {"ABCDE", 2, 0, "xy", "AxyBCDE"},
      {"ABCDE", 2, -3, "x", "AxBCDE"},  {"ABCDE", 3, 99, "", "AB"},
      {"ABCDE", 1, 5, "", ""},          {"ABCDE", 6, 2, "!", "ABCDE!"},
      {"ABCDE", 99, 0, "!", "ABCDE!"},  {"ABCDE", 0, 1, "x", "xBCDE"},
      {"ABCDE", -5, 1, "x", "xBCDE"},   {"", 1, 1, "x", "x"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Stuff(c.text, c.start, c.remove, c.insert), c.result)
        << c.text << " " << c.start << " " << c.remove << " " << c.insert;
  EXPECT_EQ(Stuff("ABCDE", 2, 3), "AE");
}

TEST(StrTranTest, ReplacesUntilNoneRemain) {
  struct Case {
    const char* text;
    const char* search;
    const char* replace;
    const char* result;
  };
  const Case cases[] = {
      {"a,b,c", ",", ";", "a;b;c"},
      {"a,b,c", ",", "", "abc"},
      {"abc", "x", "y", "abc"},
      {"", "x", "y", ""},
      {"abc", "", "y", "abc"},
      // A replacement that forms a new occurrence with its neighbours is
      // searched again.
      {"a     b", "  ", " ", "a b"},
      {"aaaa", "aa", "a", "a"},
      {"xaabb", "ab", "", "x"},
      {"aab", "ab", "ba", "baa"},
      // Occurrences overlapping each other: the leftmost goes first.
      {"aaa", "aa", "b", "ba"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StrTran(c.text, c.search, c.replace), c.result)
        << c.text << " / " << c.search << " / " << c.replace;
  // Start has no effect without a count.
  EXPECT_EQ(StrTran("a,b,c", ",", ";", 2, 0), "a;b;c");
  EXPECT_EQ(StrTran("a,b", ","), "ab");
}

TEST(StrTranTest, ReplacementContainingTheSearchIsOnePass) {
  EXPECT_EQ(StrTran("a.b.c", ".", ".."), "a..b..c");
  EXPECT_EQ(StrTran("abab", "ab", "xaby"), "xabyxaby");
  EXPECT_EQ(StrTran("aa", "a", "a"), "aa");
}

TEST(StrTranTest, CountAndStartPickOccurrences) {
  struct Case {
    int64_t start, count;
    const char* result;
  };
  const Case cases[] = {
      {1, 1, "X.x.x.x"}, {1, 2, "X.X.x.x"}, {2, 1, "x.X.x.x"}, {2, 2, "x.X.X.x"},
      {3, 9, "x.x.X.X"}, {5, 1, "x.x.x.x"}, {0, 1, "X.x.x.x"}, {-4, 1, "X.x.x.x"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StrTran("x.x.x.x", "x", "X", c.start, c.count), c.result)
        << c.start << " " << c.count;
}

TEST(StrTranTest, WithACountReplacedTextIsNotSearchedAgain) {
  // Occurrences are counted without overlap in the original text.
  EXPECT_EQ(StrTran("aaaa", "aa", "a", 1, 2), "aa");
  EXPECT_EQ(StrTran("aaaa", "aa", "X", 2, 1), "aaX");
  EXPECT_EQ(StrTran("ab", "a", "aa", 1, 5), "aab");
  EXPECT_EQ(StrTran("a     b", "  ", " ", 1, 9), "a   b");
}

TEST(StrTranTest, EndlessRewriteRaises) {
  // Each "ab" becomes "bbaa", which meets the "a" before it as a new "ab".
  EXPECT_THROW(StrTran("aab", "ab", "bbaa"), EQxDBFBadArgument);
  // The same rule on a text where it runs out is fine.
  EXPECT_EQ(StrTran("ab", "ab", "bbaa"), "bbaa");
}

}  // namespace
}  // namespace qxdbf
