// A small RAII wrapper over a prepared SQLite statement for the engine's own
// bookkeeping queries; every SQLite failure becomes the Oracle error a server
// would report.
#pragma once

#include "ora_error.h"
#include "value.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ocisim {

[[noreturn]] inline void ThrowSqlite(sqlite3* db, int rc) {
  throw sql::OraErrorFromSqlite(rc, sqlite3_errmsg(db));
}

class Query {
 public:
  Query(sqlite3* db, const std::string& sql) : db_(db) {
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &s_, nullptr);
    if (rc != SQLITE_OK) {
      if (std::getenv("OCISIM_TRACE")) std::fprintf(stderr, "ocisim: cannot prepare: %s\n%s\n", sqlite3_errmsg(db), sql.c_str());
      ThrowSqlite(db, rc);
    }
  }
  ~Query() { sqlite3_finalize(s_); }
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  Query& Bind(int i, int64_t v) { sqlite3_bind_int64(s_, i, v); return *this; }
  Query& Bind(int i, const std::string& v) {
    if (v.empty()) sqlite3_bind_null(s_, i);  // Oracle: the empty string is NULL
    else sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Query& Bind(int i, const char* v) { return Bind(i, std::string(v ? v : "")); }
  Query& BindNull(int i) { sqlite3_bind_null(s_, i); return *this; }
  Query& Bind(int i, const Value& v) {
    switch (v.kind) {
      case Value::Null: sqlite3_bind_null(s_, i); break;
      case Value::Int: sqlite3_bind_int64(s_, i, v.i); break;
      case Value::Real: sqlite3_bind_double(s_, i, v.r); break;
      case Value::Text: Bind(i, v.s); break;
      case Value::Blob: sqlite3_bind_blob(s_, i, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT); break;
    }
    return *this;
  }
  bool Step() {
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    ThrowSqlite(db_, rc);
  }
  void Run() { while (Step()) {} }
  void Reset() { sqlite3_reset(s_); sqlite3_clear_bindings(s_); }
  int64_t Int(int i) const { return sqlite3_column_int64(s_, i); }
  bool IsNull(int i) const { return sqlite3_column_type(s_, i) == SQLITE_NULL; }
  std::string Text(int i) const {
    const unsigned char* t = sqlite3_column_text(s_, i);
    return t ? std::string(reinterpret_cast<const char*>(t), sqlite3_column_bytes(s_, i)) : std::string();
  }
  sqlite3_stmt* get() const { return s_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* s_ = nullptr;
};

inline void ExecSql(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errmsg(db);
    sqlite3_free(err);
    throw sql::OraErrorFromSqlite(rc, msg.c_str());
  }
}

inline std::string QuoteIdent(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

inline std::string QuoteLiteral(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

}  // namespace ocisim
