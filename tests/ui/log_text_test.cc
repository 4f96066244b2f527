// Display conversion of log lines: UTF-8 kept, single-byte store data read as
// Windows-1252, lines that mix both shown right.
#include "ui/log_text.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrix::ui {
namespace {

struct Case {
  const char* what;
  std::string bytes;
  std::string shown;
};

TEST(LogTextTest, DisplayText) {
  const Case cases[] = {
      {"ASCII", "Conectado com o Banco de Dados", "Conectado com o Banco de Dados"},
      {"empty", "", ""},
      {"UTF-8 kept", "Banco de dados do Veltrix /x não encontrado (0)",
       "Banco de dados do Veltrix /x não encontrado (0)"},
      {"four-byte UTF-8 kept", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"Latin-1 letters", "P\xC3O FRAN\xC7\xCAS A\xC7\xDA\x43\x41R", "PÃO FRANÇÊS AÇÚCAR"},
      {"cp1252 letter then vowel", "a\xe7\xe3o", "ação"},
      {"cp1252 punctuation", "\x80 5,00 \x96 \x93x\x94 N\xBA", "€ 5,00 – “x” Nº"},
      {"undefined cp1252 bytes", "a\x81\x8D\x8F\x90\x9D" "b", "a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDb"},
      {"UTF-8 text around single-byte data", "Erro(converteDados): Produto A\xC7\xDA\x43\x41R não gravado",
       "Erro(converteDados): Produto AÇÚCAR não gravado"},
      {"truncated sequence at the end", "caf\xC3", "cafÃ"},
      {"overlong form is not UTF-8", "\xC0\xAF", "À¯"},
      {"surrogate is not UTF-8", "\xED\xA0\x80", "í\u00A0€"},
      {"above U+10FFFF is not UTF-8", "\xF4\x90\x80\x80", "ô\uFFFD€€"},
      {"stray continuation byte", "\xA9 2014", "© 2014"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DisplayText(c.bytes), c.shown) << c.what;
  }
}

}  // namespace
}  // namespace veltrix::ui
