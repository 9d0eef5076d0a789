// SQLite functions that give translated SQL Oracle's semantics: the ora_*
// implementations of Oracle's functions, the NULL- and date-aware operators
// (ora_concat, ora_add, ...), SYSDATE and the CONNECT BY loop check.
// Text results are never '' (Oracle's empty string is NULL); numbers given as
// text are converted strictly (ORA-01722 instead of SQLite's silent 0).
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "sql/dates.h"
#include "sql/translate.h"

namespace ocisim::sql {
namespace {

using Args = sqlite3_value**;

// A NUMBER value: integers stay exact, everything else is a double.
struct Num {
  bool isInt = true;
  int64_t i = 0;
  double d = 0;
  double AsDouble() const { return isInt ? static_cast<double>(i) : d; }
};

bool IsNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }

std::string Text(sqlite3_value* v);

std::optional<Num> ParseNumber(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  if (b == e) return std::nullopt;
  std::string t(s.substr(b, e - b));
  char first = t[0];
  if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '+' || first == '.')) return std::nullopt;
  char* end = nullptr;
  Num n;
  if (t.find_first_of(".eE") == std::string::npos) {
    errno = 0;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (*end == '\0' && errno == 0) {
      n.i = v;
      return n;
    }
  }
  double d = std::strtod(t.c_str(), &end);
  if (*end != '\0' || !std::isfinite(d)) return std::nullopt;
  n.isInt = false;
  n.d = d;
  return n;
}

// Argument as a number; nullopt for NULL; ORA-01722 for text that is no number.
std::optional<Num> Number(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return std::nullopt;
    case SQLITE_INTEGER: {
      Num n;
      n.i = sqlite3_value_int64(v);
      return n;
    }
    case SQLITE_FLOAT: {
      Num n;
      n.isInt = false;
      n.d = sqlite3_value_double(v);
      return n;
    }
    default: {
      auto n = ParseNumber(Text(v));
      if (!n) throw MakeOraError(1722);
      return n;
    }
  }
}

bool IsDateValue(sqlite3_value* v, DateTime& dt) {
  if (sqlite3_value_type(v) != SQLITE_TEXT) return false;
  auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return ParseInternalDate(std::string_view(p, static_cast<size_t>(sqlite3_value_bytes(v))), dt);
}

DateTime DateArg(sqlite3_value* v) {
  DateTime dt;
  if (IsDateValue(v, dt)) return dt;
  if (sqlite3_value_type(v) == SQLITE_TEXT) return ParseDate(Text(v), "");
  throw MakeOraError(932, {});
}

void ResultNumber(sqlite3_context* ctx, double d) {
  if (!std::isfinite(d)) throw MakeOraError(1426);
  if (d == std::floor(d) && std::fabs(d) < 9e15) sqlite3_result_int64(ctx, static_cast<int64_t>(d));
  else sqlite3_result_double(ctx, d);
}

void ResultNumber(sqlite3_context* ctx, const Num& n) {
  if (n.isInt) sqlite3_result_int64(ctx, n.i);
  else ResultNumber(ctx, n.d);
}

void ResultText(sqlite3_context* ctx, const std::string& s) {
  if (s.empty()) sqlite3_result_null(ctx);
  else sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void ResultDate(sqlite3_context* ctx, const DateTime& dt) { ResultText(ctx, FormatInternalDate(dt)); }

std::string NumberText(const Num& n);

// Oracle's implicit conversion of any value to text.
std::string Text(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return {};
    case SQLITE_INTEGER:
      return std::to_string(sqlite3_value_int64(v));
    case SQLITE_FLOAT: {
      Num n;
      n.isInt = false;
      n.d = sqlite3_value_double(v);
      return NumberText(n);
    }
    case SQLITE_BLOB: {
      static const char hex[] = "0123456789ABCDEF";
      auto* p = static_cast<const unsigned char*>(sqlite3_value_blob(v));
      int len = sqlite3_value_bytes(v);
      std::string out;
      for (int i = 0; i < len; ++i) {
        out += hex[p[i] >> 4];
        out += hex[p[i] & 15];
      }
      return out;
    }
    default:
      return std::string(reinterpret_cast<const char*>(sqlite3_value_text(v)), static_cast<size_t>(sqlite3_value_bytes(v)));
  }
}

