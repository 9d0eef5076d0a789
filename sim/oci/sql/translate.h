// Oracle SQL to SQLite SQL for the OCI stand-in.
//
// The engine (the rest of sim/oci) hands every statement text to Translate()
// together with a Catalog that knows the objects of the database and the
// current user. Translate() checks the syntax the way Oracle does (Oracle error
// numbers and texts), resolves object names through the Catalog and returns
// either SQLite SQL (queries and DML) or a parsed structure (DDL, PL/SQL
// blocks, session and transaction control) for the engine to carry out.
// RegisterFunctions() installs, on each SQLite connection, the functions that
// give the translated SQL Oracle's semantics.
//
// Representation of values inside SQLite (the engine stores and binds these):
//  - DATE is TEXT 'YYYY-MM-DD HH:MM:SS' (columns declared DATE). Sorting and
//    MIN/MAX work on it as text. date + n adds n days, date - date gives days.
//    Fetched as a string without an explicit format it reads DD-MON-RR
//    (FormatOracleDate(value, "")).
//  - NUMBER is INTEGER or REAL; VARCHAR2/CHAR/LONG are TEXT; RAW is BLOB.
//  - The empty string is NULL: the literal '' becomes NULL, and the engine must
//    bind an empty string as NULL; the registered functions never return ''.
//  - Text written into a DATE column must be converted as Oracle does
//    (DD-MON-RR): the registered function ora_date_in(value) does that, e.g.
//    from a trigger or by wrapping the values; the translator cannot, as it
//    does not know column types. A literal '01-JAN-81' compared with a column
//    is read as a date when the column holds dates (ora_implicit_date).
//  - SYSDATE comes from the environment variable OCISIM_SYSDATE
//    ('YYYY-MM-DD HH:MM:SS') when set, else from the local clock.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ocisim::sql {

struct Translation;

// An Oracle error: code is the ORA number, what() the full text
// "ORA-00942: table or view does not exist".
struct OraError : std::runtime_error {
  int code;
  // Where in the statement text the parser stopped (bytes), -1 when unknown.
  long offset = -1;
  OraError(int code, const std::string& fullText) : std::runtime_error(fullText), code(code) {}
};

// The standard message text of an ORA number (without the "ORA-nnnnn: " part);
// "%s" placeholders are filled from args in order.
std::string OraMessage(int code, const std::vector<std::string>& args = {});
// OraError with the standard text, e.g. MakeOraError(942).
OraError MakeOraError(int code, const std::vector<std::string>& args = {});
// Maps a SQLite failure (result code and sqlite3_errmsg text) to the Oracle error
// a server would give: "no such column: X" -> ORA-00904 "X": invalid identifier,
// an error raised by one of our functions ("ORA-nnnnn: ...") -> that error,
// UNIQUE constraint -> ORA-00001, NOT NULL -> ORA-01400, busy/locked -> ORA-00054,
// FOREIGN KEY -> ORA-02291, anything else -> ORA-00900 with SQLite's text appended.
OraError OraErrorFromSqlite(int rc, const char* msg);

// What a name in a statement refers to, as the engine resolved it.
struct ResolvedObject {
  std::string sqliteName;  // identifier to put into SQLite SQL, already quoted: "\"SCOTT.EMP\""
  std::string owner;       // Oracle owner, e.g. "SCOTT"
  std::string name;        // Oracle object name, e.g. "EMP"
  std::string kind;        // Oracle OBJECT_TYPE text: "TABLE", "VIEW", "SEQUENCE", "SYNONYM", ...
};

// Implemented by the engine. Names passed in are upper-cased unless they were
// quoted in the statement. Resolve() throws OraError 942 for unknown objects
// (or 2289 is raised by the translator when a NEXTVAL/CURRVAL target is no sequence).
class Catalog {
 public:
  virtual ~Catalog() = default;
  virtual std::string CurrentUser() const = 0;
  virtual ResolvedObject Resolve(const std::optional<std::string>& owner, const std::string& name) const = 0;
  // USER_ID of the current user (for UID).
  virtual long long CurrentUserId() const { return 0; }
};

