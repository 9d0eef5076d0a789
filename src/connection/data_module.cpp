// data_module.cpp — probes after logon, the query factory and the counting
// helpers of a panel's connection.
#include "connection/data_module.h"

#include <functional>

#include "connection/exact_names.h"
#include "connection/logon.h"
#include "connection/statement_catalogue.h"
#include "host/messages.h"
#include "host/text_utils.h"

namespace connection {
namespace {

// Runs one probe; any error leaves the fallback the probe has already set.
void Probe(const std::function<void()>& body) {
  try {
    body();
  } catch (...) {
  }
}

bool HasColumn(const oracle::TOracleQuery& q, const std::string& name) {
  return q.FieldIndex(name) >= 0;
}

// Replaces the first "ALL_" (any case) of a view name by the prefix.
std::string ApplyPrefixToView(const std::string& view, const std::string& prefix) {
  std::string upper = host::UpperCase(view);
  std::size_t p = upper.find("ALL_");
  if (p == std::string::npos) return view;
  return view.substr(0, p) + prefix + view.substr(p + 4);
}

using Binds = std::vector<std::pair<std::string, std::string>>;

// The owner is a user; the object is looked up within that owner.
std::string ExactOwner(TPluginDataModule& module, const std::string& owner) {
  return ExactName(module, owner, UserLookup());
}

Binds OwnerAndName(TPluginDataModule& module, const std::string& owner, const std::string& name) {
  const std::string o = ExactOwner(module, owner);
  return {{"OWNER", o}, {"NAME", ExactKey(module, name, ObjectLookup(o))}};
}

Binds OwnerNameType(TPluginDataModule& module, const std::string& owner, const std::string& name,
                    const std::string& type) {
  Binds binds = OwnerAndName(module, owner, name);
  binds.emplace_back("TYPE", host::StripExtensionUpper(type));
  return binds;
}

}  // namespace

TPluginDataModule::TPluginDataModule() : session_(std::make_unique<oracle::TOracleSession>()) {
  session_->AfterLogOn = [this](oracle::TOracleSession&) { OracleSessionAfterLogOn(); };
}

TPluginDataModule::~TPluginDataModule() {
  try {
    if (session_->Connected()) session_->LogOff();
  } catch (...) {
  }
}

bool TPluginDataModule::Connected() const { return session_->Connected(); }

bool TPluginDataModule::LogOn() { return RunLogon(*this); }
bool TPluginDataModule::LogOn(const std::function<bool()>& beforeSessionEnds) {
  return RunLogon(*this, beforeSessionEnds);
}

void TPluginDataModule::LogOff() { session_->LogOff(); }

ConnectionFacts TPluginDataModule::Facts() {
  ConnectionFacts f;
  f.serverName = session_->LogonDatabase;
  f.globalName = caps_.globalName;
  f.userName = session_->LogonUsername;
  f.mode = session_->ConnectAs == oracle::caSYSDBA    ? ConnectMode::SysDba
           : session_->ConnectAs == oracle::caSYSOPER ? ConnectMode::SysOper
                                                      : ConnectMode::Normal;
  f.version = caps_.versionText;
  f.compatibility = caps_.compatibilityText;
  f.portString = caps_.portString;
  if (session_->Connected()) {
    // The host asks on every redraw: the session answers both from what it
    // knows and asks the server only after something may have changed them
    // (a statement that is not a plain query, commit, rollback, a new logon).
    try {
      f.inTransaction = session_->InTransaction();
    } catch (...) {
    }
    try {
      f.banner = session_->ServerVersionText();
    } catch (...) {
    }
  }
  return f;
}

std::unique_ptr<oracle::TOracleQuery> TPluginDataModule::CreateNewOracleQuery(
    const std::vector<std::string>& variables) {
  try {
    auto q = std::make_unique<oracle::TOracleQuery>(session_.get());
    q->ThreadSynchronized = true;
    for (const std::string& name : variables)
      if (!name.empty()) q->DeclareVariable(name, oracle::otString);
    return q;
  } catch (const std::exception& e) {
    host::ShowErrorMessage(std::string("CreateNewOracleQuery: ") + e.what());
  } catch (...) {
    host::ShowErrorMessage("CreateNewOracleQuery: unknown error");
  }
  return nullptr;
}

std::unique_ptr<oracle::TOracleQuery> TPluginDataModule::CreateOracleQueryByKind(int number) {
  const CatalogueEntry* entry = FindStatement(number);
  if (entry == nullptr) return nullptr;
  std::vector<std::string> strings;
  for (const CatalogueVariable& v : entry->variables)
    if (v.type == VariableType::String) strings.emplace_back(v.name);
  auto q = CreateNewOracleQuery(strings);
  if (!q) return nullptr;
  for (const CatalogueVariable& v : entry->variables) {
    if (v.type != VariableType::Substitution) continue;
    std::string value = v.value == CapabilityValue::IndexTypeFragment ? caps_.indexType
                        : v.value == CapabilityValue::TablesView      ? caps_.tablesView
                        : v.value == CapabilityValue::LastAnalyzedFragment ? caps_.lastAnalyzed
                                                                                : std::string();
    q->DeclareVariable(std::string(v.name), oracle::otSubst);
    q->SetVariable(std::string(v.name), value);
  }
  q->SetSQL(ApplyDictionaryPrefix(std::string(entry->text), caps_.prefix));
  return q;
}

void TPluginDataModule::OracleSessionAfterLogOn() {
  if (!session_->Connected()) return;
  Capabilities c;
  c.versionText = c.compatibilityText = c.portString = c.globalName = "N/A";

  auto query = [this](const std::string& sql, const std::vector<std::string>& vars = {}) {
    auto q = std::make_unique<oracle::TOracleQuery>(session_.get());
    for (const std::string& v : vars) q->DeclareVariable(v, oracle::otString);
    q->SetSQL(sql);
    return q;
  };

  Probe([&] {
    auto q = query("BEGIN DBMS_UTILITY.DB_VERSION (:VERSION, :COMPATIBILITY); END;",
                   {"VERSION", "COMPATIBILITY"});
    q->Execute();
    std::string version = q->GetVariableText("VERSION");
    std::string compatibility = q->GetVariableText("COMPATIBILITY");
    c.versionText = version;
    c.compatibilityText = compatibility;
  });
  Probe([&] {
    auto q = query("SELECT * FROM GLOBAL_NAME");
    q->Execute();
    if (!q->Eof()) c.globalName = q->FieldAsString("GLOBAL_NAME");
  });
  Probe([&] {
    auto q = query("BEGIN :PORT_STRING := DBMS_UTILITY.PORT_STRING; END;", {"PORT_STRING"});
    q->Execute();
    c.portString = q->GetVariableText("PORT_STRING");
  });
  Probe([&] {
    auto q = query("SELECT * FROM ALL_TABLES WHERE TABLE_NAME = 'ALL_TABLES'");
    q->Execute();
    if (HasColumn(*q, "LAST_ANALYZED"))
      c.lastAnalyzed = " DECODE (T.LAST_ANALYZED, NULL, '', ' ANL ' || T.LAST_ANALYZED) ||";
  });
  c.tablesView = "ALL_TABLES";
  Probe([&] {
    auto q = query("SELECT COUNT(*) FROM ALL_ALL_TABLES WHERE TABLE_NAME = 'ALL_TABLES'");
    q->Execute();
    c.tablesView = "ALL_ALL_TABLES";
  });
  c.updatableColumns = "DECODE(U.UPDATABLE, 'NO', NULL, U.UPDATABLE) AS UPD, NULL AS INS, NULL AS DEL ";
  Probe([&] {
    auto q = query("SELECT * FROM ALL_UPDATABLE_COLUMNS");
    q->Execute();
    if (HasColumn(*q, "INSERTABLE"))
      c.updatableColumns =
          "DECODE(U.UPDATABLE, 'NO', NULL, U.UPDATABLE) AS UPD, "
          "DECODE(U.INSERTABLE, 'NO', NULL, U.INSERTABLE) AS INS, "
          "DECODE(U.DELETABLE, 'NO', NULL, U.DELETABLE) AS DEL ";
  });
  c.indexType = "NULL ";
  Probe([&] {
    auto q = query("SELECT * FROM ALL_INDEXES");
    q->Execute();
    if (HasColumn(*q, "INDEX_TYPE")) c.indexType = "I.INDEX_TYPE ";
  });
  c.prefix = "ALL_";
  Probe([&] {
    auto q = query(
        "SELECT COUNT(*) FROM USER_ROLE_PRIVS WHERE USERNAME = USER AND GRANTED_ROLE = "
        "'SELECT_CATALOG_ROLE'");
    q->Execute();
    if (!q->Eof() && q->FieldAsInteger(0) >= 1) c.prefix = "DBA_";
  });
  c.tablesView = ApplyPrefixToView(c.tablesView, c.prefix);
  caps_ = c;
}

int TPluginDataModule::CountQuery(const std::string& sql,
                                  const std::vector<std::pair<std::string, std::string>>& binds) {
  std::vector<std::string> names;
  for (const auto& b : binds) names.push_back(b.first);
  auto q = CreateNewOracleQuery(names);
  if (!q) return 0;
  for (const auto& [name, value] : binds) q->SetVariable(name, value);
  q->SetSQL(sql);
  q->Execute();
  return q->Eof() ? 0 : static_cast<int>(q->FieldAsInteger(0));
}

int TPluginDataModule::CountNestedTables() { return CountQuery("SELECT COUNT(*) FROM ALL_NESTED_TABLES", {}); }
int TPluginDataModule::CountObjectTables() { return CountQuery("SELECT COUNT(*) FROM ALL_OBJECT_TABLES", {}); }
int TPluginDataModule::CountObjectTypes() {
  return CountQuery("SELECT COUNT(*) FROM ALL_TYPES WHERE TYPECODE = 'OBJECT'", {});
}
int TPluginDataModule::CountCollectionTypes() {
  return CountQuery("SELECT COUNT(*) FROM ALL_TYPES WHERE TYPECODE = 'COLLECTION'", {});
}
int TPluginDataModule::CountVarrayTypes() {
  return CountQuery("SELECT COUNT(*) FROM " + Prefix() + "COLL_TYPES WHERE COLL_TYPE = 'VARYING ARRAY'", {});
}
int TPluginDataModule::CountIndexTypes() {
  return CountQuery("SELECT COUNT(*) FROM " + Prefix() + "INDEXTYPES", {});
}
// The helpers' owner, object and column arguments follow the one rule for
// names (exact_names.h); a type word is always upper case.
TPluginDataModule::CountStatement TPluginDataModule::SynonymsForCount(const std::string& owner,
                                                                     const std::string& name) {
  return {"SELECT COUNT(*) FROM ALL_SYNONYMS WHERE TABLE_OWNER = :OWNER AND TABLE_NAME = :NAME",
          OwnerAndName(*this, owner, name)};
}
TPluginDataModule::CountStatement TPluginDataModule::ErrorsOfCount(const std::string& owner, const std::string& name,
                                                                  const std::string& type) {
  return {"SELECT COUNT(*) FROM " + Prefix() + "ERRORS WHERE OWNER = :OWNER AND NAME = :NAME AND TYPE = :TYPE",
          OwnerNameType(*this, owner, name, type)};
}
TPluginDataModule::CountStatement TPluginDataModule::DependenciesOfCount(const std::string& owner,
                                                                        const std::string& name,
                                                                        const std::string& type) {
  return {"SELECT COUNT(*) FROM ALL_DEPENDENCIES WHERE OWNER = :OWNER AND NAME = :NAME AND TYPE = :TYPE",
          OwnerNameType(*this, owner, name, type)};
}
int TPluginDataModule::CountSynonymsFor(const std::string& owner, const std::string& name) {
  const CountStatement c = SynonymsForCount(owner, name);
  return CountQuery(c.sql, c.binds);
}
int TPluginDataModule::CountGrantsOn(const std::string& owner, const std::string& name) {
  return CountQuery("SELECT COUNT(*) FROM ALL_TAB_PRIVS WHERE TABLE_SCHEMA = :OWNER AND TABLE_NAME = :NAME",
                    OwnerAndName(*this, owner, name));
}
int TPluginDataModule::CountErrorsOf(const std::string& owner, const std::string& name, const std::string& type) {
  const CountStatement c = ErrorsOfCount(owner, name, type);
  return CountQuery(c.sql, c.binds);
}
int TPluginDataModule::CountDependenciesOf(const std::string& owner, const std::string& name,
                                           const std::string& type) {
  const CountStatement c = DependenciesOfCount(owner, name, type);
  return CountQuery(c.sql, c.binds);
}
bool TPluginDataModule::IsLobColumn(const std::string& owner, const std::string& table, const std::string& column) {
  const std::string o = ExactOwner(*this, owner), t = ExactKey(*this, table, ObjectLookup(o));
  return CountQuery(
             "SELECT COUNT(*) FROM ALL_LOBS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME AND COLUMN_NAME = "
             ":COLUMN_NAME",
             {{"OWNER", o}, {"NAME", t}, {"COLUMN_NAME", ExactKey(*this, column, ColumnLookup(o, t))}}) > 0;
}

std::string TPluginDataModule::GetComment(const std::string& owner, const std::string& name,
                                          const std::string& column) {
  std::vector<std::string> vars{"OWNER", "NAME"};
  if (!column.empty()) vars.push_back("COLUMN_NAME");
  auto q = CreateNewOracleQuery(vars);
  if (!q) return {};
  const std::string o = ExactOwner(*this, owner), t = ExactKey(*this, name, ObjectLookup(o));
  q->SetVariable("OWNER", o);
  q->SetVariable("NAME", t);
  if (column.empty()) {
    q->SetSQL("SELECT COMMENTS FROM " + Prefix() + "TAB_COMMENTS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME");
  } else {
    q->SetVariable("COLUMN_NAME", ExactKey(*this, column, ColumnLookup(o, t)));
    q->SetSQL("SELECT COMMENTS FROM " + Prefix() +
              "COL_COMMENTS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME AND COLUMN_NAME = :COLUMN_NAME");
  }
  q->Execute();
  return q->Eof() ? std::string() : q->FieldAsString("COMMENTS");
}

TPluginDataModule::SynonymTarget TPluginDataModule::ResolveSynonym(const std::string& owner,
                                                                   const std::string& synonym) {
  auto q = CreateNewOracleQuery({"OWNER", "NAME"});
  if (!q) return {};
  const std::string o = ExactOwner(*this, owner);
  q->SetVariable("OWNER", o);
  q->SetVariable("NAME", ExactKey(*this, synonym, ObjectLookup(o, {"SYNONYM"})));
  q->SetSQL(
      "SELECT S.TABLE_NAME, S.TABLE_OWNER, O.OBJECT_TYPE FROM ALL_SYNONYMS S, ALL_OBJECTS O WHERE S.OWNER = "
      ":OWNER AND S.SYNONYM_NAME = :NAME AND O.OWNER = S.TABLE_OWNER AND O.OBJECT_NAME = S.TABLE_NAME");
  q->Execute();
  if (q->Eof()) return {};
  return {q->FieldAsString("OBJECT_TYPE"), q->FieldAsString("TABLE_NAME"), q->FieldAsString("TABLE_OWNER")};
}

bool TPluginDataModule::UserTableExists(const std::string& name) {
  auto q = CreateNewOracleQuery({"TABLE_NAME"});
  if (!q) return false;
  q->SetVariable("TABLE_NAME", host::UpperCase(host::Trim(name)));
  q->SetSQL("SELECT TABLE_NAME FROM USER_TABLES WHERE TABLE_NAME = :TABLE_NAME");
  q->Execute();
  return !q->Eof();
}

}  // namespace connection
