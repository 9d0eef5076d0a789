// The dictionary prefix and the owner-column macro go into stored texts the
// way the factory promises: any letter case, every occurrence, inside quotes
// too, and ":TABLE_SCHEMA" by the column that fits the prefix.
#include <gtest/gtest.h>

#include <string>

#include "connection/statement_catalogue.h"

namespace {

using connection::ApplyDictionaryPrefix;
using connection::FindStatement;

TEST(DictionaryPrefix, ReplacesEveryOccurrenceInAnyCase) {
  EXPECT_EQ(ApplyDictionaryPrefix("SELECT * FROM :DBA_OBJECTS O, :dba_users U, :Dba_Views V", "DBA_"),
            "SELECT * FROM DBA_OBJECTS O, DBA_users U, DBA_Views V");
  EXPECT_EQ(ApplyDictionaryPrefix("SELECT * FROM :DBA_OBJECTS", "ALL_"), "SELECT * FROM ALL_OBJECTS");
  EXPECT_EQ(ApplyDictionaryPrefix(":DBA_:DBA_", "ALL_"), "ALL_ALL_");
}

TEST(DictionaryPrefix, ReplacesInsideQuotesToo) {
  EXPECT_EQ(ApplyDictionaryPrefix("SELECT ':DBA_X', \":dba_y\" FROM DUAL", "ALL_"),
            "SELECT 'ALL_X', \"ALL_y\" FROM DUAL");
}

TEST(DictionaryPrefix, LeavesOtherColonsAlone) {
  const std::string text = "BEGIN :PORT_STRING := X; END; -- :DB_ :DBA";
  EXPECT_EQ(ApplyDictionaryPrefix(text, "DBA_"), text);
}

TEST(DictionaryPrefix, ReplacementContainingTheMacroIsNotRescanned) {
  EXPECT_EQ(ApplyDictionaryPrefix("A :DBA_B", ":DBA_"), "A :DBA_B");
  EXPECT_EQ(ApplyDictionaryPrefix(":DBA_:DBA_", "X:DBA_"), "X:DBA_X:DBA_");
}

TEST(DictionaryPrefix, TableSchemaFollowsThePrefix) {
  const std::string text = "SELECT P.:TABLE_SCHEMA FROM :DBA_TAB_PRIVS P WHERE :table_schema = :OWNER";
  EXPECT_EQ(ApplyDictionaryPrefix(text, "ALL_"),
            "SELECT P.TABLE_SCHEMA FROM ALL_TAB_PRIVS P WHERE TABLE_SCHEMA = :OWNER");
  EXPECT_EQ(ApplyDictionaryPrefix(text, "DBA_"),
            "SELECT P.OWNER FROM DBA_TAB_PRIVS P WHERE OWNER = :OWNER");
}

TEST(DictionaryPrefix, EmptyTextAndEmptyPrefix) {
  EXPECT_EQ(ApplyDictionaryPrefix("", "DBA_"), "");
  // An empty prefix is not "ALL_", so the owner column is OWNER.
  EXPECT_EQ(ApplyDictionaryPrefix("FROM :DBA_USERS WHERE :TABLE_SCHEMA = 1", ""),
            "FROM USERS WHERE OWNER = 1");
}

// After the replacement no stored text keeps a macro, under either prefix;
// a ":TABLE_SCHEMA" left over would reach the server as a bind variable.
TEST(DictionaryPrefix, NoStoredTextKeepsAMacro) {
  for (int n = 0; n < connection::kStatementCount; ++n) {
    const auto* entry = FindStatement(n);
    if (entry == nullptr) continue;
    for (const char* prefix : {"ALL_", "DBA_"}) {
      const std::string text = ApplyDictionaryPrefix(std::string(entry->text), prefix);
      EXPECT_EQ(text.find(":DBA_"), std::string::npos) << n;
      EXPECT_EQ(text.find(":TABLE_SCHEMA"), std::string::npos) << n;
    }
  }
  // The grants of an object read the owner column that fits the prefix.
  const std::string grants(FindStatement(connection::kStmtObjectGrants)->text);
  EXPECT_NE(ApplyDictionaryPrefix(grants, "ALL_").find("FROM ALL_TAB_PRIVS WHERE TABLE_SCHEMA = :OWNER"),
            std::string::npos);
  EXPECT_NE(ApplyDictionaryPrefix(grants, "DBA_").find("FROM DBA_TAB_PRIVS WHERE OWNER = :OWNER"),
            std::string::npos);
}

}  // namespace