enum class StmtKind {
  Select,
  Insert,
  Update,
  Delete,
  CreateTable,
  CreateView,
  CreateIndex,
  CreateSequence,
  CreateSynonym,
  CreateProgramUnit,
  AlterCompile,
  Drop,
  Truncate,
  AlterTable,
  Comment,
  Grant,
  Revoke,
  ExplainPlan,
  AlterSession,
  AlterSystemKillSession,
  Commit,
  Rollback,
  PlsqlBlock,
  CreateUser,
  AlterUser,
  CreateRole,
  Disassociate,
};

// The OCI statement type (OCI_ATTR_STMT_TYPE) for a kind: 1 SELECT, 2 UPDATE,
// 3 DELETE, 4 INSERT, 5 CREATE, 6 DROP, 7 ALTER, 8 BEGIN, 0 other.
int OciStatementType(StmtKind kind);

struct SelectColumn {
  std::string name;      // as Oracle names it: alias, or upper-cased expression text
  std::string typeHint;  // "DATE", "NUMBER", "VARCHAR2" when the expression decides
                         // it (SYSDATE, COUNT(*), TO_CHAR...); empty: take the
                         // declared type of the underlying column
  bool star = false;     // stands for the columns of a * or T.* (names come from SQLite)
};

struct ColumnDef {
  std::string name;
  std::string type;  // Oracle type name upper-cased: VARCHAR2, NUMBER, DATE, CHAR, LONG, RAW, CLOB, BLOB, ...
  std::optional<int> length;     // VARCHAR2(n), CHAR(n), RAW(n)
  std::optional<int> precision;  // NUMBER(p[,s])
  std::optional<int> scale;
  bool nullable = true;                // false when NOT NULL (inline or PRIMARY KEY)
  std::optional<std::string> defaultText;  // DEFAULT expression as written
  std::optional<std::string> defaultSqlite;  // the same, translated for SQLite
};

enum class ConstraintKind { PrimaryKey, Unique, ForeignKey, Check, NotNull };

struct ConstraintDef {
  ConstraintKind kind;
  std::optional<std::string> name;  // CONSTRAINT name, when given
  std::vector<std::string> columns;
  // Foreign keys
  std::optional<std::string> refOwner;
  std::string refTable;
  std::vector<std::string> refColumns;  // empty: the referenced table's primary key
  bool onDeleteCascade = false;
  bool onDeleteSetNull = false;
  // Check constraints: condition as written, and translated for SQLite
  std::string checkText;
  std::string checkSqlite;
  bool disabled = false;
};

struct CreateTableInfo {
  std::string owner, name;  // owner: given or the current user
  std::vector<ColumnDef> columns;
  std::vector<ConstraintDef> constraints;
  bool temporary = false;             // CREATE GLOBAL TEMPORARY TABLE
  std::optional<std::string> tablespace;
  bool partitioned = false;           // PARTITION BY ... accepted and recorded
  std::string asSelectSqlite;         // CREATE TABLE ... AS SELECT: translated query
  std::vector<SelectColumn> asSelectColumns;
  std::vector<std::string> asSelectBinds;
};

struct CreateViewInfo {
  std::string owner, name;
  bool orReplace = false;
  bool force = false;
  std::vector<std::string> columnAliases;  // CREATE VIEW v (a, b) AS ...
  std::string text;        // the query as written (ALL_VIEWS.TEXT)
  std::string sqlite;      // the query translated
  std::vector<SelectColumn> columns;
};

struct CreateIndexInfo {
  std::string owner, name;
  std::string tableOwner, table;
  std::string tableSqlite;               // resolved SQLite name of the table
  bool unique = false;
  bool bitmap = false;
  std::vector<std::string> columns;      // column names; for expressions the expression text
  std::vector<std::string> columnsSqlite;  // translated column expressions
  bool functionBased = false;
  std::optional<std::string> tablespace;
};

