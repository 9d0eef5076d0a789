// data_module.h — a panel's connection to the server.
//
// Each panel owns one data module and so one Oracle session.  It answers
// what the info panel shows about the connection.  Logging on arrives with
// the logon dialog; until a session exists the module reports itself as
// not connected and every connection value as empty.
#pragma once

#include <string>

namespace connection {

enum class ConnectMode { Normal, SysDba, SysOper };

struct ConnectionFacts {
  std::string serverName;     // the logon database (alias)
  std::string globalName;
  std::string userName;
  ConnectMode mode = ConnectMode::Normal;
  bool inTransaction = false;
  std::string version;
  std::string compatibility;
  std::string portString;
  std::string banner;
};

class TPluginDataModule {
 public:
  TPluginDataModule() = default;
  TPluginDataModule(const TPluginDataModule&) = delete;
  TPluginDataModule& operator=(const TPluginDataModule&) = delete;
  virtual ~TPluginDataModule() = default;

  virtual bool Connected() const { return false; }
  // Runs the logon; true when the panel ends up connected.
  virtual bool LogOn() { return Connected(); }
  // Connection values for the info panel (asks the server where needed).
  virtual ConnectionFacts Facts() { return {}; }
};

}  // namespace connection
