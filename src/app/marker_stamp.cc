#include "app/marker_stamp.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "dbf/engine_util.h"
#include "dbf/errors.h"
#include "dbf/platform_file.h"
#include "dbf/proxy_stream.h"

namespace veltrix {

namespace {
constexpr uint32_t kReadExclusive = 0x10;
}

double dataAtualizacaoVeltrix(const std::string& marker_path) {
  qxdbf::TProxyStream marker;
  marker.SetFileName(marker_path);
  marker.AccessMode().SetAccessMode(kReadExclusive);
  marker.Open();
  if (!marker.IsOpen())
    throw qxdbf::EQxDBFIoError("Cannot open file \"" + marker_path + "\" without sharing");
  const int64_t seconds = qxdbf::FileModificationTime(marker_path);
  marker.Close();
  if (seconds < 0) throw qxdbf::EQxDBFIoError("Cannot read the date of \"" + marker_path + "\"");
  const std::time_t when = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&when, &local);
  int32_t days = 0;
  qxdbf::TryEncodeDays(static_cast<uint16_t>(local.tm_year + 1900),
                       static_cast<uint16_t>(local.tm_mon + 1), static_cast<uint16_t>(local.tm_mday), days);
  const int second = local.tm_sec - local.tm_sec % 2;  // DOS dates count two-second steps
  return days + (local.tm_hour * 3600 + local.tm_min * 60 + second) / 86400.0;
}

std::string FormatStamp(double stamp) {
  const double day = std::floor(stamp);
  int y = 0, m = 0, d = 0;
  qxdbf::DecodeDays(static_cast<int32_t>(day), y, m, d);
  const auto seconds = static_cast<int>(std::lround((stamp - day) * 86400.0));
  char text[32];
  std::snprintf(text, sizeof(text), "%02d/%02d/%04d %02d:%02d:%02d", d, m, y, seconds / 3600,
                seconds / 60 % 60, seconds % 60);
  return text;
}

}  // namespace veltrix
