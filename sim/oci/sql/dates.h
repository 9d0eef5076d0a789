// Oracle DATE values inside SQLite: the internal text form
// 'YYYY-MM-DD HH:MM:SS', calendar arithmetic, and Oracle format models
// (TO_CHAR/TO_DATE). Used by the SQLite functions and by the engine's fetch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ocisim::sql {

struct DateTime {
  int year = 1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// True when text is a date in internal form 'YYYY-MM-DD HH:MM:SS' (exactly).
bool ParseInternalDate(std::string_view text, DateTime& out);
bool IsInternalDate(std::string_view text);
std::string FormatInternalDate(const DateTime& dt);

// Seconds since 0001-01-01 and back; date arithmetic works on these.
int64_t ToSeconds(const DateTime& dt);
DateTime FromSeconds(int64_t seconds);
int DaysInMonth(int year, int month);

DateTime AddMonths(const DateTime& dt, int months);
double MonthsBetween(const DateTime& a, const DateTime& b);
// TRUNC/ROUND of a date to a format unit (empty: day). Throws ORA-01821.
DateTime TruncDate(const DateTime& dt, std::string_view format);
DateTime RoundDate(const DateTime& dt, std::string_view format);

std::string FormatDate(const DateTime& dt, std::string_view format);
DateTime ParseDate(std::string_view text, std::string_view format);

}  // namespace ocisim::sql
