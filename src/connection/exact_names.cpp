// exact_names.cpp — see exact_names.h.
#include "connection/exact_names.h"

#include "connection/data_module.h"
#include "host/text_utils.h"

namespace connection {
namespace {

std::string CutExtension(const std::string& text) {
  const std::size_t p = text.find_last_of(".\\:");
  return p != std::string::npos && text[p] == '.' ? text.substr(0, p) : text;
}

bool Exists(TPluginDataModule& module, const std::string& name, const NameLookup& lookup) {
  const std::size_t dot = name.rfind('.');
  const std::string head = dot == std::string::npos ? name : name.substr(0, dot);
  std::vector<std::string> names;
  for (const auto& [variable, value] : lookup.binds) names.push_back(variable);
  const bool withHead = lookup.sql.find(":H") != std::string::npos;
  names.push_back("N");
  if (withHead) names.push_back("H");
  try {
    auto q = module.CreateNewOracleQuery(names);
    if (!q) return true;
    for (const auto& [variable, value] : lookup.binds) q->SetVariable(variable, value);
    q->SetVariable("N", name);
    if (withHead) q->SetVariable("H", head);
    // Several statements may be given one per line: the name exists when
    // any of them counts a row.
    std::size_t start = 0;
    while (start < lookup.sql.size()) {
      std::size_t end = lookup.sql.find('\n', start);
      if (end == std::string::npos) end = lookup.sql.size();
      q->SetSQL(lookup.sql.substr(start, end - start));
      q->Execute();
      const bool found = !q->Eof() && q->FieldAsInteger(0) > 0;
      q->Close();
      if (found) return true;
      start = end + 1;
    }
    return false;
  } catch (...) {
    return true;
  }
}

}  // namespace

NameLookup UserOrObjectLookup() {
  return {"SELECT COUNT(*) FROM ALL_USERS WHERE USERNAME = :N OR USERNAME = :H\n"
          "SELECT COUNT(*) FROM ALL_OBJECTS WHERE OBJECT_NAME = :N OR OBJECT_NAME = :H",
          {}};
}

NameLookup ColumnLookup(const std::string& owner, const std::string& table) {
  return {"SELECT COUNT(*) FROM ALL_TAB_COLUMNS WHERE OWNER = :OWNER AND TABLE_NAME = :TABLE_NAME AND "
          "COLUMN_NAME = :N",
          {{"OWNER", owner}, {"TABLE_NAME", table}}};
}

NameLookup ConstraintLookup(const std::string& owner) {
  return {"SELECT COUNT(*) FROM ALL_CONSTRAINTS WHERE OWNER = :OWNER AND (CONSTRAINT_NAME = :N OR CONSTRAINT_NAME = :H)",
          {{"OWNER", owner}}};
}

std::string ExactName(TPluginDataModule& module, const std::string& written, const NameLookup& lookup) {
  const std::string upper = host::UpperCase(written);
  if (written == upper || !module.Connected()) return upper;
  return Exists(module, written, lookup) ? written : upper;
}

std::string ExactName(TPluginDataModule& module, const std::string& written) {
  return ExactName(module, written, UserOrObjectLookup());
}

std::string ExactKey(TPluginDataModule& module, const std::string& written, const NameLookup& lookup) {
  return ExactName(module, CutExtension(written), lookup);
}

std::string ExactKey(TPluginDataModule& module, const std::string& written) {
  return ExactKey(module, written, UserOrObjectLookup());
}

}  // namespace connection
