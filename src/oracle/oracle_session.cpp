// oracle_session.cpp — see oracle_session.h.
#include "oracle/oracle_session.h"

#include <cstring>
#include <vector>

#include "oracle/client_charset.h"
#include "oracle/client_library.h"
#include "oracle/dbms_output.h"
#include "oracle/lost_connection.h"
#include "oracle/oracle_query.h"
#include "oracle/text_util.h"
#include "platform/platform.h"

namespace oracle {
namespace {

constexpr std::size_t kErrorTextSize = 4001;
constexpr std::size_t kBannerSize = 501;

// OCI texts end in a line break; the message shows without it.
std::string TrimTrailingBreaks(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

const oci::OraText* Text(const std::string& s) { return reinterpret_cast<const oci::OraText*>(s.c_str()); }

}  // namespace

// ---- banner logic ---------------------------------------------------------------

bool IsOracle7Banner(const std::string& banner) {
  // Only the first line names the server; later lines name PL/SQL and options.
  const std::string first = UpperCase(banner.substr(0, banner.find_first_of("\r\n")));
  if (first.find("ORACLE7") != std::string::npos) return true;
  // "Release 7." but not "Release 17.": the blank before the 7 is part of the match.
  return first.find("RELEASE 7.") != std::string::npos;
}

int BannerMajorVersion(const std::string& banner) {
  const std::string first = UpperCase(banner.substr(0, banner.find_first_of("\r\n")));
  const std::size_t release = first.find("RELEASE ");
  if (release == std::string::npos) return 0;
  int major = 0;
  std::size_t i = release + 8;
  while (i < first.size() && first[i] >= '0' && first[i] <= '9' && major < 1000) {
    major = major * 10 + (first[i] - '0');
    ++i;
  }
  return major;
}

std::string CutVersionText(const std::string& text) {
  std::size_t end = text.find_first_of("\r\n");
  if (end == std::string::npos) end = text.size();
  for (std::size_t i = 1; i < end; ++i) {
    if (text[i] == '-' && text[i - 1] == ' ') {
      end = i;
      break;
    }
  }
  // The blank before the cut is no part of the version.
  return Trim(text.substr(0, end));
}

// ---- preferences ------------------------------------------------------------------

void TSessionPreferences::SetUseOCI7(bool value) {
  if (value == useOci7_) return;
  if (session_.Connected()) throw std::runtime_error("Cannot change UseOCI7 property when session is connected");
  useOci7_ = value;
}

// ---- session -----------------------------------------------------------------------

TOracleSession::TOracleSession(TOracleClient* client) : client_(client) {}

TOracleSession::~TOracleSession() {
  // The owner of the handlers may already be half gone.
  OnChange = nullptr;
  BeforeLogOn = nullptr;
  AfterLogOn = nullptr;
  try {
    SetConnected(false);
  } catch (...) {
    // A session going away must not throw; the server rolls back on its own.
  }
  for (TOracleQuery* query : queries_) query->SessionGone();
}

TOracleClient& TOracleSession::Client() const { return client_ ? *client_ : OracleClient(); }

const oci::OciApi& TOracleSession::Api() const { return Client().Api(); }

void TOracleSession::SetConnected(bool value) {
  if (value == connected_) return;
  if (value) {
    DoLogOn();
  } else {
    DoLogOff();
  }
}

void TOracleSession::DoLogOn() {
  try {
    if (BeforeLogOn) BeforeLogOn(*this);
    Client().Initialize();
    // A library without the OCI7 calls cannot honour UseOCI7; it still logs on.
    oci8_ = Client().Oci8Mode() && (!Preferences.UseOCI7() || !Client().Groups().oci7Calls);
    oracle7_ = false;
    ldaFromSvcCtx_ = false;
    serverBanner_.clear();
    logonWarning_.clear();
    transactionKnown_ = versionTextKnown_ = false;

    connectString_ = LogonUsername;
    if (!LogonPassword.empty()) connectString_ += "/" + LogonPassword;
    if (!LogonDatabase.empty()) connectString_ += "@" + LogonDatabase;
    const std::size_t slash = connectString_.find('/');
    const std::size_t at = connectString_.find('@');
    LogonUsername = connectString_.substr(0, std::min(slash, at));
    LogonPassword = slash == std::string::npos || (at != std::string::npos && at < slash)
                        ? std::string()
                        : connectString_.substr(slash + 1, at == std::string::npos ? std::string::npos : at - slash - 1);
    LogonDatabase = at == std::string::npos ? std::string() : connectString_.substr(at + 1);

    if (oci8_) {
      LogOn8();
    } else {
      LogOn7();
    }
    clientCharsetMaxBytes_ = ClientCharsetMaxBytesOfLogon();
    connected_ = true;
    try {
      ApplySettings();
    } catch (...) {
      DoLogOff();
      throw;
    }
  } catch (...) {
    Client().RestoreCurrentDirectory();
    try {
      if (AfterLogOn) AfterLogOn(*this);
      if (OnChange) OnChange(*this);
    } catch (...) {
      // The logon failure is what the caller must see.
    }
    throw;
  }
  Client().RestoreCurrentDirectory();
  if (AfterLogOn) AfterLogOn(*this);
  if (OnChange) OnChange(*this);
}

// The widest character of the client's character set: the environment
// knows it in OCI8; an OCI7 client runs with the set NLS_LANG names.  A set
// not known here counts as the widest there is.
int TOracleSession::ClientCharsetMaxBytesOfLogon() {
  int bytes = 0;
  if (env_) {
    oci::ub2 id = 0;
    if (Api().OCIAttrGet(env_, oci::OCI_HTYPE_ENV, &id, nullptr, oci::OCI_ATTR_CHARSET_ID, err_) == oci::OCI_SUCCESS)
      bytes = CharsetMaxBytesById(id);
  } else if (const auto nlsLang = platform::GetEnv("NLS_LANG")) {
    bytes = CharsetMaxBytesByName(CharsetOfNlsLang(*nlsLang));
  }
  return bytes > 0 ? bytes : kWidestCharacter;
}

void TOracleSession::LogOn8() {
  const oci::OciApi& api = Api();
  try {
    if (Client().Groups().oci81Calls) {
      const oci::ub4 mode = (ThreadSafe ? oci::OCI_THREADED : 0) | oci::OCI_OBJECT;
      if (api.OCIEnvCreate(&env_, mode, nullptr, nullptr, nullptr, nullptr, 0, nullptr) != oci::OCI_SUCCESS || !env_) {
        throw EOracleError(0, "Could not create the OCI environment");
      }
    } else if (api.OCIEnvInit(&env_, oci::OCI_DEFAULT, 0, nullptr) != oci::OCI_SUCCESS || !env_) {
      throw EOracleError(0, "Could not create the OCI environment");
    }
    auto alloc = [&](void** handle, oci::ub4 type) {
      if (api.OCIHandleAlloc(env_, handle, type, 0, nullptr) != oci::OCI_SUCCESS || !*handle) {
        throw EOracleError(0, "Could not allocate an OCI handle");
      }
    };
    alloc(reinterpret_cast<void**>(&err_), oci::OCI_HTYPE_ERROR);
    alloc(reinterpret_cast<void**>(&srv_), oci::OCI_HTYPE_SERVER);
    alloc(reinterpret_cast<void**>(&svc_), oci::OCI_HTYPE_SVCCTX);
    alloc(reinterpret_cast<void**>(&ses_), oci::OCI_HTYPE_SESSION);

    Check(api.OCIServerAttach(srv_, err_, Text(LogonDatabase), static_cast<oci::sb4>(LogonDatabase.size()),
                              oci::OCI_DEFAULT));
    attached_ = true;
    Check(api.OCIAttrSet(svc_, oci::OCI_HTYPE_SVCCTX, srv_, 0, oci::OCI_ATTR_SERVER, err_));

    const oci::ub4 mode = ConnectAs == caSYSDBA ? oci::OCI_SYSDBA : ConnectAs == caSYSOPER ? oci::OCI_SYSOPER : oci::OCI_DEFAULT;
    oci::ub4 credentials = oci::OCI_CRED_EXT;
    if (!LogonUsername.empty() || !LogonPassword.empty()) {
      credentials = oci::OCI_CRED_RDBMS;
      Check(api.OCIAttrSet(ses_, oci::OCI_HTYPE_SESSION, const_cast<char*>(LogonUsername.c_str()),
                           static_cast<oci::ub4>(LogonUsername.size()), oci::OCI_ATTR_USERNAME, err_));
      Check(api.OCIAttrSet(ses_, oci::OCI_HTYPE_SESSION, const_cast<char*>(LogonPassword.c_str()),
                           static_cast<oci::ub4>(LogonPassword.size()), oci::OCI_ATTR_PASSWORD, err_));
    }
    const oci::sword status = api.OCISessionBegin(svc_, err_, ses_, credentials, mode);
    lastStatus_ = status;
    if (status != oci::OCI_SUCCESS) {
      EOracleError error = LastError8(status);
      if (error.ErrorCode() != oci::ORA_PASSWORD_WILL_EXPIRE) {
        // A session begun with a warning other than 28002 is still begun.
        if (status == oci::OCI_SUCCESS_WITH_INFO) sessionBegun_ = true;
        throw error;
      }
      logonWarning_ = error.what();
      lastStatus_ = oci::OCI_SUCCESS;
    }
    sessionBegun_ = true;
    Check(api.OCIAttrSet(svc_, oci::OCI_HTYPE_SVCCTX, ses_, 0, oci::OCI_ATTR_SESSION, err_));

    std::vector<oci::OraText> banner(kBannerSize, 0);
    if (api.OCIServerVersion(svc_, err_, banner.data(), static_cast<oci::ub4>(banner.size()),
                             static_cast<oci::ub1>(oci::OCI_HTYPE_SVCCTX)) == oci::OCI_SUCCESS) {
      banner.back() = 0;
      serverBanner_ = reinterpret_cast<const char*>(banner.data());
    }
    // Only a server that says it is Oracle7 is driven through the OCI7
    // calls; every later release keeps OCI8.
    if (IsOracle7Banner(serverBanner_) && Client().Groups().oci7Calls) {
      lda_ = oci::LdaDef{};
      Check(api.OCISvcCtxToLda(svc_, err_, &lda_));
      ldaFromSvcCtx_ = true;
      oracle7_ = true;
      oci8_ = false;
    }
  } catch (...) {
    FreeHandles();
    throw;
  }
}

void TOracleSession::LogOn7() {
  const oci::OciApi& api = Api();
  lda_ = oci::LdaDef{};
  hda_ = std::make_unique<unsigned char[]>(oci::kHdaSize);
  std::memset(hda_.get(), 0, oci::kHdaSize);
  std::vector<oci::OraText> connect(connectString_.begin(), connectString_.end());
  connect.push_back(0);
  oci::sword result;
  if (Client().Groups().oci7Logon) {
    result = api.olog(&lda_, hda_.get(), connect.data(), -1, nullptr, -1, nullptr, -1, 0);
  } else {
    result = api.orlon(&lda_, hda_.get(), connect.data(), -1, nullptr, -1, 0);
  }
  lastStatus_ = result;
  if (result != 0) {
    const int code = lda_.rc;
    EOracleError error = Error7(code);
    if (code != oci::ORA_PASSWORD_WILL_EXPIRE) {
      hda_.reset();
      throw error;
    }
    logonWarning_ = error.what();
    lastStatus_ = 0;
  }
}

void TOracleSession::RunStatement(const std::string& sql) {
  TOracleQuery query(this);
  query.SetSQL(sql);
  query.Execute();
}

void TOracleSession::ApplySettings() {
  // OCI8 commits per execute when AutoCommit is on; OCI7 switches the logon.
  if (AutoCommit && !oci8_) Check7(Api().ocon(&lda_), lda_);
  if (SQLTrace != stUnchanged) {
    RunStatement(std::string("alter session set sql_trace = ") + (SQLTrace == stTrue ? "true" : "false"));
  }
  if (OptimizerGoal != ogUnchanged) {
    static const char* const kGoals[] = {"", "choose", "first_rows", "all_rows", "rule"};
    RunStatement(std::string("alter session set optimizer_goal = ") + kGoals[OptimizerGoal]);
  }
  if (IsolationLevel != ilUnchanged) {
    RunStatement(std::string("alter session set isolation_level = ") +
                 (IsolationLevel == ilReadCommitted ? "read committed" : "serializable"));
  }
}

void TOracleSession::DoLogOff() {
  if (RollbackOnDisconnect) {
    try {
      Rollback();
    } catch (...) {
      // A dropped connection cannot roll back; logging off must go on.
    }
  }
  for (TOracleQuery* query : std::set<TOracleQuery*>(queries_)) {
    try {
      query->Close();
    } catch (...) {
    }
  }
  connected_ = false;
  logonWarning_.clear();
  const oci::OciApi& api = Api();
  if (oci8_ || ldaFromSvcCtx_) {
    if (ldaFromSvcCtx_ && api.OCILdaToSvcCtx) api.OCILdaToSvcCtx(&svc_, err_, &lda_);
    FreeHandles();
  } else {
    if (api.ologof) api.ologof(&lda_);
    hda_.reset();
  }
  oracle7_ = false;
  ldaFromSvcCtx_ = false;
  if (OnChange) OnChange(*this);
}

void TOracleSession::FreeHandles() {
  const oci::OciApi& api = Api();
  if (sessionBegun_ && api.OCISessionEnd) api.OCISessionEnd(svc_, err_, ses_, oci::OCI_DEFAULT);
  if (attached_ && api.OCIServerDetach) api.OCIServerDetach(srv_, err_, oci::OCI_DEFAULT);
  sessionBegun_ = false;
  attached_ = false;
  if (api.OCIHandleFree) {
    if (ses_) api.OCIHandleFree(ses_, oci::OCI_HTYPE_SESSION);
    if (svc_) api.OCIHandleFree(svc_, oci::OCI_HTYPE_SVCCTX);
    if (srv_) api.OCIHandleFree(srv_, oci::OCI_HTYPE_SERVER);
    if (err_) api.OCIHandleFree(err_, oci::OCI_HTYPE_ERROR);
    if (env_) api.OCIHandleFree(env_, oci::OCI_HTYPE_ENV);
  }
  ses_ = nullptr;
  svc_ = nullptr;
  srv_ = nullptr;
  err_ = nullptr;
  env_ = nullptr;
}

// ---- errors -----------------------------------------------------------------------------

EOracleError TOracleSession::LastError8(oci::sword status) {
  if (status == oci::OCI_INVALID_HANDLE || !err_) return EOracleError(0, "OCI_INVALID_HANDLE");
  std::vector<oci::OraText> buffer(kErrorTextSize, 0);
  oci::sb4 code = 0;
  if (Api().OCIErrorGet(err_, 1, nullptr, &code, buffer.data(), static_cast<oci::ub4>(buffer.size()),
                        oci::OCI_HTYPE_ERROR) != oci::OCI_SUCCESS) {
    return EOracleError(0, "OCI call failed with status " + std::to_string(status));
  }
  buffer.back() = 0;
  EOracleError error(code, TrimTrailingBreaks(reinterpret_cast<const char*>(buffer.data())));
  // The parse position, read without an error handle of its own so the
  // record just read is left alone; 0 is what a non-parse error leaves.
  oci::ub2 offset = 0;
  if (Api().OCIAttrGet && Api().OCIAttrGet(err_, oci::OCI_HTYPE_ERROR, &offset, nullptr,
                                           oci::OCI_ATTR_PARSE_ERROR_OFFSET, nullptr) == oci::OCI_SUCCESS &&
      offset > 0)
    error.SetParseOffset(offset);
  return error;
}

EOracleError TOracleSession::Error7(int code) {
  std::vector<oci::OraText> buffer(kErrorTextSize, 0);
  if (Api().oerhms) Api().oerhms(&lda_, static_cast<oci::sb2>(code), buffer.data(), static_cast<oci::sword>(buffer.size()));
  buffer.back() = 0;
  std::string text = TrimTrailingBreaks(reinterpret_cast<const char*>(buffer.data()));
  if (text.empty()) text = "ORA-" + std::to_string(code);
  return EOracleError(code, text);
}

void TOracleSession::Check(oci::sword status) {
  lastStatus_ = status;
  if (status == oci::OCI_SUCCESS || status == oci::OCI_SUCCESS_WITH_INFO) return;
  EOracleError error = LastError8(status);
  NoteIfConnectionLost(error.ErrorCode());
  throw error;
}

void TOracleSession::Check7(oci::sword result, const oci::CdaDef& cda, int accepted, int accepted2) {
  lastStatus_ = result;
  if (result == 0) return;
  const int code = cda.rc;
  if (code != 0 && (code == accepted || code == accepted2)) return;
  NoteIfConnectionLost(code);
  throw Error7(code != 0 ? code : -result);
}

// The server rolls back the transaction of a session whose connection is
// gone, so whatever was known of it before no longer holds: any statement
// (a plain query too) that meets the loss ends the transaction.
void TOracleSession::NoteIfConnectionLost(int code) {
  if (!IsLostConnection(code)) return;
  inTransaction_ = false;
  transactionKnown_ = true;
}

int TOracleSession::ErrorCode() {
  if (!connected_ && !env_) return 0;
  if (oci8_) return lastStatus_ == 0 ? 0 : LastError8(lastStatus_).ErrorCode();
  return lda_.rc;
}

std::string TOracleSession::ErrorText() {
  if (oci8_) return lastStatus_ == 0 ? "" : LastError8(lastStatus_).what();
  return lda_.rc == 0 ? "" : Error7(lda_.rc).what();
}

// ---- transactions and server information --------------------------------------------

void TOracleSession::Commit() {
  if (!connected_) return;
  transactionKnown_ = false;
  if (oci8_) {
    Check(Api().OCITransCommit(svc_, err_, oci::OCI_DEFAULT));
  } else {
    Check7(Api().ocom(&lda_), lda_);
  }
}

void TOracleSession::Rollback() {
  if (!connected_) return;
  transactionKnown_ = false;
  if (oci8_) {
    Check(Api().OCITransRollback(svc_, err_, oci::OCI_DEFAULT));
  } else {
    Check7(Api().orol(&lda_), lda_);
  }
}

bool TOracleSession::InTransaction() {
  if (!connected_) return false;
  if (transactionKnown_) return inTransaction_;
  TOracleQuery query(this);
  query.SetSQL("begin :id := sys.dbms_transaction.local_transaction_id; end;");
  query.DeclareVariable("id", otString);
  query.Execute();
  inTransaction_ = !query.GetVariableText("id").empty();
  transactionKnown_ = true;  // after the block's own note
  return inTransaction_;
}

std::string TOracleSession::ServerVersionText() {
  if (!connected_) return "";
  if (versionTextKnown_) return versionText_;
  try {
    TOracleQuery query(this);
    query.SetSQL("select * from v$version");
    query.Execute();
    versionText_ = query.Eof() || query.FieldCount() == 0 ? "" : CutVersionText(query.FieldAsString(0));
  } catch (const std::exception&) {
    // Refused (no catalog role): asked again at the next logon, which is
    // when a granted role takes effect.
    versionText_.clear();
  }
  versionTextKnown_ = true;
  return versionText_;
}

TDBMS_Output& TOracleSession::DBMS_Output() {
  if (!output_) output_ = std::make_unique<TDBMS_Output>(*this);
  return *output_;
}

}  // namespace oracle
