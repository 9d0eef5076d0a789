// oracle_query.cpp — see oracle_query.h.
//
// OCI8: statement handle, OCIStmtPrepare / OCIBindByName / OCIStmtExecute,
// select list described with OCIParamGet, array defines, OCIStmtFetch in
// batches; LONG columns through a dynamic define whose callback collects the
// pieces.  OCI7: cursor data area, oparse (deferred) / obndra / odescr /
// odefin / oexfet / ofen, LONG values read with oflng in growing chunks.
#include "oracle/oracle_query.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "oracle/client_charset.h"
#include "oracle/oracle_error.h"
#include "oracle/oracle_session.h"
#include "oracle/text_util.h"
#include "oracle/variable_scanner.h"

namespace oracle {
namespace {

// A text column of no known size (an expression): the longest VARCHAR2
// value, in the widest characters.
constexpr std::size_t kUnknownTextWidth = 4000 * kWidestCharacter;
constexpr std::size_t kMinStringWidth = 64;
// The fetch array of one open query (see ChooseBatchSize).
constexpr std::size_t kFetchArrayBytes = TOracleQuery::kFetchArrayBound;
constexpr std::size_t kMaxFetchRows = 1000;
// The first fetch call's array: most queries (counts, records, short lists)
// end within it, and it stays small; a query with more rows gets the full
// array from its second fetch call on.
constexpr std::size_t kFirstFetchBytes = 256 * 1024;
constexpr int kFirstFetchRows = 100;
// Rows the client library reads ahead with the execute itself, so a query
// of a few rows (a count, a record) costs one round trip; the client stops
// at whichever bound comes first.
constexpr oci::ub4 kPrefetchRows = 250;
constexpr oci::ub4 kPrefetchBytes = 1024 * 1024;
constexpr oci::ub4 kAttrPrefetchRows = 11, kAttrPrefetchMemory = 13;
constexpr int kTruncated = 1406;
constexpr std::size_t kOci7LongBuffer = 2000;
constexpr std::size_t kFirstPiece = 64 * 1024;
constexpr oci::sb4 kMaxLongSize = 0x7fffffff;
constexpr oci::sb4 kLongChunks[] = {2000, 4000, 8000, 16000, 32000};

// Internal (server) column types that need their own handling.
constexpr int kNumber = 2, kRaw = 23, kLong = 8, kDate = 12, kLongRaw = 24, kChar = 96, kBinaryFloat = 100,
              kBinaryDouble = 101, kObject = 108, kRef = 111, kRefExternal = 110, kBlob = 113,
              kBfile = 114, kCursor = 116, kCursor7 = 102, kClobType = 112;

// The OCI8 callback that collects a LONG value piece by piece: each call
// first counts the piece OCI wrote last, then offers the rest of a growing
// buffer.
oci::sb4 CollectLongPiece(void* context, oci::OCIDefine*, oci::ub4, void** buffer, oci::ub4** length,
                          oci::ub1* piece, void** indicator, oci::ub2** code) {
  auto* field = static_cast<TFieldData*>(context);
  if (*piece == oci::OCI_ONE_PIECE || *piece == oci::OCI_FIRST_PIECE) {
    field->longUsed = 0;
  } else {
    field->longUsed += field->pieceLength;
  }
  const std::size_t room = std::max(kFirstPiece, field->longUsed);
  field->longValue.resize(field->longUsed + room);
  *buffer = field->longValue.data() + field->longUsed;
  field->pieceLength = static_cast<oci::ub4>(room);
  *length = &field->pieceLength;
  *indicator = &field->longIndicator;
  *code = &field->longCode;
  return oci::OCI_CONTINUE;
}

// True for a statement that cannot begin or end a transaction: a SELECT (or
// WITH) without FOR UPDATE and without a database link (a distributed query
// opens a transaction).  Anything else may, so the session asks the server
// again the next time it needs to know.
bool IsPlainQuery(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isspace(c) || c == '(') {
      ++i;
    } else if (text.compare(i, 2, "--") == 0) {
      i = text.find('\n', i);
      if (i == std::string::npos) return false;
    } else if (text.compare(i, 2, "/*") == 0) {
      i = text.find("*/", i + 2);
      if (i == std::string::npos) return false;
      i += 2;
    } else {
      break;
    }
  }
  std::string upper;  // whitespace runs as one blank, for "FOR  UPDATE" over two lines
  for (char c : UpperCase(std::string_view(text).substr(i))) {
    const bool blank = std::isspace(static_cast<unsigned char>(c)) != 0;
    if (!blank) upper += c;
    else if (upper.empty() || upper.back() != ' ') upper += ' ';
  }
  const bool query = upper.compare(0, 6, "SELECT") == 0 || upper.compare(0, 4, "WITH") == 0;
  return query && upper.find('@') == std::string::npos && upper.find("FOR UPDATE") == std::string::npos;
}

