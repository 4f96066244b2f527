// Fixed-width integer encoding on byte buffers.
//
// DBF and NTX files are little-endian; FoxPro memo files and the binary
// I, O and @ fields of dBase 7 tables are big-endian. Every multi-byte number
// the engine reads or writes in a file goes through these helpers, so no
// other code depends on the host's byte order.
#pragma once

#include <cstdint>
#include <cstring>

namespace qxdbf {

inline uint16_t DecodeLE16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t DecodeLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t DecodeLE64(const uint8_t* p) {
  return static_cast<uint64_t>(DecodeLE32(p)) |
         (static_cast<uint64_t>(DecodeLE32(p + 4)) << 32);
}
inline void EncodeLE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void EncodeLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void EncodeLE64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t DecodeBE32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline uint64_t DecodeBE64(const uint8_t* p) {
  return (static_cast<uint64_t>(DecodeBE32(p)) << 32) | DecodeBE32(p + 4);
}
inline void EncodeBE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
inline void EncodeBE64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (56 - 8 * i));
}

}  // namespace qxdbf
