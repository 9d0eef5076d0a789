// The compile step: see compile.h.
#include "compile.h"

#include "plsql/compiler.h"
#include "plsql_dictionary.h"
#include "sqlite_util.h"

#include "dictionary.h"

#include <set>

#include <cctype>

namespace ocisim {
namespace {

struct Token {
  std::string word;  // upper-cased word, or the punctuation character
  int line;
  int position;
};

std::string Expected() {
  return "\n\n   begin case declare end exception exit for goto if loop mod\n"
         "   null pragma raise return select update while with\n"
         "   <an identifier> <a double-quoted delimited-identifier>\n"
         "   <a bind variable> << close current delete fetch lock insert\n"
         "   open rollback savepoint set sql execute commit forall merge\n"
         "   <a single-quoted SQL string> pipe";
}

CompileError Pls103(const Token& at, const std::string& symbol) {
  return {at.line, at.position, "PLS-00103: Encountered the symbol \"" + symbol +
                                    "\" when expecting one of the following:" + Expected()};
}

}  // namespace

std::vector<CompileError> CompileUnit(const std::string& type, const std::vector<std::string>& lines) {
  std::vector<Token> tokens;
  std::vector<CompileError> errors;
  int line = 1, col = 1;
  std::string text;
  for (const auto& l : lines) text += l.empty() || l.back() != '\n' ? l + "\n" : l;
  // A wrapped unit is checked by the server that wrapped it.
  if (text.find(" wrapped") != std::string::npos || text.find(" WRAPPED") != std::string::npos) return errors;
  size_t i = 0;
  auto advance = [&](size_t n) {
    for (size_t k = 0; k < n && i < text.size(); ++k, ++i) {
      if (text[i] == '\n') {
        ++line;
        col = 1;
      } else {
        ++col;
      }
    }
  };
  // Oracle places "end-of-file" at the last token before the end (the final
  // ";"), not after it.
  auto eof = [&]() { return tokens.empty() ? Token{"", 1, 1} : Token{"", tokens.back().line, tokens.back().position}; };
  while (i < text.size()) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      advance(1);
    } else if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
      while (i < text.size() && text[i] != '\n') advance(1);
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      Token start{"/*", line, col};
      size_t e = text.find("*/", i + 2);
      if (e == std::string::npos) {
        advance(text.size() - i);
        errors.push_back(Pls103(eof(), "end-of-file"));
        return errors;
      }
      advance(e + 2 - i);
    } else if (c == '\'' || c == '"') {
      Token start{std::string(1, c), line, col};
      advance(1);
      bool closed = false;
      while (i < text.size()) {
        if (text[i] == c) {
          if (c == '\'' && i + 1 < text.size() && text[i + 1] == '\'') {
            advance(2);
            continue;
          }
          advance(1);
          closed = true;
          break;
        }
        advance(1);
      }
      if (!closed) {
        errors.push_back({start.line, start.position,
                          c == '\'' ? "PLS-00103: Encountered the symbol \"end-of-file\" when expecting one of the "
                                      "following:" + Expected()
                                    : "PLS-00103: Encountered the symbol \"end-of-file\" when expecting one of the "
                                      "following:" + Expected()});
        return errors;
      }
      tokens.push_back({"LITERAL", start.line, start.position});
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#') {
      Token t{"", line, col};
      while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_' ||
                                 text[i] == '$' || text[i] == '#')) {
        t.word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        advance(1);
      }
      tokens.push_back(t);
    } else {
      tokens.push_back({std::string(1, c), line, col});
      advance(1);
    }
  }

  // Parentheses.
  std::vector<Token> parens;
  for (const auto& t : tokens) {
    if (t.word == "(") parens.push_back(t);
    if (t.word == ")") {
      if (parens.empty()) {
        errors.push_back(Pls103(t, ")"));
        return errors;
      }
      parens.pop_back();
    }
  }
  if (!parens.empty()) {
    errors.push_back(Pls103(eof(), "end-of-file"));
    return errors;
  }

  // Object type specifications and collection types have no END.
  bool spec_without_end = type == "TYPE";
  int begins = 0, ends = 0;
  const Token* last_end = nullptr;
  for (size_t k = 0; k < tokens.size(); ++k) {
    const std::string& w = tokens[k].word;
    std::string next = k + 1 < tokens.size() ? tokens[k + 1].word : "";
    if (w == "BEGIN") ++begins;
    if (w == "CASE") {
      // CASE inside an expression also closes with END.
      ++begins;
    }
    if (w == "END" && next != "IF" && next != "LOOP") {
      ++ends;
      last_end = &tokens[k];
      if (ends > begins + 1) {
        errors.push_back(Pls103(tokens[k], "END"));
        return errors;
      }
    }
  }
  if (spec_without_end) return errors;
  bool unit_end_without_begin = type == "PACKAGE" || type == "PACKAGE BODY" || type == "TYPE BODY";
  int wanted_min = begins, wanted_max = unit_end_without_begin ? begins + 1 : begins;
  if (ends < wanted_min || ends > wanted_max || !last_end) {
    errors.push_back(Pls103(eof(), "end-of-file"));
    return errors;
  }
  // Nothing but the unit's name and ';' may follow the final END.
  size_t k = static_cast<size_t>(last_end - tokens.data()) + 1;
  if (k < tokens.size() && tokens[k].word != ";" && tokens[k].word != "/") ++k;
  if (k < tokens.size() && tokens[k].word == ";") ++k;
  if (k < tokens.size() && tokens[k].word != "/") errors.push_back(Pls103(tokens[k], tokens[k].word));
  return errors;
}