// Rows of the first fetch array: at most kFirstFetchRows, within
// kFirstFetchBytes, at least one.
int FirstFetchRows(const std::vector<std::unique_ptr<TFieldData>>& fields) {
  std::size_t row = 0;
  for (const auto& field : fields)
    if (field->externalType != 0 && !field->IsLong()) row += field->width + sizeof(oci::sb2) + 2 * sizeof(oci::ub2);
  const std::size_t rows = row == 0 ? kFirstFetchRows : kFirstFetchBytes / row;
  return static_cast<int>(std::clamp<std::size_t>(rows, 1, kFirstFetchRows));
}

}  // namespace

// A query is known to its session for its whole life, so that logoff can
// close it and a session going away can tell it.
TOracleQuery::TOracleQuery(TOracleSession* session) : session_(session) {
  if (session_) session_->RegisterQuery(this);
}

TOracleQuery::~TOracleQuery() {
  try {
    Close();
  } catch (...) {
  }
  if (session_) session_->UnregisterQuery(this);
}

void TOracleQuery::SetSession(TOracleSession* session) {
  if (session == session_) return;
  Close();
  if (session_) session_->UnregisterQuery(this);
  session_ = session;
  if (session_) session_->RegisterQuery(this);
}

std::string TOracleQuery::Text() const {
  std::string text;
  for (std::size_t i = 0; i < SQL.size(); ++i) {
    if (i) text += "\r\n";
    text += SQL[i];
  }
  return text;
}

std::string TOracleQuery::TextToParse() const {
  std::string text = Text();
  if (!Variables.HasSubstitution()) return text;
  return SubstituteVariables(text, [this](const std::string& name, std::string& out) {
    const TVariableData* variable = Variables.Find(name);
    if (!variable || variable->Type() != otSubst) return false;
    out = ValueToText(variable->Value());
    return true;
  });
}

std::vector<TVariableData*> TOracleQuery::VariablesToBind(const std::string& text) {
  std::vector<TVariableData*> binds;
  for (const VariableReference& reference : FindVariables(text, false)) {
    TVariableData* variable = Variables.Find(reference.name);
    if (variable && variable->Type() != otSubst) binds.push_back(variable);
  }
  return binds;
}

// Rows per fetch call.  Each fetch call that the client's cache cannot
// answer is a round trip, so a listing fetches as many rows at once as fit
// kFetchArrayBytes of define buffers (values, indicators, lengths, codes),
// at most kMaxFetchRows: a 100,000-row listing of narrow rows takes 100
// round trips, not 4,000.  Wide rows take fewer rows (ten VARCHAR2(4000)
// columns in a 4-byte character set: 52 rows), never fewer than one, so the
// buffers of one open query stay within the bound, or one row when a single
// row is wider.  The first fetch call uses a smaller array (FirstFetchRows).
// A LONG column is read one row at a time, whole.
void TOracleQuery::ChooseBatchSize() {
  for (const auto& field : fields_) {
    if (field->IsLong()) {
      batchRows_ = 1;
      return;
    }
  }
  if (!sizedByWidth_) {
    batchRows_ = readBuffer_;
    return;
  }
  std::size_t row = 0;
  for (const auto& field : fields_)
    if (field->externalType != 0) row += field->width + sizeof(oci::sb2) + 2 * sizeof(oci::ub2);
  const std::size_t rows = row == 0 ? kMaxFetchRows : kFetchArrayBytes / row;
  batchRows_ = static_cast<int>(std::clamp<std::size_t>(rows, 1, kMaxFetchRows));
}

// ---- execute -------------------------------------------------------------------------

