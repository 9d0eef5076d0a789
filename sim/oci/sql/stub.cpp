// Temporary stubs so the engine can link against the API while the translator is written.
#include "sql/translate.h"

namespace ocisim::sql {

Translation Translate(std::string_view, const Catalog&) { throw MakeOraError(900); }
void RegisterFunctions(sqlite3*) {}
std::string FormatOracleDate(std::string_view value, std::string_view) { return std::string(value); }
std::string ParseOracleDate(std::string_view text, std::string_view) { return std::string(text); }
std::string CurrentSysdate() { return "2026-01-15 10:00:00"; }
int OciStatementType(StmtKind) { return 0; }

}  // namespace ocisim::sql
