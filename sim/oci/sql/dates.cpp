// Oracle DATE handling: internal form, arithmetic and format models; see dates.h.
#include "sql/dates.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <ctime>

#include "sql/translate.h"

namespace ocisim::sql {
namespace {

constexpr std::array<const char*, 12> kMonths = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                                 "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
constexpr std::array<const char*, 7> kDays = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

bool Digits(std::string_view s, size_t at, size_t n, int& out) {
  out = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

std::string Pad(int value, int width) {
  std::string s = std::to_string(value);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

std::string ApplyCase(std::string word, std::string_view element) {
  bool firstLower = std::islower(static_cast<unsigned char>(element[0]));
  bool secondLower = element.size() > 1 && std::islower(static_cast<unsigned char>(element[1]));
  for (size_t i = 0; i < word.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(word[i]);
    if (firstLower) word[i] = static_cast<char>(std::tolower(c));
    else if (secondLower && i > 0) word[i] = static_cast<char>(std::tolower(c));
  }
  return word;
}

// Format model elements, longest first so "MONTH" wins over "MON" and "MM".
constexpr std::array<std::string_view, 30> kElements = {
    "SYYYY", "SSSSS", "MONTH", "YEAR", "YYYY", "RRRR", "HH24", "HH12", "A.M.", "P.M.", "YYY", "MON", "DDD", "DAY", "YY",
    "RR",    "MM",    "DD",   "DY",   "HH",   "MI",   "SS",   "AM",   "PM",   "FM", "FX",  "Y",   "D",   "J",   "Q"};

bool MatchElement(std::string_view fmt, size_t at, std::string_view& element) {
  for (auto e : kElements) {
    if (at + e.size() > fmt.size()) continue;
    bool ok = true;
    for (size_t i = 0; i < e.size() && ok; ++i)
      ok = std::toupper(static_cast<unsigned char>(fmt[at + i])) == e[i];
    if (ok) {
      element = fmt.substr(at, e.size());
      return true;
    }
  }
  return false;
}

std::string UpperOf(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool ParseInternalDate(std::string_view s, DateTime& out) {
  if (s.size() != 19) return false;
  if (s[4] != '-' || s[7] != '-') return false;
  DateTime dt;
  if (!Digits(s, 0, 4, dt.year) || !Digits(s, 5, 2, dt.month) || !Digits(s, 8, 2, dt.day)) return false;
  if (s[10] != ' ' || s[13] != ':' || s[16] != ':') return false;
  if (!Digits(s, 11, 2, dt.hour) || !Digits(s, 14, 2, dt.minute) || !Digits(s, 17, 2, dt.second)) return false;
  if (dt.month < 1 || dt.month > 12 || dt.day < 1 || dt.day > DaysInMonth(dt.year, dt.month) || dt.hour > 23 ||
      dt.minute > 59 || dt.second > 59)
    return false;
  out = dt;
  return true;
}

bool IsInternalDate(std::string_view text) {
  DateTime dt;
  return ParseInternalDate(text, dt);
}

std::string FormatInternalDate(const DateTime& dt) {
  return Pad(dt.year, 4) + "-" + Pad(dt.month, 2) + "-" + Pad(dt.day, 2) + " " + Pad(dt.hour, 2) + ":" +
         Pad(dt.minute, 2) + ":" + Pad(dt.second, 2);
}

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
  return days[month - 1];
}

int64_t ToSeconds(const DateTime& dt) {
  int64_t days = DaysFromCivil(dt.year, static_cast<unsigned>(dt.month), static_cast<unsigned>(dt.day)) -
                 DaysFromCivil(1, 1, 1);
  return days * 86400 + dt.hour * 3600 + dt.minute * 60 + dt.second;
}

DateTime FromSeconds(int64_t seconds) {
  int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  int64_t rest = seconds - days * 86400;
  DateTime dt;
  CivilFromDays(days + DaysFromCivil(1, 1, 1), dt.year, dt.month, dt.day);
  dt.hour = static_cast<int>(rest / 3600);
  dt.minute = static_cast<int>(rest / 60 % 60);
  dt.second = static_cast<int>(rest % 60);
  if (dt.year < 1 || dt.year > 9999) throw MakeOraError(1841);
  return dt;
}

DateTime AddMonths(const DateTime& dt, int months) {
  DateTime out = dt;
  int total = dt.year * 12 + (dt.month - 1) + months;
  out.year = total / 12;
  out.month = total % 12 + 1;
  if (out.year < 1 || out.year > 9999) throw MakeOraError(1841);
  bool lastDay = dt.day == DaysInMonth(dt.year, dt.month);
  int dim = DaysInMonth(out.year, out.month);
  out.day = lastDay || dt.day > dim ? dim : dt.day;
  return out;
}

double MonthsBetween(const DateTime& a, const DateTime& b) {
  double months = (a.year - b.year) * 12.0 + (a.month - b.month);
  bool aLast = a.day == DaysInMonth(a.year, a.month), bLast = b.day == DaysInMonth(b.year, b.month);
  if (a.day == b.day || (aLast && bLast)) return months;
  double aSec = a.day * 86400.0 + a.hour * 3600 + a.minute * 60 + a.second;
  double bSec = b.day * 86400.0 + b.hour * 3600 + b.minute * 60 + b.second;
  return months + (aSec - bSec) / (31.0 * 86400);
}

DateTime TruncDate(const DateTime& dt, std::string_view format) {
  std::string f = UpperOf(format);
  DateTime out = dt;
  out.hour = out.minute = out.second = 0;
  if (f.empty() || f == "DD" || f == "DDD" || f == "J") return out;
  if (f == "MM" || f == "MON" || f == "MONTH" || f == "RM") {
    out.day = 1;
    return out;
  }
  if (f == "YYYY" || f == "YEAR" || f == "YY" || f == "Y" || f == "YYY" || f == "RRRR" || f == "RR" || f == "SYYYY") {
    out.day = out.month = 1;
    return out;
  }
  if (f == "Q") {
    out.day = 1;
    out.month = (dt.month - 1) / 3 * 3 + 1;
    return out;
  }
  if (f == "HH" || f == "HH12" || f == "HH24") {
    out.hour = dt.hour;
    return out;
  }
  if (f == "MI") {
    out.hour = dt.hour;
    out.minute = dt.minute;
    return out;
  }
  if (f == "D" || f == "DY" || f == "DAY") {
    int64_t days = ToSeconds(out) / 86400;
    int weekday = static_cast<int>((days + 1) % 7);  // 0001-01-01 was a Monday
    return FromSeconds((days - weekday) * 86400);
  }
  throw MakeOraError(1821);
}

DateTime RoundDate(const DateTime& dt, std::string_view format) {
  std::string f = UpperOf(format);
  DateTime t = TruncDate(dt, format);
  if (f.empty() || f == "DD" || f == "DDD" || f == "J") {
    return dt.hour >= 12 ? FromSeconds(ToSeconds(t) + 86400) : t;
  }
  if (f == "MM" || f == "MON" || f == "MONTH") return dt.day >= 16 ? AddMonths(t, 1) : t;
  if (f == "YYYY" || f == "YEAR" || f == "YY" || f == "RRRR" || f == "RR") {
    if (dt.month >= 7) t.year += 1;
    return t;
  }
  if (f == "HH" || f == "HH24" || f == "HH12") return dt.minute >= 30 ? FromSeconds(ToSeconds(t) + 3600) : t;
  if (f == "MI") return dt.second >= 30 ? FromSeconds(ToSeconds(t) + 60) : t;
  return t;
}

std::string FormatDate(const DateTime& dt, std::string_view fmt) {
  if (fmt.empty()) fmt = "DD-MON-RR";
  std::string out;
  bool fill = true;  // FM switches padding off (and back on)
  for (size_t i = 0; i < fmt.size();) {
    char c = fmt[i];
    if (c == '"') {
      size_t close = fmt.find('"', i + 1);
      if (close == std::string_view::npos) throw MakeOraError(1821);
      out += fmt.substr(i + 1, close - i - 1);
      i = close + 1;
      continue;
    }
    std::string_view e;
    if (!MatchElement(fmt, i, e)) {
      if (std::isalnum(static_cast<unsigned char>(c))) throw MakeOraError(1821);
      out += c;
      ++i;
      continue;
    }
    i += e.size();
    std::string u = UpperOf(e);
    auto num = [&](int v, int width) {
      out += fill ? Pad(v, width) : std::to_string(v);
      // TH after a number element: its ordinal suffix, in the element's case.
      if (i + 1 < fmt.size() && std::toupper(static_cast<unsigned char>(fmt[i])) == 'T' &&
          std::toupper(static_cast<unsigned char>(fmt[i + 1])) == 'H') {
        int last2 = v % 100, last = v % 10;
        std::string suffix = (last2 >= 11 && last2 <= 13) ? "TH" : last == 1 ? "ST" : last == 2 ? "ND" : last == 3 ? "RD" : "TH";
        out += ApplyCase(suffix, fmt.substr(i, 2));
        i += 2;
      }
    };
    int weekday = static_cast<int>((ToSeconds(dt) / 86400 + 1) % 7);
    if (u == "FM") fill = !fill;
    else if (u == "FX") {
    } else if (u == "SYYYY") {
      // The sign's place: a blank for AD (none with FM), "-" for BC.
      if (dt.year < 0) out += '-';
      else if (fill) out += ' ';
      num(dt.year < 0 ? -dt.year : dt.year, 4);
    } else if (u == "YYYY" || u == "RRRR") num(dt.year, 4);
    else if (u == "YYY") num(dt.year % 1000, 3);
    else if (u == "YY" || u == "RR") num(dt.year % 100, 2);
    else if (u == "Y") num(dt.year % 10, 1);
    else if (u == "MM") num(dt.month, 2);
    else if (u == "DD") num(dt.day, 2);
    else if (u == "DDD") num(static_cast<int>((ToSeconds(dt) - ToSeconds(DateTime{dt.year, 1, 1, 0, 0, 0})) / 86400) + 1, 3);
    else if (u == "D") num(weekday + 1, 1);
    else if (u == "Q") num((dt.month - 1) / 3 + 1, 1);
    else if (u == "J") num(static_cast<int>(ToSeconds(TruncDate(dt, "")) / 86400 + 1721426), 7);
    else if (u == "HH24") num(dt.hour, 2);
    else if (u == "HH" || u == "HH12") num(dt.hour % 12 == 0 ? 12 : dt.hour % 12, 2);
    else if (u == "MI") num(dt.minute, 2);
    else if (u == "SS") num(dt.second, 2);
    else if (u == "SSSSS") num(dt.hour * 3600 + dt.minute * 60 + dt.second, 5);
    else if (u == "MON") out += ApplyCase(std::string(kMonths[dt.month - 1], 3), e);
    else if (u == "MONTH") {
      std::string name = kMonths[dt.month - 1];
      if (fill) name.resize(9, ' ');
      out += ApplyCase(name, e);
    } else if (u == "DY") out += ApplyCase(std::string(kDays[weekday], 3), e);
    else if (u == "DAY") {
      std::string name = kDays[weekday];
      if (fill) name.resize(9, ' ');
      out += ApplyCase(name, e);
    } else if (u == "AM" || u == "PM") out += ApplyCase(dt.hour < 12 ? "AM" : "PM", e);
    else if (u == "A.M." || u == "P.M.") out += ApplyCase(dt.hour < 12 ? "A.M." : "P.M.", e);
    else if (u == "YEAR") throw MakeOraError(1821);
  }
  return out;
}

DateTime ParseDate(std::string_view text, std::string_view fmt) {
  if (fmt.empty()) fmt = "DD-MON-RR";
  DateTime now;
  ParseInternalDate(CurrentSysdate(), now);
  DateTime dt;
  dt.year = now.year;
  dt.month = now.month;
  dt.day = 1;
  bool pm = false, twelveHour = false;
  size_t p = 0;
  while (p < text.size() && text[p] == ' ') ++p;
  auto readNumber = [&](size_t maxDigits) {
    size_t start = p;
    int v = 0;
    while (p < text.size() && p - start < maxDigits && std::isdigit(static_cast<unsigned char>(text[p])))
      v = v * 10 + (text[p++] - '0');
    if (p == start) throw MakeOraError(1858);
    return std::make_pair(v, p - start);
  };
  for (size_t i = 0; i < fmt.size();) {
    std::string_view e;
    char c = fmt[i];
    if (c == '"') {
      size_t close = fmt.find('"', i + 1);
      if (close == std::string_view::npos) throw MakeOraError(1821);
      size_t len = close - i - 1;
      if (text.substr(p, len) != fmt.substr(i + 1, len)) throw MakeOraError(1861);
      p += len;
      i = close + 1;
      continue;
    }
    if (!MatchElement(fmt, i, e)) {
      if (std::isalnum(static_cast<unsigned char>(c))) throw MakeOraError(1821);
      // Punctuation in the model matches any punctuation (or none) in the input.
      if (p < text.size() && !std::isalnum(static_cast<unsigned char>(text[p]))) ++p;
      ++i;
      continue;
    }
    i += e.size();
    std::string u = UpperOf(e);
    if (u == "FM" || u == "FX") continue;
    if (p >= text.size()) break;  // missing trailing elements keep their defaults
    if (u == "SYYYY") {
      bool bc = false;
      if (p < text.size() && (text[p] == '-' || text[p] == '+')) bc = text[p++] == '-';
      const int v = readNumber(4).first;
      dt.year = bc ? -v : v;
    } else if (u == "YYYY" || u == "RRRR") {
      auto [v, n] = readNumber(4);
      dt.year = (u == "RRRR" && n <= 2) ? (v < 50 ? 2000 + v : 1900 + v) : v;
    } else if (u == "YY") {
      auto [v, n] = readNumber(2);
      dt.year = n <= 2 ? now.year / 100 * 100 + v : v;
    } else if (u == "RR") {
      auto [v, n] = readNumber(4);
      if (n <= 2) {
        int century = now.year / 100 * 100, cur = now.year % 100;
        if (cur < 50) dt.year = v < 50 ? century + v : century - 100 + v;
        else dt.year = v < 50 ? century + 100 + v : century + v;
      } else {
        dt.year = v;
      }
    } else if (u == "MM") {
      dt.month = readNumber(2).first;
      if (dt.month < 1 || dt.month > 12) throw MakeOraError(1843);
    } else if (u == "MON" || u == "MONTH") {
      int found = 0;
      std::string rest = UpperOf(text.substr(p));
      for (int m = 0; m < 12 && !found; ++m) {
        std::string full = kMonths[m];
        if (rest.rfind(full, 0) == 0) {
          found = m + 1;
          p += full.size();
        } else if (rest.rfind(full.substr(0, 3), 0) == 0) {
          found = m + 1;
          p += 3;
        }
      }
      if (!found) throw MakeOraError(1843);
      dt.month = found;
    } else if (u == "DD") {
      dt.day = readNumber(2).first;
      if (dt.day < 1 || dt.day > 31) throw MakeOraError(1847);
    } else if (u == "HH24") {
      dt.hour = readNumber(2).first;
      if (dt.hour > 23) throw MakeOraError(1850);
    } else if (u == "HH" || u == "HH12") {
      dt.hour = readNumber(2).first;
      if (dt.hour < 1 || dt.hour > 12) throw MakeOraError(1849);
      twelveHour = true;
    } else if (u == "MI") {
      dt.minute = readNumber(2).first;
      if (dt.minute > 59) throw MakeOraError(1851);
    } else if (u == "SS") {
      dt.second = readNumber(2).first;
      if (dt.second > 59) throw MakeOraError(1852);
    } else if (u == "AM" || u == "PM" || u == "A.M." || u == "P.M.") {
      std::string rest = UpperOf(text.substr(p, e.size()));
      if (rest[0] == 'P') pm = true;
      else if (rest[0] != 'A') throw MakeOraError(1855);
      p += e.size();
    } else if (u == "DY" || u == "DAY") {
      while (p < text.size() && std::isalpha(static_cast<unsigned char>(text[p]))) ++p;
    } else {
      throw MakeOraError(1821);
    }
  }
  while (p < text.size() && text[p] == ' ') ++p;
  if (p < text.size()) throw MakeOraError(1830);
  if (twelveHour) dt.hour = dt.hour % 12 + (pm ? 12 : 0);
  if (dt.year < 1 || dt.year > 9999) throw MakeOraError(1841);
  if (dt.day > DaysInMonth(dt.year, dt.month)) throw MakeOraError(1839);
  return dt;
}

std::string FormatOracleDate(std::string_view value, std::string_view format) {
  DateTime dt;
  std::string full(value);
  if (full.size() == 10) full += " 00:00:00";  // a date stored without its time
  if (!ParseInternalDate(full, dt)) throw MakeOraError(1858);
  return FormatDate(dt, format);
}

std::string ParseOracleDate(std::string_view text, std::string_view format) {
  return FormatInternalDate(ParseDate(text, format));
}

bool IsOracleDateValue(std::string_view text) { return IsInternalDate(text); }

std::string CurrentSysdate() {
  if (const char* fixed = std::getenv("OCISIM_SYSDATE")) {
    if (IsInternalDate(fixed)) {
      DateTime dt;
      ParseInternalDate(fixed, dt);
      return FormatInternalDate(dt);
    }
  }
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  DateTime dt{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec};
  return FormatInternalDate(dt);
}

}  // namespace ocisim::sql