std::string NumberText(const Num& n) {
  if (n.isInt) return std::to_string(n.i);
  double d = n.d;
  if (d == std::floor(d) && std::fabs(d) < 1e15) return std::to_string(static_cast<long long>(d));
  char buf[64];
  if (d == std::floor(d) && std::fabs(d) < 1e38) {
    // Large whole numbers print in full, as Oracle does up to 38 digits.
    std::snprintf(buf, sizeof buf, "%.0f", d);
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%.15g", d);
  std::string s = buf;
  for (auto& c : s)
    if (c == 'e') c = 'E';
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return s;
}

// Text of a value as Oracle converts it for string functions and '||':
// dates in the default DD-MON-RR form.
std::string StringArg(sqlite3_value* v) {
  DateTime dt;
  if (IsDateValue(v, dt)) return FormatDate(dt, "");
  return Text(v);
}

// UTF-8 aware character positions: offsets of each character start.
std::vector<size_t> CharStarts(const std::string& s) {
  std::vector<size_t> out;
  for (size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) out.push_back(i);
  return out;
}

std::string Chars(const std::string& s, const std::vector<size_t>& starts, size_t from, size_t count) {
  if (from >= starts.size()) return {};
  size_t b = starts[from];
  size_t e = from + count >= starts.size() ? s.size() : starts[from + count];
  return s.substr(b, e - b);
}

int64_t IntArg(sqlite3_value* v) {
  auto n = Number(v);
  if (!n) return 0;
  return n->isInt ? n->i : static_cast<int64_t>(std::trunc(n->d));
}

// ---- operators ----

void Concat(sqlite3_context* ctx, int argc, Args argv) {
  std::string out;
  for (int i = 0; i < argc; ++i)
    if (!IsNull(argv[i])) out += StringArg(argv[i]);
  ResultText(ctx, out);
}

void AddSub(sqlite3_context* ctx, Args argv, bool subtract) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  DateTime a, b;
  bool aDate = IsDateValue(argv[0], a), bDate = IsDateValue(argv[1], b);
  if (aDate && bDate) {
    if (!subtract) throw MakeOraError(975);
    return ResultNumber(ctx, static_cast<double>(ToSeconds(a) - ToSeconds(b)) / 86400.0);
  }
  if (aDate || bDate) {
    if (bDate && subtract) throw MakeOraError(932);
    const DateTime& d = aDate ? a : b;
    double days = Number(aDate ? argv[1] : argv[0])->AsDouble();
    if (subtract) days = -days;
    return ResultDate(ctx, FromSeconds(ToSeconds(d) + static_cast<int64_t>(std::llround(days * 86400.0))));
  }
  Num x = *Number(argv[0]), y = *Number(argv[1]);
  if (x.isInt && y.isInt) {
    int64_t r;
    bool overflow = subtract ? __builtin_sub_overflow(x.i, y.i, &r) : __builtin_add_overflow(x.i, y.i, &r);
    if (!overflow) return sqlite3_result_int64(ctx, r);
  }
  ResultNumber(ctx, subtract ? x.AsDouble() - y.AsDouble() : x.AsDouble() + y.AsDouble());
}

void Add(sqlite3_context* ctx, int, Args argv) { AddSub(ctx, argv, false); }
void Sub(sqlite3_context* ctx, int, Args argv) { AddSub(ctx, argv, true); }

void Mul(sqlite3_context* ctx, int, Args argv) {
  auto x = Number(argv[0]), y = Number(argv[1]);
  if (!x || !y) return sqlite3_result_null(ctx);
  int64_t r;
  if (x->isInt && y->isInt && !__builtin_mul_overflow(x->i, y->i, &r)) return sqlite3_result_int64(ctx, r);
  ResultNumber(ctx, x->AsDouble() * y->AsDouble());
}

