// Sequence functions: see sequences.h.
#include "sequences.h"

#include <cstdint>
#include <map>
#include <string>

namespace ocisim {
namespace {

// CURRVAL is the session's own: the last NEXTVAL this connection drew.
using CurrentValues = std::map<std::string, int64_t>;

std::string Arg(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return t ? reinterpret_cast<const char*>(t) : "";
}

void NextVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* cur = static_cast<CurrentValues*>(sqlite3_user_data(ctx));
  sqlite3* db = sqlite3_context_db_handle(ctx);
  std::string owner = Arg(argv[0]), name = Arg(argv[1]);
  sqlite3_stmt* q = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT LAST_NUMBER, INCREMENT_BY, MAX_VALUE, MIN_VALUE, CYCLE_FLAG FROM \"SYS.DBA_SEQUENCES\" "
                     "WHERE SEQUENCE_OWNER = ? AND SEQUENCE_NAME = ?",
                     -1, &q, nullptr);
  sqlite3_bind_text(q, 1, owner.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(q, 2, name.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(q) != SQLITE_ROW) {
    sqlite3_finalize(q);
    sqlite3_result_error(ctx, "ORA-02289: sequence does not exist", -1);
    return;
  }
  int64_t value = sqlite3_column_int64(q, 0), inc = sqlite3_column_int64(q, 1);
  double maxv = sqlite3_column_double(q, 2), minv = sqlite3_column_double(q, 3);
  bool cycle = Arg(sqlite3_column_value(q, 4)) == "Y";
  sqlite3_finalize(q);
  if ((inc > 0 && static_cast<double>(value) > maxv) || (inc < 0 && static_cast<double>(value) < minv)) {
    if (!cycle) {
      std::string msg = "ORA-08004: sequence " + name + ".NEXTVAL " + (inc > 0 ? "exceeds MAXVALUE" : "goes below MINVALUE") +
                        " and cannot be instantiated";
      sqlite3_result_error(ctx, msg.c_str(), -1);
      return;
    }
    value = static_cast<int64_t>(inc > 0 ? minv : maxv);
  }
  sqlite3_stmt* u = nullptr;
  sqlite3_prepare_v2(db, "UPDATE \"SYS.DBA_SEQUENCES\" SET LAST_NUMBER = ? WHERE SEQUENCE_OWNER = ? AND SEQUENCE_NAME = ?",
                     -1, &u, nullptr);
  sqlite3_bind_int64(u, 1, value + inc);
  sqlite3_bind_text(u, 2, owner.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(u, 3, name.c_str(), -1, SQLITE_TRANSIENT);
  int rc = sqlite3_step(u);
  sqlite3_finalize(u);
  if (rc != SQLITE_DONE) {
    sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
    return;
  }
  (*cur)[owner + "." + name] = value;
  sqlite3_result_int64(ctx, value);
}

void CurrVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* cur = static_cast<CurrentValues*>(sqlite3_user_data(ctx));
  std::string owner = Arg(argv[0]), name = Arg(argv[1]);
  auto it = cur->find(owner + "." + name);
  if (it == cur->end()) {
    std::string msg = "ORA-08002: sequence " + name + ".CURRVAL is not yet defined in this session";
    sqlite3_result_error(ctx, msg.c_str(), -1);
    return;
  }
  sqlite3_result_int64(ctx, it->second);
}

}  // namespace

void RegisterSequenceFunctions(sqlite3* db) {
  auto* cur = new CurrentValues;
  sqlite3_create_function_v2(db, "ora_nextval", 2, SQLITE_UTF8, cur, NextVal, nullptr, nullptr,
                             [](void* p) { delete static_cast<CurrentValues*>(p); });
  sqlite3_create_function_v2(db, "ora_currval", 2, SQLITE_UTF8, cur, CurrVal, nullptr, nullptr, nullptr);
}

}  // namespace ocisim
