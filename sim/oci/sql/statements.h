// Statement-level translation, split by statement family. Translate()
// (translate.cpp) dispatches on the leading keyword to these.
#pragma once

#include "sql/emit.h"
#include "sql/parser.h"
#include "sql/translate.h"

namespace ocisim::sql {

Translation TranslateCreate(Parser& p, const Catalog& catalog);
Translation TranslateDrop(Parser& p, const Catalog& catalog);
Translation TranslateAlter(Parser& p, const Catalog& catalog);
Translation TranslateTruncate(Parser& p, const Catalog& catalog);
Translation TranslateComment(Parser& p, const Catalog& catalog);
Translation TranslateGrant(Parser& p, const Catalog& catalog, bool revoke);
Translation TranslatePlsql(Parser& p, const Catalog& catalog);
// After CREATE USER / CREATE ROLE / ALTER USER (the keyword already read).
Translation TranslateUserDdl(Parser& p, bool role, bool alter);
Translation TranslateDisassociate(Parser& p, const Catalog& catalog);
// One statement of a block's body (plsql.cpp), and the control statements
// and declarations of plsql_control.cpp.
PlsqlStep ParsePlsqlStep(Parser& p, const Catalog& catalog);
PlsqlStep ParseIfStep(Parser& p, const Catalog& catalog);
PlsqlStep ParseSelectIntoStep(Parser& p, const Catalog& catalog);
Translation TranslateDeclareBlock(Parser& p, const Catalog& catalog);

// Skips a balanced parenthesised group starting at the current '(' token.
void SkipParens(Parser& p);

}  // namespace ocisim::sql
