// One value of the point-of-sale database: a field of a fetched row or a
// statement parameter.
//
// The value keeps the form the database gave (or the caller set) and converts
// on reading:
//
//   kind          held as                          text form (AsString)
//   vkNull        nothing                          "" (and 0, the zero date)
//   vkInteger     int64                            "42"
//   vkScaled      int64 units of 10^-decimals      "12,5" (decimal comma, trailing
//                 (NUMERIC/DECIMAL columns)         zeros dropped: "3" for 3,0000)
//   vkFloat       double                           shortest form, decimal comma
//   vkText        single-byte ISO 8859-1 bytes     the bytes
//   vkDate        day number                       "dd/mm/yyyy"
//   vkTime        fraction of a day                "hh:nn:ss"
//   vkDateTime    day number + fraction            "dd/mm/yyyy" or "dd/mm/yyyy hh:nn:ss"
//   vkBoolean     bool                             "True" / "False"
//
// Day numbers count from 30 December 1899 (day 0, the zero date), the time of
// day being the fraction; before the origin the whole part counts backwards
// and the fraction still adds time forwards (-1.25 is 29 December 1899,
// 06:00). Money is a 64-bit count of ten-thousandths (12,5 is 125000).
// Number and date texts follow the shop's conventions: decimal comma, day/
// month/year; readers accept "." as well and ISO dates (yyyy-mm-dd).
//
// A conversion that cannot be made (a text that is no number, a number out of
// range) raises EIBError naming the offending text.
#pragma once

#include <cstdint>
#include <string>

namespace veltrix {

enum TIBValueKind : uint8_t {
  vkNull,
  vkInteger,
  vkScaled,
  vkFloat,
  vkText,
  vkDate,
  vkTime,
  vkDateTime,
  vkBoolean,
};

class TIBValue {
 public:
  // Most decimals a scaled value may carry (the database's limit).
  static constexpr int kMaxDecimals = 18;

  TIBValue() = default;  // NULL

  static TIBValue Integer(int64_t value);
  // units * 10^-decimals. REQUIRES: 0 <= decimals <= kMaxDecimals.
  static TIBValue Scaled(int64_t units, int decimals);
  // Money: ten-thousandths.
  static TIBValue Currency(int64_t ten_thousandths);
  static TIBValue Float(double value);
  static TIBValue Text(std::string value);
  static TIBValue Date(int32_t day_number);
  static TIBValue Time(double fraction_of_day);
  static TIBValue DateTime(double date_time);
  static TIBValue Boolean(bool value);

  TIBValueKind Kind() const { return kind_; }
  bool IsNull() const { return kind_ == vkNull; }

  // Readers; NULL gives "", 0, 0.0 (the zero date) or false.
  std::string AsString() const;
  // Raises when the value does not fit 32 bits.
  int32_t AsInteger() const;
  int64_t AsLargeInt() const;
  double AsFloat() const;
  // Money in ten-thousandths, rounded half away from zero from finer values.
  int64_t AsCurrency() const;
  // The value in units of 10^-decimals, rounded half away from zero (AsCurrency
  // is AsScaled(4)). REQUIRES: 0 <= decimals <= kMaxDecimals.
  int64_t AsScaled(int decimals) const;
  // Days since 30 December 1899, time of day as the fraction.
  double AsDateTime() const;
  bool AsBoolean() const;

  // Writers, as parameters are set; each replaces value and kind.
  void Clear();  // NULL
  void SetAsString(const std::string& value);
  void SetAsInteger(int32_t value);
  void SetAsLargeInt(int64_t value);
  void SetAsFloat(double value);
  void SetAsCurrency(int64_t ten_thousandths);
  void SetAsDate(int32_t day_number);
  void SetAsDateTime(double date_time);
  void SetAsBoolean(bool value);

  // The stored form, for the statement binding.
  int64_t Units() const { return int_; }      // vkInteger, vkScaled, vkDate, vkBoolean
  int Decimals() const { return decimals_; }  // vkScaled
  double Real() const { return real_; }       // vkFloat, vkTime, vkDateTime
  const std::string& Bytes() const { return text_; }  // vkText

 private:
  TIBValueKind kind_ = vkNull;
  int64_t int_ = 0;
  int decimals_ = 0;
  double real_ = 0;
  std::string text_;
};

// Splits a date-time into its day number and time of day in ten-thousandths
// of a second (the database's resolution), and joins them again; both follow
// the rule above for days before the origin.
void SplitDateTime(double date_time, int32_t& day_number, uint32_t& time_units);
double JoinDateTime(int32_t day_number, uint32_t time_units);

// Ten-thousandths of a second in a day.
constexpr uint32_t kTimeUnitsPerDay = 864000000;

}  // namespace veltrix
