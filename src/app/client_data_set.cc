#include "app/client_data_set.h"

#include "app/data_set_provider.h"
#include "app/ib_error.h"
#include "app/latin1_text.h"

namespace veltrix {

namespace {

const TIBValue kNullValue;

bool IsNumber(const TIBValue& v) { return v.Kind() == vkInteger || v.Kind() == vkScaled || v.Kind() == vkFloat; }

bool IsDateOrTime(const TIBValue& v) { return v.Kind() == vkDate || v.Kind() == vkTime || v.Kind() == vkDateTime; }

// Exact for integers and scaled values (both brought to 18 decimals in 128
// bits); through doubles when either is a float.
bool SameNumber(const TIBValue& a, const TIBValue& b) {
  if (a.Kind() == vkFloat || b.Kind() == vkFloat) return a.AsFloat() == b.AsFloat();
  auto widen = [](const TIBValue& v) {
    __int128 x = v.Units();
    for (int i = v.Kind() == vkScaled ? v.Decimals() : 0; i < TIBValue::kMaxDecimals; ++i) x *= 10;
    return x;
  };
  return widen(a) == widen(b);
}

bool Matches(const TIBValue& field, const TIBValue& key, TLocateOptions options) {
  if (field.IsNull() || key.IsNull()) return field.IsNull() && key.IsNull();
  if (IsNumber(field) && IsNumber(key)) return SameNumber(field, key);
  if (IsDateOrTime(field) && IsDateOrTime(key)) return field.AsDateTime() == key.AsDateTime();
  std::string value = field.AsString();
  const std::string wanted = key.AsString();
  if (options & loPartialKey) value = value.substr(0, wanted.size());
  return (options & loCaseInsensitive) ? SameTextLatin1(value, wanted) : value == wanted;
}

}  // namespace

void TClientDataSet::Open() {
  if (active_) return;
  if (provider_ == nullptr) throw EIBError("Missing data provider or data packet");
  rows_ = provider_->GetRecords(command_text_);
  active_ = true;
  current_ = rows_.rows.empty() ? -1 : 0;
  eof_ = rows_.rows.empty();
}

void TClientDataSet::Close() {
  active_ = false;
  eof_ = true;
  current_ = -1;
  rows_ = TRowSet();
}

void TClientDataSet::SetActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TClientDataSet::CheckActive() const {
  if (!active_) throw EIBError("Cannot perform this operation on a closed dataset");
}

void TClientDataSet::First() {
  CheckActive();
  current_ = rows_.rows.empty() ? -1 : 0;
  eof_ = rows_.rows.empty();
}

void TClientDataSet::Next() {
  CheckActive();
  if (current_ + 1 < static_cast<int>(rows_.rows.size())) {
    ++current_;
    eof_ = false;
  } else {
    eof_ = true;
  }
}

const TIBValue* TClientDataSet::FindField(const std::string& name) const {
  CheckActive();
  const int index = rows_.IndexOf(name);
  if (index < 0) return nullptr;
  if (current_ < 0) return &kNullValue;
  return &rows_.rows[static_cast<size_t>(current_)][static_cast<size_t>(index)];
}

const TIBValue& TClientDataSet::FieldByName(const std::string& name) const {
  const TIBValue* value = FindField(name);
  if (value == nullptr) throw EIBError("Field '" + name + "' not found");
  return *value;
}

bool TClientDataSet::Locate(const std::string& key_field, const TIBValue& key, TLocateOptions options) {
  CheckActive();
  const int index = rows_.IndexOf(key_field);
  if (index < 0) throw EIBError("Field '" + key_field + "' not found");
  for (size_t row = 0; row < rows_.rows.size(); ++row) {
    if (Matches(rows_.rows[row][static_cast<size_t>(index)], key, options)) {
      current_ = static_cast<int>(row);
      eof_ = false;
      return true;
    }
  }
  return false;
}

}  // namespace veltrix
