// Text helpers of the bridge: padding and cutting fixed-width texts,
// searching and filtering.
//
// Texts are single-byte (Windows-1252 on the legacy side, ISO 8859-1 on the
// point of sale): one character is one byte, and every routine works on
// bytes. Positions count from 1, 0 meaning "not found", as the legacy
// layouts and their callers count. A width n of 0 or less gives the empty
// text. None of these raises.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrix {

// s written n times.
std::string repete(std::string_view s, int n);
// n spaces.
std::string espacos(int n);

// The decimal text of i after n zeros, cut to its last n characters: fills
// fixed-width number fields ("PEDIDO" 000123). A negative number keeps its
// minus sign inside (-5 in 6 places gives "0000-5"); a number with more
// than n characters loses its leading ones.
std::string zeroEsquerda(int64_t i, int n);
// The same for a text.
std::string zeroEsquerdaTexto(std::string_view s, int n);
// s padded with spaces on the right to n characters, or its first n.
std::string completaDireita(std::string_view s, int n);
// s padded with spaces on the left to n characters, or its last n.
std::string completaEsquerda(std::string_view s, int n);

// Position of the first occurrence of sub in s, byte for byte and
// case-sensitive; 0 when none. An empty s gives 0; an empty sub gives 1 for
// a non-empty s.
size_t posicao(std::string_view sub, std::string_view s);
// posicao(sub, s) > 0.
bool contem(std::string_view sub, std::string_view s);
// Position of the last occurrence of the one character c in s; 0 when none,
// and always 0 when c is not exactly one character.
size_t posicaoUltima(std::string_view c, std::string_view s);

// s without its space characters (code 32 only: tabs and other control
// characters stay).
std::string tiraEspacos(std::string_view s);
// s without the characters of code 32 and below at both ends (blanks, tabs,
// line ends and other control characters).
std::string Trim(std::string_view s);
// The characters "0" to "9" of s, in order.
std::string soDigitos(std::string_view s);

}  // namespace veltrix
