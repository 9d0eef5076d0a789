// oci_link.cpp — OCI calls of the SQL*Plus stand-in. Every column is
// defined as text (SQLT_STR) and converted by the server, the way SQL*Plus
// shows values in their default text forms; LONG and LOB columns get a
// large buffer and are read one row at a time.
#include "oci_link.h"

#include <cstring>

#include "ocisim/oci_api.h"

namespace sqlplus {

struct Connection::Handles {
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
};

namespace {

constexpr int kTextWidth = 4001;
constexpr int kLongWidth = 1 << 20;

// The error on the handle; with `withOffset`, where in the statement's text
// the server found it (an attribute of the error handle).
[[noreturn]] void Fail(OCIError* err, bool withOffset = false) {
  char buf[8192] = {0};
  sb4 code = 0;
  OCIErrorGet(err, 1, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR);
  ub2 offset = 0;
  if (withOffset) OCIAttrGet(err, OCI_HTYPE_ERROR, &offset, nullptr, OCI_ATTR_PARSE_ERROR_OFFSET, nullptr);
  std::string text = buf;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "ORA-03113: end-of-file on communication channel";
  throw OraFailure(code, text, offset);
}

void Check(sword rc, OCIError* err) {
  if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO && rc != OCI_NO_DATA) Fail(err);
}

class OciStatement : public Statement {
 public:
  bool CompiledWithErrors() const override { return compileErrors_; }
  OciStatement(OCIEnv* env, OCISvcCtx* svc, OCIError* err, const std::string& text) : err_(err) {
    Check(OCIHandleAlloc(env, reinterpret_cast<void**>(&stmt_), OCI_HTYPE_STMT, 0, nullptr), err);
    sword rc = OCIStmtPrepare(stmt_, err, reinterpret_cast<const OraText*>(text.data()),
                              static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
    if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO) FailHere();
    ub2 type = 0;
    OCIAttrGet(stmt_, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, err);
    query_ = type == OCI_STMT_SELECT;
    rc = OCIStmtExecute(svc, stmt_, err, query_ ? 0 : 1, 0, nullptr, nullptr, OCI_DEFAULT);
    if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO && rc != OCI_NO_DATA) FailHere();
    if (rc == OCI_SUCCESS_WITH_INFO) {
      // ORA-24344: the unit was stored, but did not compile.
      sb4 code = 0;
      char text[512] = {0};
      OCIErrorGet(err, 1, nullptr, &code, reinterpret_cast<OraText*>(text), sizeof text, OCI_HTYPE_ERROR);
      compileErrors_ = code == 24344;
    }
    ub4 rows = 0;
    OCIAttrGet(stmt_, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, err);
    rowCount_ = static_cast<int>(rows);
    if (query_) Describe();
  }
  ~OciStatement() override {
    if (stmt_) OCIHandleFree(stmt_, OCI_HTYPE_STMT);
  }
  bool IsQuery() const override { return query_; }
  int RowCount() const override { return rowCount_; }
  const std::vector<ResultColumn>& Columns() const override { return columns_; }

  bool Next(std::vector<std::string>& row, std::vector<bool>& nulls) override {
    if (done_) return false;
    sword rc = OCIStmtFetch(stmt_, err_, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
    if (rc == OCI_NO_DATA) {
      done_ = true;
      return false;
    }
    if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO) FailHere();
    row.resize(columns_.size());
    nulls.resize(columns_.size());
    for (size_t i = 0; i < columns_.size(); ++i) {
      nulls[i] = indicators_[i] == -1;
      row[i] = nulls[i] ? std::string() : std::string(buffers_[i].data(), lengths_[i]);
    }
    return true;
  }

 private:
  [[noreturn]] void FailHere() { Fail(err_, true); }
  void Describe() {
    ub4 count = 0;
    Check(OCIAttrGet(stmt_, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, err_), err_);
    columns_.resize(count);
    buffers_.resize(count);
    indicators_.assign(count, 0);
    lengths_.assign(count, 0);
    codes_.assign(count, 0);
    defines_.assign(count, nullptr);
    for (ub4 i = 0; i < count; ++i) {
      void* param = nullptr;
      Check(OCIParamGet(stmt_, OCI_HTYPE_STMT, err_, &param, i + 1), err_);
      char* name = nullptr;
      ub4 nameLen = 0;
      ub2 type = 0, size = 0;
      OCIAttrGet(param, OCI_DTYPE_PARAM, &name, &nameLen, OCI_ATTR_NAME, err_);
      OCIAttrGet(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, err_);
      OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, err_);
      ResultColumn& c = columns_[i];
      c.name.assign(name ? name : "", nameLen);
      c.size = size;
      switch (type) {
        case SQLT_NUM: case SQLT_INT: case SQLT_FLT: c.kind = ColumnKind::Number; break;
        case SQLT_DAT: c.kind = ColumnKind::Date; break;
        case SQLT_LNG: case SQLT_CLOB: c.kind = ColumnKind::Long; break;
        case SQLT_CHR: case SQLT_AFC: case SQLT_AVC: case SQLT_BIN: case SQLT_RID: c.kind = ColumnKind::Text; break;
        default: c.kind = ColumnKind::Other; break;
      }
      if (type == SQLT_BIN) c.size = size * 2;
      const int width = c.kind == ColumnKind::Long ? kLongWidth : kTextWidth;
      buffers_[i].assign(static_cast<size_t>(width), '\0');
      Check(OCIDefineByPos(stmt_, &defines_[i], err_, i + 1, buffers_[i].data(), width, SQLT_STR, &indicators_[i],
                           &lengths_[i], &codes_[i], OCI_DEFAULT),
            err_);
    }
  }

  OCIError* err_;
  OCIStmt* stmt_ = nullptr;
  bool query_ = false;
  bool compileErrors_ = false;
  bool done_ = false;
  int rowCount_ = 0;
  std::vector<ResultColumn> columns_;
  std::vector<std::vector<char>> buffers_;
  std::vector<sb2> indicators_;
  std::vector<ub2> lengths_;
  std::vector<ub2> codes_;
  std::vector<OCIDefine*> defines_;
};

}  // namespace