void TOracleQuery::Execute() {
  const std::string text = TextToParse();
  if (!session_ || !session_->Connected()) throw std::runtime_error("Not logged on");
  if (BeforeQuery) BeforeQuery(*this);
  Close();
  const std::vector<TVariableData*> binds = VariablesToBind(text);
  for (TVariableData* variable : binds) variable->PrepareBuffer();

  oci8_ = session_->Oci8Mode();
  open_ = true;
  eof_ = true;
  const bool plain = IsPlainQuery(text);
  try {
    if (oci8_) {
      Execute8(text, binds);
    } else {
      Execute7(text, binds);
    }
  } catch (...) {
    if (!plain && session_) session_->NoteTransactionMayChange();
    Close();
    throw;
  }
  if (!plain) session_->NoteTransactionMayChange();
  for (TVariableData* variable : binds) variable->ReadBuffer();
  if (AfterQuery) AfterQuery(*this);
}

void TOracleQuery::Execute8(const std::string& text, const std::vector<TVariableData*>& binds) {
  const oci::OciApi& api = session_->Api();
  oci::OCIError* err = session_->Err();
  if (api.OCIHandleAlloc(session_->Env(), reinterpret_cast<void**>(&stmt_), oci::OCI_HTYPE_STMT, 0, nullptr) !=
          oci::OCI_SUCCESS || !stmt_) {
    stmt_ = nullptr;
    throw EOracleError(0, "Could not allocate an OCI statement handle");
  }
  session_->Check(api.OCIStmtPrepare(stmt_, err, reinterpret_cast<const oci::OraText*>(text.c_str()),
                                     static_cast<oci::ub4>(text.size()), oci::OCI_NTV_SYNTAX, oci::OCI_DEFAULT));
  oci::ub2 statementType = 0;
  session_->Check(api.OCIAttrGet(stmt_, oci::OCI_HTYPE_STMT, &statementType, nullptr, oci::OCI_ATTR_STMT_TYPE, err));
  for (TVariableData* variable : binds) {
    const std::string placeholder = ":" + variable->Name();
    oci::OCIBind* bind = nullptr;
    session_->Check(api.OCIBindByName(stmt_, &bind, err, reinterpret_cast<const oci::OraText*>(placeholder.c_str()),
                                      static_cast<oci::sb4>(placeholder.size()), variable->Buffer(),
                                      variable->BufferSize(), variable->ExternalType(), variable->IndicatorPtr(),
                                      nullptr, nullptr, 0, nullptr, oci::OCI_DEFAULT));
  }
  if (statementType == oci::OCI_STMT_SELECT) {
    // A client that does not know the attributes prefetches its default.
    oci::ub4 prefetchRows = kPrefetchRows, prefetchBytes = kPrefetchBytes;
    if (api.OCIAttrSet) {
      api.OCIAttrSet(stmt_, oci::OCI_HTYPE_STMT, &prefetchRows, 0, kAttrPrefetchRows, err);
      api.OCIAttrSet(stmt_, oci::OCI_HTYPE_STMT, &prefetchBytes, 0, kAttrPrefetchMemory, err);
    }
    session_->Check(api.OCIStmtExecute(session_->SvcCtx(), stmt_, err, 0, 0, nullptr, nullptr, oci::OCI_DEFAULT));
    Describe8();
    ChooseBatchSize();
    batchRows_ = std::min(batchRows_, FirstFetchRows(fields_));
    Define8();
    Fetch();
  } else {
    const oci::ub4 mode = session_->AutoCommit ? 0x20u /* OCI_COMMIT_ON_SUCCESS */ : oci::OCI_DEFAULT;
    session_->Check(api.OCIStmtExecute(session_->SvcCtx(), stmt_, err, 1, 0, nullptr, nullptr, mode));
    eof_ = true;
  }
}

