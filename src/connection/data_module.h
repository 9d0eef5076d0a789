// data_module.h — TPluginDataModule: a panel's connection to the server.
//
// Each panel owns one data module and so one Oracle session.  After every
// logon the module probes the server once (version texts, which dictionary
// views and columns it has, whether the user may read the DBA views) and
// keeps the answers; every statement of the plugin is then made by its
// query factories, which apply them.
#pragma once

#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"

namespace connection {

enum class ConnectMode { Normal, SysDba, SysOper };

// What the info panel shows about the connection.
struct ConnectionFacts {
  std::string serverName;  // the logon database (alias)
  std::string globalName;
  std::string userName;
  ConnectMode mode = ConnectMode::Normal;
  bool inTransaction = false;
  std::string version;
  std::string compatibility;
  std::string portString;
  std::string banner;
};

// The capability values found by the probes.
struct Capabilities {
  std::string versionText;
  std::string compatibilityText;
  std::string portString;
  std::string globalName;
  std::string tablesView = "ALL_ALL_TABLES";
  std::string lastAnalyzed;
  std::string updatableColumns;
  std::string indexType;
  std::string prefix = "ALL_";
};

class TPluginDataModule {
 public:
  TPluginDataModule();
  TPluginDataModule(const TPluginDataModule&) = delete;
  TPluginDataModule& operator=(const TPluginDataModule&) = delete;
  virtual ~TPluginDataModule();

  virtual bool Connected() const;
  // The logon dialog and connect; true when the panel ends up connected.
  virtual bool LogOn();
  // The same; `beforeSessionEnds` runs once the logon dialog was confirmed
  // (see RunLogon).
  bool LogOn(const std::function<bool()>& beforeSessionEnds);
  // Closes the session (rolling back what is open).
  virtual void LogOff();
  virtual ConnectionFacts Facts();

  oracle::TOracleSession& OracleSession() { return *session_; }
  const Capabilities& Caps() const { return caps_; }
  const std::string& Prefix() const { return caps_.prefix; }

  // A new query on this session with the given names declared as string
  // variables; null (after an error box) when it cannot be made.
  std::unique_ptr<oracle::TOracleQuery> CreateNewOracleQuery(const std::vector<std::string>& variables);
  // A catalogue statement with its variables declared (substitutions set
  // from the capability values) and the dictionary prefix applied; null for
  // a number without a statement.  Not executed.
  std::unique_ptr<oracle::TOracleQuery> CreateOracleQueryByKind(int number);

  // Runs the probes when the session is connected (the session's
  // after-logon handler).
  void OracleSessionAfterLogOn();

  // Counting and lookup helpers; errors pass to the caller.
  int CountNestedTables();
  int CountObjectTables();
  int CountObjectTypes();
  int CountCollectionTypes();
  int CountVarrayTypes();
  int CountIndexTypes();
  // A count's statement and binds, for callers that run several counts in
  // one statement (the names already follow the rule for names).
  struct CountStatement {
    std::string sql;
    std::vector<std::pair<std::string, std::string>> binds;
  };
  CountStatement SynonymsForCount(const std::string& owner, const std::string& name);
  CountStatement ErrorsOfCount(const std::string& owner, const std::string& name, const std::string& type);
  CountStatement DependenciesOfCount(const std::string& owner, const std::string& name, const std::string& type);
  int CountSynonymsFor(const std::string& owner, const std::string& name);
  int CountGrantsOn(const std::string& owner, const std::string& name);
  int CountErrorsOf(const std::string& owner, const std::string& name, const std::string& type);
  int CountDependenciesOf(const std::string& owner, const std::string& name, const std::string& type);
  bool IsLobColumn(const std::string& owner, const std::string& table, const std::string& column);
  std::string GetComment(const std::string& owner, const std::string& name, const std::string& column = "");
  struct SynonymTarget {
    std::string objectType, tableName, tableOwner;
  };
  SynonymTarget ResolveSynonym(const std::string& owner, const std::string& synonym);
  bool UserTableExists(const std::string& name);

 private:
  // Runs a COUNT(*) statement with its binds (reduced to upper-case names);
  // 0 when it returns no row.
  int CountQuery(const std::string& sql, const std::vector<std::pair<std::string, std::string>>& binds);

  std::unique_ptr<oracle::TOracleSession> session_;
  Capabilities caps_;
};

}  // namespace connection
