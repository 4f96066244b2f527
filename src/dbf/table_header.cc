#include "dbf/table_header.h"

#include <ctime>

namespace qxdbf {

uint8_t TTableFlag::TableFlag() const {
  return static_cast<uint8_t>((has_got_index_ ? 0x01 : 0) | (has_got_memo_ ? 0x02 : 0) |
                              (it_is_database_ ? 0x04 : 0));
}

void TTableFlag::SetTableFlag(uint8_t value) {
  has_got_index_ = (value & 0x01) != 0;
  has_got_memo_ = (value & 0x02) != 0;
  it_is_database_ = (value & 0x04) != 0;
}

void TableHeader::SetDate(int year, int month, int day) {
  bytes_[kHeaderDateOffset] = static_cast<uint8_t>(year - 1900);
  bytes_[kHeaderDateOffset + 1] = static_cast<uint8_t>(month);
  bytes_[kHeaderDateOffset + 2] = static_cast<uint8_t>(day);
}

void TableHeader::SetDateToday() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  SetDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace qxdbf
