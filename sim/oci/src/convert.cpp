// Value <-> OCI external type conversions: see convert.h.
#include "convert.h"

#include "ora_error.h"
#include "sql/translate.h"

#include <cctype>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ocisim {
namespace {

std::string HexOf(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

bool ParseNumber(const std::string& s, Value* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long i = std::strtoll(s.c_str(), &end, 10);
  if (*end == '\0' && errno == 0) {
    *out = Value::MakeInt(i);
    return true;
  }
  double d = std::strtod(s.c_str(), &end);
  while (*end == ' ') ++end;
  if (*end != '\0') return false;
  *out = Value::MakeReal(d);
  return true;
}

Value AsNumber(const Value& v) {
  if (v.kind == Value::Int || v.kind == Value::Real) return v;
  Value n;
  if (!ParseNumber(v.s, &n)) ThrowOra(1722);
  return n;
}

std::string AsDate(const Value& v, int column_type) {
  if (v.kind == Value::Text && (column_type == kDate || v.s.size() >= 10)) {
    // Already internal when it came from a DATE column; else read Oracle's default form.
    if (v.s.size() >= 10 && v.s[4] == '-' && v.s[7] == '-') return v.s;
    return sql::ParseOracleDate(v.s, "");
  }
  if (v.kind == Value::Text) return sql::ParseOracleDate(v.s, "");
  ThrowOra(932, {"DATE", "NUMBER"});
}

// Copies text into a character buffer, reporting truncation the OCI way.
OutResult PutRaw(const char* text, size_t size_in, void* buf, sb4 size, bool nul, bool pad) {
  OutResult r;
  char* out = static_cast<char*>(buf);
  sb4 room = nul ? size - 1 : size;
  if (room < 0) room = 0;
  size_t n = size_in <= static_cast<size_t>(room) ? size_in : static_cast<size_t>(room);
  if (out && n) std::memcpy(out, text, n);
  size_t written = n;
  if (pad && out) {
    while (written < static_cast<size_t>(room)) out[written++] = ' ';
  }
  if (nul && out && size > 0) out[written] = '\0';
  r.length = static_cast<ub4>(written);
  if (n < size_in) {
    r.rcode = 1406;
    r.indicator = size_in > 32767 ? -2 : static_cast<sb2>(size_in);
  }
  return r;
}

OutResult PutText(const std::string& text, void* buf, sb4 size, bool nul, bool pad) {
  return PutRaw(text.data(), text.size(), buf, size, nul, pad);
}

// DD-MON-RR, the default text of a date, straight from the internal form;
// anything unusual goes to the translator's general formatter.
std::string DefaultDateText(const std::string& d) {
  static const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  if (d.size() >= 10 && d[4] == '-' && d[7] == '-' && std::isdigit(static_cast<unsigned char>(d[5])) &&
      std::isdigit(static_cast<unsigned char>(d[6]))) {
    int month = (d[5] - '0') * 10 + (d[6] - '0');
    if (month >= 1 && month <= 12) {
      std::string out;
      out.reserve(9);
      out.append(d, 8, 2).append(1, '-').append(kMonths[month - 1]).append(1, '-').append(d, 2, 2);
      return out;
    }
  }
  return sql::FormatOracleDate(d, "");
}

}  // namespace

std::string FormatNumber(const Value& v) {
  if (v.kind == Value::Int) return std::to_string(v.i);
  if (v.kind != Value::Real) return v.s;
  double d = v.r;
  if (d == 0) return "0";
  if (std::isnan(d) || std::isinf(d)) return d < 0 ? "-~" : "~";
  char buf[128];
  // Most values print exactly in 15 significant digits without an exponent.
  std::snprintf(buf, sizeof buf, "%.15g", d);
  if (!std::strchr(buf, 'e')) {
    std::string s = buf;
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    return s;
  }
  double mag = std::fabs(d);
  if (mag >= 1e40 || mag < 1e-30) {
    std::snprintf(buf, sizeof buf, "%.15E", d);
    return buf;
  }
  // 15 significant digits, fixed notation, no trailing zeros.
  int int_digits = mag >= 1 ? static_cast<int>(std::floor(std::log10(mag))) + 1 : 0;
  int decimals = 15 - int_digits;
  if (decimals < 0) decimals = 0;
  if (mag < 1) decimals = 15 - static_cast<int>(std::floor(std::log10(mag))) - 1;
  if (decimals > 60) decimals = 60;
  std::snprintf(buf, sizeof buf, "%.*f", decimals, d);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  // Oracle writes no zero before the decimal point.
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return s;
}

std::string ValueText(const Value& v, int column_type) {
  switch (v.kind) {
    case Value::Null: return {};
    case Value::Int:
    case Value::Real: return FormatNumber(v);
    case Value::Blob: return HexOf(v.s);
    case Value::Text:
      if (column_type == kDate) return DefaultDateText(v.s);
      return v.s;
  }
  return {};
}

bool EncodeDate7(const std::string& d, ub1 out[7]) {
  int y = 0, mo = 0, da = 0, h = 0, mi = 0, s = 0;
  int n = std::sscanf(d.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &da, &h, &mi, &s);
  if (n < 3) return false;
  out[0] = static_cast<ub1>(y / 100 + 100);
  out[1] = static_cast<ub1>(y % 100 + 100);
  out[2] = static_cast<ub1>(mo);
  out[3] = static_cast<ub1>(da);
  out[4] = static_cast<ub1>(h + 1);
  out[5] = static_cast<ub1>(mi + 1);
  out[6] = static_cast<ub1>(s + 1);
  return true;
}

std::string DecodeDate7(const ub1 in[7]) {
  int y = (in[0] - 100) * 100 + (in[1] - 100);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, in[2], in[3], in[4] - 1, in[5] - 1, in[6] - 1);
  return buf;
}

