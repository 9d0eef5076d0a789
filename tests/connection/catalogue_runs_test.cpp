// Every statement of the catalogue, made by the data module as the plugin
// makes it (dictionary prefix, substitution values from the probes), runs on
// the demo database: without an error for a DBA; for SCOTT, without the
// catalog role, only the views reserved to the role may refuse, and only with
// ORA-00942. This keeps the catalogue and the client stand-in in step.
#include <gtest/gtest.h>

#include <map>

#include "connection/data_module.h"
#include "connection/statement_catalogue.h"
#include "connected_panel.h"
#include "oracle/oracle_error.h"

namespace {

// A demo value for each variable name the catalogue binds.
std::string DemoValue(std::string_view name) {
  static const std::map<std::string_view, std::string> values = {
      {"NAME", "EMP"},         {"TYPE", "TABLE"},   {"OBJECTTYPE", "TABLE"}, {"COLUMN_NAME", "EMPNO"},
      {"PACKAGE_NAME", "EMP_PKG"}, {"SID", "1"},    {"SERIAL", "1"},         {"TSNAME", "USERS"},
      {"OBJNAME", "EMP"},      {"OBJECT_NAME", "EMP"}};
  auto it = values.find(name);
  return it == values.end() ? "SCOTT" : it->second;
}

struct Outcome {
  int code = 0;  // Oracle error number, 0 on success
  std::string message;
  bool rows = false;
};

// Statements that take an address in :OWNER need a hex text, as on Oracle.
std::string ValueFor(const connection::CatalogueEntry& entry, std::string_view name) {
  if (name == "OWNER" && entry.text.find("HexToRaw") != std::string_view::npos) return "0A";
  return DemoValue(name);
}

Outcome RunEntry(connection::TPluginDataModule& module, const connection::CatalogueEntry& entry) {
  Outcome out;
  try {
    auto q = module.CreateOracleQueryByKind(entry.number);
    if (!q) return {-1, "no query", false};
    for (const auto& v : entry.variables)
      if (v.type == connection::VariableType::String) q->SetVariable(std::string(v.name), ValueFor(entry, v.name));
    for (std::string_view name : entry.callerDeclared) {
      q->DeclareVariable(std::string(name), static_cast<int>(connection::VariableType::String));
      q->SetVariable(std::string(name), ValueFor(entry, name));
    }
    q->Execute();
    out.rows = !q->Eof();
    while (!q->Eof()) q->Next();
  } catch (const oracle::EOracleError& e) {
    out.code = e.ErrorCode();
    out.message = e.what();
  } catch (const std::exception& e) {
    out.code = -2;
    out.message = e.what();
  }
  return out;
}

class Catalogue : public paneltest::ConnectedPanel {
 protected:
  connection::TPluginDataModule& LogOnModule(const std::string& user, const std::string& password) {
    LogOn(user, password);
    EXPECT_TRUE(module().OracleSession().Connected());
    return module();
  }
};

TEST_F(Catalogue, EveryStatementRunsForADbaAndMostFindRows) {
  auto& dba = LogOnModule("system", "manager");
  int run = 0, withRows = 0;
  for (int n = 0; n < connection::kStatementCount; ++n) {
    const auto* entry = connection::FindStatement(n);
    if (entry == nullptr) continue;
    Outcome o = RunEntry(dba, *entry);
    ++run;
    withRows += o.rows ? 1 : 0;
    EXPECT_EQ(o.code, 0) << "statement " << n << ": " << entry->text << "\n" << o.message;
  }
  EXPECT_GT(run, 250);
  // The demo database is meant to give nearly every listing something to show.
  EXPECT_GT(withRows, run / 2);
}

// ALL_USERS has no PROFILE or DEFAULT_TABLESPACE column on Oracle either, so
// these two fail for users without the catalog role on a real server too.
bool FailsOnOracleWithoutTheRole(int number, int code) {
  return code == 904 && (number == connection::kStmtProfileUsers || number == connection::kStmtTablespaceUsers);
}

TEST_F(Catalogue, WithoutTheCatalogRoleOnlyReservedViewsRefuse) {
  auto& scott = LogOnModule("scott", "tiger");
  ASSERT_EQ(scott.Caps().prefix, "ALL_");
  int refused = 0;
  for (int n = 0; n < connection::kStatementCount; ++n) {
    const auto* entry = connection::FindStatement(n);
    if (entry == nullptr) continue;
    Outcome o = RunEntry(scott, *entry);
    if (o.code == 942) {
      ++refused;
      continue;
    }
    if (FailsOnOracleWithoutTheRole(n, o.code)) continue;
    EXPECT_EQ(o.code, 0) << "statement " << n << ": " << entry->text << "\n" << o.message;
  }
  // V$ views, fixed tables and the DBA_-only views stay closed to SCOTT.
  EXPECT_GT(refused, 30);
}

}  // namespace