struct CreateSequenceInfo {
  std::string owner, name;
  long long startWith = 1, incrementBy = 1;
  std::optional<long long> minValue, maxValue;
  bool cycle = false;
  long long cache = 20;
  bool order = false;
};

struct CreateSynonymInfo {
  bool isPublic = false;
  bool orReplace = false;
  std::string owner, name;  // owner "PUBLIC" for public synonyms
  std::string targetOwner, targetName;  // target owner: given or the current user
  std::optional<std::string> dbLink;
};

struct ProgramUnitInfo {
  std::string type;  // PROCEDURE, FUNCTION, PACKAGE, PACKAGE BODY, TRIGGER, TYPE, TYPE BODY
  std::string owner, name;
  bool orReplace = false;
  // Source as ALL_SOURCE holds it: from the unit keyword on ("PROCEDURE x ..."),
  // one entry per line, each ending in '\n' except possibly the last.
  std::vector<std::string> lines;
  // Triggers: the table they fire on.
  std::string triggerTableOwner, triggerTable;
};

struct AlterCompileInfo {
  std::string type;  // PROCEDURE, FUNCTION, PACKAGE, PACKAGE BODY, TRIGGER, VIEW, TYPE, TYPE BODY
  std::string owner, name;
  bool body = false;  // ALTER PACKAGE x COMPILE BODY
};

struct DropInfo {
  std::string type;  // TABLE, VIEW, INDEX, SEQUENCE, SYNONYM, PUBLIC SYNONYM, PROCEDURE, FUNCTION,
                     // PACKAGE, PACKAGE BODY, TRIGGER, TYPE, TYPE BODY, USER, ROLE, ... as written
  std::string owner, name;  // owner: given or current user ("PUBLIC" for PUBLIC SYNONYM)
  bool ownerGiven = false;
  bool cascadeConstraints = false;
  bool cascade = false;  // DROP USER x CASCADE
  bool force = false;
  bool purge = false;
  bool includingContents = false;  // DROP TABLESPACE ... INCLUDING CONTENTS [AND DATAFILES]
  bool includingTables = false;    // DROP CLUSTER ... INCLUDING TABLES
};

struct TruncateInfo {
  std::string owner, name;
  std::string sqliteName;  // empty for a cluster
  bool cluster = false;    // TRUNCATE CLUSTER: owner/name name the cluster
};

struct AlterTableInfo {
  enum class Action { AddColumns, ModifyColumns, DropColumns, SetUnused, DropUnused, AddConstraint,
                      DropConstraint, EnableConstraint, DisableConstraint, RenameTo, RenameColumn, Other };
  std::string owner, name;
  std::string sqliteName;
  Action action = Action::Other;
  std::vector<ColumnDef> columns;       // Add/Modify
  std::vector<std::string> names;       // Drop/SetUnused columns, constraint names, new name ...
  std::vector<ConstraintDef> constraints;  // AddConstraint
  std::string text;                     // the clause as written (for Other)
  bool primaryKey = false;              // DROP PRIMARY KEY
  bool cascade = false;                 // ... CASCADE [CONSTRAINTS]
};

struct CommentInfo {
  bool onColumn = false;
  std::string owner, table, column;
  std::optional<std::string> text;  // nullopt: '' (Oracle stores NULL)
  std::string objectKind;           // TABLE, COLUMN (and the resolved kind of the table)
};

struct GrantInfo {
  std::vector<std::string> privileges;  // SELECT, INSERT, ..., ALL (PRIVILEGES), or system privileges / roles
  bool onObject = false;
  std::string owner, object;            // object grants
  std::vector<std::string> grantees;    // PUBLIC allowed
  bool withGrantOption = false;         // also WITH ADMIN OPTION
};