void Div(sqlite3_context* ctx, int, Args argv) {
  auto x = Number(argv[0]), y = Number(argv[1]);
  if (!x || !y) return sqlite3_result_null(ctx);
  if (y->AsDouble() == 0) throw MakeOraError(1476);
  if (x->isInt && y->isInt && y->i != 0 && x->i % y->i == 0) return sqlite3_result_int64(ctx, x->i / y->i);
  ResultNumber(ctx, x->AsDouble() / y->AsDouble());
}

// ---- strings ----

void Pad(sqlite3_context* ctx, int argc, Args argv, bool left) {
  if (IsNull(argv[0]) || IsNull(argv[1]) || (argc > 2 && IsNull(argv[2]))) return sqlite3_result_null(ctx);
  std::string s = StringArg(argv[0]);
  int64_t n = IntArg(argv[1]);
  std::string pad = argc > 2 ? StringArg(argv[2]) : " ";
  if (n <= 0) return sqlite3_result_null(ctx);
  auto starts = CharStarts(s);
  if (static_cast<int64_t>(starts.size()) >= n) return ResultText(ctx, Chars(s, starts, 0, static_cast<size_t>(n)));
  auto padStarts = CharStarts(pad);
  size_t need = static_cast<size_t>(n) - starts.size();
  std::string fill;
  for (size_t k = 0; k < need; ++k) fill += Chars(pad, padStarts, k % padStarts.size(), 1);
  ResultText(ctx, left ? fill + s : s + fill);
}
void Lpad(sqlite3_context* ctx, int argc, Args argv) { Pad(ctx, argc, argv, true); }
void Rpad(sqlite3_context* ctx, int argc, Args argv) { Pad(ctx, argc, argv, false); }

void Case(sqlite3_context* ctx, Args argv, int mode) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = StringArg(argv[0]);
  bool wordStart = true;
  for (auto& ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (mode == 0) ch = static_cast<char>(std::tolower(c));
    else if (mode == 1) ch = static_cast<char>(std::toupper(c));
    else {
      ch = static_cast<char>(wordStart ? std::toupper(c) : std::tolower(c));
      wordStart = !std::isalnum(c);
    }
  }
  ResultText(ctx, s);
}
void Lower(sqlite3_context* ctx, int, Args argv) { Case(ctx, argv, 0); }
void Upper(sqlite3_context* ctx, int, Args argv) { Case(ctx, argv, 1); }
void Initcap(sqlite3_context* ctx, int, Args argv) { Case(ctx, argv, 2); }

void Substr(sqlite3_context* ctx, int argc, Args argv) {
  for (int i = 0; i < argc; ++i)
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  std::string s = StringArg(argv[0]);
  auto starts = CharStarts(s);
  int64_t len = static_cast<int64_t>(starts.size());
  int64_t pos = IntArg(argv[1]);
  if (pos == 0) pos = 1;
  if (pos < 0) pos = len + pos + 1;
  if (pos < 1 || pos > len) return sqlite3_result_null(ctx);
  int64_t count = argc > 2 ? IntArg(argv[2]) : len;
  if (count < 1) return sqlite3_result_null(ctx);
  ResultText(ctx, Chars(s, starts, static_cast<size_t>(pos - 1), static_cast<size_t>(count)));
}

void Instr(sqlite3_context* ctx, int argc, Args argv) {
  for (int i = 0; i < argc; ++i)
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  std::string s = StringArg(argv[0]), sub = StringArg(argv[1]);
  int64_t pos = argc > 2 ? IntArg(argv[2]) : 1;
  int64_t occurrence = argc > 3 ? IntArg(argv[3]) : 1;
  if (pos == 0 || occurrence < 1) {
    if (occurrence < 1) throw MakeOraError(1428, {std::to_string(occurrence)});
    return sqlite3_result_int64(ctx, 0);
  }
  auto starts = CharStarts(s);
  int64_t len = static_cast<int64_t>(starts.size());
  auto charIndex = [&](size_t byte) {
    return static_cast<int64_t>(std::lower_bound(starts.begin(), starts.end(), byte) - starts.begin()) + 1;
  };
  if (pos > 0) {
    if (pos > len) return sqlite3_result_int64(ctx, 0);
    size_t from = starts[static_cast<size_t>(pos - 1)];
    while (true) {
      size_t found = s.find(sub, from);
      if (found == std::string::npos) return sqlite3_result_int64(ctx, 0);
      if (--occurrence == 0) return sqlite3_result_int64(ctx, charIndex(found));
      from = found + 1;
    }
  }
  int64_t startChar = len + pos + 1;  // search backwards from here
  if (startChar < 1) return sqlite3_result_int64(ctx, 0);
  size_t from = starts[static_cast<size_t>(startChar - 1)];
  while (true) {
    size_t found = s.rfind(sub, from);
    if (found == std::string::npos) return sqlite3_result_int64(ctx, 0);
    if (--occurrence == 0) return sqlite3_result_int64(ctx, charIndex(found));
    if (found == 0) return sqlite3_result_int64(ctx, 0);
    from = found - 1;
  }
}