void TOracleQuery::Describe8() {
  const oci::OciApi& api = session_->Api();
  oci::OCIError* err = session_->Err();
  oci::ub4 count = 0;
  session_->Check(api.OCIAttrGet(stmt_, oci::OCI_HTYPE_STMT, &count, nullptr, oci::OCI_ATTR_PARAM_COUNT, err));
  for (oci::ub4 position = 1; position <= count; ++position) {
    void* param = nullptr;
    session_->Check(api.OCIParamGet(stmt_, oci::OCI_HTYPE_STMT, err, &param, position));
    oci::ub2 dataType = 0;
    oci::ub2 dataSize = 0;
    oci::sb2 precision = 0;
    oci::sb1 scale = 0;
    oci::OraText* name = nullptr;
    oci::ub4 nameLength = 0;
    try {
      session_->Check(api.OCIAttrGet(param, oci::OCI_DTYPE_PARAM, &dataType, nullptr, oci::OCI_ATTR_DATA_TYPE, err));
      session_->Check(api.OCIAttrGet(param, oci::OCI_DTYPE_PARAM, &dataSize, nullptr, oci::OCI_ATTR_DATA_SIZE, err));
      session_->Check(api.OCIAttrGet(param, oci::OCI_DTYPE_PARAM, &name, &nameLength, oci::OCI_ATTR_NAME, err));
      session_->Check(api.OCIAttrGet(param, oci::OCI_DTYPE_PARAM, &precision, nullptr, oci::OCI_ATTR_PRECISION, err));
      session_->Check(api.OCIAttrGet(param, oci::OCI_DTYPE_PARAM, &scale, nullptr, oci::OCI_ATTR_SCALE, err));
    } catch (...) {
      api.OCIDescriptorFree(param, oci::OCI_DTYPE_PARAM);
      throw;
    }
    // The length in characters (9i and later); an older client that does
    // not know the attribute leaves it 0 and the byte size counts.
    oci::ub2 charSize = 0;
    if (api.OCIAttrGet(param, oci::OCI_DTYPE_PARAM, &charSize, nullptr, oci::OCI_ATTR_CHAR_SIZE, err) !=
        oci::OCI_SUCCESS)
      charSize = 0;
    auto field = std::make_unique<TFieldData>();
    field->name = name ? std::string(reinterpret_cast<const char*>(name), nameLength) : std::string();
    field->internalType = dataType;
    api.OCIDescriptorFree(param, oci::OCI_DTYPE_PARAM);
    ChooseFieldBuffer(*field, dataSize, precision, scale, charSize);
    fields_.push_back(std::move(field));
  }
}

// How a column is fetched: numbers as integers when they have no fraction
// and fit, else as floats; dates in Oracle's 7-byte form; LONG piecewise;
// object, reference, BLOB, BFILE and cursor columns are not fetched; all
// else as text converted by the server into the client's character set.
void TOracleQuery::ChooseFieldBuffer(TFieldData& field, int dataSize, int precision, int scale, int charSize) {
  // Whole CLOBs are read piecewise like a LONG (the client's LOB data
  // interface), for callers that need every character.
  if (WholeClobs && field.internalType == kClobType) {
    field.type = otLong;
    field.externalType = oci::SQLT_LNG;
    return;
  }
  switch (field.internalType) {
    case kNumber:
      if (precision > 0 && precision <= 9 && scale == 0) {
        field.type = otInteger;
        field.externalType = oci::SQLT_INT;
        field.width = 4;
      } else {
        field.type = otFloat;
        field.externalType = oci::SQLT_FLT;
        field.width = 8;
      }
      return;
    case kBinaryFloat: case kBinaryDouble:
      field.type = otFloat;
      field.externalType = oci::SQLT_FLT;
      field.width = 8;
      return;
    case kDate:
      field.type = otDate;
      field.externalType = oci::SQLT_DAT;
      field.width = 7;
      return;
    case kLong:
      field.type = otLong;
      field.externalType = oci::SQLT_LNG;
      return;

    case kLongRaw:
      field.type = otLongRaw;
      field.externalType = oci::SQLT_LBI;
      return;
    case kObject: case kRef: case kRefExternal: case kBlob: case kBfile: case kCursor: case kCursor7:
      field.type = field.internalType;
      field.externalType = 0;
      return;
    default: {
      field.type = otString;
      field.externalType = oci::SQLT_STR;
      field.width = TextWidth(field.internalType, dataSize, charSize) + 1;
      return;
    }
  }
}

// Bytes a column's text may take in the client's character set: every
// character of its declared length (in characters where the server says,
// else in bytes, each of which may be a character of its own) as wide as
// the widest character of that set.  RAW arrives as two hex digits a byte.
// Never less than a number or date converted to text needs.
std::size_t TOracleQuery::TextWidth(int internalType, int dataSize, int charSize) const {
  std::size_t width = 0;
  if (internalType == kRaw) {
    width = static_cast<std::size_t>(std::max(dataSize, 0)) * 2;
  } else {
    const int characters = charSize > 0 ? charSize : dataSize;
    const int perCharacter = session_ ? session_->ClientCharsetMaxBytes() : kWidestCharacter;
    width = characters > 0 ? static_cast<std::size_t>(characters) * static_cast<std::size_t>(perCharacter)
                           : kUnknownTextWidth;
  }
  return std::max(width, kMinStringWidth);
}

