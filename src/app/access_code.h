// The access rights of a legacy user as the point of sale stores them.
//
// The legacy users table keeps a user's rights as raw bytes in `acesso`,
// one byte per right with the values 0 to 9 (blank padding and other bytes
// mean nothing). The point of sale wants them as one character per right,
// passed through a fixed substitution so that the rights are not plain
// digits in its user table.
//
// The two alphabets (89 single-byte characters each, printable ASCII):
//   plain         printable ASCII 33..126 without the five characters
//                 " ' \ ` ~ (quotes and backslash would need escaping in SQL
//                 literals and configuration files), in code order; the ten
//                 digits sit at positions 14 to 23 (1-based).
//   substitution  the same 89 characters permuted: position i (0-based)
//                 holds the plain character at (37 * i + 17) mod 89. 89 is
//                 prime, so this is a permutation and every substituted text
//                 can be turned back; no digit maps to a digit.
// Both must stay as they are: the point of sale decodes stored rights with
// the same tables.
#pragma once

#include <string>
#include <string_view>

namespace veltrix {

// The plain and the substitution alphabet described above.
extern const std::string_view kPlainAlphabet;
extern const std::string_view kSubstitutionAlphabet;

// Each byte of `acesso` below 10 as its decimal digit ("\x01\x00\x05" gives
// "105"); every other byte (blanks, letters, bytes of 10 and above, bytes
// of 128 and above) is dropped.
std::string acessoParaDigitos(std::string_view acesso);

// Each character of `s` replaced by the substitution character at the
// position of its first occurrence in the plain alphabet; a character that
// is not in the plain alphabet is dropped. Never raises.
std::string substituiCaracteres(std::string_view s);

}  // namespace veltrix
