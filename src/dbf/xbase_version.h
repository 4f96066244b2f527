// Table format versions and the version byte at offset 0 of a table file.
//
// The order of xBaseVersion matters: feature checks compare ordinals
// ("xBaseVII or later"). No stored byte yields xBaseV; a table created as
// xBaseV reopens as xBaseVII, because both write version byte 0x04/0x8C.
#pragma once

#include <cstdint>
#include <optional>

namespace qxdbf {

enum xBaseVersion : uint8_t {
  xUnknown = 0,
  xClipper = 1,
  xBaseIII = 2,
  xBaseIV = 3,
  xBaseV = 4,
  xBaseVII = 5,
  xFoxPro = 6,
  xVisualFoxPro = 7,
};

const char* VersionName(xBaseVersion version);

struct VersionPair {
  xBaseVersion dbf;  // format of the table file
  xBaseVersion lob;  // format of its memo file, xUnknown when none
};

// Versions recognised from the version byte; nullopt for a byte no reader
// knows. has_memo_flag is bit 0x02 of the table flags (byte 28), which
// decides whether a Visual FoxPro table has a memo file.
std::optional<VersionPair> VersionFromByte(uint8_t byte, bool has_memo_flag);

// The version byte a table of `version` gets at creation.
uint8_t VersionByteAtCreation(xBaseVersion version, bool has_memo);

// dBase V and VII tables have a 36-byte header extension and 48-byte field
// descriptors; all others 32-byte descriptors right after the header.
inline bool HasLongDescriptors(xBaseVersion v) { return v == xBaseV || v == xBaseVII; }
inline int DescriptorSize(xBaseVersion v) { return HasLongDescriptors(v) ? 48 : 32; }
// Only dBase VII readers look for the descriptors after the extension; a
// created dBase V table still writes its extension (and reopens as VII).
inline int32_t DescriptorStart(xBaseVersion v) { return v == xBaseVII ? 68 : 32; }

}  // namespace qxdbf