// A value that did not fit its buffer is never handed out shortened: the
// column code 1406 (or an indicator holding the original length) of any row
// of the batch fails the fetch.
void TOracleQuery::CheckTruncation() const {
  for (const auto& field : fields_) {
    if (field->IsLong() || field->externalType == 0) continue;
    for (int row = 0; row < rowsInBatch_; ++row) {
      const std::size_t r = static_cast<std::size_t>(row);
      const bool truncated = (r < field->codes.size() && field->codes[r] == kTruncated) ||
                             (r < field->indicators.size() && (field->indicators[r] > 0 || field->indicators[r] == -2));
      if (truncated)
        throw EOracleError(kTruncated, "ORA-01406: fetched column value was truncated (column " + field->name +
                                           " needs more than " + std::to_string(field->width - 1) + " bytes)");
    }
  }
}

void TOracleQuery::Define8() {
  const oci::OciApi& api = session_->Api();
  oci::OCIError* err = session_->Err();
  const int rows = BatchSize();
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    TFieldData& field = *fields_[i];
    const oci::ub4 position = static_cast<oci::ub4>(i + 1);
    if (field.externalType == 0) continue;
    if (field.IsLong()) {
      session_->Check(api.OCIDefineByPos(stmt_, &field.define, err, position, nullptr, kMaxLongSize,
                                         field.externalType, nullptr, nullptr, nullptr, oci::OCI_DYNAMIC_FETCH));
      session_->Check(api.OCIDefineDynamic(field.define, err, &field, &CollectLongPiece));
      continue;
    }
    field.data.assign(field.width * static_cast<std::size_t>(rows), 0);
    field.indicators.assign(static_cast<std::size_t>(rows), -1);
    field.lengths.assign(static_cast<std::size_t>(rows), 0);
    field.codes.assign(static_cast<std::size_t>(rows), 0);
    session_->Check(api.OCIDefineByPos(stmt_, &field.define, err, position, field.data.data(),
                                       static_cast<oci::sb4>(field.width), field.externalType,
                                       field.indicators.data(), field.lengths.data(), field.codes.data(),
                                       oci::OCI_DEFAULT));
  }
}

void TOracleQuery::Execute7(const std::string& text, const std::vector<TVariableData*>& binds) {
  const oci::OciApi& api = session_->Api();
  cda_ = std::make_unique<oci::CdaDef>();
  std::memset(cda_.get(), 0, sizeof(oci::CdaDef));
  session_->Check7(api.oopen(cda_.get(), session_->Lda(), nullptr, -1, -1, nullptr, -1), *cda_);
  cursorOpen_ = true;
  std::vector<oci::OraText> sql(text.begin(), text.end());
  sql.push_back(0);
  session_->Check7(api.oparse(cda_.get(), sql.data(), -1, oci::kDeferParse, oci::kVersion7), *cda_);
  for (TVariableData* variable : binds) {
    std::vector<oci::OraText> placeholder;
    const std::string name = ":" + variable->Name();
    placeholder.assign(name.begin(), name.end());
    placeholder.push_back(0);
    session_->Check7(api.obndra(cda_.get(), placeholder.data(), -1, static_cast<oci::ub1*>(variable->Buffer()),
                                variable->BufferSize(), variable->ExternalType(), -1, variable->IndicatorPtr(),
                                nullptr, nullptr, 0, nullptr, nullptr, -1, -1),
                     *cda_);
  }
  Describe7();
  ChooseBatchSize();
  if (!fields_.empty()) {
    Define7();
    Fetch();
  } else {
    session_->Check7(api.oexec(cda_.get()), *cda_);
    eof_ = true;
  }
}

void TOracleQuery::Describe7() {
  const oci::OciApi& api = session_->Api();
  for (oci::sword position = 1;; ++position) {
    oci::sb4 dataSize = 0;
    oci::sb2 dataType = 0;
    oci::sb1 name[256] = {};
    oci::sb4 nameLength = sizeof name;
    oci::sb4 displaySize = 0;
    oci::sb2 precision = 0;
    oci::sb2 scale = 0;
    oci::sb2 nullable = 0;
    const oci::sword result = api.odescr(cda_.get(), position, &dataSize, &dataType, name, &nameLength,
                                         &displaySize, &precision, &scale, &nullable);
    if (result != 0 && cda_->rc == oci::ORA_VARIABLE_NOT_IN_SELECT_LIST) break;
    session_->Check7(result, *cda_);
    auto field = std::make_unique<TFieldData>();
    nameLength = std::clamp<oci::sb4>(nameLength, 0, static_cast<oci::sb4>(sizeof name));
    field->name.assign(reinterpret_cast<const char*>(name), static_cast<std::size_t>(nameLength));
    field->internalType = dataType;
    ChooseFieldBuffer(*field, dataSize, precision, scale);
    if (field->IsLong()) field->width = kOci7LongBuffer;
    fields_.push_back(std::move(field));
  }
}