int EncodeOraNumber(const Value& v_in, ub1 out[22]) {
  Value v = AsNumber(v_in);
  std::string text = v.kind == Value::Int ? std::to_string(v.i) : [&] {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v.r);
    // Expand exponents to plain digits.
    char fixed[512];
    std::snprintf(fixed, sizeof fixed, "%.40f", std::strtod(buf, nullptr));
    return std::string(fixed);
  }();
  bool neg = !text.empty() && text[0] == '-';
  if (neg) text.erase(0, 1);
  std::string ip = text.substr(0, text.find('.'));
  std::string fp = text.find('.') == std::string::npos ? "" : text.substr(text.find('.') + 1);
  while (!fp.empty() && fp.back() == '0') fp.pop_back();
  while (ip.size() > 1 && ip[0] == '0') ip.erase(0, 1);
  if (ip == "0") ip.clear();
  if (ip.empty() && fp.empty()) {
    out[0] = 0x80;
    return 1;
  }
  if (ip.size() % 2) ip = "0" + ip;
  if (fp.size() % 2) fp += "0";
  std::string all = ip + fp;
  int exp = static_cast<int>(ip.size() / 2) - 1;
  // Leading zero pairs (numbers below one) move the exponent down.
  while (all.size() >= 2 && all[0] == '0' && all[1] == '0') {
    all.erase(0, 2);
    --exp;
  }
  while (all.size() >= 2 && all[all.size() - 1] == '0' && all[all.size() - 2] == '0') all.resize(all.size() - 2);
  int ndig = static_cast<int>(all.size() / 2);
  if (ndig > 20) ndig = 20;
  int len = 0;
  out[len++] = static_cast<ub1>(neg ? 62 - exp : 193 + exp);
  for (int i = 0; i < ndig; ++i) {
    int d = (all[2 * i] - '0') * 10 + (all[2 * i + 1] - '0');
    out[len++] = static_cast<ub1>(neg ? 101 - d : d + 1);
  }
  if (neg && ndig < 20) out[len++] = 102;
  return len;
}

Value DecodeOraNumber(const ub1* in, int len) {
  if (len <= 0) return Value::MakeNull();
  if (in[0] == 0x80) return Value::MakeInt(0);
  bool pos = (in[0] & 0x80) != 0;
  int exp = pos ? in[0] - 193 : 62 - in[0];
  std::string digits;
  for (int i = 1; i < len; ++i) {
    if (!pos && in[i] == 102) break;
    int d = pos ? in[i] - 1 : 101 - in[i];
    char pair[3] = {static_cast<char>('0' + d / 10), static_cast<char>('0' + d % 10), 0};
    digits += pair;
  }
  int point = (exp + 1) * 2;  // digits before the decimal point
  std::string text;
  if (point <= 0) text = "0." + std::string(static_cast<size_t>(-point), '0') + digits;
  else if (point >= static_cast<int>(digits.size())) text = digits + std::string(point - digits.size(), '0');
  else text = digits.substr(0, point) + "." + digits.substr(point);
  if (!pos) text = "-" + text;
  Value v;
  ParseNumber(text, &v);
  return v;
}

