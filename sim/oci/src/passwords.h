// How DBA_USERS.PASSWORD is computed: a 16-hex-digit hash of the upper-cased
// user name and password (case-insensitive, as in Oracle 9i), never the text.
#pragma once

#include <sqlite3.h>

#include <string>

namespace ocisim {

std::string PasswordHash(const std::string& user, const std::string& password);
// Installs ocisim_password_hash(user, password) for the seed script.
void RegisterPasswordFunction(sqlite3* db);

}  // namespace ocisim