void TOracleQuery::Define7() {
  const oci::OciApi& api = session_->Api();
  const int rows = BatchSize();
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    TFieldData& field = *fields_[i];
    if (field.externalType == 0) continue;
    field.data.assign(field.width * static_cast<std::size_t>(rows), 0);
    field.indicators.assign(static_cast<std::size_t>(rows), -1);
    field.lengths.assign(static_cast<std::size_t>(rows), 0);
    field.codes.assign(static_cast<std::size_t>(rows), 0);
    session_->Check7(api.odefin(cda_.get(), static_cast<oci::sword>(i + 1), field.data.data(),
                                static_cast<oci::sword>(field.width), field.externalType, -1,
                                field.indicators.data(), nullptr, -1, -1, field.lengths.data(),
                                field.codes.data()),
                     *cda_);
  }
}

// ---- fetch ------------------------------------------------------------------------------

void TOracleQuery::Fetch() {
  currentRow_ = 0;
  rowsInBatch_ = 0;
  if (pendingError_) {
    // The rows that came before the error are read: now the error.
    eof_ = true;
    std::rethrow_exception(std::exchange(pendingError_, nullptr));
  }
  if (endOfData_) {
    eof_ = true;
    return;
  }
  try {
    if (oci8_) {
      Fetch8();
    } else {
      Fetch7();
    }
  } catch (...) {
    eof_ = true;  // no row is current after a failed fetch
    throw;
  }
  eof_ = rowsInBatch_ == 0;
}

void TOracleQuery::Fetch8() {
  const oci::OciApi& api = session_->Api();
  oci::OCIError* err = session_->Err();
  for (auto& field : fields_) {
    if (!field->IsLong()) continue;
    field->longValue.clear();
    field->longUsed = 0;
    field->pieceLength = 0;
    field->longIndicator = -1;
  }
  // Past the first call: the full array (see ChooseBatchSize), also when the
  // first call took a single wide row (a LONG keeps one row).
  if (rowCount_ > 0) {
    const int first = batchRows_;
    ChooseBatchSize();
    if (batchRows_ > first) Define8();
  }
  const int batch = BatchSize();
  const oci::ub4 before = rowCount_;
  const oci::sword status = api.OCIStmtFetch(stmt_, err, static_cast<oci::ub4>(batch), oci::OCI_FETCH_NEXT,
                                             oci::OCI_DEFAULT);
  std::exception_ptr failure;
  if (status == oci::OCI_NO_DATA) {
    endOfData_ = true;
  } else {
    try {
      session_->Check(status);
    } catch (const EOracleError&) {
      failure = std::current_exception();
    }
  }
  oci::ub4 after = 0;
  const oci::sword counted =
      api.OCIAttrGet(stmt_, oci::OCI_HTYPE_STMT, &after, nullptr, oci::OCI_ATTR_ROW_COUNT, err);
  if (failure) {
    // A failed call still hands over the rows before the error (the row
    // count says how many): they are read first, as if fetched one by one,
    // and the error comes when the caller moves past them.
    if (counted != oci::OCI_SUCCESS || after <= before) std::rethrow_exception(failure);
    pendingError_ = failure;
    endOfData_ = true;
  } else {
    session_->Check(counted);
  }
  rowCount_ = after;
  // A fetch that did not reach the end filled the whole batch.
  rowsInBatch_ = endOfData_ ? static_cast<int>(std::min<oci::ub4>(after > before ? after - before : 0,
                                                                  static_cast<oci::ub4>(batch)))
                            : batch;
  CheckTruncation();
  for (auto& field : fields_) {
    if (!field->IsLong()) continue;
    field->longUsed += field->pieceLength;
    field->longValue.resize(std::min(field->longUsed, field->longValue.size()));
    field->pieceLength = 0;
  }
}