OutResult ConvertOut(const Value& v, int column_type, ub2 dty, void* buf, sb4 size) {
  OutResult r;
  if (v.IsNull()) {
    r.indicator = -1;
    r.rcode = 1405;
    return r;
  }
  switch (dty) {
    case SQLT_STR:
      return PutText(ValueText(v, column_type), buf, size, true, false);
    case SQLT_AVC:
      return PutText(ValueText(v, column_type), buf, size, true, true);
    case SQLT_AFC:
      return PutText(ValueText(v, column_type), buf, size, false, true);
    case SQLT_CHR:
    case SQLT_LNG:
    case SQLT_CLOB:
      return PutText(ValueText(v, column_type), buf, size, false, false);
    case SQLT_BIN:
    case SQLT_LBI:
    case SQLT_BLOB:
      return PutText(v.kind == Value::Text || v.kind == Value::Blob ? v.s : ValueText(v, column_type), buf, size,
                     false, false);
    case SQLT_VCS: {
      std::string t = ValueText(v, column_type);
      if (size < 2) ThrowOra(1406);
      OutResult inner = PutText(t, static_cast<char*>(buf) + 2, size - 2, false, false);
      ub2 l = static_cast<ub2>(inner.length);
      std::memcpy(buf, &l, 2);
      inner.length += 2;
      return inner;
    }
    case SQLT_INT:
    case SQLT_UIN: {
      Value n = AsNumber(v);
      long long x = n.kind == Value::Int ? n.i : std::llround(n.r);
      switch (size) {
        case 1: { signed char c = static_cast<signed char>(x); std::memcpy(buf, &c, 1); break; }
        case 2: { short c = static_cast<short>(x); std::memcpy(buf, &c, 2); break; }
        case 4: { int c = static_cast<int>(x); std::memcpy(buf, &c, 4); break; }
        case 8: std::memcpy(buf, &x, 8); break;
        default: ThrowOra(932, {"NUMBER", "BINARY"});
      }
      r.length = static_cast<ub4>(size);
      return r;
    }
    case SQLT_FLT: {
      Value n = AsNumber(v);
      double x = n.kind == Value::Int ? static_cast<double>(n.i) : n.r;
      if (size == 4) {
        float f = static_cast<float>(x);
        std::memcpy(buf, &f, 4);
      } else if (size == 8) {
        std::memcpy(buf, &x, 8);
      } else {
        ThrowOra(932, {"NUMBER", "BINARY"});
      }
      r.length = static_cast<ub4>(size);
      return r;
    }
    case SQLT_DAT: {
      if (size < 7) ThrowOra(1406);
      ub1 d[7];
      if (!EncodeDate7(AsDate(v, column_type), d)) ThrowOra(932, {"DATE", "CHAR"});
      std::memcpy(buf, d, 7);
      r.length = 7;
      return r;
    }
    case SQLT_NUM:
    case SQLT_VNU: {
      ub1 n[22];
      int len = EncodeOraNumber(v, n);
      if (dty == SQLT_VNU) {
        if (size < 22) ThrowOra(1406);
        static_cast<ub1*>(buf)[0] = static_cast<ub1>(len);
        std::memcpy(static_cast<ub1*>(buf) + 1, n, len);
        r.length = 22;
      } else {
        if (size < len) ThrowOra(1406);
        std::memcpy(buf, n, len);
        r.length = static_cast<ub4>(len);
      }
      return r;
    }
    default:
      ThrowOra(932, {"CHAR", "type " + std::to_string(dty)});
  }
}

size_t DefaultDateChars(const char* d, size_t n, char out[9]) {
  static const char kMonths[] = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
  if (n < 10 || d[4] != '-' || d[7] != '-' || !std::isdigit(static_cast<unsigned char>(d[5])) ||
      !std::isdigit(static_cast<unsigned char>(d[6])))
    return 0;
  int month = (d[5] - '0') * 10 + (d[6] - '0');
  if (month < 1 || month > 12) return 0;
  out[0] = d[8];
  out[1] = d[9];
  out[2] = '-';
  std::memcpy(out + 3, kMonths + 3 * (month - 1), 3);
  out[6] = '-';
  out[7] = d[2];
  out[8] = d[3];
  return 9;
}

