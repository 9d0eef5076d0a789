// One SQL value as it travels between the SQLite engine and the OCI buffers,
// and the description of one select-list column in Oracle's terms.
#pragma once

#include <cstdint>
#include <string>

namespace ocisim {

struct Value {
  enum Kind { Null, Int, Real, Text, Blob };
  Kind kind = Null;
  int64_t i = 0;
  double r = 0;
  std::string s;  // Text and Blob bytes

  static Value MakeNull() { return {}; }
  static Value MakeInt(int64_t v) { Value x; x.kind = Int; x.i = v; return x; }
  static Value MakeReal(double v) { Value x; x.kind = Real; x.r = v; return x; }
  static Value MakeText(std::string v) { Value x; x.kind = Text; x.s = std::move(v); return x; }
  static Value MakeBlob(std::string v) { Value x; x.kind = Blob; x.s = std::move(v); return x; }
  bool IsNull() const { return kind == Null; }
};

// Oracle internal type codes used in describe.
enum OraType : int {
  kVarchar2 = 1, kNumber = 2, kLong = 8, kRowid = 11, kDate = 12, kRaw = 23, kLongRaw = 24,
  kChar = 96, kClob = 112, kBlob = 113
};

struct ColumnInfo {
  std::string name;
  int type = kVarchar2;
  int size = 4000;       // DATA_SIZE in bytes
  int precision = 0;
  int scale = 0;
  bool nullable = true;
};

}  // namespace ocisim