void TOracleQuery::Fetch7() {
  const oci::OciApi& api = session_->Api();
  const int batch = BatchSize();
  const oci::ub4 before = cda_->rpc;
  // The first batch comes with the execution, the later ones by ofen.
  const oci::sword result = !executed7_ ? api.oexfet(cda_.get(), static_cast<oci::ub4>(batch), 0, 0)
                                : api.ofen(cda_.get(), batch);
  executed7_ = true;
  try {
    session_->Check7(result, *cda_, oci::ORA_NO_DATA_FOUND, 1406);
  } catch (const EOracleError&) {
    // The rows before the error (counted in rpc) are read first.
    if (cda_->rpc <= before) throw;
    pendingError_ = std::current_exception();
    endOfData_ = true;
  }
  if (result != 0 && cda_->rc == oci::ORA_NO_DATA_FOUND) endOfData_ = true;
  rowCount_ = cda_->rpc;
  rowsInBatch_ = static_cast<int>(std::min<oci::ub4>(cda_->rpc > before ? cda_->rpc - before : 0,
                                                     static_cast<oci::ub4>(batch)));
  CheckTruncation();
  if (rowsInBatch_ > 0) ReadLongs7();
}

// OCI7 LONG values: the define holds the first 2000 bytes; oflng reads the
// whole value in chunks of growing size until one comes back short.
void TOracleQuery::ReadLongs7() {
  const oci::OciApi& api = session_->Api();
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    TFieldData& field = *fields_[i];
    if (!field.IsLong()) continue;
    field.longValue.clear();
    field.longIndicator = field.indicators.empty() ? -1 : field.indicators[0];
    if (field.longIndicator == -1) continue;
    std::vector<oci::ub1> chunk;
    oci::sb4 offset = 0;
    for (std::size_t step = 0;; ++step) {
      const oci::sb4 size = kLongChunks[std::min(step, std::size(kLongChunks) - 1)];
      chunk.assign(static_cast<std::size_t>(size), 0);
      oci::ub4 returned = 0;
      session_->Check7(api.oflng(cda_.get(), static_cast<oci::sword>(i + 1), chunk.data(), size, field.externalType,
                                 &returned, offset),
                       *cda_);
      returned = std::min<oci::ub4>(returned, static_cast<oci::ub4>(size));
      field.longValue.append(reinterpret_cast<const char*>(chunk.data()), returned);
      offset += static_cast<oci::sb4>(returned);
      if (returned < static_cast<oci::ub4>(size)) break;
    }
  }
}

void TOracleQuery::Next() {
  if (eof_) return;
  ++currentRow_;
  if (currentRow_ < rowsInBatch_) return;
  Fetch();
}

void TOracleQuery::Close() {
  if (!open_) return;
  open_ = false;
  eof_ = true;
  const bool live = session_ && session_->Connected();
  if (live) {
    const oci::OciApi& api = session_->Api();
    if (stmt_ && api.OCIHandleFree) api.OCIHandleFree(stmt_, oci::OCI_HTYPE_STMT);
    if (cursorOpen_ && api.oclose) api.oclose(cda_.get());
  }
  stmt_ = nullptr;
  cursorOpen_ = false;
  executed7_ = false;
  cda_.reset();
  fields_.clear();
  rowsInBatch_ = 0;
  currentRow_ = 0;
  endOfData_ = false;
  pendingError_ = nullptr;
  rowCount_ = 0;
  batchRows_ = 0;
}

std::size_t TOracleQuery::FetchArrayBytes() const {
  std::size_t bytes = 0;
  for (const auto& field : fields_)
    bytes += field->data.size() + field->indicators.size() * sizeof(oci::sb2) +
             (field->lengths.size() + field->codes.size()) * sizeof(oci::ub2);
  return bytes;
}

int TOracleQuery::RowsProcessed() {
  if (!session_ || !session_->Connected() || !open_) return 0;
  if (oci8_) {
    oci::ub4 count = 0;
    if (!stmt_) return 0;
    session_->Check(session_->Api().OCIAttrGet(stmt_, oci::OCI_HTYPE_STMT, &count, nullptr, oci::OCI_ATTR_ROW_COUNT,
                                               session_->Err()));
    return static_cast<int>(count);
  }
  return cda_ ? static_cast<int>(cda_->rpc) : 0;
}

// ---- fields -------------------------------------------------------------------------------

const TFieldData& TOracleQuery::CheckedField(int index) const {
  if (index < 0 || index >= FieldCount()) {
    throw std::runtime_error("Field " + std::to_string(index) + " does not exist");
  }
  return *fields_[static_cast<std::size_t>(index)];
}

