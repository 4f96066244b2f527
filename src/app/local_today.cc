#include "app/local_today.h"

#include <ctime>

#include "dbf/engine_util.h"

namespace veltrix {

int32_t DiaDeHoje() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  int32_t days = 0;
  qxdbf::TryEncodeDays(static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
                       static_cast<uint16_t>(local.tm_mday), days);
  return days;
}

}  // namespace veltrix
