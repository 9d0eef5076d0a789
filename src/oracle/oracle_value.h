// oracle_value.h — the variant value of variables and fields.
//
// A variable or field value is unassigned, null, an integer, a float, a text
// or a date.  Dates keep Oracle's fields (no time zone).
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace oracle {

struct TUnassigned {
  bool operator==(const TUnassigned&) const = default;
};
struct TNull {
  bool operator==(const TNull&) const = default;
};

struct TOracleDate {
  int year = 1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  bool operator==(const TOracleDate&) const = default;
};

using TOracleValue = std::variant<TUnassigned, TNull, std::int64_t, double, std::string, TOracleDate>;

inline bool IsNullOrUnassigned(const TOracleValue& value) {
  return std::holds_alternative<TUnassigned>(value) || std::holds_alternative<TNull>(value);
}

// Text forms shared by field-as-string and substitution: integers in decimal,
// floats in the general format (15 significant digits), dates as
// "YYYY-MM-DD" when the time is midnight, else "YYYY-MM-DD HH:MM:SS"; null
// and unassigned give "".
std::string ValueToText(const TOracleValue& value);
std::string FloatToText(double value);
std::string DateToText(const TOracleDate& date);

// Oracle's 7-byte DATE form.
void EncodeOracleDate(const TOracleDate& date, unsigned char out[7]);
TOracleDate DecodeOracleDate(const unsigned char in[7]);

}  // namespace oracle
