#include "dbf/code_page.h"

#include <iconv.h>

#include <array>

namespace qxdbf {

namespace {

using ByteMap = std::array<uint8_t, 256>;

// The Unicode code point of each byte of a single-byte code page, 0 where
// the byte has none.
std::array<uint32_t, 256> CodePoints(const char* code_page) {
  std::array<uint32_t, 256> points{};
  iconv_t cd = iconv_open("UTF-32LE", code_page);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (int b = 0; b < 128; ++b) points[b] = static_cast<uint32_t>(b);
    return points;
  }
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    uint8_t out[8] = {};
    char* in_ptr = &in;
    char* out_ptr = reinterpret_cast<char*>(out);
    size_t in_left = 1, out_left = sizeof(out);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<size_t>(-1) &&
        out_left == sizeof(out) - 4) {
      points[b] = out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<uint32_t>(out[3]) << 24);
    }
  }
  iconv_close(cd);
  return points;
}

ByteMap BuildMap(const char* from, const char* to) {
  const auto source = CodePoints(from);
  const auto target = CodePoints(to);
  ByteMap map{};
  for (int b = 0; b < 256; ++b) {
    map[b] = b < 128 ? static_cast<uint8_t>(b) : static_cast<uint8_t>('?');
    if (b < 128) continue;
    for (int t = 128; t < 256; ++t) {
      if (source[b] != 0 && target[t] == source[b]) {
        map[b] = static_cast<uint8_t>(t);
        break;
      }
    }
  }
  return map;
}

const ByteMap& OemToAnsiMap() {
  static const ByteMap map = BuildMap("IBM850", "CP1252");
  return map;
}

const ByteMap& AnsiToOemMap() {
  static const ByteMap map = BuildMap("CP1252", "IBM850");
  return map;
}

void Apply(const ByteMap& map, uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) data[i] = map[data[i]];
}

}  // namespace

void OemToAnsiBuffer(uint8_t* data, size_t length) { Apply(OemToAnsiMap(), data, length); }
void AnsiToOemBuffer(uint8_t* data, size_t length) { Apply(AnsiToOemMap(), data, length); }

std::string OemToAnsi(std::string text) {
  OemToAnsiBuffer(reinterpret_cast<uint8_t*>(text.data()), text.size());
  return text;
}

std::string AnsiToOem(std::string text) {
  AnsiToOemBuffer(reinterpret_cast<uint8_t*>(text.data()), text.size());
  return text;
}

}  // namespace qxdbf

namespace qxdbf {

char AnsiUpper(char c) {
  const auto b = static_cast<uint8_t>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 32);
  switch (b) {
    case 0x9A: return static_cast<char>(0x8A);  // s caron
    case 0x9C: return static_cast<char>(0x8C);  // oe
    case 0x9E: return static_cast<char>(0x8E);  // z caron
    case 0xFF: return static_cast<char>(0x9F);  // y diaeresis
    default: return c;
  }
}

std::string AnsiUpperCase(std::string text) {
  for (char& c : text) c = AnsiUpper(c);
  return text;
}

}  // namespace qxdbf