struct ExplainPlanInfo {
  std::optional<std::string> statementId;
  std::string intoOwner, intoTable;  // default PLAN_TABLE of the current user
  std::string intoSqlite;            // resolved SQLite name of the plan table
  std::string innerText;             // the explained statement as written
  StmtKind innerKind = StmtKind::Select;
  std::vector<ResolvedObject> objects;  // objects the inner statement reads, in order
};

struct AlterSessionInfo {
  std::string parameter;  // upper-cased, e.g. NLS_DATE_FORMAT, CURRENT_SCHEMA
  std::string value;      // literal value (quotes removed) or the identifier
};

struct KillSessionInfo {
  long long sid = 0, serial = 0;
  bool immediate = false;
  bool disconnect = false;  // ALTER SYSTEM DISCONNECT SESSION
};

// DISASSOCIATE STATISTICS FROM <kind>S name [, name ...] [FORCE]
struct DisassociateInfo {
  std::string kind;  // COLUMN, FUNCTION, PACKAGE, TYPE, INDEX, INDEXTYPE (singular)
  struct Target {
    std::string owner, name, column;  // column only for COLUMN
  };
  std::vector<Target> targets;
  bool force = false;
};

// One step of an anonymous PL/SQL block.
struct PlsqlStep {
  enum class Kind {
    PutLine,        // DBMS_OUTPUT.PUT_LINE(expr): exprSqlite evaluates the text (already
                    // converted to text the Oracle way; NULL for an empty line)
    Put,            // DBMS_OUTPUT.PUT(expr)
    NewLine,        // DBMS_OUTPUT.NEW_LINE
    Enable,         // DBMS_OUTPUT.ENABLE[(n)]: number = buffer size (20000 when omitted)
    Disable,        // DBMS_OUTPUT.DISABLE
    GetLine,        // DBMS_OUTPUT.GET_LINE(:line, :status): outBinds = {line, status}
    DbVersion,      // DBMS_UTILITY.DB_VERSION(:v, :c): outBinds = {version, compatibility}
    PortString,     // :x := DBMS_UTILITY.PORT_STRING: outBinds = {x}
    LocalTransactionId,  // :x := DBMS_TRANSACTION.LOCAL_TRANSACTION_ID[(create)]: outBinds = {x}
    JobRemove,      // DBMS_JOB.REMOVE(n): exprSqlite evaluates n
    JobSubmit,      // DBMS_JOB.SUBMIT(:job, what[, next_date[, interval]]): outBinds = {job};
                    // exprSqlite evaluates what, next date and interval joined by char(1)
    SetModule,      // DBMS_APPLICATION_INFO.SET_MODULE(module, action) and SET_ACTION(action):
                    // exprSqlite evaluates module and action joined by char(1); number = 1
                    // when only the action changes
    Dml,            // an INSERT/UPDATE/DELETE: dml holds its translation
    Commit,
    Rollback,
    Null,           // NULL;
    If,             // IF exprSqlite (0/1) THEN body [ELSE elseBody] END IF;
    SelectInto,     // SELECT ... INTO :a, ...: dml is the query, outBinds the targets
    Raise,          // RAISE_APPLICATION_ERROR(number, exprSqlite)
  };
  Kind kind;
  std::string exprSqlite;             // SQLite expression, to run as "SELECT <expr>"
  std::vector<std::string> exprBinds; // binds of exprSqlite, in order
  std::vector<std::string> outBinds;  // bind names the step assigns
  long long number = 0;
  std::shared_ptr<Translation> dml;
  std::shared_ptr<std::vector<PlsqlStep>> body, elseBody;  // If
};

// CREATE USER / ALTER USER / CREATE ROLE: the clauses the stand-in keeps.
struct UserDdlInfo {
  std::string name;
  std::optional<std::string> password;  // IDENTIFIED BY (a role: a password is required)
  bool external = false;                // IDENTIFIED EXTERNALLY
  std::optional<std::string> defaultTablespace, temporaryTablespace, profile;
  std::optional<std::string> accountStatus;  // ACCOUNT LOCK / UNLOCK: "LOCKED" / "OPEN"
  std::vector<std::pair<std::string, long long>> quotas;  // tablespace, bytes (-1 = UNLIMITED)
};

