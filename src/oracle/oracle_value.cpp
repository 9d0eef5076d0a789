// oracle_value.cpp — see oracle_value.h.
#include "oracle/oracle_value.h"

#include <cstdio>

namespace oracle {

// The general float format: 15 significant digits, and an exponent written
// "E18" / "E-7" (no plus sign, no leading zeros) when one is needed.
std::string FloatToText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  std::string text = buffer;
  const auto e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  std::string exponent = text.substr(e + 1);
  const bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "E" + (negative ? "-" : "") + exponent;
}

std::string DateToText(const TOracleDate& d) {
  char buffer[64];
  if (d.hour == 0 && d.minute == 0 && d.second == 0) {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day,
                  d.hour, d.minute, d.second);
  }
  return buffer;
}

std::string ValueToText(const TOracleValue& value) {
  struct Visitor {
    std::string operator()(const TUnassigned&) const { return ""; }
    std::string operator()(const TNull&) const { return ""; }
    std::string operator()(std::int64_t v) const { return std::to_string(v); }
    std::string operator()(double v) const { return FloatToText(v); }
    std::string operator()(const std::string& v) const { return v; }
    std::string operator()(const TOracleDate& v) const { return DateToText(v); }
  };
  return std::visit(Visitor{}, value);
}

void EncodeOracleDate(const TOracleDate& d, unsigned char out[7]) {
  // Century and year each offset by 100; for BC years both are negative,
  // which gives Oracle's 100 - century, 100 - year.
  out[0] = static_cast<unsigned char>(d.year / 100 + 100);
  out[1] = static_cast<unsigned char>(d.year % 100 + 100);
  out[2] = static_cast<unsigned char>(d.month);
  out[3] = static_cast<unsigned char>(d.day);
  out[4] = static_cast<unsigned char>(d.hour + 1);
  out[5] = static_cast<unsigned char>(d.minute + 1);
  out[6] = static_cast<unsigned char>(d.second + 1);
}

TOracleDate DecodeOracleDate(const unsigned char in[7]) {
  TOracleDate d;
  d.year = (in[0] - 100) * 100 + (in[1] - 100);
  d.month = in[2];
  d.day = in[3];
  d.hour = in[4] - 1;
  d.minute = in[5] - 1;
  d.second = in[6] - 1;
  return d;
}

}  // namespace oracle
