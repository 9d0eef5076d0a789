// The syntax tree of PL/SQL units and anonymous blocks. Nodes keep the token
// index where they start, so errors and the ORA-06512 stack can name lines.
#pragma once

#include "plsql/lexer.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ocisim::plsql {

struct Expr;
struct Stmt;
struct Block;
struct Subprogram;
using ExprP = std::shared_ptr<Expr>;
using StmtP = std::shared_ptr<Stmt>;
using BlockP = std::shared_ptr<Block>;
using SubprogramP = std::shared_ptr<Subprogram>;

// One part of a dotted name, with its call arguments when it has them.
struct NamePart {
  std::string name;
  int tok = 0;
  bool called = false;
  std::vector<ExprP> args;
  std::vector<std::string> argNames;  // "" for positional, else the name of a => argument
};

struct Expr {
  enum Kind { Number, String, Null, Bool, Ref, Bind, Unary, Binary, IsNull, Between, In, Like, Case, Attr };
  Kind kind = Null;
  int tok = 0;
  std::string text;            // literal, operator ("+", "AND", "NOT" ...), bind name, attribute (FOUND ...)
  std::vector<NamePart> ref;   // Ref and Attr (the cursor / SQL)
  std::vector<ExprP> kids;     // operands; Case: [selector?] when/then pairs, else
  bool negated = false;        // IS NOT NULL, NOT BETWEEN, NOT IN, NOT LIKE
  bool hasSelector = false;    // CASE x WHEN ...
  bool hasElse = false;
  int attrTok = -1;            // Attr: the attribute's token
};

// A datatype as written: NUMBER(7,2), EMP.SAL%TYPE, EMP%ROWTYPE, a record type name.
struct TypeSpec {
  std::vector<std::string> name;  // dotted name parts
  int tok = 0;
  std::string attr;               // "", "TYPE", "ROWTYPE"
  int size = 0;                   // VARCHAR2(n): n
  std::string Base() const { return name.empty() ? "" : name.back(); }
};

// A region of embedded SQL: tokens [first, last) without the ';'.
struct SqlText {
  int first = 0, last = 0;
  std::vector<std::vector<NamePart>> into;  // SELECT ... INTO / FETCH ... INTO targets
  int intoFirst = -1, intoLast = -1;        // tokens of the INTO clause, left out when running
  bool bulk = false;
};

struct Param {
  std::string name;
  int tok = 0;
  std::string mode = "IN";  // IN, OUT, IN OUT
  TypeSpec type;
  ExprP deflt;
};

struct Decl {
  enum Kind { Var, Const, Exception, Cursor, Pragma, Type, Sub };
  Kind kind = Var;
  std::string name;
  int tok = 0;
  TypeSpec type;
  ExprP init;
  bool notNull = false;
  // Cursor
  std::vector<Param> params;
  SqlText query;
  bool hasQuery = false;
  // Pragma EXCEPTION_INIT(name, code)
  std::string pragmaName;
  long long pragmaCode = 0;
  // Type: RECORD fields or TABLE OF / VARRAY element
  std::string typeKind;  // RECORD, TABLE, VARRAY, REF CURSOR, OBJECT
  std::vector<Param> fields;
  TypeSpec element;
  SubprogramP sub;
};

struct Handler {
  std::vector<std::pair<std::string, int>> names;  // exception names (OTHERS) and their tokens
  std::vector<StmtP> body;
};

struct Block {
  int tok = 0;  // DECLARE or BEGIN
  std::vector<Decl> decls;
  std::vector<StmtP> body;
  std::vector<Handler> handlers;
  int endTok = 0;
};

struct Stmt {
  enum Kind {
    Null, Assign, If, Case, Loop, While, ForNum, ForCursor, Exit, Return, Raise, Call, Sql, Open, Fetch, Close,
    Commit, Rollback, Savepoint, ExecImm, BlockStmt, Goto, Label
  };
  Kind kind = Null;
  int tok = 0;
  std::string label;
  std::vector<NamePart> target;  // Assign target / Call / Raise name / cursor name
  std::string bindTarget;        // :NEW.X := ... (bind name) or "" ; bindField
  std::string bindField;
  ExprP expr;                    // value, condition, RETURN expr, EXIT WHEN, EXECUTE IMMEDIATE text
  std::vector<ExprP> conds;      // IF / ELSIF conditions, CASE WHEN values
  std::vector<std::vector<StmtP>> branches;  // per cond, then ELSE (if hasElse)
  bool hasElse = false;
  std::vector<StmtP> body;       // loops
  std::string var;               // loop variable
  int varTok = 0;
  ExprP lo, hi;
  bool reverse = false;
  SqlText sql;                   // embedded SQL, cursor FOR over a query
  bool cursorQuery = false;      // FOR r IN (SELECT ...)
  std::string sqlVerb;           // SELECT, INSERT, UPDATE, DELETE, MERGE, LOCK, SET
  std::vector<ExprP> args;       // OPEN c(args), FOR r IN c(args), EXECUTE IMMEDIATE USING
  std::vector<std::vector<NamePart>> into;
  BlockP block;
};

struct Subprogram {
  bool isFunction = false;
  std::string name;
  int tok = 0;      // PROCEDURE / FUNCTION keyword
  int nameTok = 0;
  std::vector<Param> params;
  TypeSpec ret;
  BlockP block;     // null for a declaration only (spec, forward declaration)
};

struct TriggerInfo {
  std::string timing;  // BEFORE, AFTER, INSTEAD OF
  std::vector<std::string> events;  // INSERT, UPDATE, DELETE
  std::vector<std::string> updateColumns;
  std::string tableOwner, table;
  int tableTok = 0;
  bool forEachRow = false;
  std::string newName = "NEW", oldName = "OLD";
  ExprP when;
  int whenTok = -1;
};

// A whole compilation unit as stored (PROCEDURE ..., PACKAGE BODY ...) or an
// anonymous block.
struct Unit {
  std::string type;   // PROCEDURE, FUNCTION, PACKAGE, PACKAGE BODY, TRIGGER, ANONYMOUS
  std::string name;
  std::vector<Token> toks;
  SubprogramP sub;             // PROCEDURE/FUNCTION
  std::vector<Decl> decls;     // PACKAGE / PACKAGE BODY
  BlockP init;                 // PACKAGE BODY initialisation, TRIGGER and anonymous block
  TriggerInfo trigger;
};

}  // namespace ocisim::plsql