struct Translation {
  StmtKind kind = StmtKind::Select;
  std::string sqlite;                // SQLite SQL for Select/Insert/Update/Delete and
                                     // the inner query of ExplainPlan; empty otherwise
  std::vector<std::string> binds;    // bind names in order of the '?' in sqlite
  std::vector<SelectColumn> columns; // Select: the select list
  std::vector<ResolvedObject> objects;  // objects the statement reads or writes (for privileges)
  std::string targetOwner, targetName;  // Insert/Update/Delete: the table written

  // DDL and other statements: exactly one of these is set, according to kind.
  std::optional<CreateTableInfo> createTable;
  std::optional<CreateViewInfo> createView;
  std::optional<CreateIndexInfo> createIndex;
  std::optional<CreateSequenceInfo> createSequence;
  std::optional<CreateSynonymInfo> createSynonym;
  std::optional<ProgramUnitInfo> programUnit;
  std::optional<AlterCompileInfo> alterCompile;
  std::optional<DropInfo> drop;
  std::optional<TruncateInfo> truncate;
  std::optional<AlterTableInfo> alterTable;
  std::optional<CommentInfo> comment;
  std::optional<GrantInfo> grant;  // Grant and Revoke (grantees are the FROM list)
  std::optional<ExplainPlanInfo> explain;
  std::optional<AlterSessionInfo> alterSession;
  std::optional<KillSessionInfo> killSession;
  std::optional<UserDdlInfo> userDdl;  // CreateUser, AlterUser, CreateRole
  std::optional<DisassociateInfo> disassociate;
  std::vector<PlsqlStep> plsql;
  std::vector<std::string> plsqlLocals;  // a block's declared variables (bound internally)
};

// Translates one statement. A trailing ';' (SQL statements) and a trailing line
// holding only '/' are accepted. Throws OraError.
Translation Translate(std::string_view oracleSql, const Catalog& catalog);

// The select list of a prepared query, one entry per SQLite result column:
// Translation::columns has one entry per select-list item, and a * or T.*
// item stands for several result columns. Expanded columns carry SQLite's
// column name and an empty type hint. Use this, not columns[i], to describe.
std::vector<SelectColumn> ResultColumns(const Translation& t, sqlite3_stmt* stmt);

// Installs the Oracle functions (ora_* and the operator helpers that the
// translated SQL calls) on a connection. Call once per connection.
void RegisterFunctions(sqlite3* db);

// Formats an internal date value ('YYYY-MM-DD HH:MM:SS'; 'YYYY-MM-DD' is taken as midnight) with an
// Oracle format model; an empty format gives the default DD-MON-RR. Throws
// OraError 1821 (date format not recognized) for unsupported models.
std::string FormatOracleDate(std::string_view value, std::string_view format);
// Parses text with an Oracle format model (empty: DD-MON-RR, also accepting
// DD-MON-YYYY and the internal form) into the internal form. Throws OraError
// 1843/1861/1858 like Oracle.
std::string ParseOracleDate(std::string_view text, std::string_view format);
// Oracle's text for a number (TO_CHAR without a format): 0.5 -> ".5", 2.0 -> "2".
std::string FormatOracleNumber(double value);
// True when text is a date in the internal form (exactly 'YYYY-MM-DD HH:MM:SS').
// For result columns without a declared type or type hint (MAX(HIREDATE),
// DECODE of dates ...), a first value of this form means DATE.
bool IsOracleDateValue(std::string_view text);
// The current SYSDATE in internal form (OCISIM_SYSDATE or the local clock).
std::string CurrentSysdate();

}  // namespace ocisim::sql