void Length(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = StringArg(argv[0]);
  if (s.empty()) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, static_cast<int64_t>(CharStarts(s).size()));
}

void TrimImpl(sqlite3_context* ctx, int argc, Args argv, bool left, bool right) {
  if (IsNull(argv[0]) || (argc > 1 && IsNull(argv[1]))) return sqlite3_result_null(ctx);
  std::string s = StringArg(argv[0]);
  std::string set = argc > 1 ? StringArg(argv[1]) : " ";
  size_t b = 0, e = s.size();
  if (left)
    while (b < e && set.find(s[b]) != std::string::npos) ++b;
  if (right)
    while (e > b && set.find(s[e - 1]) != std::string::npos) --e;
  ResultText(ctx, s.substr(b, e - b));
}
void Ltrim(sqlite3_context* ctx, int argc, Args argv) { TrimImpl(ctx, argc, argv, true, false); }
void Rtrim(sqlite3_context* ctx, int argc, Args argv) { TrimImpl(ctx, argc, argv, false, true); }
void Trim(sqlite3_context* ctx, int argc, Args argv) { TrimImpl(ctx, argc, argv, true, true); }

void Replace(sqlite3_context* ctx, int argc, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = StringArg(argv[0]);
  if (IsNull(argv[1])) return ResultText(ctx, s);
  std::string from = StringArg(argv[1]);
  std::string to = argc > 2 && !IsNull(argv[2]) ? StringArg(argv[2]) : "";
  std::string out;
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
    } else {
      out += s[i++];
    }
  }
  ResultText(ctx, out);
}

