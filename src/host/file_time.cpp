// file_time.cpp — calendar fields to FILETIME by day counting.
#include "host/file_time.h"

#include <cstdint>

namespace host {
namespace {

// Days from 1601-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFrom1601(int y, int m, int d) {
  // Days from 1970-01-01 (Howard Hinnant's algorithm), then shift.
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  std::int64_t from1970 = era * 146097 + static_cast<std::int64_t>(doe) - 719468;
  return from1970 + 134774;  // 1601-01-01 .. 1970-01-01
}

}  // namespace

far::FILETIME DateToFileTime(int year, int month, int day, int hour, int minute, int second) {
  far::FILETIME ft{0, 0};
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
    return ft;
  std::int64_t seconds = DaysFrom1601(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  std::uint64_t ticks = static_cast<std::uint64_t>(seconds) * 10000000ULL;
  ft.dwLowDateTime = static_cast<far::DWORD>(ticks & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<far::DWORD>(ticks >> 32);
  return ft;
}

}  // namespace host
