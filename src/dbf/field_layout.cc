#include "dbf/field_layout.h"

namespace qxdbf {

namespace {

FieldLayout Fixed(int32_t width, TFieldType type, uint16_t len, uint16_t dec) {
  FieldLayout l;
  l.known = true;
  l.width = width;
  l.data_type = type;
  l.len = len;
  l.dec = dec;
  if (type == ftFloat) l.precision = dec;
  return l;
}

// Width of a memo pointer: a 32-bit block number in Visual FoxPro memo
// files, ten digits of text in every other kind.
int32_t PointerWidth(xBaseVersion version) { return version == xVisualFoxPro ? 4 : 10; }

FieldLayout NumericLayout(uint16_t len, uint8_t dec) {
  FieldLayout l = Fixed(len, ftFloat, len, dec);
  if (dec == 0) {
    l.data_type = len <= 9 ? ftInteger : ftLargeint;
    l.precision = 0;
  }
  return l;
}

FieldLayout TextLayout(int32_t width, TFieldType type, uint16_t len) {
  FieldLayout l = Fixed(width, type, len, 0);
  l.data_size = len;
  return l;
}

// Plain, _N (one marker byte wider) and _NB (plain width) forms share the
// dataset type and len/dec.
FieldLayout Family(int32_t plain, int extra, TFieldType type, uint16_t len, uint16_t dec) {
  return Fixed(plain + extra, type, len, dec);
}

FieldLayout ExtendedLayout(TQxDBFType ext, uint16_t len, xBaseVersion lob) {
  switch (ext) {
    case dbftS1: return Family(1, 0, ftSmallint, 4, 0);
    case dbftS1_N: return Family(1, 1, ftSmallint, 4, 0);
    case dbftU1: return Family(1, 0, ftWord, 4, 0);
    case dbftU1_N: return Family(1, 1, ftWord, 4, 0);
    case dbftU1_NB: return Family(1, 0, ftWord, 3, 0);
    case dbftS2: return Family(2, 0, ftSmallint, 6, 0);
    case dbftS2_N: return Family(2, 1, ftSmallint, 6, 0);
    case dbftU2: return Family(2, 0, ftWord, 6, 0);
    case dbftU2_N: return Family(2, 1, ftWord, 6, 0);
    case dbftU2_NB: return Family(2, 0, ftWord, 5, 0);
    case dbftS4: return Family(4, 0, ftInteger, 11, 0);
    case dbftS4_N: return Family(4, 1, ftInteger, 11, 0);
    case dbftU4: return Family(4, 0, ftInteger, 11, 0);
    case dbftU4_N: return Family(4, 1, ftInteger, 11, 0);
    case dbftU4_NB: return Family(4, 0, ftInteger, 10, 0);
    case dbftS8: return Family(8, 0, ftLargeint, 21, 0);
    case dbftS8_N: return Family(8, 1, ftLargeint, 21, 0);
    case dbftR4: case dbftR4_NB: return Family(4, 0, ftFloat, 18, 8);
    case dbftR4_N: return Family(4, 1, ftFloat, 18, 8);
    case dbftR6: case dbftR6_NB: return Family(6, 0, ftFloat, 26, 12);
    case dbftR6_N: return Family(6, 1, ftFloat, 26, 12);
    case dbftR8: case dbftR8_NB: return Family(8, 0, ftFloat, 34, 16);
    case dbftR8_N: return Family(8, 1, ftFloat, 34, 16);
    case dbftR10: return Family(10, 0, ftFloat, 42, 20);
    case dbftR10_N: return Family(10, 1, ftFloat, 42, 20);
    case dbftD1: case dbftD1_NB: case dbftD2: case dbftD2_NB:
      return Family(8, 0, ftDateTime, 8, 0);
    case dbftD1_N: case dbftD2_N: return Family(8, 1, ftDateTime, 8, 0);
    case dbftD3: case dbftD3_NB: return Family(6, 0, ftDateTime, 8, 0);
    case dbftD3_N: return Family(6, 1, ftDateTime, 8, 0);
    case dbftCurrency: case dbftCurrency_NB: return Family(8, 0, ftCurrency, 25, 4);
    case dbftCurrency_N: return Family(8, 1, ftCurrency, 25, 4);
    case dbftDate: case dbftDate_NB: return Family(4, 0, ftDate, 8, 0);
    case dbftDate_N: return Family(4, 1, ftDate, 8, 0);
    case dbftTime: case dbftTime_NB: return Family(4, 0, ftTime, 6, 0);
    case dbftTime_N: return Family(4, 1, ftTime, 6, 0);
    case dbftString: return TextLayout(len + 2, ftString, len);
    case dbftString_N: return TextLayout(len + 3, ftString, len);
    case dbftFixedChar: return TextLayout(len + 1, ftFixedChar, len);
    // A 16-bit length prefix, two bytes per character and a two-byte
    // terminator: the width creation has always written.
    case dbftWideString: return TextLayout(2 * len + 4, ftWideString, len);
    // The dataset layer's 34-byte decimal record, stored as is.
    case dbftBCD: return Fixed(34, ftBCD, 25, 4);
    case dbftClob: case dbftFmtMemo: {
      int32_t w = PointerWidth(lob);
      return Fixed(w, ftMemo, static_cast<uint16_t>(w), 0);
    }
    case dbftBlob: case dbftGraphic: {
      int32_t w = PointerWidth(lob);
      return Fixed(w, ftBlob, static_cast<uint16_t>(w), 0);
    }
    case dbftClob_NB: case dbftFmtMemo_NB: return Fixed(4, ftMemo, 4, 0);
    case dbftBlob_NB: case dbftGraphic_NB: return Fixed(4, ftBlob, 4, 0);
    case dbftDBFDataSet: {
      int32_t w = PointerWidth(lob);
      return Fixed(w, ftDataSet, static_cast<uint16_t>(w), 0);
    }
    case dbftDBFDataSet_NB: return Fixed(4, ftDataSet, 4, 0);
    default: return FieldLayout{};
  }
}

}  // namespace

FieldLayout LayoutOf(const FIELD_REC& rec, const TFieldFlag& flags, xBaseVersion dbf,
                     xBaseVersion lob) {
  const bool vfp = dbf == xVisualFoxPro;
  const uint16_t len = rec.Len();
  switch (rec.FieldType()) {
    case 'C': {
      FieldLayout l = TextLayout(len, vfp && flags.BinaryColumn() ? ftBytes : ftString, len);
      return l;
    }
    case 'N':
    case 'F': return NumericLayout(len, rec.Dec());
    case 'D': return Fixed(8, ftDate, 8, 0);
    case 'L': return Fixed(1, ftBoolean, 1, 0);
    case 'M': {
      int32_t w = vfp ? 4 : 10;
      return Fixed(w, vfp && flags.BinaryColumn() ? ftBlob : ftMemo, static_cast<uint16_t>(w), 0);
    }
    case 'B': return vfp ? Fixed(8, ftFloat, 34, 16) : Fixed(10, ftBlob, 10, 0);
    case 'G': return vfp ? Fixed(4, ftParadoxOle, 4, 0) : Fixed(10, ftGraphic, 10, 0);
    case 'P': return vfp ? Fixed(4, ftGraphic, 4, 0) : Fixed(10, ftGraphic, 10, 0);
    case 'T': return Fixed(8, ftDateTime, 8, 0);
    case 'Y': return Fixed(8, ftCurrency, 25, 4);
    case 'I': return Fixed(4, vfp && flags.AutoIncrement() ? ftAutoInc : ftInteger, 11, 0);
    case '+': return Fixed(4, ftAutoInc, 11, 0);
    case 'O': return Fixed(8, ftFloat, 21, 0);
    case '@': return Fixed(8, ftDateTime, 8, 0);
    case '0': {
      FieldLayout l = TextLayout(len, ftBytes, len);
      return l;
    }
    case 'E': return ExtendedLayout(static_cast<TQxDBFType>(rec.ExtendType() & 0x7F), len, lob);
    default: return FieldLayout{};
  }
}

std::string OpenVersionError(char letter, xBaseVersion dbf) {
  const std::string prefix = "TQxSmartDBF.HiddenInitFieldDefs: ";
  switch (letter) {
    case '+': case 'I': case 'O': case '@':
      if (dbf != xBaseVII && dbf != xVisualFoxPro)
        return prefix + "DBF Version must be greater then xBaseV for field type \"+\", \"I\", \"O\" and \"@\"!";
      break;
    case 'B': case 'G':
      if (dbf < xBaseIV)
        return prefix + "DBF Version must be greater then xBaseIII for field type \"B\" and \"G\"!";
      break;
    case 'P':
      if (dbf < xFoxPro) return prefix + "DBF Version must be xFoxPro or greater for field type \"P\"!";
      break;
    case 'T':
      if (dbf != xVisualFoxPro)
        return prefix + "DBF Version must be xVisualFoxPro or greater for field type \"T\"!";
      break;
    case 'Y':
      if (dbf != xVisualFoxPro)
        return prefix + "DBF Version must be xVisualFoxPro or greater for field type \"Y\"!";
      break;
    default:
      break;
  }
  return {};
}

std::string CreateVersionError(char letter, xBaseVersion dbf) {
  const std::string prefix = "TQxSmartDBF.CreateTable: ";
  switch (letter) {
    case '+': case 'I': case 'O': case '@':
      if (dbf < xBaseVII)
        return prefix + "DBF Version must be greater then xBaseVII for fields \"I\", \"+\", \"O\", \"@\"!";
      break;
    case 'B': case 'G':
      if (dbf < xBaseV)
        return prefix + "DBF Version must be greater then xBaseIV for field type \"B\" or \"G\"!";
      break;
    case 'F':
      if (dbf < xBaseIV)
        return prefix + "DBF Version must be greater then xBaseIII for field type \"F\"!";
      break;
    case 'P': case 'T': case 'Y':
      if (dbf < xFoxPro)
        return prefix + "DBF Version must be xFoxPro or greater for field type \"" +
               std::string(1, letter) + "\"!";
      break;
    default:
      break;
  }
  return {};
}

bool IsMemoField(char letter, TQxDBFType ext, xBaseVersion dbf) {
  switch (letter) {
    case 'M': return true;
    case 'P': return dbf == xFoxPro || dbf == xVisualFoxPro;
    case 'G': return dbf == xFoxPro || dbf == xVisualFoxPro || dbf == xBaseV || dbf == xBaseVII;
    case 'B': return dbf == xBaseV || dbf == xBaseVII;
    case 'E': return IsMemoExtendedType(static_cast<TQxDBFType>(ext & 0x7F));
    default: return false;
  }
}

}  // namespace qxdbf
