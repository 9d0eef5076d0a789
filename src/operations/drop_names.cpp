// drop_names.cpp — where each kind of name is looked up for the exact-name
// rule.  Path levels reuse the listings' own rule (catalog::ExactLevel).
#include "operations/drop_names.h"

#include "catalog/code_queries.h"
#include "catalog/listing_context.h"
#include "host/text_utils.h"

namespace operations {
namespace {

const char* LookupSql(NameKind kind) {
  switch (kind) {
    case NameKind::Object: return "SELECT COUNT(*) FROM ALL_OBJECTS WHERE OBJECT_NAME = :N";
    case NameKind::User: return "SELECT COUNT(*) FROM ALL_USERS WHERE USERNAME = :N";
    case NameKind::Role: return "SELECT COUNT(*) FROM DBA_ROLES WHERE ROLE = :N";
    case NameKind::Profile: return "SELECT COUNT(*) FROM DBA_PROFILES WHERE PROFILE = :N";
    case NameKind::Tablespace: return "SELECT COUNT(*) FROM DBA_TABLESPACES WHERE TABLESPACE_NAME = :N";
    case NameKind::RollbackSegment: return "SELECT COUNT(*) FROM DBA_ROLLBACK_SEGS WHERE SEGMENT_NAME = :N";
    case NameKind::Column: return "SELECT COUNT(*) FROM ALL_TAB_COLUMNS WHERE COLUMN_NAME = :N";
    case NameKind::Constraint: return "SELECT COUNT(*) FROM ALL_CONSTRAINTS WHERE CONSTRAINT_NAME = :N";
    case NameKind::Directory: return "SELECT COUNT(*) FROM ALL_DIRECTORIES WHERE DIRECTORY_NAME = :N";
    case NameKind::Library: return "SELECT COUNT(*) FROM ALL_LIBRARIES WHERE LIBRARY_NAME = :N";
    case NameKind::DatabaseLink: return "SELECT COUNT(*) FROM ALL_DB_LINKS WHERE DB_LINK = :N";
    case NameKind::Outline: return "SELECT COUNT(*) FROM DBA_OUTLINES WHERE NAME = :N";
    case NameKind::Context: return "SELECT COUNT(*) FROM DBA_CONTEXT WHERE NAMESPACE = :N";
  }
  return "SELECT COUNT(*) FROM ALL_OBJECTS WHERE OBJECT_NAME = :N";
}

}  // namespace

std::string ExactItemName(connection::TPluginDataModule& module, const std::string& shown, NameKind kind) {
  const std::string upper = host::UpperCase(shown);
  if (upper == shown) return shown;
  try {
    auto q = module.CreateNewOracleQuery({"N"});
    if (!q) return shown;
    q->SetVariable("N", shown);
    q->SetSQL(LookupSql(kind));
    q->Execute();
    const bool found = !q->Eof() && q->FieldAsInteger(0) > 0;
    return found ? shown : upper;
  } catch (...) {
    return shown;
  }
}

std::vector<std::string> ExactPathLevels(panel::TOracleController& controller) {
  panel::FindDataRequest request;
  catalog::Listing listing{controller, request};
  std::vector<std::string> levels;
  // Only owners and tables (L3 to L5) reach statements; the other levels
  // are compared, and need no look-up.
  for (std::size_t n = 1; n <= controller.PathLevels().size(); ++n)
    levels.push_back(n >= 3 && n <= 5 ? catalog::ExactLevel(listing, n) : controller.GetPathLevel(n));
  return levels;
}

}  // namespace operations
