// The pieces of the field codec, one file per family of types. The public
// entry points (field_codec.h) handle the Visual FoxPro null flags and hand
// the field's own bytes to these.
//
// Every reader gets `field` = the record image + the field's offset, and a
// non-null value buffer; answering false means NULL (or bytes that do not
// parse), and the caller then clears the buffer. Every writer checks the
// value completely before it changes a byte, so a refused value leaves the
// record as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dbf/field_codec.h"

namespace qxdbf::codec_detail {

// C, N, F, D and L: text in the record.
bool ReadTextField(const TQxDBFFieldDef& def, const uint8_t* field, const CodecContext& ctx,
                   void* buffer);
bool TextFieldIsNull(const TQxDBFFieldDef& def, const uint8_t* field, const CodecContext& ctx);
void WriteTextField(const TQxDBFFieldDef& def, uint8_t* field, const void* buffer);
void WriteTextFieldNull(const TQxDBFFieldDef& def, uint8_t* field);

// The binary letters: I, +, O, @, T, Y, B, 0 and the memo pointers of M, G
// and P (and of B outside Visual FoxPro).
bool ReadBinaryField(const TQxDBFFieldDef& def, const uint8_t* field, const CodecContext& ctx,
                     void* buffer);
bool BinaryFieldIsNull(const TQxDBFFieldDef& def, const uint8_t* field, const CodecContext& ctx);
// Answers false when the write is ignored (a "+" field outside the
// auto-increment fill).
bool WriteBinaryField(const TQxDBFFieldDef& def, uint8_t* field, const CodecContext& ctx,
                      const void* buffer);
void WriteBinaryFieldNull(const TQxDBFFieldDef& def, uint8_t* field, const CodecContext& ctx);

// Letter E, by extended type.
bool ReadExtendedField(const TQxDBFFieldDef& def, const uint8_t* field, void* buffer);
bool ExtendedFieldIsNull(const TQxDBFFieldDef& def, const uint8_t* field);
void WriteExtendedField(const TQxDBFFieldDef& def, uint8_t* field, const void* buffer);
void WriteExtendedFieldNull(const TQxDBFFieldDef& def, uint8_t* field);

// The numeric and date extended types in their plain, _N and _NB forms.
bool IsFamilyType(TQxDBFType type);
bool ReadFamilyField(const TQxDBFFieldDef& def, const uint8_t* field, void* buffer);
bool FamilyFieldIsNull(const TQxDBFFieldDef& def, const uint8_t* field);
void WriteFamilyField(const TQxDBFFieldDef& def, uint8_t* field, const void* buffer);
void WriteFamilyFieldNull(const TQxDBFFieldDef& def, uint8_t* field);

// Memo pointers. A pointer of `width` 10 is the block number as text, all
// blank meaning none; of width 4 a 32-bit little-endian block number, 0
// meaning none. With `marker_bit` (the _NB memo kinds, width 4) the top bit
// of the last byte marks a pointer instead, and the value form is the block
// number without that bit.
bool ReadMemoPointer(const uint8_t* field, int32_t width, bool marker_bit, void* buffer);
bool MemoPointerIsNull(const uint8_t* field, int32_t width, bool marker_bit);
void WriteMemoPointer(const TQxDBFFieldDef& def, uint8_t* field, int32_t width, bool marker_bit,
                      const void* buffer);
void WriteMemoPointerNull(uint8_t* field, int32_t width, bool marker_bit);

// Money: a 64-bit count of ten-thousandths. The double is rounded to the
// nearest ten-thousandth, halves away from zero, on its 18-digit decimal
// expansion (as N fields round). Raises when it does not fit.
int64_t CurrencyFromDouble(const TQxDBFFieldDef& def, double value);
double CurrencyToDouble(int64_t ten_thousandths);

// The value as text for messages: the shortest text that reads back as it.
std::string DoubleText(double value);

// Raises EQxDBFBadArgument naming the field and the value: the value cannot
// be stored in the field (too wide, out of range, not representable).
[[noreturn]] void RaiseCannotStore(const TQxDBFFieldDef& def, std::string_view value_text,
                                   std::string_view reason);

}  // namespace qxdbf::codec_detail
