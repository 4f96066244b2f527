// Digit layouts the legacy programs read: dates as yymmdd, amounts as fixed
// counts of whole-cent digits, and the packing of a digit text into one
// character per pair of digits (the Z-reduction line and the sale's check
// value are stored packed).
//
// A part that must be a number and is not raises EConvertError naming the
// offending text. The digit texts are checked strictly (decimal digits and
// nothing else) so that a stray sign or letter fails loudly instead of being
// packed into a character the legacy programs would misread.
#pragma once

#include <string>
#include <string_view>

#include "app/money.h"

namespace veltrix {

// The date d written day/month/year ("5/3/2014", "05/03/14") as the six
// digits yymmdd ("140305"): yy the last two digits of the year, month and
// day zero-filled to two places. Day and month are one or two decimal
// digits, the day in 1..31 and the month in 1..12; the year is two or more
// decimal digits; blanks around each part are allowed. Anything else (no "/", a time after the
// year, a sign) raises EConvertError "'<d>' is not a valid date".
std::string formataData(std::string_view d);

// The whole cents of v, fraction dropped toward zero and sign dropped, in
// exactly n digits: zeros in front, or only the last n digits when there are
// more (123,4567 in 10 gives "0000012345"; 123,45 in 3 gives "345").
std::string valorDigitos(int n, Money v);

// Packs a digit text two digits per character: a "0" is put in front of a
// text of odd length, and each pair dd becomes the character with code
// dd + 48 ("00" to "99" give codes 48 to 147). An empty text gives an empty
// text. A pair that is not two decimal digits raises EConvertError
// "'<pair>' is not a valid integer value".
std::string compactaPares(std::string_view s);

}  // namespace veltrix
