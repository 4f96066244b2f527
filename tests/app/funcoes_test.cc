// The bridge's text and number helpers: padding, searching, filtering, the
// legacy digit layouts and the product description.
#include "app/funcoes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/convert_error.h"
#include "app/digit_layouts.h"
#include "app/product_description.h"

namespace veltrix {
namespace {

std::vector<int> Codes(const std::string& s) {
  std::vector<int> out;
  for (char c : s) out.push_back(static_cast<unsigned char>(c));
  return out;
}

std::string ConvertErrorOf(void (*call)(const char*), const char* arg) {
  try {
    call(arg);
  } catch (const EConvertError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(FuncoesTest, PaddingAndCutting) {
  EXPECT_EQ(zeroEsquerda(-5, 6), "0000-5");
  EXPECT_EQ(zeroEsquerda(123, 6), "000123");
  EXPECT_EQ(zeroEsquerda(123456, 6), "123456");
  EXPECT_EQ(zeroEsquerda(1234567, 6), "234567");
  EXPECT_EQ(zeroEsquerda(105, 2), "05");
  EXPECT_EQ(zeroEsquerda(7, 0), "");
  EXPECT_EQ(zeroEsquerda(7, -3), "");
  EXPECT_EQ(zeroEsquerdaTexto("12", 6), "000012");
  EXPECT_EQ(zeroEsquerdaTexto("1234567", 6), "234567");
  EXPECT_EQ(zeroEsquerdaTexto("", 3), "000");

  EXPECT_EQ(completaDireita("", 5), "     ");
  EXPECT_EQ(completaDireita("2", 5), "2    ");
  EXPECT_EQ(completaDireita("2000123", 5), "20001");
  EXPECT_EQ(completaDireita("abcde", 5), "abcde");
  EXPECT_EQ(completaDireita("abc", -1), "");
  EXPECT_EQ(completaEsquerda("0123456789", 2), "89");
  EXPECT_EQ(completaEsquerda("ab", 4), "  ab");
  EXPECT_EQ(completaEsquerda("abcd", 4), "abcd");

  EXPECT_EQ(repete("ab", 3), "ababab");
  EXPECT_EQ(repete("ab", 0), "");
  EXPECT_EQ(repete("ab", -2), "");
  EXPECT_EQ(espacos(3), "   ");
  EXPECT_EQ(espacos(-1), "");
}

TEST(FuncoesTest, SearchingIsByteForByteAndCaseSensitive) {
  struct Case {
    const char* sub;
    const char* s;
    size_t first;
  } cases[] = {
      {"b", "abcb", 2},     {"bc", "abc", 2},    {"abcd", "abc", 0}, {"cd", "abc", 0},
      {"B", "abc", 0},      {"", "x", 1},        {"", "", 0},        {"x", "", 0},
      {"\xE9", "caf\xE9", 4},  // single-byte accented letter
  };
  for (const Case& c : cases) {
    EXPECT_EQ(posicao(c.sub, c.s), c.first) << c.sub << " in " << c.s;
    EXPECT_EQ(contem(c.sub, c.s), c.first > 0);
  }
  EXPECT_TRUE(contem("corruption", "database file appears corrupt (corruption)"));
  EXPECT_FALSE(contem("firebird", "Firebird server unavailable"));

  EXPECT_EQ(posicaoUltima("b", "abcb"), 4u);
  EXPECT_EQ(posicaoUltima("a", "abcb"), 1u);
  EXPECT_EQ(posicaoUltima("z", "abc"), 0u);
  EXPECT_EQ(posicaoUltima("bc", "abcbc"), 0u);
  EXPECT_EQ(posicaoUltima("", "abc"), 0u);
  EXPECT_EQ(posicaoUltima("/", ""), 0u);
}

TEST(FuncoesTest, Filtering) {
  EXPECT_EQ(tiraEspacos(" 7891 234\t56 "), "7891234\t56");
  EXPECT_EQ(tiraEspacos(""), "");
  EXPECT_EQ(soDigitos(""), "");
  EXPECT_EQ(soDigitos("-"), "");
  EXPECT_EQ(soDigitos(" 0a1-2.3\xB2"), "0123");  // superscript two is no digit
}

TEST(DigitLayoutsTest, FormataDataGivesYymmdd) {
  EXPECT_EQ(formataData("5/3/2014"), "140305");
  EXPECT_EQ(formataData("05/03/2014"), "140305");
  EXPECT_EQ(formataData("31/12/99"), "991231");
  EXPECT_EQ(formataData(" 1/ 1/2000 "), "000101");
}

TEST(DigitLayoutsTest, FormataDataRaisesNamingTheDate) {
  const char* cases[] = {"20140305",   "5/2014",    "ab/03/2014", "05/03/2014 10:00:00", "-5/3/2014",
                         "32/01/2014", "05/13/2014", "0/3/2014",  "05/03/4",             "",
                         "05/03/",     "/03/2014",  "05/x/03/2014"};
  for (const char* d : cases) {
    EXPECT_EQ(ConvertErrorOf([](const char* a) { formataData(a); }, d), "'" + std::string(d) + "' is not a valid date");
  }
}

TEST(DigitLayoutsTest, ValorDigitosWritesWholeCents) {
  struct Case {
    int n;
    const char* amount;
    const char* digits;
  } cases[] = {
      {10, "123,4567", "0000012345"}, {10, "-5", "0000000500"}, {3, "123,45", "345"},
      {10, "-0,0099", "0000000000"},  {10, "15", "0000001500"}, {0, "12", ""},
      {2, "0,019", "01"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(valorDigitos(c.n, Money::FromText(c.amount)), c.digits) << c.amount;
  }
}

TEST(DigitLayoutsTest, CompactaParesPacksPairs) {
  EXPECT_EQ(Codes(compactaPares("1403050")), (std::vector<int>{49, 88, 78, 98}));
  EXPECT_EQ(Codes(compactaPares("23456789")), (std::vector<int>{71, 93, 115, 137}));
  EXPECT_EQ(Codes(compactaPares("00000001")), (std::vector<int>{48, 48, 48, 49}));
  EXPECT_EQ(Codes(compactaPares("0099")), (std::vector<int>{48, 147}));
  EXPECT_EQ(compactaPares(""), "");
  // A Z-reduction total: 12345,67 as ten digits, then packed.
  EXPECT_EQ(Codes(compactaPares(valorDigitos(10, Money::FromText("12345,67")))),
            (std::vector<int>{48, 49, 71, 93, 115}));
}

TEST(DigitLayoutsTest, CompactaParesRaisesNamingThePair) {
  struct Case {
    const char* digits;
    const char* pair;
  } cases[] = {{"1403a5", "a5"}, {"-5", "-5"}, {" 5", " 5"}, {"a", "0a"}, {"12345-", "5-"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertErrorOf([](const char* a) { compactaPares(a); }, c.digits),
              "'" + std::string(c.pair) + "' is not a valid integer value");
  }
}

TEST(ProductDescriptionTest, SquareMetreNamesAreCutAndSqueezed) {
  const std::string name30 = "PISO CERAMICO 45X45 BEGE ACETI";  // 30 characters
  ASSERT_EQ(name30.size(), 30u);
  EXPECT_EQ(ve_descricao(name30, "M2    "), "PISOCERAMICO45X45BE");  // 22 characters, three spaces
  EXPECT_EQ(ve_descricao("PORCELANATOPOLIDO60X60BRANCO", "M2    "), "PORCELANATOPOLIDO60X60");
  EXPECT_EQ(ve_descricao("  AB C  ", "M2"), "ABC");
  EXPECT_EQ(ve_descricao(name30, "m2    "), name30);
  EXPECT_EQ(ve_descricao(" \tCABO PP 2X1,5\r  ", "M     "), "CABO PP 2X1,5");
  EXPECT_EQ(ve_descricao("  TELHA  ", " M2   "), "TELHA");
  EXPECT_EQ(ve_descricao("", "M2"), "");
}

}  // namespace
}  // namespace veltrix
