// CREATE USER, ALTER USER and CREATE ROLE: the clauses that change what the
// dictionary shows (password, tablespaces, quotas, profile, account lock).
#include <cstdlib>

#include "sql/statements.h"

namespace ocisim::sql {
namespace {

// QUOTA n [K | M] ON ts, or QUOTA UNLIMITED ON ts.
void Quota(Parser& p, UserDdlInfo& info) {
  long long bytes = -1;
  if (!p.Accept("UNLIMITED")) {
    const Token& n = p.Peek();
    if (n.type != Tok::Number) throw MakeOraError(2187);
    bytes = std::strtoll(p.Next().text.c_str(), nullptr, 10);
    if (p.Accept("K")) bytes *= 1024;
    else if (p.Accept("M")) bytes *= 1024 * 1024;
  }
  p.Expect("ON", 905);
  info.quotas.emplace_back(p.Name(2216), bytes);
}

void Identified(Parser& p, UserDdlInfo& info) {
  if (p.Accept("EXTERNALLY")) {
    info.external = true;
  } else if (p.Accept("GLOBALLY")) {
    info.external = true;
    if (p.Accept("AS")) p.Next();
  } else {
    p.Expect("BY", 922);
    const Token& w = p.Peek();
    if (w.type != Tok::Ident && w.type != Tok::QuotedIdent) throw MakeOraError(988);
    info.password = p.Next().text;
  }
}

}  // namespace

Translation TranslateUserDdl(Parser& p, bool role, bool alter) {
  Translation t;
  UserDdlInfo info;
  info.name = p.Name(role ? 1937 : 1935);
  if (role) {
    if (p.Accept("NOT")) p.Expect("IDENTIFIED", 922);
    else if (p.Accept("IDENTIFIED")) Identified(p, info);
    p.ExpectStatementEnd();
    t.kind = StmtKind::CreateRole;
    t.userDdl = std::move(info);
    return t;
  }
  if (!alter) {
    p.Expect("IDENTIFIED", 922);
    Identified(p, info);
  }
  while (!p.AtEnd() && !p.Peek().IsOp(";")) {
    if (p.Accept("IDENTIFIED")) {
      Identified(p, info);
    } else if (p.Accept("DEFAULT")) {
      if (p.Accept("ROLE")) throw MakeOraError(3001);
      p.Expect("TABLESPACE", 922);
      info.defaultTablespace = p.Name(2216);
    } else if (p.Accept("TEMPORARY")) {
      p.Expect("TABLESPACE", 922);
      info.temporaryTablespace = p.Name(2216);
    } else if (p.Accept("QUOTA")) {
      Quota(p, info);
    } else if (p.Accept("PROFILE")) {
      info.profile = p.Name(922);
    } else if (p.Accept("PASSWORD")) {
      p.Expect("EXPIRE", 922);
      info.accountStatus = "EXPIRED";
    } else if (p.Accept("ACCOUNT")) {
      if (p.Accept("LOCK")) info.accountStatus = "LOCKED";
      else if (p.Accept("UNLOCK")) info.accountStatus = "OPEN";
      else throw MakeOraError(922);
    } else {
      throw MakeOraError(922);
    }
  }
  p.ExpectStatementEnd();
  t.kind = alter ? StmtKind::AlterUser : StmtKind::CreateUser;
  t.userDdl = std::move(info);
  return t;
}

}  // namespace ocisim::sql