void Chr(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  int64_t n = IntArg(argv[0]);
  if (n < 0 || n > 0x10FFFF) throw MakeOraError(1722);
  std::string out;
  uint32_t c = static_cast<uint32_t>(n);
  if (c < 0x80) out += static_cast<char>(c);
  else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  // CHR(0) is a real character in Oracle; keep it as one byte.
  sqlite3_result_text(ctx, out.empty() ? "\0" : out.data(), out.empty() ? 1 : static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void Ascii(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = StringArg(argv[0]);
  sqlite3_result_int64(ctx, static_cast<unsigned char>(s[0]));
}

void Hextoraw(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_BLOB) return sqlite3_result_value(ctx, argv[0]);
  std::string s = Text(argv[0]);
  if (s.size() % 2) s.insert(s.begin(), '0');
  std::string out;
  for (size_t i = 0; i < s.size(); i += 2) {
    auto hex = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    int hi = hex(s[i]), lo = hex(s[i + 1]);
    if (hi < 0 || lo < 0) throw MakeOraError(1465);
    out += static_cast<char>(hi * 16 + lo);
  }
  if (out.empty()) return sqlite3_result_null(ctx);
  sqlite3_result_blob(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void Rawtohex(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_BLOB) return ResultText(ctx, Text(argv[0]));
  // A character argument is taken as hex digits, as Oracle's implicit HEXTORAW does.
  std::string s = Text(argv[0]);
  for (char c : s)
    if (!std::isxdigit(static_cast<unsigned char>(c))) throw MakeOraError(1465);
  std::string up = s;
  for (auto& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (up.size() % 2) up.insert(up.begin(), '0');
  ResultText(ctx, up);
}

// ---- numbers ----

double RoundHalfAway(double v, int64_t places) {
  double scale = std::pow(10.0, static_cast<double>(places));
  double x = v * scale;
  // Nudge by a few ulps so 1.005 rounds as its decimal text suggests.
  double r = std::round(x + (x >= 0 ? 1 : -1) * std::fabs(x) * 1e-15);
  return r / scale;
}

void Round(sqlite3_context* ctx, int argc, Args argv) {
  if (IsNull(argv[0]) || (argc > 1 && IsNull(argv[1]))) return sqlite3_result_null(ctx);
  DateTime dt;
  if (IsDateValue(argv[0], dt)) return ResultDate(ctx, RoundDate(dt, argc > 1 ? Text(argv[1]) : ""));
  Num n = *Number(argv[0]);
  int64_t places = argc > 1 ? IntArg(argv[1]) : 0;
  if (n.isInt && places >= 0) return sqlite3_result_int64(ctx, n.i);
  ResultNumber(ctx, RoundHalfAway(n.AsDouble(), places));
}

void Trunc(sqlite3_context* ctx, int argc, Args argv) {
  if (IsNull(argv[0]) || (argc > 1 && IsNull(argv[1]))) return sqlite3_result_null(ctx);
  DateTime dt;
  if (IsDateValue(argv[0], dt)) return ResultDate(ctx, TruncDate(dt, argc > 1 ? Text(argv[1]) : ""));
  Num n = *Number(argv[0]);
  int64_t places = argc > 1 ? IntArg(argv[1]) : 0;
  if (n.isInt && places >= 0) return sqlite3_result_int64(ctx, n.i);
  double scale = std::pow(10.0, static_cast<double>(places));
  ResultNumber(ctx, std::trunc(n.AsDouble() * scale) / scale);
}

void Unary(sqlite3_context* ctx, Args argv, double (*fn)(double)) {
  auto n = Number(argv[0]);
  if (!n) return sqlite3_result_null(ctx);
  if (n->isInt && (fn == static_cast<double (*)(double)>(std::floor) || fn == static_cast<double (*)(double)>(std::ceil)))
    return sqlite3_result_int64(ctx, n->i);
  ResultNumber(ctx, fn(n->AsDouble()));
}
void Floor(sqlite3_context* ctx, int, Args argv) { Unary(ctx, argv, std::floor); }
void Ceil(sqlite3_context* ctx, int, Args argv) { Unary(ctx, argv, std::ceil); }
void Abs(sqlite3_context* ctx, int, Args argv) {
  auto n = Number(argv[0]);
  if (!n) return sqlite3_result_null(ctx);
  if (n->isInt && n->i != INT64_MIN) return sqlite3_result_int64(ctx, n->i < 0 ? -n->i : n->i);
  ResultNumber(ctx, std::fabs(n->AsDouble()));
}
void Sign(sqlite3_context* ctx, int, Args argv) {
  auto n = Number(argv[0]);
  if (!n) return sqlite3_result_null(ctx);
  double d = n->AsDouble();
  sqlite3_result_int64(ctx, d > 0 ? 1 : d < 0 ? -1 : 0);
}
void Mod(sqlite3_context* ctx, int, Args argv) {
  auto m = Number(argv[0]), n = Number(argv[1]);
  if (!m || !n) return sqlite3_result_null(ctx);
  if (n->AsDouble() == 0) return ResultNumber(ctx, *m);
  if (m->isInt && n->isInt) return sqlite3_result_int64(ctx, m->i % n->i);
  ResultNumber(ctx, std::fmod(m->AsDouble(), n->AsDouble()));
}
void Power(sqlite3_context* ctx, int, Args argv) {
  auto m = Number(argv[0]), n = Number(argv[1]);
  if (!m || !n) return sqlite3_result_null(ctx);
  ResultNumber(ctx, std::pow(m->AsDouble(), n->AsDouble()));
}

// GREATEST/LEAST: NULL when any argument is; numbers compare as numbers when
// the first argument is one, else as text.
void Extreme(sqlite3_context* ctx, int argc, Args argv, bool greatest) {
  for (int i = 0; i < argc; ++i)
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  int t = sqlite3_value_type(argv[0]);
  if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) {
    int best = 0;
    double bv = Number(argv[0])->AsDouble();
    for (int i = 1; i < argc; ++i) {
      double v = Number(argv[i])->AsDouble();
      if (greatest ? v > bv : v < bv) {
        bv = v;
        best = i;
      }
    }
    return ResultNumber(ctx, *Number(argv[best]));
  }
  int best = 0;
  std::string bs = Text(argv[0]);
  for (int i = 1; i < argc; ++i) {
    std::string s = Text(argv[i]);
    if (greatest ? s > bs : s < bs) {
      bs = s;
      best = i;
    }
  }
  sqlite3_result_value(ctx, argv[best]);
}
void Greatest(sqlite3_context* ctx, int argc, Args argv) { Extreme(ctx, argc, argv, true); }
void Least(sqlite3_context* ctx, int argc, Args argv) { Extreme(ctx, argc, argv, false); }

// TO_CHAR number format models: 9 0 , . G D $ and FM.
std::string FormatNumber(const Num& n, std::string fmt) {
  std::string upper;
  for (char c : fmt) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  bool fm = false;
  if (upper.rfind("FM", 0) == 0) {
    fm = true;
    upper.erase(0, 2);
  }
  bool dollar = false;
  std::string model;
  for (char c : upper) {
    if (c == '$') dollar = true;
    else if (c == 'G') model += ',';
    else if (c == 'D') model += '.';
    else if (c == '9' || c == '0' || c == ',' || c == '.') model += c;
    else throw MakeOraError(1481);
  }
  size_t point = model.find('.');
  std::string intModel = model.substr(0, point);
  std::string fracModel = point == std::string::npos ? "" : model.substr(point + 1);
  int fracDigits = 0;
  for (char c : fracModel)
    if (c == '9' || c == '0') ++fracDigits;
  if (fracModel.find(',') != std::string::npos) throw MakeOraError(1481);
  double v = n.AsDouble();
  bool negative = v < 0;
  double rounded = RoundHalfAway(std::fabs(v), fracDigits);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", fracDigits, rounded);
  std::string digits = buf;
  std::string intPart = digits.substr(0, digits.find('.'));
  std::string fracPart = fracDigits ? digits.substr(digits.find('.') + 1) : "";
  if (intPart == "0") intPart.clear();
  int intSlots = 0;
  for (char c : intModel)
    if (c == '9' || c == '0') ++intSlots;
  if (static_cast<int>(intPart.size()) > intSlots) return std::string(model.size() + 1 + (dollar ? 1 : 0), '#');
  size_t firstZero = intModel.find('0');
  std::string body;
  int slot = 0;
  bool started = false;
  bool allNine = firstZero == std::string::npos;
  for (size_t i = 0; i < intModel.size(); ++i) {
    char c = intModel[i];
    if (c == ',') {
      body += started ? ',' : ' ';
      continue;
    }
    int fromRight = intSlots - slot;  // 1 = last slot
    ++slot;
    if (fromRight <= static_cast<int>(intPart.size())) {
      body += intPart[intPart.size() - static_cast<size_t>(fromRight)];
      started = true;
    } else if (!allNine && i >= firstZero) {
      body += '0';
      started = true;
    } else if (fromRight == 1 && fracModel.empty()) {
      body += '0';  // zero shows as 0 when there is no fraction
      started = true;
    } else {
      body += ' ';
    }
  }
  if (point != std::string::npos) {
    body += '.';
    std::string frac = fracPart;
    if (fm) {
      // FM drops trailing zeros that stand in '9' positions.
      size_t keep = frac.size();
      while (keep > 0 && frac[keep - 1] == '0' && fracModel[keep - 1] == '9') --keep;
      frac.resize(keep);
    }
    body += frac;
  }
  size_t firstChar = body.find_first_not_of(' ');
  if (firstChar == std::string::npos) firstChar = body.size();
  std::string sign = negative && rounded != 0 ? "-" : (fm ? "" : " ");
  std::string out = body.substr(0, firstChar) + sign + (dollar ? "$" : "") + body.substr(firstChar);
  if (fm) {
    size_t b = out.find_first_not_of(' ');
    out = b == std::string::npos ? "" : out.substr(b);
  }
  return out;
}

void ToChar(sqlite3_context* ctx, int argc, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  bool hasFormat = argc > 1;
  if (hasFormat && IsNull(argv[1])) return sqlite3_result_null(ctx);
  DateTime dt;
  if (IsDateValue(argv[0], dt)) return ResultText(ctx, FormatDate(dt, hasFormat ? Text(argv[1]) : ""));
  int t = sqlite3_value_type(argv[0]);
  if (!hasFormat) return ResultText(ctx, Text(argv[0]));
  if (t == SQLITE_TEXT || t == SQLITE_BLOB) {
    auto n = Number(argv[0]);
    return ResultText(ctx, FormatNumber(*n, Text(argv[1])));
  }
  ResultText(ctx, FormatNumber(*Number(argv[0]), Text(argv[1])));
}

void ToDate(sqlite3_context* ctx, int argc, Args argv) {
  if (IsNull(argv[0]) || (argc > 1 && IsNull(argv[1]))) return sqlite3_result_null(ctx);
  DateTime dt;
  if (IsDateValue(argv[0], dt)) return ResultDate(ctx, dt);  // already a date
  ResultDate(ctx, ParseDate(Text(argv[0]), argc > 1 ? Text(argv[1]) : ""));
}

void ToNumber(sqlite3_context* ctx, int argc, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = Text(argv[0]);
  if (argc > 1 && !IsNull(argv[1])) {
    std::string fmt = Text(argv[1]);
    std::string cleaned;
    for (char c : s)
      if (!((c == ',' && fmt.find_first_of(",Gg") != std::string::npos) || (c == '$' && fmt.find('$') != std::string::npos)))
        cleaned += c;
    s = cleaned;
  }
  auto n = ParseNumber(s);
  if (!n) throw MakeOraError(1722);
  ResultNumber(ctx, *n);
}

// ---- dates ----

void Sysdate(sqlite3_context* ctx, int, Args) { ResultText(ctx, CurrentSysdate()); }

void AddMonthsFn(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  ResultDate(ctx, AddMonths(DateArg(argv[0]), static_cast<int>(IntArg(argv[1]))));
}

void MonthsBetweenFn(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  ResultNumber(ctx, MonthsBetween(DateArg(argv[0]), DateArg(argv[1])));
}

void LastDay(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  DateTime dt = DateArg(argv[0]);
  dt.day = DaysInMonth(dt.year, dt.month);
  ResultDate(ctx, dt);
}

// ora_implicit_date(value, literal): the literal compared with value, read as
// a date in the default format when value is a date (Oracle's implicit
// conversion), else unchanged.
void ImplicitDate(sqlite3_context* ctx, int, Args argv) {
  DateTime dt;
  if (IsDateValue(argv[0], dt) && sqlite3_value_type(argv[1]) == SQLITE_TEXT)
    return ResultDate(ctx, ParseDate(Text(argv[1]), ""));
  sqlite3_result_value(ctx, argv[1]);
}

// ora_single(value, rows): a scalar subquery's value; ORA-01427 when the
// subquery returned more than one row.
void Single(sqlite3_context* ctx, int, Args argv) {
  if (sqlite3_value_int64(argv[1]) > 1) throw MakeOraError(1427);
  sqlite3_result_value(ctx, argv[0]);
}

// ora_date_in(value): a value as a DATE column stores it: dates stay, text is
// read in the default format DD-MON-RR, NULL stays NULL, numbers are refused.
void DateIn(sqlite3_context* ctx, int, Args argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  ResultDate(ctx, DateArg(argv[0]));
}

// ora_cb_path(path, level, key...): the ancestor path of a CONNECT BY row;
// raises ORA-01436 when a row's key is already among its ancestors'.
void CbPath(sqlite3_context* ctx, int argc, Args argv) {
  std::string path = IsNull(argv[0]) ? "" : Text(argv[0]);
  if (IntArg(argv[1]) > 1000000) throw MakeOraError(1436);
  if (argc <= 2) return ResultText(ctx, "\x1e");
  std::string key = "\x1e";
  for (int i = 2; i < argc; ++i) {
    int t = sqlite3_value_type(argv[i]);
    key += std::to_string(t) + ":" + Text(argv[i]) + "\x1f";
  }
  key += "\x1e";
  if (!path.empty() && path.find(key) != std::string::npos) throw MakeOraError(1436);
  ResultText(ctx, path.empty() ? key : path + key.substr(1));
}

// Every function goes through this wrapper so an OraError becomes the
// statement's error text "ORA-nnnnn: ...".
template <void (*F)(sqlite3_context*, int, Args)>
void Safe(sqlite3_context* ctx, int argc, Args argv) {
  try {
    F(ctx, argc, argv);
  } catch (const OraError& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

struct Registration {
  const char* name;
  int nArg;  // -1: any
  void (*fn)(sqlite3_context*, int, Args);
  bool deterministic;
};

const Registration kFunctions[] = {
    {"ora_concat", -1, Safe<Concat>, true},       {"ora_add", 2, Safe<Add>, true},
    {"ora_sub", 2, Safe<Sub>, true},              {"ora_mul", 2, Safe<Mul>, true},
    {"ora_div", 2, Safe<Div>, true},              {"ora_lpad", -1, Safe<Lpad>, true},
    {"ora_rpad", -1, Safe<Rpad>, true},           {"ora_lower", 1, Safe<Lower>, true},
    {"ora_upper", 1, Safe<Upper>, true},          {"ora_initcap", 1, Safe<Initcap>, true},
    {"ora_round", -1, Safe<Round>, true},         {"ora_trunc", -1, Safe<Trunc>, true},
    {"ora_to_char", -1, Safe<ToChar>, true},      {"ora_to_date", -1, Safe<ToDate>, true},
    {"ora_to_number", -1, Safe<ToNumber>, true},  {"ora_chr", 1, Safe<Chr>, true},
    {"ora_ascii", 1, Safe<Ascii>, true},          {"ora_hextoraw", 1, Safe<Hextoraw>, true},
    {"ora_rawtohex", 1, Safe<Rawtohex>, true},    {"ora_substr", -1, Safe<Substr>, true},
    {"ora_instr", -1, Safe<Instr>, true},         {"ora_length", 1, Safe<Length>, true},
    {"ora_ltrim", -1, Safe<Ltrim>, true},         {"ora_rtrim", -1, Safe<Rtrim>, true},
    {"ora_trim", -1, Safe<Trim>, true},           {"ora_replace", -1, Safe<Replace>, true},
    {"ora_greatest", -1, Safe<Greatest>, true},   {"ora_least", -1, Safe<Least>, true},
    {"ora_sign", 1, Safe<Sign>, true},            {"ora_mod", 2, Safe<Mod>, true},
    {"ora_abs", 1, Safe<Abs>, true},              {"ora_floor", 1, Safe<Floor>, true},
    {"ora_ceil", 1, Safe<Ceil>, true},            {"ora_power", 2, Safe<Power>, true},
    {"ora_add_months", 2, Safe<AddMonthsFn>, true}, {"ora_months_between", 2, Safe<MonthsBetweenFn>, true},
    {"ora_last_day", 1, Safe<LastDay>, true},     {"ora_sysdate", 0, Safe<Sysdate>, false},
    {"ora_cb_path", -1, Safe<CbPath>, true},
    {"ora_implicit_date", 2, Safe<ImplicitDate>, true},
    {"ora_date_in", 1, Safe<DateIn>, true},
    {"ora_single", 2, Safe<Single>, true},
};

}  // namespace

std::string FormatOracleNumber(double value) {
  Num n;
  n.isInt = false;
  n.d = value;
  return NumberText(n);
}

void RegisterFunctions(sqlite3* db) {
  for (const auto& f : kFunctions) {
    int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
    sqlite3_create_function(db, f.name, f.nArg, flags, nullptr, f.fn, nullptr, nullptr);
  }
  // Oracle's LIKE is case-sensitive, and a double-quoted name is always a name.
  sqlite3_exec(db, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

}  // namespace ocisim::sql
