// Numeric and date forms of extended fields (letter E), in three families:
//   plain  the value in little-endian binary of its width; never NULL (a
//          NULL write stores zero bytes, the value a reader of NULL sees);
//   _N     a marker byte, then the plain form: marker blank = NULL, 0x01 = a
//          value; NULL blanks the marker and the first value byte;
//   _NB    the plain form whose top bit (bit 7 of its last byte) is set when
//          a value is present. A value whose own top bit is set (a negative
//          number, an unsigned one of the top half) has no form there and is
//          refused rather than stored as a different value.
// Integers widen to the 16-bit form (8-bit types) or keep their width;
// 4-byte floats, 6-byte reals and 10-byte extended floats convert to and
// from the double; currency is a 64-bit count of ten-thousandths; dbftD1
// and dbftD3 hold the platform's date-time (as a double and as a 6-byte
// real), dbftD2 the date-time value form itself.
#include <cmath>
#include <cstring>
#include <string>

#include "dbf/coding.h"
#include "dbf/field_codec_internal.h"
#include "dbf/legacy_float.h"

namespace qxdbf::codec_detail {

namespace {

constexpr uint8_t kBlank = 0x20;
constexpr uint8_t kValueMarker = 0x01;

enum class Marker { kNone, kByte, kBit };

struct Form {
  TQxDBFType plain;
  Marker marker;
};

Form FormOf(TQxDBFType type) {
  switch (type) {
    case dbftS1_N: return {dbftS1, Marker::kByte};
    case dbftU1_N: return {dbftU1, Marker::kByte};
    case dbftS2_N: return {dbftS2, Marker::kByte};
    case dbftU2_N: return {dbftU2, Marker::kByte};
    case dbftS4_N: return {dbftS4, Marker::kByte};
    case dbftU4_N: return {dbftU4, Marker::kByte};
    case dbftS8_N: return {dbftS8, Marker::kByte};
    case dbftR4_N: return {dbftR4, Marker::kByte};
    case dbftR6_N: return {dbftR6, Marker::kByte};
    case dbftR8_N: return {dbftR8, Marker::kByte};
    case dbftR10_N: return {dbftR10, Marker::kByte};
    case dbftD1_N: return {dbftD1, Marker::kByte};
    case dbftD2_N: return {dbftD2, Marker::kByte};
    case dbftD3_N: return {dbftD3, Marker::kByte};
    case dbftCurrency_N: return {dbftCurrency, Marker::kByte};
    case dbftDate_N: return {dbftDate, Marker::kByte};
    case dbftTime_N: return {dbftTime, Marker::kByte};
    case dbftU1_NB: return {dbftU1, Marker::kBit};
    case dbftU2_NB: return {dbftU2, Marker::kBit};
    case dbftU4_NB: return {dbftU4, Marker::kBit};
    case dbftR4_NB: return {dbftR4, Marker::kBit};
    case dbftR6_NB: return {dbftR6, Marker::kBit};
    case dbftR8_NB: return {dbftR8, Marker::kBit};
    case dbftD1_NB: return {dbftD1, Marker::kBit};
    case dbftD2_NB: return {dbftD2, Marker::kBit};
    case dbftD3_NB: return {dbftD3, Marker::kBit};
    case dbftCurrency_NB: return {dbftCurrency, Marker::kBit};
    case dbftDate_NB: return {dbftDate, Marker::kBit};
    case dbftTime_NB: return {dbftTime, Marker::kBit};
    default: return {type, Marker::kNone};
  }
}

// Width of a plain numeric or date form; 0 for every other extended type.
int32_t PlainWidth(TQxDBFType plain) {
  switch (plain) {
    case dbftS1: case dbftU1: return 1;
    case dbftS2: case dbftU2: return 2;
    case dbftS4: case dbftU4: case dbftR4: case dbftDate: case dbftTime: return 4;
    case dbftR6: case dbftD3: return 6;
    case dbftS8: case dbftR8: case dbftD1: case dbftD2: case dbftCurrency: return 8;
    case dbftR10: return 10;
    default: return 0;
  }
}

// The platform's date-time: days since 30 December 1899 as the whole part,
// the time of day as the fraction, which adds time forwards even when the
// whole part is negative (-1.25 is 29 December 1899, 06:00).
bool DateTimeToStamp(double date_time, double& stamp) {
  if (!std::isfinite(date_time)) return false;
  const double whole = std::trunc(date_time);
  const double time = std::round(std::fabs(date_time - whole) * kMillisecondsPerDay);
  stamp = (whole + kDateDelta) * kMillisecondsPerDay + time;
  return true;
}

double StampToDateTime(double stamp) {
  const double day = std::floor(stamp / kMillisecondsPerDay);
  const double fraction = (stamp - day * kMillisecondsPerDay) / kMillisecondsPerDay;
  const double days = day - kDateDelta;
  return days >= 0 ? days + fraction : days - fraction;
}

template <typename T>
T Load(const void* buffer) {
  T v;
  std::memcpy(&v, buffer, sizeof v);
  return v;
}

template <typename T>
void Store(void* buffer, T v) {
  std::memcpy(buffer, &v, sizeof v);
}

// Answers false only for stored values the value form cannot hold.
bool DecodePlain(TQxDBFType plain, const uint8_t* bytes, void* buffer) {
  switch (plain) {
    case dbftS1: Store<int16_t>(buffer, static_cast<int8_t>(bytes[0])); return true;
    case dbftU1: Store<uint16_t>(buffer, bytes[0]); return true;
    case dbftS2: Store<int16_t>(buffer, static_cast<int16_t>(DecodeLE16(bytes))); return true;
    case dbftU2: Store<uint16_t>(buffer, DecodeLE16(bytes)); return true;
    case dbftS4:
    case dbftDate:
    case dbftTime:
      Store<int32_t>(buffer, static_cast<int32_t>(DecodeLE32(bytes)));
      return true;
    case dbftU4: {
      // The value form is a signed 32-bit integer.
      const uint32_t v = DecodeLE32(bytes);
      if (v > INT32_MAX) return false;
      Store<int32_t>(buffer, static_cast<int32_t>(v));
      return true;
    }
    case dbftS8: Store<int64_t>(buffer, static_cast<int64_t>(DecodeLE64(bytes))); return true;
    case dbftR4: {
      const uint32_t bits = DecodeLE32(bytes);
      float f;
      std::memcpy(&f, &bits, sizeof f);
      Store<double>(buffer, f);
      return true;
    }
    case dbftR6: Store<double>(buffer, Real48ToDouble(bytes)); return true;
    case dbftR8:
    case dbftD2: {
      const uint64_t bits = DecodeLE64(bytes);
      Store<double>(buffer, Load<double>(&bits));
      return true;
    }
    case dbftR10: Store<double>(buffer, Extended80ToDouble(bytes)); return true;
    case dbftD1:
    case dbftD3: {
      double date_time;
      if (plain == dbftD3) {
        date_time = Real48ToDouble(bytes);
      } else {
        const uint64_t bits = DecodeLE64(bytes);
        date_time = Load<double>(&bits);
      }
      double stamp;
      if (!DateTimeToStamp(date_time, stamp)) return false;
      Store<double>(buffer, stamp);
      return true;
    }
    case dbftCurrency:
      Store<double>(buffer, CurrencyToDouble(static_cast<int64_t>(DecodeLE64(bytes))));
      return true;
    default:
      return false;
  }
}

void EncodeDouble(uint8_t* bytes, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  EncodeLE64(bytes, bits);
}

// Fills `bytes` (the plain width) or raises when the value has no form.
void EncodePlain(const TQxDBFFieldDef& def, TQxDBFType plain, const void* buffer,
                 uint8_t* bytes) {
  switch (plain) {
    case dbftS1: {
      const int16_t v = Load<int16_t>(buffer);
      if (v < INT8_MIN || v > INT8_MAX)
        RaiseCannotStore(def, std::to_string(v), "it is beyond the range of a signed byte");
      bytes[0] = static_cast<uint8_t>(v);
      return;
    }
    case dbftU1: {
      const uint16_t v = Load<uint16_t>(buffer);
      if (v > UINT8_MAX) RaiseCannotStore(def, std::to_string(v), "it is beyond the range of a byte");
      bytes[0] = static_cast<uint8_t>(v);
      return;
    }
    case dbftS2:
    case dbftU2:
      EncodeLE16(bytes, Load<uint16_t>(buffer));
      return;
    case dbftS4:
    case dbftDate:
    case dbftTime:
      EncodeLE32(bytes, Load<uint32_t>(buffer));
      return;
    case dbftU4: {
      const int32_t v = Load<int32_t>(buffer);
      if (v < 0) RaiseCannotStore(def, std::to_string(v), "the field holds no negative numbers");
      EncodeLE32(bytes, static_cast<uint32_t>(v));
      return;
    }
    case dbftS8:
      EncodeLE64(bytes, Load<uint64_t>(buffer));
      return;
    case dbftR4: {
      const double v = Load<double>(buffer);
      if (std::isfinite(v) && std::fabs(v) > 3.4028234663852886e38)
        RaiseCannotStore(def, DoubleText(v), "it is beyond the range of a 4-byte float");
      const float f = static_cast<float>(v);
      uint32_t bits;
      std::memcpy(&bits, &f, sizeof bits);
      EncodeLE32(bytes, bits);
      return;
    }
    case dbftR6: {
      const double v = Load<double>(buffer);
      if (!DoubleToReal48(v, bytes))
        RaiseCannotStore(def, DoubleText(v), "it is beyond the range of a 6-byte real");
      return;
    }
    case dbftR8:
    case dbftD2:
      EncodeDouble(bytes, Load<double>(buffer));
      return;
    case dbftR10:
      DoubleToExtended80(Load<double>(buffer), bytes);
      return;
    case dbftD1:
    case dbftD3: {
      const double stamp = Load<double>(buffer);
      if (!std::isfinite(stamp)) RaiseCannotStore(def, DoubleText(stamp), "it is no date-time");
      const double date_time = StampToDateTime(stamp);
      if (plain == dbftD1) {
        EncodeDouble(bytes, date_time);
      } else if (!DoubleToReal48(date_time, bytes)) {
        RaiseCannotStore(def, DoubleText(stamp), "it is beyond the range of a 6-byte real");
      }
      return;
    }
    case dbftCurrency:
      EncodeLE64(bytes, static_cast<uint64_t>(CurrencyFromDouble(def, Load<double>(buffer))));
      return;
    default:
      return;
  }
}

// Float values of zero are stored as +0, so that -0 does not claim the sign
// bit an _NB form uses as its marker.
void NormaliseZero(TQxDBFType plain, const void* buffer, double& copy, const void*& source) {
  switch (plain) {
    case dbftR4: case dbftR6: case dbftR8: case dbftR10: case dbftD1: case dbftD2: case dbftD3:
    case dbftCurrency:
      copy = Load<double>(buffer);
      if (copy == 0) {
        copy = 0.0;
        source = &copy;
      }
      return;
    default:
      return;
  }
}

// The original value, for messages.
std::string PlainValueText(TQxDBFType plain, const void* buffer) {
  switch (plain) {
    case dbftS1: case dbftS2: return std::to_string(Load<int16_t>(buffer));
    case dbftU1: case dbftU2: return std::to_string(Load<uint16_t>(buffer));
    case dbftS4: case dbftU4: case dbftDate: case dbftTime:
      return std::to_string(Load<int32_t>(buffer));
    case dbftS8: return std::to_string(Load<int64_t>(buffer));
    default: return DoubleText(Load<double>(buffer));
  }
}

Form FamilyForm(const TQxDBFFieldDef& def) {
  return FormOf(static_cast<TQxDBFType>(def.extend_type() & 0x7F));
}

}  // namespace

bool IsFamilyType(TQxDBFType type) { return PlainWidth(FormOf(type).plain) > 0; }

bool ReadFamilyField(const TQxDBFFieldDef& def, const uint8_t* field, void* buffer) {
  const Form form = FamilyForm(def);
  const int32_t width = PlainWidth(form.plain);
  switch (form.marker) {
    case Marker::kNone:
      return DecodePlain(form.plain, field, buffer);
    case Marker::kByte:
      return field[0] != kBlank && DecodePlain(form.plain, field + 1, buffer);
    case Marker::kBit: {
      if ((field[width - 1] & 0x80) == 0) return false;
      uint8_t plain[16];
      std::memcpy(plain, field, static_cast<size_t>(width));
      plain[width - 1] &= 0x7F;
      return DecodePlain(form.plain, plain, buffer);
    }
  }
  return false;
}

bool FamilyFieldIsNull(const TQxDBFFieldDef& def, const uint8_t* field) {
  const Form form = FamilyForm(def);
  switch (form.marker) {
    case Marker::kByte: return field[0] == kBlank;
    case Marker::kBit: return (field[PlainWidth(form.plain) - 1] & 0x80) == 0;
    case Marker::kNone: return false;
  }
  return false;
}

void WriteFamilyField(const TQxDBFFieldDef& def, uint8_t* field, const void* buffer) {
  const Form form = FamilyForm(def);
  const int32_t width = PlainWidth(form.plain);
  double zero_copy = 0;
  const void* source = buffer;
  NormaliseZero(form.plain, buffer, zero_copy, source);
  uint8_t plain[16];
  EncodePlain(def, form.plain, source, plain);
  switch (form.marker) {
    case Marker::kNone:
      std::memcpy(field, plain, static_cast<size_t>(width));
      return;
    case Marker::kByte:
      field[0] = kValueMarker;
      std::memcpy(field + 1, plain, static_cast<size_t>(width));
      return;
    case Marker::kBit:
      if (plain[width - 1] & 0x80)
        RaiseCannotStore(def, PlainValueText(form.plain, buffer),
                         "its top bit is the field's NULL marker");
      plain[width - 1] |= 0x80;
      std::memcpy(field, plain, static_cast<size_t>(width));
      return;
  }
}

void WriteFamilyFieldNull(const TQxDBFFieldDef& def, uint8_t* field) {
  const Form form = FamilyForm(def);
  const int32_t width = PlainWidth(form.plain);
  switch (form.marker) {
    case Marker::kNone:
      std::memset(field, 0, static_cast<size_t>(width));
      return;
    case Marker::kByte:
      field[0] = field[1] = kBlank;
      return;
    case Marker::kBit:
      field[width - 1] &= 0x7F;
      return;
  }
}

}  // namespace qxdbf::codec_detail
