#include "ui/log_text.h"

#include <cstdint>

namespace veltrix::ui {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 at 0x80..0x9F, where it differs from ISO 8859-1's C1 controls;
// 0 marks the bytes it leaves undefined.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool InRange(uint8_t byte, uint8_t low, uint8_t high) { return byte >= low && byte <= high; }

// Length of the well-formed UTF-8 sequence starting at `at`, or 0 when the
// byte there does not start one (stray continuation bytes, overlong forms,
// surrogates, code points above U+10FFFF, truncated sequences).
size_t Utf8SequenceLength(std::string_view s, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[at + i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint8_t second_low = 0x80;
  uint8_t second_high = 0xBF;
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3;
    if (lead == 0xE0) second_low = 0xA0;
    if (lead == 0xED) second_high = 0x9F;
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4;
    if (lead == 0xF0) second_low = 0x90;
    if (lead == 0xF4) second_high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > s.size()) return 0;
  if (!InRange(byte(1), second_low, second_high)) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (!InRange(byte(i), 0x80, 0xBF)) return 0;
  }
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (c & 0x3F));
}

char32_t FromCp1252(uint8_t byte) {
  if (byte >= 0xA0) return byte;
  const char32_t c = kCp1252High[byte - 0x80];
  return c != 0 ? c : kReplacement;
}

}  // namespace

std::string DisplayText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t length = Utf8SequenceLength(bytes, at);
    if (length > 0) {
      out.append(bytes.substr(at, length));
      at += length;
    } else {
      AppendUtf8(out, FromCp1252(static_cast<uint8_t>(bytes[at])));
      ++at;
    }
  }
  return out;
}

}  // namespace veltrix::ui
