// The entry points of the field codec: the Visual FoxPro null flags, the
// value buffer sizes and the blank record, with each family of types
// encoded in its own file.
#include "dbf/field_codec.h"

#include <charconv>
#include <cstring>
#include <string>

#include "dbf/errors.h"
#include "dbf/field_codec_internal.h"

namespace qxdbf {

namespace {

using namespace codec_detail;

constexpr uint8_t kBlank = 0x20;

enum class Family { kNone, kText, kBinary, kExtended };

Family FamilyOf(const TQxDBFFieldDef& def) {
  if (!def.Layout().known || def.Width() <= 0) return Family::kNone;
  switch (def.field_type()) {
    case 'C': case 'N': case 'F': case 'D': case 'L':
      return Family::kText;
    case 'I': case '+': case 'O': case '@': case 'T': case 'Y': case 'B': case 'M': case 'G':
    case 'P': case '0':
      return Family::kBinary;
    case 'E':
      return Family::kExtended;
    default:
      return Family::kNone;
  }
}

// G, M and P keep their NULL in the block number even when they own a null
// flag: a field without a memo block is NULL whatever its bit says.
bool IsPointerLetter(char letter) { return letter == 'M' || letter == 'G' || letter == 'P'; }

// Position in the record of the _NULLFLAGS byte holding the field's bit,
// or -1 when the field has none (not a Visual FoxPro table, not nullable, or
// a bit outside the table's _NULLFLAGS).
int32_t NullFlagPosition(const TQxDBFFieldDef& def, const CodecContext& ctx) {
  if (ctx.dbf_version != xVisualFoxPro || !def.FieldFlag().CanStoreNull()) return -1;
  if (def.NullByte() < 0 || def.NullByte() >= ctx.null_flags_width || ctx.null_flags_offset <= 0)
    return -1;
  return ctx.null_flags_offset + def.NullByte();
}

bool FlaggedNull(const TQxDBFFieldDef& def, const uint8_t* record, const CodecContext& ctx) {
  const int32_t position = NullFlagPosition(def, ctx);
  return position >= 0 && (record[position] & def.NullMask()) &&
         !IsPointerLetter(def.field_type());
}

}  // namespace

namespace codec_detail {

std::string DoubleText(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

void RaiseCannotStore(const TQxDBFFieldDef& def, std::string_view value_text,
                      std::string_view reason) {
  std::string message = "TQxSmartDBF.SetFieldData: Can not store \"";
  message.append(value_text);
  message += "\" in field \"" + def.Name() + "\": ";
  message.append(reason);
  throw EQxDBFBadArgument(message);
}

}  // namespace codec_detail

int32_t FieldBufferSize(const TQxDBFFieldDef& def) {
  const FieldLayout& layout = def.Layout();
  switch (layout.data_type) {
    case ftString:
    case ftFixedChar:
      return layout.data_size + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
      return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime:
      return 4;
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
      return 8;
    case ftBCD:
      return 34;
    case ftWideString:
      return 4 + 2 * layout.data_size + 2;
    case ftBytes:
    case ftMemo:
    case ftBlob:
    case ftGraphic:
    case ftParadoxOle:
    case ftDataSet:
      return def.Width();
    case ftUnknown:
      return 0;
  }
  return 0;
}

bool ReadFieldData(const TQxDBFFieldDef& def, const uint8_t* record, const CodecContext& ctx,
                   void* buffer) {
  if (buffer == nullptr) return !IsFieldNull(def, record, ctx);
  bool has_value = false;
  const Family family = FamilyOf(def);
  if (family != Family::kNone && !FlaggedNull(def, record, ctx)) {
    const uint8_t* field = record + def.Offset();
    switch (family) {
      case Family::kText: has_value = ReadTextField(def, field, ctx, buffer); break;
      case Family::kBinary: has_value = ReadBinaryField(def, field, ctx, buffer); break;
      case Family::kExtended: has_value = ReadExtendedField(def, field, buffer); break;
      case Family::kNone: break;
    }
  }
  if (!has_value) std::memset(buffer, 0, static_cast<size_t>(FieldBufferSize(def)));
  return has_value;
}

bool IsFieldNull(const TQxDBFFieldDef& def, const uint8_t* record, const CodecContext& ctx) {
  const Family family = FamilyOf(def);
  if (family == Family::kNone || FlaggedNull(def, record, ctx)) return true;
  const uint8_t* field = record + def.Offset();
  switch (family) {
    case Family::kText: return TextFieldIsNull(def, field, ctx);
    case Family::kBinary: return BinaryFieldIsNull(def, field, ctx);
    case Family::kExtended: return ExtendedFieldIsNull(def, field);
    case Family::kNone: break;
  }
  return true;
}

void WriteFieldData(const TQxDBFFieldDef& def, uint8_t* record, const CodecContext& ctx,
                    const void* buffer) {
  const Family family = FamilyOf(def);
  if (family == Family::kNone)
    throw EQxDBFBadArgument("TQxSmartDBF.SetFieldData: Field \"" + def.Name() +
                            "\" is of a type the engine cannot write");
  uint8_t* field = record + def.Offset();
  const int32_t flag_position = NullFlagPosition(def, ctx);
  uint8_t* flags = flag_position >= 0 ? record + flag_position : nullptr;

  if (buffer == nullptr) {
    // Visual FoxPro keeps NULL in the flags alone; only a memo pointer is
    // cleared, because its block number decides its NULL state.
    if (ctx.dbf_version == xVisualFoxPro) {
      if (flags) *flags |= def.NullMask();
      if (IsPointerLetter(def.field_type())) std::memset(field, 0, static_cast<size_t>(def.Width()));
      return;
    }
    switch (family) {
      case Family::kText: WriteTextFieldNull(def, field); break;
      case Family::kBinary: WriteBinaryFieldNull(def, field, ctx); break;
      case Family::kExtended: WriteExtendedFieldNull(def, field); break;
      case Family::kNone: break;
    }
    return;
  }

  // The writers refuse a value before they change a byte; the flag is
  // cleared only once the value is in place.
  bool written = true;
  switch (family) {
    case Family::kText: WriteTextField(def, field, buffer); break;
    case Family::kBinary: written = WriteBinaryField(def, field, ctx, buffer); break;
    case Family::kExtended: WriteExtendedField(def, field, buffer); break;
    case Family::kNone: break;
  }
  if (written && flags) *flags &= static_cast<uint8_t>(~def.NullMask());
}

void BlankRecordImage(uint8_t* record, int32_t record_size, const TQxDBFFieldDefs& defs,
                      const CodecContext& ctx) {
  if (record_size <= 0) return;
  std::memset(record, kBlank, static_cast<size_t>(record_size));
  for (int i = 0; i < defs.Count(); ++i) {
    const TQxDBFFieldDef& def = defs[i];
    const int32_t offset = def.Offset();
    const int32_t width = def.Width();
    if (!def.Layout().known || offset < 1 || width <= 0 || offset > record_size - width) continue;
    uint8_t* field = record + offset;
    auto fill = [&](uint8_t byte, int32_t count) {
      std::memset(field, byte, static_cast<size_t>(count < width ? count : width));
    };
    switch (def.field_type()) {
      case '0':
        fill(0xFF, width);  // every nullable field starts NULL
        break;
      case 'T':
        fill(0, width);
        break;
      case 'Y': case '@': case 'O':
        fill(0, 8);
        break;
      case 'I': case '+':
        fill(0, 4);
        break;
      case 'B':
        if (ctx.dbf_version == xVisualFoxPro) fill(0, 8);
        break;
      default:
        break;
    }
    // A binary block number (four bytes) starts at 0, no block; a text
    // pointer stays blank. Going by the pointer's width rather than by the
    // memo file's version keeps a Visual FoxPro table whose memo flag is
    // missing from reading blanks as block 0x20202020.
    const bool pointer =
        IsPointerLetter(def.field_type()) ||
        (def.field_type() == 'E' && IsMemoExtendedType(static_cast<TQxDBFType>(def.extend_type() & 0x7F)));
    if (pointer && width == 4) fill(0, 4);
  }
}

}  // namespace qxdbf
