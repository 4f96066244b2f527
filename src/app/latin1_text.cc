#include "app/latin1_text.h"

namespace veltrix {

char UpperLatin1(char c) {
  const auto u = static_cast<unsigned char>(c);
  // a-z, and à-þ except the division sign 0xF7; ÿ has no upper case in the set.
  if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
  return c;
}

std::string UpperLatin1(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = UpperLatin1(c);
  return out;
}

bool SameTextLatin1(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperLatin1(a[i]) != UpperLatin1(b[i])) return false;
  }
  return true;
}

}  // namespace veltrix
