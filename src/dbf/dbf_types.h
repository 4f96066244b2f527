// Extended field types (type letter E) and the dataset field types.
//
// TQxDBFType: the ordinal is what an E descriptor stores at byte 12 (32-byte
// layout) or 35 (48-byte layout). Most values come in families: a plain
// form, an _N form one byte wider (a leading null-marker byte) and an _NB
// form of the plain width whose top bit marks a value.
#pragma once

#include <cstdint>

namespace qxdbf {

enum TQxDBFType : uint8_t {
  dbftS1, dbftS1_N, dbftU1, dbftU1_N, dbftS2, dbftS2_N, dbftU2, dbftU2_N,
  dbftS4, dbftS4_N, dbftU4, dbftU4_N, dbftS8, dbftS8_N, dbftR4, dbftR4_N,
  dbftR6, dbftR6_N, dbftR8, dbftR8_N, dbftR10, dbftR10_N, dbftD1, dbftD1_N,
  dbftD2, dbftD2_N, dbftString, dbftString_N, dbftFixedChar, dbftWideString,
  dbftCurrency, dbftCurrency_N, dbftClob, dbftBlob, dbftGraphic, dbftFmtMemo,
  dbftBCD, dbftDate, dbftDate_N, dbftTime, dbftTime_N, dbftD3, dbftD3_N,
  dbftU1_NB, dbftU2_NB, dbftU4_NB, dbftR4_NB, dbftR6_NB, dbftR8_NB, dbftD1_NB,
  dbftD2_NB, dbftCurrency_NB, dbftDate_NB, dbftTime_NB, dbftD3_NB, dbftClob_NB,
  dbftBlob_NB, dbftGraphic_NB, dbftFmtMemo_NB, dbftUndefined, dbftDBFDataSet,
  dbftDBFDataSet_NB, dbftBytes, dbftVarBytes, dbftTypedBinary, dbftADT,
  dbftArray, dbftReference, dbftVariant, dbftInterface, dbftIDispatch, dbftGuid,
};

constexpr int kExtendedTypeCount = 72;

const char* ExtendedTypeName(TQxDBFType type);

// Extended types whose descriptor bytes 16-17 form one 16-bit length, as for
// C fields.
bool IsWideLengthExtendedType(TQxDBFType type);
// Extended types that point into the memo file (memo kinds and nested tables).
bool IsMemoExtendedType(TQxDBFType type);
bool IsNestedTableType(TQxDBFType type);

// Field types of the dataset layer: the form a value takes between the table
// and its callers.
enum TFieldType : uint8_t {
  ftUnknown,
  ftString,
  ftSmallint,  // signed 16-bit integer
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftParadoxOle,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftDataSet,
};

const char* FieldTypeName(TFieldType type);

}  // namespace qxdbf
