#include "dbf/dbf_types.h"

namespace qxdbf {

namespace {
const char* const kExtendedTypeNames[kExtendedTypeCount] = {
    "dbftS1", "dbftS1_N", "dbftU1", "dbftU1_N", "dbftS2", "dbftS2_N", "dbftU2", "dbftU2_N",
    "dbftS4", "dbftS4_N", "dbftU4", "dbftU4_N", "dbftS8", "dbftS8_N", "dbftR4", "dbftR4_N",
    "dbftR6", "dbftR6_N", "dbftR8", "dbftR8_N", "dbftR10", "dbftR10_N", "dbftD1", "dbftD1_N",
    "dbftD2", "dbftD2_N", "dbftString", "dbftString_N", "dbftFixedChar", "dbftWideString",
    "dbftCurrency", "dbftCurrency_N", "dbftClob", "dbftBlob", "dbftGraphic", "dbftFmtMemo",
    "dbftBCD", "dbftDate", "dbftDate_N", "dbftTime", "dbftTime_N", "dbftD3", "dbftD3_N",
    "dbftU1_NB", "dbftU2_NB", "dbftU4_NB", "dbftR4_NB", "dbftR6_NB", "dbftR8_NB", "dbftD1_NB",
    "dbftD2_NB", "dbftCurrency_NB", "dbftDate_NB", "dbftTime_NB", "dbftD3_NB", "dbftClob_NB",
    "dbftBlob_NB", "dbftGraphic_NB", "dbftFmtMemo_NB", "dbftUndefined", "dbftDBFDataSet",
    "dbftDBFDataSet_NB", "dbftBytes", "dbftVarBytes", "dbftTypedBinary", "dbftADT",
    "dbftArray", "dbftReference", "dbftVariant", "dbftInterface", "dbftIDispatch", "dbftGuid",
};
}  // namespace

const char* ExtendedTypeName(TQxDBFType type) {
  return type < kExtendedTypeCount ? kExtendedTypeNames[type] : "dbftUndefined";
}

bool IsWideLengthExtendedType(TQxDBFType type) {
  return type == dbftString || type == dbftString_N || type == dbftFixedChar ||
         type == dbftWideString;
}

bool IsMemoExtendedType(TQxDBFType type) {
  switch (type) {
    case dbftClob: case dbftBlob: case dbftGraphic: case dbftFmtMemo:
    case dbftClob_NB: case dbftBlob_NB: case dbftGraphic_NB: case dbftFmtMemo_NB:
    case dbftDBFDataSet: case dbftDBFDataSet_NB:
      return true;
    default:
      return false;
  }
}

bool IsNestedTableType(TQxDBFType type) {
  return type == dbftDBFDataSet || type == dbftDBFDataSet_NB;
}

const char* FieldTypeName(TFieldType type) {
  switch (type) {
    case ftUnknown: return "ftUnknown";
    case ftString: return "ftString";
    case ftSmallint: return "ftSmallint";
    case ftInteger: return "ftInteger";
    case ftWord: return "ftWord";
    case ftBoolean: return "ftBoolean";
    case ftFloat: return "ftFloat";
    case ftCurrency: return "ftCurrency";
    case ftBCD: return "ftBCD";
    case ftDate: return "ftDate";
    case ftTime: return "ftTime";
    case ftDateTime: return "ftDateTime";
    case ftBytes: return "ftBytes";
    case ftAutoInc: return "ftAutoInc";
    case ftBlob: return "ftBlob";
    case ftMemo: return "ftMemo";
    case ftGraphic: return "ftGraphic";
    case ftParadoxOle: return "ftParadoxOle";
    case ftFixedChar: return "ftFixedChar";
    case ftWideString: return "ftWideString";
    case ftLargeint: return "ftLargeint";
    case ftDataSet: return "ftDataSet";
  }
  return "ftUnknown";
}

}  // namespace qxdbf
