// oracle_session.h — one connection to an Oracle database.
//
// TOracleSession logs on through the client library (client_library.h) in
// OCI8 mode (environment, server, service-context and session handles) or in
// OCI7 mode (logon and host data areas), keeps the logon warning, runs the
// after-logon settings, and offers commit, rollback, the transaction check,
// the server version text and the dbms_output channel.  Queries
// (oracle_query.h) run on a session and use its handles and its one error
// path: every failed OCI status becomes one EOracleError here.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "oracle/oci_api.h"
#include "oracle/oracle_error.h"

namespace oracle {

class TOracleClient;
class TOracleQuery;
class TDBMS_Output;
class TOracleSession;

enum TConnectAsOption { caNormal, caSYSDBA, caSYSOPER };
enum TSessionPoolingOption { spNone, spInternal, spMTS };
enum TNullValueOption { nvUnAssigned, nvNull };
enum TSQLTraceOption { stUnchanged, stTrue, stFalse };
enum TOptimizerGoalOption { ogUnchanged, ogChoose, ogFirstRows, ogAllRows, ogRule };
enum TIsolationLevelOption { ilUnchanged, ilReadCommitted, ilSerializable };
enum TBytesPerCharacterOption { bcAutoDetect, bc1Byte, bc2Bytes, bc3Bytes, bc4Bytes };

class TSessionPreferences {
 public:
  explicit TSessionPreferences(TOracleSession& session) : session_(session) {}
  int FloatPrecision = 0;
  int IntegerPrecision = 0;
  int SmallIntPrecision = -1;
  bool ConvertCRLF = true;
  bool TrimStringFields = true;
  int MaxStringFieldSize = 0;
  bool ZeroDateIsNull = true;
  bool NullLOBIsEmpty = false;

  bool UseOCI7() const { return useOci7_; }
  // Throws "Cannot change UseOCI7 property when session is connected".
  void SetUseOCI7(bool value);

 private:
  TOracleSession& session_;
  bool useOci7_ = false;
};

// True when a server banner names an Oracle7 server ("Oracle7 ...",
// "... Release 7.x ...").  Servers of release 8 and later stay in OCI8.
bool IsOracle7Banner(const std::string& banner);
// The major release in a banner ("Release 19.0.0.0.0" -> 19); 0 if none.
int BannerMajorVersion(const std::string& banner);
// The first line of V$VERSION cut before the first CR, LF or " -".
std::string CutVersionText(const std::string& text);

class TOracleSession {
 public:
  using Event = std::function<void(TOracleSession&)>;

  // `client`: the library to use; the process-wide one when null.
  explicit TOracleSession(TOracleClient* client = nullptr);
  ~TOracleSession();
  TOracleSession(const TOracleSession&) = delete;
  TOracleSession& operator=(const TOracleSession&) = delete;

  Event OnChange;
  Event BeforeLogOn;
  Event AfterLogOn;
  bool DesignConnection = true;
  std::string LogonUsername;
  std::string LogonPassword;
  std::string LogonDatabase;
  TConnectAsOption ConnectAs = caNormal;
  bool ThreadSafe = true;
  TSessionPreferences Preferences{*this};
  TSessionPoolingOption Pooling = spNone;
  bool RollbackOnDisconnect = true;
  bool AutoCommit = false;
  TNullValueOption NullValue = nvNull;
  TSQLTraceOption SQLTrace = stUnchanged;
  TOptimizerGoalOption OptimizerGoal = ogUnchanged;
  TIsolationLevelOption IsolationLevel = ilReadCommitted;
  TBytesPerCharacterOption BytesPerCharacter = bcAutoDetect;

  bool Connected() const { return connected_; }
  void SetConnected(bool value);
  void LogOn() { SetConnected(true); }
  void LogOff() { SetConnected(false); }

  // The connect string built from the logon properties at the last logon.
  const std::string& ConnectString() const { return connectString_; }
  // The warning of the last logon (ORA-28002), "" when none.
  const std::string& LogonWarning() const { return logonWarning_; }
  // Banner from OCIServerVersion at logon ("" in OCI7 mode).
  const std::string& ServerBanner() const { return serverBanner_; }
  bool IsOracle7() const { return oracle7_; }
  bool Oci8Mode() const { return oci8_; }
  // The most bytes one character of the client's character set takes (4
  // when the set is not known); text fetch buffers are sized from it.
  int ClientCharsetMaxBytes() const { return clientCharsetMaxBytes_; }

  // Whether the session has an open transaction.  Asked of the server only
  // after a statement that may have begun or ended one (see
  // NoteTransactionMayChange); the host asks for the info panel far more
  // often than anything changes.
  bool InTransaction();
  // The first line of V$VERSION, read once per logon (it cannot change
  // within a session).
  std::string ServerVersionText();
  // Called after every statement that is not a plain query.
  void NoteTransactionMayChange() { transactionKnown_ = false; }
  void Commit();
  void Rollback();
  TDBMS_Output& DBMS_Output();

  // Code and text of the last OCI call's error.
  int ErrorCode();
  std::string ErrorText();

  // ---- for TOracleQuery -------------------------------------------------------
  const oci::OciApi& Api() const;
  oci::OCIEnv* Env() const { return env_; }
  oci::OCIError* Err() const { return err_; }
  oci::OCISvcCtx* SvcCtx() const { return svc_; }
  oci::LdaDef* Lda() { return &lda_; }
  // OCI8: raises EOracleError unless the status is a success.
  void Check(oci::sword status);
  // OCI7: raises EOracleError for a failed call on `cda` (rc other than
  // those in `accepted`, e.g. 1403 at the end of a fetch).
  void Check7(oci::sword result, const oci::CdaDef& cda, int accepted = 0, int accepted2 = 0);
  EOracleError LastError8(oci::sword status);
  EOracleError Error7(int code);
  void RegisterQuery(TOracleQuery* query) { queries_.insert(query); }
  void UnregisterQuery(TOracleQuery* query) { queries_.erase(query); }

 private:
  void DoLogOn();
  void DoLogOff();
  void LogOn8();
  void LogOn7();
  int ClientCharsetMaxBytesOfLogon();
  void ApplySettings();
  void FreeHandles();
  void NoteIfConnectionLost(int oracleErrorCode);
  void RunStatement(const std::string& sql);
  TOracleClient& Client() const;

  TOracleClient* client_;
  bool connected_ = false;
  bool oci8_ = false;
  bool oracle7_ = false;     // Oracle7 server reached through an OCI8 logon
  int clientCharsetMaxBytes_ = 4;
  bool ldaFromSvcCtx_ = false;
  std::string connectString_;
  std::string logonWarning_;
  std::string serverBanner_;
  oci::sword lastStatus_ = 0;
  bool transactionKnown_ = false;
  bool inTransaction_ = false;
  bool versionTextKnown_ = false;
  std::string versionText_;

  oci::OCIEnv* env_ = nullptr;
  oci::OCIError* err_ = nullptr;
  oci::OCIServer* srv_ = nullptr;
  oci::OCISvcCtx* svc_ = nullptr;
  oci::OCISession* ses_ = nullptr;
  bool attached_ = false;
  bool sessionBegun_ = false;
  oci::LdaDef lda_{};
  std::unique_ptr<unsigned char[]> hda_;

  std::set<TOracleQuery*> queries_;
  std::unique_ptr<TDBMS_Output> output_;
};

}  // namespace oracle
