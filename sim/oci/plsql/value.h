// Values of the PL/SQL interpreter: SQL's scalars plus BOOLEAN and records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ocisim::plsql {

struct Val {
  enum K { Null, Int, Real, Text, Date, Bool, Record };
  K k = Null;
  int64_t i = 0;
  double r = 0;
  bool b = false;
  std::string s;  // Text; Date as 'YYYY-MM-DD HH:MM:SS'
  std::shared_ptr<std::vector<std::pair<std::string, Val>>> fields;  // Record

  static Val Of(int64_t v) { Val x; x.k = Int; x.i = v; return x; }
  static Val OfReal(double v) { Val x; x.k = Real; x.r = v; return x; }
  // Oracle: the empty string is NULL.
  static Val OfText(std::string v) { Val x; if (!v.empty()) { x.k = Text; x.s = std::move(v); } return x; }
  static Val OfDate(std::string v) { Val x; x.k = Date; x.s = std::move(v); return x; }
  static Val OfBool(bool v) { Val x; x.k = Bool; x.b = v; return x; }
  static Val NewRecord() { Val x; x.k = Record; x.fields = std::make_shared<std::vector<std::pair<std::string, Val>>>(); return x; }
  bool IsNull() const { return k == Null; }
  bool IsNumber() const { return k == Int || k == Real; }
  double Num() const { return k == Int ? static_cast<double>(i) : r; }
  Val* Field(const std::string& name) {
    if (!fields) return nullptr;
    for (auto& f : *fields)
      if (f.first == name) return &f.second;
    return nullptr;
  }
  // A record is copied by value, as PL/SQL assigns records.
  Val Copy() const {
    Val x = *this;
    if (fields) x.fields = std::make_shared<std::vector<std::pair<std::string, Val>>>(*fields);
    return x;
  }
};

// Oracle's text for a number: 10, 2.5, .5, -.25.
std::string NumberText(const Val& v);

}  // namespace ocisim::plsql
