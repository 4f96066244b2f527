// Binary letter types (I, +, O, @, T, Y, B, 0) and memo pointers.
//
// Visual FoxPro keeps NULL for most of these in the _NULLFLAGS bit set,
// which the caller handles; dBase 7 marks NULL inside the value (a stored
// 0 for I and +, eight zero bytes for O and @).
#include <cmath>
#include <cstring>
#include <string>

#include "dbf/coding.h"
#include "dbf/decimal_text.h"
#include "dbf/field_codec_internal.h"

namespace qxdbf::codec_detail {

namespace {

constexpr uint8_t kBlank = 0x20;
constexpr uint32_t kIntegerBias = 0x80000000u;
constexpr uint64_t kSignBit = uint64_t{1} << 63;
// Julian day number of the day before 1 January of the year 1, the origin
// of the day numbers of the value forms.
constexpr int64_t kJulianDayBias = 1721425;
constexpr int64_t kMillisecondsPerDayInt = 86400000;
constexpr int64_t kLastDayNumber = 3652059;  // 31 December 9999
// A T field of a record no program has written yet: the day word is zero,
// or blank when a dBase-style writer blanked the record.
constexpr uint32_t kBlankWord = 0x20202020u;

// dBase 7 stores I and + big-endian with the sign bit flipped, so that the
// bytes sort as the numbers do; Visual FoxPro stores plain little-endian.
bool BigEndianIntegers(const CodecContext& ctx) {
  return ctx.dbf_version == xBaseVII || ctx.dbf_version == xBaseV;
}

bool IsVisualFoxPro(const CodecContext& ctx) { return ctx.dbf_version == xVisualFoxPro; }

bool AllZero(const uint8_t* bytes, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

double BitsToDouble(uint64_t bits) {
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

uint64_t DoubleToBits(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

double LoadDouble(const void* buffer) {
  double v;
  std::memcpy(&v, buffer, sizeof v);
  return v;
}

void StoreDouble(void* buffer, double v) { std::memcpy(buffer, &v, sizeof v); }

bool TimeStampIsNull(const uint8_t* field) {
  const uint32_t day = DecodeLE32(field);
  return day == 0 || day == kBlankWord;
}

void WriteTimeStamp(const TQxDBFFieldDef& def, uint8_t* field, double value) {
  const double last = static_cast<double>((kLastDayNumber + 1) * kMillisecondsPerDayInt);
  if (!(value >= 0 && value < last))
    RaiseCannotStore(def, DoubleText(value), "it is no date-time of the years 1 to 9999");
  const int64_t total = std::llround(value);
  const int64_t day = total / kMillisecondsPerDayInt;
  const int64_t ms = total % kMillisecondsPerDayInt;
  if (day < 1 || day > kLastDayNumber)
    RaiseCannotStore(def, DoubleText(value), "it is no date-time of the years 1 to 9999");
  EncodeLE32(field, static_cast<uint32_t>(day + kJulianDayBias));
  EncodeLE32(field + 4, static_cast<uint32_t>(ms));
}

bool ReadInteger(const uint8_t* field, const CodecContext& ctx, void* buffer) {
  int32_t v;
  if (BigEndianIntegers(ctx)) {
    const uint32_t stored = DecodeBE32(field);
    if (stored == 0) return false;
    v = static_cast<int32_t>(stored - kIntegerBias);
  } else {
    v = static_cast<int32_t>(DecodeLE32(field));
  }
  std::memcpy(buffer, &v, sizeof v);
  return true;
}

void WriteInteger(const TQxDBFFieldDef& def, uint8_t* field, const CodecContext& ctx,
                  const void* buffer) {
  int32_t v;
  std::memcpy(&v, buffer, sizeof v);
  if (BigEndianIntegers(ctx)) {
    // The stored 0 is NULL, so the one value that maps onto it has no form.
    if (v == INT32_MIN)
      RaiseCannotStore(def, std::to_string(v), "its stored form would read as NULL");
    EncodeBE32(field, static_cast<uint32_t>(v) + kIntegerBias);
  } else {
    EncodeLE32(field, static_cast<uint32_t>(v));
  }
}

bool IsMemoLetter(char letter, const CodecContext& ctx) {
  return letter == 'M' || letter == 'G' || letter == 'P' || (letter == 'B' && !IsVisualFoxPro(ctx));
}

}  // namespace

bool ReadBinaryField(const TQxDBFFieldDef& def, const uint8_t* field, const CodecContext& ctx,
                     void* buffer) {
  const char letter = def.field_type();
  if (IsMemoLetter(letter, ctx)) return ReadMemoPointer(field, def.Width(), false, buffer);
  switch (letter) {
    case '0':
      std::memcpy(buffer, field, static_cast<size_t>(def.Width()));
      return true;
    case 'I':
    case '+':
      return ReadInteger(field, ctx, buffer);
    case 'O': {
      if (AllZero(field, 8)) return false;
      // Non-negative values are stored with their sign bit set, negative
      // ones inverted, so that the bytes sort as the numbers do.
      const uint64_t stored = DecodeBE64(field);
      StoreDouble(buffer, BitsToDouble(stored & kSignBit ? stored & ~kSignBit : ~stored));
      return true;
    }
    case '@':
      if (AllZero(field, 8)) return false;
      StoreDouble(buffer, BitsToDouble(DecodeBE64(field)));
      return true;
    case 'T': {
      if (TimeStampIsNull(field)) return false;
      const int64_t day = static_cast<int64_t>(DecodeLE32(field)) - kJulianDayBias;
      const double ms = static_cast<double>(DecodeLE32(field + 4));
      StoreDouble(buffer, static_cast<double>(day) * kMillisecondsPerDay + ms);
      return true;
    }
    case 'Y':
      StoreDouble(buffer, CurrencyToDouble(static_cast<int64_t>(DecodeLE64(field))));
      return true;
    case 'B':
      StoreDouble(buffer, BitsToDouble(DecodeLE64(field)));
      return true;
    default:
      return false;
  }
}

bool BinaryFieldIsNull(const TQxDBFFieldDef& def, const uint8_t* field, const CodecContext& ctx) {
  const char letter = def.field_type();
  if (IsMemoLetter(letter, ctx)) return MemoPointerIsNull(field, def.Width(), false);
  switch (letter) {
    case 'I':
    case '+':
      return BigEndianIntegers(ctx) && DecodeBE32(field) == 0;
    case 'O':
    case '@':
      return AllZero(field, 8);
    case 'T':
      return TimeStampIsNull(field);
    default:
      return false;
  }
}

bool WriteBinaryField(const TQxDBFFieldDef& def, uint8_t* field, const CodecContext& ctx,
                      const void* buffer) {
  const char letter = def.field_type();
  if (IsMemoLetter(letter, ctx)) {
    WriteMemoPointer(def, field, def.Width(), false, buffer);
    return true;
  }
  switch (letter) {
    case '0':
      std::memcpy(field, buffer, static_cast<size_t>(def.Width()));
      return true;
    case '+':
      // Only the append's auto-increment fill gives these fields values.
      if (!ctx.filling_auto_inc) return false;
      WriteInteger(def, field, ctx, buffer);
      return true;
    case 'I':
      WriteInteger(def, field, ctx, buffer);
      return true;
    case 'O': {
      const double v = LoadDouble(buffer);
      const uint64_t bits = DoubleToBits(v);
      EncodeBE64(field, v >= 0 ? bits | kSignBit : ~bits);
      return true;
    }
    case '@':
      EncodeBE64(field, DoubleToBits(LoadDouble(buffer)));
      return true;
    case 'T':
      WriteTimeStamp(def, field, LoadDouble(buffer));
      return true;
    case 'Y':
      EncodeLE64(field, static_cast<uint64_t>(CurrencyFromDouble(def, LoadDouble(buffer))));
      return true;
    case 'B':
      EncodeLE64(field, DoubleToBits(LoadDouble(buffer)));
      return true;
    default:
      return false;
  }
}

void WriteBinaryFieldNull(const TQxDBFFieldDef& def, uint8_t* field, const CodecContext& ctx) {
  const char letter = def.field_type();
  if (IsMemoLetter(letter, ctx)) {
    WriteMemoPointerNull(field, def.Width(), false);
    return;
  }
  switch (letter) {
    case '+':
      if (!ctx.filling_auto_inc) return;
      [[fallthrough]];
    case 'I':
      if (BigEndianIntegers(ctx)) EncodeBE32(field, 0);
      return;
    case 'O':
    case '@':
    case 'T':
      std::memset(field, 0, 8);
      return;
    default:
      // Y, B and 0 have no NULL of their own outside the null flags.
      return;
  }
}

bool ReadMemoPointer(const uint8_t* field, int32_t width, bool marker_bit, void* buffer) {
  if (MemoPointerIsNull(field, width, marker_bit)) return false;
  std::memcpy(buffer, field, static_cast<size_t>(width));
  if (marker_bit) static_cast<uint8_t*>(buffer)[width - 1] &= 0x7F;
  return true;
}

bool MemoPointerIsNull(const uint8_t* field, int32_t width, bool marker_bit) {
  if (marker_bit) return (field[width - 1] & 0x80) == 0;
  if (width == 4) return DecodeLE32(field) == 0;
  for (int32_t i = 0; i < width; ++i)
    if (field[i] != kBlank) return false;
  return true;
}

void WriteMemoPointer(const TQxDBFFieldDef& def, uint8_t* field, int32_t width, bool marker_bit,
                      const void* buffer) {
  const auto* value = static_cast<const uint8_t*>(buffer);
  if (marker_bit && (value[width - 1] & 0x80))
    RaiseCannotStore(def, std::to_string(DecodeLE32(value)),
                     "its top bit is the field's NULL marker");
  std::memcpy(field, value, static_cast<size_t>(width));
  if (marker_bit) field[width - 1] |= 0x80;
}

void WriteMemoPointerNull(uint8_t* field, int32_t width, bool marker_bit) {
  if (marker_bit)
    field[width - 1] &= 0x7F;
  else
    std::memset(field, width == 4 ? 0 : kBlank, static_cast<size_t>(width));
}

int64_t CurrencyFromDouble(const TQxDBFFieldDef& def, double value) {
  // Beyond about 9.2e14 the count of ten-thousandths leaves 64 bits; the
  // exact limit is checked on the digits.
  if (!std::isfinite(value) || std::fabs(value) >= 1e15)
    RaiseCannotStore(def, DoubleText(value), "it is beyond the range of a currency value");
  char text[kFixedTextCapacity];
  const size_t length = FormatFixedText(value, 4, text);
  uint64_t magnitude = 0;
  for (size_t i = 0; i < length; ++i)
    if (text[i] >= '0' && text[i] <= '9') magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
  const bool negative = text[0] == '-';
  if (magnitude > static_cast<uint64_t>(INT64_MAX) + (negative ? 1 : 0))
    RaiseCannotStore(def, std::string(text, length), "it is beyond the range of a currency value");
  return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

double CurrencyToDouble(int64_t ten_thousandths) {
  return static_cast<double>(ten_thousandths) / 10000.0;
}

}  // namespace qxdbf::codec_detail
