// The LIKE matcher: leftmost placement of segments, no backtracking.
#include "dbf/match_pattern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qxdbf {
namespace {

bool Like(const std::string& text, const std::string& pattern) {
  return MatchPattern(pattern, text.data(), static_cast<int>(text.size()), '%', '_');
}

TEST(MatchPatternTest, Table) {
  struct Case {
    const char* text;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      // Plain and one-character wildcards are anchored at both ends.
      {"abc", "abc", true},
      {"abc", "a_c", true},
      {"abc", "___", true},
      {"abc", "ab", false},
      {"abc", "abcd", false},
      {"abc", "__", false},
      {"abc", "____", false},
      {"abc", "xbc", false},
      {"abc", "", false},
      // Runs.
      {"abc", "a%", true},
      {"abc", "%c", true},
      {"abc", "%b%", true},
      {"abc", "%", true},
      {"abc", "%%", true},
      {"abc", "a%c", true},
      {"abc", "%a%b%c%", true},
      {"abc", "%x%", false},
      {"abc", "b%", false},
      {"abc", "%bc_", false},
      {"axbxc", "a%b%c", true},
      // A segment meeting an exhausted text matches without consuming.
      {"abc", "abc%x", true},
      {"abc", "abc%x%y", true},
      // Segments stick where they first fit; nothing is moved back.
      {"abab", "%ab", false},
      {"abab", "%ab%", true},
      {"abcb", "%b", false},
      {"aab", "%ab", true},
      // The empty text matches only a lone run character.
      {"", "%", true},
      {"", "%%", false},
      {"", "", false},
      {"", "_", false},
      {"", "a", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Like(c.text, c.pattern), c.match) << "'" << c.text << "' LIKE '" << c.pattern << "'";
}

TEST(MatchPatternTest, OtherWildcardCharactersAndBinaryText) {
  EXPECT_TRUE(MatchPattern("a*c", "abbc", 4, '*', '?'));
  EXPECT_TRUE(MatchPattern("a?c", "abc", 3, '*', '?'));
  EXPECT_FALSE(MatchPattern("a%c", "abc", 3, '*', '?'));
  // Only text_length bytes count: the bytes after them are never read as text.
  const char buffer[] = "abcdef";
  EXPECT_TRUE(MatchPattern("abc", buffer, 3, '%', '_'));
  EXPECT_FALSE(MatchPattern("abcd", buffer, 3, '%', '_'));
  // Zero bytes inside the text are ordinary characters.
  const char zeros[] = {'a', '\0', 'b'};
  EXPECT_TRUE(MatchPattern("a_b", zeros, 3, '%', '_'));
  EXPECT_TRUE(MatchPattern(std::string_view("a\0b", 3), zeros, 3, '%', '_'));
  EXPECT_FALSE(MatchPattern("x", "abc", -1, '%', '_'));
  EXPECT_TRUE(MatchPattern("%", "abc", -1, '%', '_'));
}

}  // namespace
}  // namespace qxdbf
