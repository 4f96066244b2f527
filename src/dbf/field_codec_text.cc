// C, N, F, D and L fields: values kept as text in the record, the types
// every dBase III table uses.
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "dbf/decimal_text.h"
#include "dbf/engine_util.h"
#include "dbf/field_codec_internal.h"

namespace qxdbf::codec_detail {

namespace {

constexpr uint8_t kBlank = 0x20;
// 31 December 9999, the last day a D field's four year digits can hold.
constexpr int32_t kLastDayNumber = 3652059;

bool AllBlank(const uint8_t* bytes, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (bytes[i] != kBlank) return false;
  return true;
}

// Other programs read the eight bytes as digits without looking at them,
// in 16-bit arithmetic, and accept whatever lands on a real date; reading
// the same way keeps every table they accept readable here.
bool ReadDate(const uint8_t* field, int32_t& day_number) {
  uint16_t d[8];
  for (int i = 0; i < 8; ++i) d[i] = static_cast<uint16_t>(field[i] - 0x30);
  const uint16_t year = static_cast<uint16_t>(1000 * d[0] + 100 * d[1] + 10 * d[2] + d[3]);
  const uint16_t month = static_cast<uint16_t>(10 * d[4] + d[5]);
  const uint16_t day = static_cast<uint16_t>(10 * d[6] + d[7]);
  int32_t days = 0;
  if (!TryEncodeDays(year, month, day, days)) return false;
  day_number = days + kDateDelta;
  return true;
}

bool ReadNumber(const TQxDBFFieldDef& def, const uint8_t* field, void* buffer) {
  const int32_t width = def.Width();
  if (AllBlank(field, width)) return false;
  const char* text = reinterpret_cast<const char*>(field);
  const size_t n = static_cast<size_t>(width);
  switch (def.Layout().data_type) {
    case ftInteger: {
      int64_t v = 0;
      if (!ParseIntegerText(text, n, INT32_MIN, INT32_MAX, v)) return false;
      const int32_t v32 = static_cast<int32_t>(v);
      std::memcpy(buffer, &v32, sizeof v32);
      return true;
    }
    case ftLargeint: {
      int64_t v = 0;
      if (!ParseIntegerText(text, n, INT64_MIN, INT64_MAX, v)) return false;
      std::memcpy(buffer, &v, sizeof v);
      return true;
    }
    default: {
      double v = 0;
      if (!ParseDecimalText(text, n, v)) return false;
      std::memcpy(buffer, &v, sizeof v);
      return true;
    }
  }
}

// Right-aligns `text` in the field. A text wider than the field would
// store a different number, so it is refused before anything is written.
void StoreNumberText(const TQxDBFFieldDef& def, uint8_t* field, const char* text, size_t length) {
  const size_t width = static_cast<size_t>(def.Width());
  if (length > width)
    RaiseCannotStore(def, std::string_view(text, length),
                     "its text is wider than the field's " + std::to_string(width) +
                         " characters");
  std::memset(field, kBlank, width - length);
  std::memcpy(field + width - length, text, length);
}

void WriteNumber(const TQxDBFFieldDef& def, uint8_t* field, const void* buffer) {
  char text[kFixedTextCapacity];
  size_t length = 0;
  switch (def.Layout().data_type) {
    case ftInteger: {
      int32_t v;
      std::memcpy(&v, buffer, sizeof v);
      length = static_cast<size_t>(std::to_chars(text, text + sizeof text, v).ptr - text);
      break;
    }
    case ftLargeint: {
      int64_t v;
      std::memcpy(&v, buffer, sizeof v);
      length = static_cast<size_t>(std::to_chars(text, text + sizeof text, v).ptr - text);
      break;
    }
    default: {
      double v;
      std::memcpy(&v, buffer, sizeof v);
      if (!std::isfinite(v)) RaiseCannotStore(def, DoubleText(v), "it is not a finite number");
      // A decimal count beyond any field width cannot fit anyway; the cap
      // only keeps the text within its buffer.
      const int dec = def.dec() < kMaxDecimals ? def.dec() : kMaxDecimals;
      length = FormatFixedText(v, dec, text);
      break;
    }
  }
  StoreNumberText(def, field, text, length);
}

void WriteDate(const TQxDBFFieldDef& def, uint8_t* field, const void* buffer) {
  int32_t day_number;
  std::memcpy(&day_number, buffer, sizeof day_number);
  if (day_number < 1 || day_number > kLastDayNumber)
    RaiseCannotStore(def, std::to_string(day_number), "it is no date of the years 1 to 9999");
  int year, month, day;
  DecodeDays(day_number - kDateDelta, year, month, day);
  const int parts[3][2] = {{year, 4}, {month, 2}, {day, 2}};
  uint8_t* out = field;
  for (const auto& part : parts) {
    int v = part[0];
    for (int i = part[1] - 1; i >= 0; --i, v /= 10) out[i] = static_cast<uint8_t>('0' + v % 10);
    out += part[1];
  }
}

}  // namespace

bool ReadTextField(const TQxDBFFieldDef& def, const uint8_t* field, const CodecContext& ctx,
                   void* buffer) {
  const int32_t width = def.Width();
  auto* out = static_cast<uint8_t*>(buffer);
  switch (def.field_type()) {
    case 'C': {
      std::memcpy(out, field, static_cast<size_t>(width));
      if (def.Layout().data_type == ftBytes) return true;
      out[width] = 0;
      if (!ctx.trim_c_type) return true;
      int32_t end = width;
      while (end > 0 && out[end - 1] == kBlank) out[--end] = 0;
      return end > 0;
    }
    case 'N':
    case 'F':
      return ReadNumber(def, field, buffer);
    case 'D': {
      int32_t day_number = 0;
      if (AllBlank(field, 8) || !ReadDate(field, day_number)) return false;
      std::memcpy(buffer, &day_number, sizeof day_number);
      return true;
    }
    case 'L': {
      if (field[0] != 'T' && field[0] != 'F') return false;
      const uint16_t v = field[0] == 'T' ? 1 : 0;
      std::memcpy(buffer, &v, sizeof v);
      return true;
    }
    default:
      return false;
  }
}

bool TextFieldIsNull(const TQxDBFFieldDef& def, const uint8_t* field, const CodecContext& ctx) {
  switch (def.field_type()) {
    case 'C':
      if (def.Layout().data_type == ftBytes || !ctx.trim_c_type) return false;
      return AllBlank(field, def.Width());
    case 'L':
      return field[0] == kBlank;
    default:
      return AllBlank(field, def.Width());
  }
}

void WriteTextField(const TQxDBFFieldDef& def, uint8_t* field, const void* buffer) {
  const size_t width = static_cast<size_t>(def.Width());
  switch (def.field_type()) {
    case 'C': {
      if (def.Layout().data_type == ftBytes) {
        std::memcpy(field, buffer, width);
        return;
      }
      // Left-aligned and blank-filled; a longer text keeps its first
      // `width` bytes, as the dataset's text fields cut it.
      const void* zero = std::memchr(buffer, 0, width);
      const size_t length =
          zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) -
                                     static_cast<const uint8_t*>(buffer))
               : width;
      std::memcpy(field, buffer, length);
      std::memset(field + length, kBlank, width - length);
      return;
    }
    case 'N':
    case 'F':
      WriteNumber(def, field, buffer);
      return;
    case 'D':
      WriteDate(def, field, buffer);
      return;
    case 'L': {
      uint16_t v;
      std::memcpy(&v, buffer, sizeof v);
      field[0] = v != 0 ? 'T' : 'F';
      return;
    }
    default:
      return;
  }
}

void WriteTextFieldNull(const TQxDBFFieldDef& def, uint8_t* field) {
  std::memset(field, kBlank, static_cast<size_t>(def.Width()));
}

}  // namespace qxdbf::codec_detail
