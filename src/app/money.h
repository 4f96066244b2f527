// Money: fixed point with four decimals, held as a 64-bit count of
// ten-thousandths (12,5 is 125000).
//
// Prices, totals and stock quantities of both stores travel as this type,
// so sums and differences are exact; only the conversions from text and from
// floating point round, to the nearest ten-thousandth with halves away from
// zero. Arithmetic that leaves the 64-bit range raises std::overflow_error
// instead of wrapping.
//
// Text follows the shop's conventions: decimal comma, no thousands grouping,
// the fraction without trailing zeros ("1234,5", "-0,0001", "3"). Reading
// accepts "." as the separator as well, because the legacy tables hand their
// numeric fields over with a decimal point.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrix {

class Money {
 public:
  // Ten-thousandths in one unit.
  static constexpr int64_t kScale = 10000;

  constexpr Money() = default;  // zero

  static constexpr Money FromTenThousandths(int64_t ten_thousandths) {
    Money m;
    m.value_ = ten_thousandths;
    return m;
  }
  // A whole number of units (1000 is ten million ten-thousandths). Raises
  // std::overflow_error beyond the range.
  static Money FromWhole(int64_t units);
  // The double rounded to the nearest ten-thousandth, halves away from zero.
  // The double is first taken to 15 significant digits, the precision a
  // double keeps of any decimal, so 1.00005 (a little below it in binary)
  // still gives 1,0001. Raises EConvertError for NaN, infinities and values
  // beyond the range.
  static Money FromDouble(double value);
  // Reads `text`: optional blanks, an optional sign, digits with at most one
  // decimal separator ("," or "."), an optional exponent ("e" or "E", an
  // optional sign, digits), optional blanks; at least one digit before the
  // exponent. Digits beyond the fourth decimal round, halves away from zero.
  // Thousands grouping ("1.234,56") is refused: with "." accepted as the
  // decimal point it would be ambiguous. Raises EConvertError naming the
  // text, also for a value beyond the range.
  static Money FromText(std::string_view text);
  // FromText answering false (and leaving `out`) instead of raising.
  static bool TryFromText(std::string_view text, Money& out);

  constexpr int64_t TenThousandths() const { return value_; }
  double ToDouble() const;
  // "1234,5": decimal comma, no grouping, no trailing zeros in the fraction,
  // no fraction for whole amounts, "-" before negative amounts.
  std::string ToText() const;

  // Raise std::overflow_error when the result leaves the range.
  Money Abs() const;
  Money operator-() const;
  Money& operator+=(Money other);
  Money& operator-=(Money other);
  friend Money operator+(Money a, Money b) { return a += b; }
  friend Money operator-(Money a, Money b) { return a -= b; }

  friend constexpr bool operator==(Money a, Money b) = default;
  friend constexpr std::strong_ordering operator<=>(Money a, Money b) = default;

 private:
  int64_t value_ = 0;
};

// `arredonda`: v rounded to whole cents, halves away from zero, sign kept
// (1,2350 gives 1,24; -1,2350 gives -1,24; 0,0049 gives 0).
Money arredonda(Money v);

}  // namespace veltrix