CompileOutcome CompileStoredUnit(sqlite3* db, const std::string& owner, const std::string& type,
                                 const std::vector<std::string>& lines) {
  CompileOutcome out;
  std::string text;
  for (const auto& l : lines) text += l.empty() || l.back() != '\n' ? l + "\n" : l;
  bool wrapped = text.find(" wrapped") != std::string::npos || text.find(" WRAPPED") != std::string::npos;
  if (type == "TYPE" || type == "TYPE BODY" || wrapped) {
    out.errors = CompileUnit(type, lines);
    return out;
  }
  SqliteDictionary dict(db, owner);
  out.analysed = true;
  plsql::CompileResult r = plsql::Compile(text, dict);
  for (auto& e : r.errors) out.errors.push_back({e.line, e.col, std::move(e.text)});
  out.deps.assign(r.deps.begin(), r.deps.end());
  return out;
}

void InvalidateDependentUnits(sqlite3* db, const std::string& owner, const std::string& name) {
  std::vector<std::pair<std::string, std::string>> todo{{owner, name}};
  std::set<std::pair<std::string, std::string>> seen{{owner, name}};
  while (!todo.empty()) {
    auto [o, n] = todo.back();
    todo.pop_back();
    Query q(db, "SELECT DISTINCT OWNER, NAME, TYPE FROM \"SYS.DBA_DEPENDENCIES\" WHERE REFERENCED_OWNER = ? AND "
                "REFERENCED_NAME = ? AND TYPE IN ('PROCEDURE', 'FUNCTION', 'PACKAGE', 'PACKAGE BODY', 'TRIGGER', "
                "'TYPE BODY')");
    q.Bind(1, o).Bind(2, n);
    std::vector<std::vector<std::string>> rows;
    while (q.Step()) rows.push_back({q.Text(0), q.Text(1), q.Text(2)});
    for (const auto& r : rows) {
      SetObjectStatus(db, r[0], r[1], r[2], "INVALID");
      if (seen.insert({r[0], r[1]}).second) todo.push_back({r[0], r[1]});
    }
  }
}

bool CompileAndRecord(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                      const std::vector<std::string>& lines) {
  Query derr(db, "DELETE FROM \"SYS.DBA_ERRORS\" WHERE OWNER = ? AND NAME = ? AND TYPE = ?");
  derr.Bind(1, owner).Bind(2, name).Bind(3, type).Run();
  CompileOutcome outcome = CompileStoredUnit(db, owner, type, lines);
  if (outcome.errors.empty() && outcome.analysed) {
    Query del(db, "DELETE FROM \"SYS.DBA_DEPENDENCIES\" WHERE OWNER = ? AND NAME = ? AND TYPE = ?");
    del.Bind(1, owner).Bind(2, name).Bind(3, type).Run();
    for (const auto& d : outcome.deps) {
      Query ins(db, "INSERT INTO \"SYS.DBA_DEPENDENCIES\" VALUES (?, ?, ?, ?, ?, ?, NULL, 'HARD')");
      ins.Bind(1, owner).Bind(2, name).Bind(3, type).Bind(4, d.owner).Bind(5, d.name).Bind(6, d.type).Run();
    }
  }
  int seq = 0;
  for (const auto& e : outcome.errors) {
    Query ins(db, "INSERT INTO \"SYS.DBA_ERRORS\" VALUES (?, ?, ?, ?, ?, ?, ?)");
    ins.Bind(1, owner).Bind(2, name).Bind(3, type).Bind(4, static_cast<int64_t>(++seq));
    ins.Bind(5, static_cast<int64_t>(e.line)).Bind(6, static_cast<int64_t>(e.position)).Bind(7, e.text).Run();
  }
  SetObjectStatus(db, owner, name, type, outcome.errors.empty() ? "VALID" : "INVALID");
  return !outcome.errors.empty();
}

bool EnsureValid(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type) {
  // Units that use each other: one already being compiled counts as valid
  // here.  The outermost call on a thread owns the set; the thread-local
  // pointer needs no destructor (one would keep the library from unloading).
  static thread_local std::set<std::string>* compiling = nullptr;
  std::set<std::string> own;
  struct Owner {
    bool outermost;
    ~Owner() {
      if (outermost) compiling = nullptr;
    }
  } owner_of_set{compiling == nullptr};
  if (owner_of_set.outermost) compiling = &own;
  std::string key = owner + "." + name + "/" + type;
  if (compiling->count(key)) return true;
  Query st(db, "SELECT STATUS FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_NAME = ? AND OBJECT_TYPE = ?");
  st.Bind(1, owner).Bind(2, name).Bind(3, type);
  if (!st.Step()) return false;
  if (st.Text(0) == "VALID") return true;
  std::vector<std::string> lines;
  Query q(db, "SELECT TEXT FROM \"SYS.DBA_SOURCE\" WHERE OWNER = ? AND NAME = ? AND TYPE = ? ORDER BY LINE");
  q.Bind(1, owner).Bind(2, name).Bind(3, type);
  while (q.Step()) lines.push_back(q.Text(0));
  compiling->insert(key);
  struct Done {
    std::string k;
    ~Done() { compiling->erase(k); }
  } done{key};
  return !CompileAndRecord(db, owner, name, type, lines);
}

}  // namespace ocisim