size_t NumberChars(double d, char* out, size_t size) {
  if (d == 0 || std::isnan(d) || std::isinf(d) || std::fabs(d) >= 1e15 || std::fabs(d) < 1e-4) return 0;
  auto res = std::to_chars(out, out + size, d, std::chars_format::general, 15);
  if (res.ec != std::errc()) return 0;
  size_t n = static_cast<size_t>(res.ptr - out);
  if (std::memchr(out, 'e', n)) return 0;
  // Oracle writes no zero before the decimal point.
  if (n > 1 && out[0] == '0' && out[1] == '.') {
    std::memmove(out, out + 1, --n);
  } else if (n > 2 && out[0] == '-' && out[1] == '0' && out[2] == '.') {
    std::memmove(out + 1, out + 2, n - 2);
    --n;
  }
  return n;
}

bool PutChars(const char* p, size_t n, ub2 dty, void* buf, sb4 size, OutResult* r) {
  switch (dty) {
    case SQLT_STR: *r = PutRaw(p, n, buf, size, true, false); return true;
    case SQLT_AVC: *r = PutRaw(p, n, buf, size, true, true); return true;
    case SQLT_AFC: *r = PutRaw(p, n, buf, size, false, true); return true;
    case SQLT_CHR:
    case SQLT_LNG: *r = PutRaw(p, n, buf, size, false, false); return true;
    default: return false;
  }
}

Value ConvertIn(ub2 dty, const void* buf, sb4 len) {
  const char* p = static_cast<const char*>(buf);
  if (!p) return Value::MakeNull();
  switch (dty) {
    case SQLT_STR: {
      size_t n = len > 0 ? strnlen(p, static_cast<size_t>(len)) : std::strlen(p);
      return n ? Value::MakeText(std::string(p, n)) : Value::MakeNull();
    }
    case SQLT_CHR:
    case SQLT_AFC:
    case SQLT_AVC:
    case SQLT_LNG: {
      size_t n = len > 0 ? static_cast<size_t>(len) : 0;
      if (dty == SQLT_AVC) n = strnlen(p, n);
      return n ? Value::MakeText(std::string(p, n)) : Value::MakeNull();
    }
    case SQLT_VCS: {
      ub2 l;
      std::memcpy(&l, p, 2);
      return l ? Value::MakeText(std::string(p + 2, l)) : Value::MakeNull();
    }
    case SQLT_BIN:
    case SQLT_LBI:
      return len > 0 ? Value::MakeBlob(std::string(p, static_cast<size_t>(len))) : Value::MakeNull();
    case SQLT_INT:
      switch (len) {
        case 1: return Value::MakeInt(static_cast<signed char>(p[0]));
        case 2: { short x; std::memcpy(&x, p, 2); return Value::MakeInt(x); }
        case 4: { int x; std::memcpy(&x, p, 4); return Value::MakeInt(x); }
        case 8: { long long x; std::memcpy(&x, p, 8); return Value::MakeInt(x); }
        default: ThrowOra(932, {"NUMBER", "BINARY"});
      }
    case SQLT_UIN:
      switch (len) {
        case 1: return Value::MakeInt(static_cast<unsigned char>(p[0]));
        case 2: { unsigned short x; std::memcpy(&x, p, 2); return Value::MakeInt(x); }
        case 4: { unsigned x; std::memcpy(&x, p, 4); return Value::MakeInt(x); }
        default: ThrowOra(932, {"NUMBER", "BINARY"});
      }
    case SQLT_FLT:
      if (len == 4) { float f; std::memcpy(&f, p, 4); return Value::MakeReal(f); }
      if (len == 8) { double d; std::memcpy(&d, p, 8); return Value::MakeReal(d); }
      ThrowOra(932, {"NUMBER", "BINARY"});
    case SQLT_DAT:
      if (len < 7) ThrowOra(1858);
      return Value::MakeText(DecodeDate7(reinterpret_cast<const ub1*>(p)));
    case SQLT_NUM:
      return DecodeOraNumber(reinterpret_cast<const ub1*>(p), len);
    case SQLT_VNU:
      return DecodeOraNumber(reinterpret_cast<const ub1*>(p) + 1, static_cast<ub1>(p[0]));
    default:
      ThrowOra(932, {"CHAR", "type " + std::to_string(dty)});
  }
}

}  // namespace ocisim