Connection::Connection() : h_(std::make_unique<Handles>()) {
  OCIEnvCreate(&h_->env, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
  OCIHandleAlloc(h_->env, reinterpret_cast<void**>(&h_->err), OCI_HTYPE_ERROR, 0, nullptr);
}

Connection::~Connection() {
  if (svc_) OCILogoff(static_cast<OCISvcCtx*>(svc_), h_->err);
  if (h_->err) OCIHandleFree(h_->err, OCI_HTYPE_ERROR);
  if (h_->env) OCIHandleFree(h_->env, OCI_HTYPE_ENV);
}

void Connection::Logon(const std::string& user, const std::string& password, const std::string& alias) {
  OCISvcCtx* svc = nullptr;
  sword rc = OCILogon(h_->env, h_->err, &svc, reinterpret_cast<const OraText*>(user.data()),
                      static_cast<ub4>(user.size()), reinterpret_cast<const OraText*>(password.data()),
                      static_cast<ub4>(password.size()), reinterpret_cast<const OraText*>(alias.data()),
                      static_cast<ub4>(alias.size()));
  if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO) Fail(h_->err);
  svc_ = svc;
  user_ = user;
  for (char& ch : user_) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
}

void Connection::Logoff() {
  if (!svc_) return;
  OCISvcCtx* svc = static_cast<OCISvcCtx*>(svc_);
  OCITransCommit(svc, h_->err, OCI_DEFAULT);
  OCILogoff(svc, h_->err);
  svc_ = nullptr;
  user_.clear();
}

std::vector<std::string> Connection::Banner() {
  std::vector<std::string> lines;
  if (!svc_) return lines;
  char buf[2048] = {0};
  if (OCIServerVersion(svc_, h_->err, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_SVCCTX) != OCI_SUCCESS)
    return lines;
  std::string all = buf, line;
  for (char ch : all) {
    if (ch == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (ch != '\r') {
      line += ch;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::unique_ptr<Statement> Connection::Execute(const std::string& text) {
  if (!svc_) throw OraFailure(-1, "SP2-0640: Not connected");
  return std::make_unique<OciStatement>(h_->env, static_cast<OCISvcCtx*>(svc_), h_->err, text);
}

void Connection::Commit() {
  if (svc_) Check(OCITransCommit(static_cast<OCISvcCtx*>(svc_), h_->err, OCI_DEFAULT), h_->err);
}

void Connection::Rollback() {
  if (svc_) Check(OCITransRollback(static_cast<OCISvcCtx*>(svc_), h_->err, OCI_DEFAULT), h_->err);
}

void Connection::EnableOutput(bool on, int size) {
  if (!svc_) return;
  Execute(on ? "BEGIN DBMS_OUTPUT.ENABLE(" + std::to_string(size) + "); END;" : "BEGIN DBMS_OUTPUT.DISABLE; END;");
}

std::vector<std::string> Connection::OutputLines() {
  std::vector<std::string> lines;
  if (!svc_) return lines;
  OCISvcCtx* svc = static_cast<OCISvcCtx*>(svc_);
  OCIStmt* stmt = nullptr;
  OCIHandleAlloc(h_->env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  static const char kGet[] = "BEGIN DBMS_OUTPUT.GET_LINE(:line, :status); END;";
  OCIStmtPrepare(stmt, h_->err, reinterpret_cast<const OraText*>(kGet), sizeof kGet - 1, OCI_NTV_SYNTAX, OCI_DEFAULT);
  std::vector<char> line(32768);
  sb2 lineInd = 0;
  ub2 lineLen = 0;
  int status = 0;
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  OCIBindByName(stmt, &b1, h_->err, reinterpret_cast<const OraText*>(":line"), 5, line.data(),
                static_cast<sb4>(line.size()), SQLT_STR, &lineInd, &lineLen, nullptr, 0, nullptr, OCI_DEFAULT);
  OCIBindByName(stmt, &b2, h_->err, reinterpret_cast<const OraText*>(":status"), 7, &status, sizeof status, SQLT_INT,
                nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
  for (;;) {
    line[0] = '\0';
    if (OCIStmtExecute(svc, stmt, h_->err, 1, 0, nullptr, nullptr, OCI_DEFAULT) != OCI_SUCCESS || status != 0) break;
    lines.push_back(lineInd == -1 ? std::string() : std::string(line.data()));
  }
  OCIHandleFree(stmt, OCI_HTYPE_STMT);
  return lines;
}

}  // namespace sqlplus