int TOracleQuery::IndexOf(const std::string& name) const {
  const int index = FieldIndex(name);
  if (index < 0) throw std::runtime_error("Field " + name + " does not exist");
  return index;
}

std::string TOracleQuery::FieldName(int index) const { return CheckedField(index).name; }

int TOracleQuery::FieldType(int index) const { return CheckedField(index).type; }

int TOracleQuery::FieldIndex(const std::string& name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (EqualsNoCase(fields_[i]->name, name)) return static_cast<int>(i);
  }
  return -1;
}

bool TOracleQuery::FieldIsNull(int index) const {
  const TFieldData& field = CheckedField(index);
  if (eof_) throw std::runtime_error("You cannot access field data beyond Eof");
  if (field.IsLong()) return field.longIndicator == -1;
  if (field.externalType == 0) return true;
  return field.indicators[static_cast<std::size_t>(currentRow_)] == -1;
}

std::string TOracleQuery::RawText(const TFieldData& field) const {
  if (field.IsLong()) return field.longValue;
  const std::size_t row = static_cast<std::size_t>(currentRow_);
  const char* p = reinterpret_cast<const char*>(field.data.data() + row * field.width);
  std::string text(p, strnlen(p, field.width));
  if (field.internalType == kChar && session_ && session_->Preferences.TrimStringFields) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
  }
  return text;
}

TOracleValue TOracleQuery::Field(int index) const {
  const TFieldData& field = CheckedField(index);
  if (FieldIsNull(index)) {
    if (session_ && session_->NullValue == nvUnAssigned) return TUnassigned{};
    return TNull{};
  }
  const std::size_t row = static_cast<std::size_t>(currentRow_);
  const unsigned char* p = field.data.data() + row * field.width;
  switch (field.type) {
    case otInteger: {
      std::int32_t v = 0;
      std::memcpy(&v, p, 4);
      return static_cast<std::int64_t>(v);
    }
    case otFloat: {
      double v = 0;
      std::memcpy(&v, p, 8);
      return v;
    }
    case otDate:
      return DecodeOracleDate(p);
    case otString: case otLong: {
      std::string text = RawText(field);
      if (session_ && session_->Preferences.ConvertCRLF && text.find_first_of("\r\n") != std::string::npos)
        text = ToCrLf(text);
      return text;
    }
    case otLongRaw:
      return RawText(field);
    default:
      return TNull{};
  }
}

std::string TOracleQuery::FieldAsString(int index) const {
  const TFieldData& field = CheckedField(index);
  if (FieldIsNull(index)) return "";
  // Text, the common case of every listing, straight from the buffer: one
  // string, converted only when it holds a line break.
  if (field.type == otString) {
    std::string text = RawText(field);
    if (session_ && session_->Preferences.ConvertCRLF && text.find_first_of("\r\n") != std::string::npos)
      return ToCrLf(text);
    return text;
  }
  switch (field.type) {
    case otInteger: case otFloat: case otDate: case otString: case otLong:
      return ValueToText(Field(index));
    default:
      throw std::runtime_error("Cannot convert field " + field.name + " to a String");
  }
}

std::int64_t TOracleQuery::FieldAsInteger(int index) const {
  const TOracleValue value = Field(index);
  if (auto* i = std::get_if<std::int64_t>(&value)) return *i;
  if (auto* d = std::get_if<double>(&value)) return static_cast<std::int64_t>(std::llround(*d));
  if (auto* s = std::get_if<std::string>(&value)) {
    try {
      return std::stoll(Trim(*s));
    } catch (const std::exception&) {
      throw std::runtime_error("Cannot convert field " + CheckedField(index).name + " to an Integer");
    }
  }
  if (IsNullOrUnassigned(value)) return 0;
  throw std::runtime_error("Cannot convert field " + CheckedField(index).name + " to an Integer");
}

double TOracleQuery::FieldAsFloat(int index) const {
  const TOracleValue value = Field(index);
  if (auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&value)) return *d;
  if (auto* s = std::get_if<std::string>(&value)) {
    try {
      return std::stod(Trim(*s));
    } catch (const std::exception&) {
      throw std::runtime_error("Cannot convert field " + CheckedField(index).name + " to a Float");
    }
  }
  if (IsNullOrUnassigned(value)) return 0;
  throw std::runtime_error("Cannot convert field " + CheckedField(index).name + " to a Float");
}

}  // namespace oracle
