// feedback.cpp — the confirmation SQL*Plus prints after a statement that
// is not a query, chosen by the statement's first words.
#include <cctype>
#include <sstream>

#include "engine.h"

namespace sqlplus {
namespace {

struct ObjectWord {
  const char* words;  // the object kind as written after CREATE/ALTER/DROP
  const char* noun;   // as SQL*Plus names it
};

// Longest first, so "PACKAGE BODY" wins over "PACKAGE".
const ObjectWord kObjects[] = {
    {"PACKAGE BODY", "Package body"}, {"TYPE BODY", "Type body"},
    {"MATERIALIZED VIEW", "Materialized view"}, {"DATABASE LINK", "Database link"},
    {"PUBLIC DATABASE LINK", "Database link"}, {"PUBLIC SYNONYM", "Synonym"},
    {"UNIQUE INDEX", "Index"}, {"BITMAP INDEX", "Index"}, {"GLOBAL TEMPORARY TABLE", "Table"},
    {"TABLE", "Table"}, {"VIEW", "View"}, {"INDEX", "Index"}, {"SEQUENCE", "Sequence"},
    {"SYNONYM", "Synonym"}, {"USER", "User"}, {"ROLE", "Role"}, {"TABLESPACE", "Tablespace"},
    {"DIRECTORY", "Directory"}, {"CLUSTER", "Cluster"}, {"SNAPSHOT", "Materialized view"},
    {"PROCEDURE", "Procedure"}, {"FUNCTION", "Function"}, {"PACKAGE", "Package"},
    {"TRIGGER", "Trigger"}, {"TYPE", "Type"}, {"SESSION", "Session"}, {"SYSTEM", "System"},
    {"DATABASE", "Database"},
};

std::string Rows(int n, const char* verb) {
  return std::to_string(n) + (n == 1 ? " row " : " rows ") + verb + ".";
}

}  // namespace

std::string FeedbackMessage(const std::string& text, bool block, int rows) {
  std::istringstream in(Upper(text));
  std::vector<std::string> w;
  std::string word;
  while (w.size() < 6 && in >> word) {
    // "table(" and "t;" end at the punctuation.
    size_t cut = word.find_first_of("(;,");
    if (cut == 0) break;
    w.push_back(word.substr(0, cut));
    if (cut != std::string::npos) break;
  }
  if (w.empty()) return {};
  const std::string& v = w[0];
  if (v == "INSERT") return Rows(rows, "created");
  if (v == "UPDATE") return Rows(rows, "updated");
  if (v == "DELETE") return Rows(rows, "deleted");
  if (v == "MERGE") return Rows(rows, "merged");
  if (v == "COMMIT") return "Commit complete.";
  if (v == "ROLLBACK") return "Rollback complete.";
  if (v == "SAVEPOINT") return "Savepoint created.";
  if (v == "TRUNCATE") return "Table truncated.";
  if (v == "GRANT") return "Grant succeeded.";
  if (v == "REVOKE") return "Revoke succeeded.";
  if (v == "COMMENT") return "Comment created.";
  if (v == "LOCK") return "Table(s) Locked.";
  if (v == "RENAME") return "Table renamed.";
  if (v == "ANALYZE") return w.size() > 1 && w[1] == "INDEX" ? "Index analyzed." : "Table analyzed.";
  if (v == "EXPLAIN") return "Explained.";
  if (v == "AUDIT") return "Audit succeeded.";
  if (v == "NOAUDIT") return "Noaudit succeeded.";
  if (v == "SET" && w.size() > 1) return w[1] == "ROLE" ? "Role set." : "Transaction set.";
  if (v == "CREATE" || v == "ALTER" || v == "DROP") {
    size_t at = 1;
    if (v == "CREATE" && w.size() > 2 && w[1] == "OR" && w[2] == "REPLACE") at = 3;
    std::string rest;
    for (size_t i = at; i < w.size(); ++i) rest += (i > at ? " " : "") + w[i];
    const char* done = v == "CREATE" ? " created." : v == "ALTER" ? " altered." : " dropped.";
    for (const auto& o : kObjects) {
      const std::string ow = o.words;
      if (rest == ow || rest.rfind(ow + " ", 0) == 0) return std::string(o.noun) + done;
    }
    return {};
  }
  if (block || v == "BEGIN" || v == "DECLARE") return "PL/SQL procedure successfully completed.";
  if (v == "CALL") return "Call completed.";
  return {};
}

std::string CompileWarning(const std::string& feedback) {
  std::string kind = feedback, verb = "created";
  for (const char* v : {" created.", " altered."}) {
    const std::string end = v;
    if (kind.size() > end.size() && kind.compare(kind.size() - end.size(), end.size(), end) == 0) {
      kind.resize(kind.size() - end.size());
      verb = end.substr(1, end.size() - 2);
    }
  }
  if (kind.empty() || kind == feedback) kind = "Procedure";
  for (size_t i = 0; i < kind.size(); ++i)
    if (i == 0 || kind[i - 1] == ' ') kind[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(kind[i])));
  return "Warning: " + kind + " " + verb + " with compilation errors.";
}

}  // namespace sqlplus
