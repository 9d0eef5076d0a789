// A small dictionary for the PL/SQL front end's tests: SCOTT's EMP and DEPT,
// a sequence, and units given as source.
#pragma once

#include "plsql/dictionary.h"

#include <map>

namespace ocisim::plsql::test {

class FakeDictionary : public Dictionary {
 public:
  FakeDictionary() {
    tables["EMP"] = {"EMPNO", "ENAME", "JOB", "MGR", "HIREDATE", "SAL", "COMM", "DEPTNO"};
    tables["DEPT"] = {"DEPTNO", "DNAME", "LOC"};
    tables["DUAL"] = {"DUMMY"};
  }
  std::string Schema() const override { return "SCOTT"; }
  std::optional<ObjectRef> Resolve(const std::optional<std::string>& owner, const std::string& name) const override {
    if (owner && *owner != "SCOTT") return std::nullopt;
    if (tables.count(name)) return ObjectRef{name == "DUAL" ? "SYS" : "SCOTT", name, "TABLE"};
    if (name == "EMP_SEQ") return ObjectRef{"SCOTT", name, "SEQUENCE"};
    for (const auto& [key, src] : units)
      if (key.first == name && key.second != "PACKAGE BODY") return ObjectRef{"SCOTT", name, key.second};
    return std::nullopt;
  }
  std::vector<std::string> Columns(const ObjectRef& t) const override {
    auto it = tables.find(t.name);
    return it == tables.end() ? std::vector<std::string>{} : it->second;
  }
  std::optional<std::string> Source(const std::string&, const std::string& name, const std::string& type) const override {
    auto it = units.find({name, type});
    if (it == units.end()) return std::nullopt;
    return it->second;
  }
  bool IsSchema(const std::string& name) const override { return name == "SCOTT" || name == "SYS"; }

  std::map<std::string, std::vector<std::string>> tables;
  std::map<std::pair<std::string, std::string>, std::string> units;  // (name, type) -> source
};

}  // namespace ocisim::plsql::test
