// exact_names.cpp — see exact_names.h.
#include "connection/exact_names.h"

#include "connection/data_module.h"
#include "host/text_utils.h"

namespace connection {
namespace {

enum class Found { Yes, No, Unknown };

Found Exists(TPluginDataModule& module, const std::string& name, const NameLookup& lookup) {
  std::vector<std::string> names;
  for (const auto& [variable, value] : lookup.binds) names.push_back(variable);
  names.push_back("N");
  Found result = Found::Unknown;
  std::size_t start = 0;
  while (start < lookup.sql.size()) {
    std::size_t end = lookup.sql.find('\n', start);
    if (end == std::string::npos) end = lookup.sql.size();
    try {
      auto q = module.CreateNewOracleQuery(names);
      if (!q) return Found::Unknown;
      for (const auto& [variable, value] : lookup.binds) q->SetVariable(variable, value);
      q->SetVariable("N", name);
      q->SetSQL(lookup.sql.substr(start, end - start));
      q->Execute();
      const bool found = !q->Eof() && q->FieldAsInteger(0) > 0;
      q->Close();
      if (found) return Found::Yes;
      result = Found::No;
    } catch (...) {
      // A view this user may not read: try the next statement.
    }
    start = end + 1;
  }
  return result;
}

// A type word as items carry one after the name: "TABLE", "PACKAGE BODY"
// (in any case: a path may be typed in lower case).
bool IsTypeWord(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' || c == '_')) return false;
  return true;
}

std::string In(const std::vector<std::string>& types) {
  std::string list;
  for (const auto& t : types) list += (list.empty() ? "'" : ", '") + t + "'";
  return list;
}

}  // namespace

NameLookup NameIn(NameKind kind, const std::string& owner, const std::vector<std::string>& types,
                  const std::string& table) {
  switch (kind) {
    case NameKind::Object: {
      std::string sql = "SELECT COUNT(*) FROM ALL_OBJECTS WHERE OBJECT_NAME = :N";
      if (!types.empty()) sql += " AND OBJECT_TYPE IN (" + In(types) + ")";
      if (owner.empty()) return {sql, {}};
      return {sql + " AND OWNER = :OWNER", {{"OWNER", owner}}};
    }
    case NameKind::User: return {"SELECT COUNT(*) FROM ALL_USERS WHERE USERNAME = :N", {}};
    // Roles, profiles, groups and tablespaces are read from the DBA views
    // when the user may; otherwise from what the user's own views show.
    case NameKind::Role:
      return {"SELECT COUNT(*) FROM DBA_ROLES WHERE ROLE = :N\n"
              "SELECT COUNT(*) FROM USER_ROLE_PRIVS WHERE GRANTED_ROLE = :N",
              {}};
    case NameKind::Profile: return {"SELECT COUNT(*) FROM DBA_PROFILES WHERE PROFILE = :N", {}};
    case NameKind::Tablespace:
      return {"SELECT COUNT(*) FROM DBA_TABLESPACES WHERE TABLESPACE_NAME = :N\n"
              "SELECT COUNT(*) FROM USER_TABLESPACES WHERE TABLESPACE_NAME = :N",
              {}};
    case NameKind::ConsumerGroup:
      return {"SELECT COUNT(*) FROM DBA_RSRC_CONSUMER_GROUPS WHERE CONSUMER_GROUP = :N", {}};
    case NameKind::RollbackSegment: return {"SELECT COUNT(*) FROM DBA_ROLLBACK_SEGS WHERE SEGMENT_NAME = :N", {}};
    case NameKind::Column:
      if (owner.empty() || table.empty()) return {"SELECT COUNT(*) FROM ALL_TAB_COLUMNS WHERE COLUMN_NAME = :N", {}};
      return {"SELECT COUNT(*) FROM ALL_TAB_COLUMNS WHERE OWNER = :OWNER AND TABLE_NAME = :TABLE_NAME AND "
              "COLUMN_NAME = :N",
              {{"OWNER", owner}, {"TABLE_NAME", table}}};
    case NameKind::Constraint:
      if (owner.empty()) return {"SELECT COUNT(*) FROM ALL_CONSTRAINTS WHERE CONSTRAINT_NAME = :N", {}};
      return {"SELECT COUNT(*) FROM ALL_CONSTRAINTS WHERE OWNER = :OWNER AND CONSTRAINT_NAME = :N",
              {{"OWNER", owner}}};
    case NameKind::Directory: return {"SELECT COUNT(*) FROM ALL_DIRECTORIES WHERE DIRECTORY_NAME = :N", {}};
    case NameKind::Library: {
      if (owner.empty()) return {"SELECT COUNT(*) FROM ALL_LIBRARIES WHERE LIBRARY_NAME = :N", {}};
      return {"SELECT COUNT(*) FROM ALL_LIBRARIES WHERE OWNER = :OWNER AND LIBRARY_NAME = :N", {{"OWNER", owner}}};
    }
    case NameKind::DatabaseLink: return {"SELECT COUNT(*) FROM ALL_DB_LINKS WHERE DB_LINK = :N", {}};
    case NameKind::Outline: return {"SELECT COUNT(*) FROM DBA_OUTLINES WHERE NAME = :N", {}};
    case NameKind::Context: return {"SELECT COUNT(*) FROM DBA_CONTEXT WHERE NAMESPACE = :N", {}};
  }
  return {"SELECT COUNT(*) FROM ALL_OBJECTS WHERE OBJECT_NAME = :N", {}};
}

NameLookup UserLookup() { return NameIn(NameKind::User); }

NameLookup ObjectLookup(const std::string& owner, const std::vector<std::string>& types) {
  return NameIn(NameKind::Object, owner, types);
}

NameLookup ColumnLookup(const std::string& owner, const std::string& table) {
  return NameIn(NameKind::Column, owner, {}, table);
}

NameLookup ConstraintLookup(const std::string& owner) { return NameIn(NameKind::Constraint, owner); }

std::string ExactName(TPluginDataModule& module, const std::string& written, const NameLookup& lookup) {
  const std::string upper = host::UpperCase(written);
  if (written == upper || !module.Connected()) return upper;
  return Exists(module, written, lookup) == Found::No ? upper : written;
}

std::string ExactName(TPluginDataModule& module, const std::string& written, NameKind kind) {
  return ExactName(module, written, NameIn(kind));
}

std::string ExactKey(TPluginDataModule& module, const std::string& written, const NameLookup& lookup) {
  const std::size_t dot = written.find_last_of(".\\:");
  if (dot == std::string::npos || written[dot] != '.' || !IsTypeWord(written.substr(dot + 1)))
    return ExactName(module, written, lookup);
  const std::string head = written.substr(0, dot);
  const std::string upperHead = host::UpperCase(head);
  if (head == upperHead || !module.Connected()) return upperHead;
  // "Dot.TABLE" may be a name of its own: the whole name first.
  if (written != host::UpperCase(written) && Exists(module, written, lookup) == Found::Yes) return written;
  return Exists(module, head, lookup) == Found::No ? upperHead : head;
}

}  // namespace connection
