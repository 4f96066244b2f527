#include "app/sqlvar_codec.h"

#include <cstring>
#include <limits>

#include "app/fb_blob.h"
#include "app/ib_error.h"

namespace veltrix {

namespace {

template <typename T>
T Load(const char* p) {
  T v;
  std::memcpy(&v, p, sizeof(T));
  return v;
}

template <typename T>
void Store(std::vector<char>& buffer, T v) {
  buffer.resize(sizeof(T));
  std::memcpy(buffer.data(), &v, sizeof(T));
}

// An integer column with the declared scale: whole numbers as integers, a
// negative scale as that many decimals, a positive one multiplied out.
TIBValue ScaledInteger(int64_t units, short scale) {
  if (scale == 0) return TIBValue::Integer(units);
  if (scale < 0) return TIBValue::Scaled(units, -scale);
  for (short i = 0; i < scale; ++i) units *= 10;
  return TIBValue::Integer(units);
}

void PointAt(XSQLVAR& var, short type, short len, std::vector<char>& buffer, short& indicator) {
  var.sqltype = static_cast<short>(type | 1);
  var.sqllen = len;
  var.sqldata = buffer.data();
  indicator = 0;
  var.sqlind = &indicator;
}

}  // namespace

size_t OutputBufferSize(const XSQLVAR& var) {
  size_t need = 0;
  switch (var.sqltype & ~1) {
    case SQL_VARYING: need = static_cast<size_t>(var.sqllen) + 2; break;
    case SQL_TEXT: need = static_cast<size_t>(var.sqllen); break;
    case SQL_SHORT: need = 2; break;
    case SQL_LONG: case SQL_FLOAT: case SQL_TYPE_DATE: case SQL_TYPE_TIME: need = 4; break;
    case SQL_BOOLEAN: need = 1; break;
    default: need = 8; break;
  }
  return std::max(need, static_cast<size_t>(var.sqllen > 0 ? var.sqllen : 0)) + 1;
}

TIBValue ReadSqlVar(const XSQLVAR& var, isc_db_handle* db, isc_tr_handle* tr) {
  if ((var.sqltype & 1) && var.sqlind && *var.sqlind < 0) return TIBValue();
  const char* p = var.sqldata;
  switch (var.sqltype & ~1) {
    case SQL_TEXT: return TIBValue::Text(std::string(p, static_cast<size_t>(var.sqllen)));
    case SQL_VARYING: {
      const auto len = Load<unsigned short>(p);
      return TIBValue::Text(std::string(p + 2, std::min<size_t>(len, static_cast<size_t>(var.sqllen))));
    }
    case SQL_SHORT: return ScaledInteger(Load<int16_t>(p), var.sqlscale);
    case SQL_LONG: return ScaledInteger(Load<int32_t>(p), var.sqlscale);
    case SQL_INT64: return ScaledInteger(Load<int64_t>(p), var.sqlscale);
    case SQL_FLOAT: return TIBValue::Float(Load<float>(p));
    case SQL_DOUBLE: case SQL_D_FLOAT: return TIBValue::Float(Load<double>(p));
    case SQL_TYPE_DATE: return TIBValue::Date(Load<ISC_DATE>(p) - kLibraryDayOfOrigin);
    case SQL_TYPE_TIME: return TIBValue::Time(static_cast<double>(Load<ISC_TIME>(p)) / kTimeUnitsPerDay);
    case SQL_TIMESTAMP: {
      const auto ts = Load<ISC_TIMESTAMP>(p);
      return TIBValue::DateTime(JoinDateTime(ts.timestamp_date - kLibraryDayOfOrigin, ts.timestamp_time));
    }
    case SQL_BOOLEAN: return TIBValue::Boolean(Load<FB_BOOLEAN>(p) != 0);
    case SQL_BLOB: return TIBValue::Text(ReadBlob(db, tr, Load<ISC_QUAD>(p)));
    default: return TIBValue();
  }
}

void BindSqlVar(XSQLVAR& var, const XSQLVAR& declared, const TIBValue& value, std::vector<char>& buffer,
                short& indicator, isc_db_handle* db, isc_tr_handle* tr) {
  const short declared_type = static_cast<short>(declared.sqltype & ~1);
  var = declared;
  var.sqlscale = 0;
  if (value.IsNull()) {
    // The declared form, flagged NULL; the bytes are never read.
    buffer.assign(OutputBufferSize(declared), 0);
    PointAt(var, declared_type, declared.sqllen, buffer, indicator);
    indicator = -1;
    return;
  }
  if (value.Kind() == vkText) {
    // Numbers and dates in text follow the shop's conventions (decimal comma,
    // day/month/year), which the server would misread ("05/03/2014" is 3 May
    // to it), so such texts are converted here.
    switch (declared_type) {
      case SQL_SHORT: case SQL_LONG: case SQL_INT64: {
        const int decimals = declared.sqlscale < 0 ? -declared.sqlscale : 0;
        BindSqlVar(var, declared, TIBValue::Scaled(value.AsScaled(decimals), decimals), buffer, indicator, db, tr);
        return;
      }
      case SQL_FLOAT: case SQL_DOUBLE: case SQL_D_FLOAT:
        BindSqlVar(var, declared, TIBValue::Float(value.AsFloat()), buffer, indicator, db, tr);
        return;
      case SQL_TYPE_DATE: case SQL_TIMESTAMP: case SQL_TYPE_TIME:
        BindSqlVar(var, declared, TIBValue::DateTime(value.AsDateTime()), buffer, indicator, db, tr);
        return;
      case SQL_BOOLEAN:
        BindSqlVar(var, declared, TIBValue::Boolean(value.AsBoolean()), buffer, indicator, db, tr);
        return;
      default: break;
    }
  }
  if (declared_type == SQL_BLOB) {
    Store(buffer, WriteBlob(db, tr, value.AsString()));
    PointAt(var, SQL_BLOB, sizeof(ISC_QUAD), buffer, indicator);
    return;
  }
  switch (value.Kind()) {
    case vkInteger: case vkScaled:
      Store(buffer, value.Units());
      PointAt(var, SQL_INT64, 8, buffer, indicator);
      var.sqlscale = static_cast<short>(-value.Decimals());
      return;
    case vkFloat:
      Store(buffer, value.Real());
      PointAt(var, SQL_DOUBLE, 8, buffer, indicator);
      return;
    case vkDate:
      Store(buffer, static_cast<ISC_DATE>(value.Units() + kLibraryDayOfOrigin));
      PointAt(var, SQL_TYPE_DATE, sizeof(ISC_DATE), buffer, indicator);
      return;
    case vkTime: {
      int32_t day = 0;
      uint32_t units = 0;
      SplitDateTime(value.Real(), day, units);
      Store(buffer, static_cast<ISC_TIME>(units));
      PointAt(var, SQL_TYPE_TIME, sizeof(ISC_TIME), buffer, indicator);
      return;
    }
    case vkDateTime: {
      int32_t day = 0;
      uint32_t units = 0;
      SplitDateTime(value.Real(), day, units);
      ISC_TIMESTAMP ts{static_cast<ISC_DATE>(day + kLibraryDayOfOrigin), static_cast<ISC_TIME>(units)};
      Store(buffer, ts);
      PointAt(var, SQL_TIMESTAMP, sizeof(ISC_TIMESTAMP), buffer, indicator);
      return;
    }
    case vkBoolean:
      // Only a boolean parameter takes a boolean; integer columns take 0 or 1.
      if (declared_type == SQL_BOOLEAN) {
        Store(buffer, static_cast<FB_BOOLEAN>(value.Units() != 0));
        PointAt(var, SQL_BOOLEAN, 1, buffer, indicator);
      } else {
        Store(buffer, static_cast<int16_t>(value.Units() != 0));
        PointAt(var, SQL_SHORT, 2, buffer, indicator);
      }
      return;
    case vkText: default: {
      const std::string& text = value.Bytes();
      if (text.size() > static_cast<size_t>(std::numeric_limits<short>::max()))
        throw EIBError("Text parameter too long: " + std::to_string(text.size()) + " bytes");
      buffer.assign(text.begin(), text.end());
      buffer.push_back('\0');
      // Text keeps the character set the parameter was described with; for
      // other parameters the server reads the digits or the date from it.
      const bool declared_text = declared_type == SQL_TEXT || declared_type == SQL_VARYING;
      PointAt(var, SQL_TEXT, static_cast<short>(text.size()), buffer, indicator);
      var.sqlsubtype = declared_text ? declared.sqlsubtype : 0;
      return;
    }
  }
}

}  // namespace veltrix
