// The access rights encoding of the user synchronisation.
#include "app/access_code.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace veltrix {
namespace {

TEST(AccessCodeTest, AlphabetsAreEqualPermutationsHoldingTheDigits) {
  ASSERT_EQ(kPlainAlphabet.size(), 89u);
  ASSERT_EQ(kSubstitutionAlphabet.size(), 89u);
  const std::set<char> plain(kPlainAlphabet.begin(), kPlainAlphabet.end());
  const std::set<char> substituted(kSubstitutionAlphabet.begin(), kSubstitutionAlphabet.end());
  EXPECT_EQ(plain.size(), 89u);  // no character twice: every position reachable, decoding unique
  EXPECT_EQ(plain, substituted);
  for (char d = '0'; d <= '9'; ++d) EXPECT_TRUE(plain.count(d)) << d;
  for (const char c : kPlainAlphabet) {
    EXPECT_GT(static_cast<unsigned char>(c), 32);
    EXPECT_LT(static_cast<unsigned char>(c), 127);
    EXPECT_EQ(std::string("\"'\\`").find(c), std::string::npos) << c;
  }
}

TEST(AccessCodeTest, BytesBelowTenBecomeDigitsAndTheRestIsDropped) {
  struct Case {
    std::string acesso;
    std::string digits;
  };
  const Case cases[] = {
      {std::string("\x01\x00\x05", 3), "105"},
      {std::string("\x0a\x09 \x0b", 4), "9"},          // 10 and 11 dropped, blank dropped
      {std::string("\xe9\x03\xff\x80" "7", 5), "3"},   // high bytes are not small numbers
      {std::string(60, ' '), ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(acessoParaDigitos(c.acesso), c.digits) << c.digits;
}

TEST(AccessCodeTest, SubstitutionIsFixedAndSkipsForeignCharacters) {
  // The point of sale decodes the stored rights with the same tables: the
  // digits must keep exactly these substitutes.
  EXPECT_EQ(substituiCaracteres("0123456789"), "X#Ip:a+PwA");
  EXPECT_EQ(substituiCaracteres("Az!}"), "_R4j");
  EXPECT_EQ(substituiCaracteres(std::string("1~\"\x00\xe9'2", 7)), "#I");
  EXPECT_EQ(substituiCaracteres(""), "");
  EXPECT_EQ(substituiCaracteres(acessoParaDigitos(std::string("\x01\x00\x05", 3))).size(), 3u);
}

}  // namespace
}  // namespace veltrix
