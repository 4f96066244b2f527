#include "app/access_code.h"

namespace veltrix {

const std::string_view kPlainAlphabet =
    "!#$%&()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_abcdefghijklmnopqrstuvwxyz{|}";
const std::string_view kSubstitutionAlphabet =
    "4Y$Jq;b,QxBi3X#Ip:a+PwAh2W!Ho9_*Ov@g1V}Gn8^)Nu?f0U|Fm7](Mt>e/T{El6[&Ls=d.SzDk5Z%Kr<c-RyCj";

std::string acessoParaDigitos(std::string_view acesso) {
  std::string digits;
  for (const char c : acesso) {
    // Bytes of 128 and above are negative as char: compare as bytes.
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 10) digits += static_cast<char>('0' + byte);
  }
  return digits;
}

std::string substituiCaracteres(std::string_view s) {
  std::string result;
  result.reserve(s.size());
  for (const char c : s) {
    const size_t position = kPlainAlphabet.find(c);
    if (position != std::string_view::npos) result += kSubstitutionAlphabet[position];
  }
  return result;
}

}  // namespace veltrix
