#include "dbf/xbase_version.h"

namespace qxdbf {

const char* VersionName(xBaseVersion version) {
  switch (version) {
    case xUnknown: return "xUnknown";
    case xClipper: return "xClipper";
    case xBaseIII: return "xBaseIII";
    case xBaseIV: return "xBaseIV";
    case xBaseV: return "xBaseV";
    case xBaseVII: return "xBaseVII";
    case xFoxPro: return "xFoxPro";
    case xVisualFoxPro: return "xVisualFoxPro";
  }
  return "xUnknown";
}

std::optional<VersionPair> VersionFromByte(uint8_t byte, bool has_memo_flag) {
  switch (byte) {
    case 0x03: return VersionPair{xBaseIII, xUnknown};
    case 0x04: return VersionPair{xBaseVII, xUnknown};
    case 0x07: return VersionPair{xClipper, xUnknown};
    case 0x30:
    case 0x31: return VersionPair{xVisualFoxPro, has_memo_flag ? xVisualFoxPro : xUnknown};
    case 0x7B:
    case 0x8B:
    case 0x8E: return VersionPair{xBaseIV, xBaseIV};
    case 0x83: return VersionPair{xBaseIII, xBaseIII};
    case 0x8C: return VersionPair{xBaseVII, xBaseVII};
    case 0xF5: return VersionPair{xFoxPro, xFoxPro};
    default: return std::nullopt;
  }
}

uint8_t VersionByteAtCreation(xBaseVersion version, bool has_memo) {
  switch (version) {
    case xBaseIV: return has_memo ? 0x8B : 0x03;
    case xBaseV:
    case xBaseVII: return has_memo ? 0x8C : 0x04;
    case xFoxPro: return has_memo ? 0xF5 : 0x03;
    case xVisualFoxPro: return 0x30;
    default: return has_memo ? 0x83 : 0x03;
  }
}

}  // namespace qxdbf
