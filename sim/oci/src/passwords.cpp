// Password hashing: see passwords.h.
#include "passwords.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

namespace ocisim {

std::string PasswordHash(const std::string& user, const std::string& password) {
  uint64_t h = 1469598103934665603ULL;  // FNV-1a
  auto feed = [&](const std::string& s) {
    for (unsigned char c : s) {
      h ^= static_cast<unsigned char>(std::toupper(c));
      h *= 1099511628211ULL;
    }
  };
  feed(user);
  feed("/");
  feed(password);
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(h));
  return buf;
}

namespace {
void HashFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto text = [](sqlite3_value* v) {
    const unsigned char* t = sqlite3_value_text(v);
    return std::string(t ? reinterpret_cast<const char*>(t) : "");
  };
  sqlite3_result_text(ctx, PasswordHash(text(argv[0]), text(argv[1])).c_str(), -1, SQLITE_TRANSIENT);
}
}  // namespace

void RegisterPasswordFunction(sqlite3* db) {
  sqlite3_create_function(db, "ocisim_password_hash", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, HashFn,
                          nullptr, nullptr);
}

}  // namespace ocisim
