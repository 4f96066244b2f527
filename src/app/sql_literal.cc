#include "app/sql_literal.h"

namespace veltrix {

std::string SqlLiteral(std::string_view text) {
  std::string literal;
  literal.reserve(text.size() + 2);
  literal += '\'';
  for (const char c : text) {
    if (c == '\'') literal += '\'';
    literal += c;
  }
  literal += '\'';
  return literal;
}

}  // namespace veltrix
