// The command line's warning for a unit stored with compilation errors, in
// SQL*Plus's words for each kind of statement.
#include <gtest/gtest.h>

#include "connection/compile_warning.h"

namespace {

TEST(CompilationWarning, SqlPlusWordsForEachKindOfUnit) {
  const std::pair<const char*, const char*> cases[] = {
      {"create or replace procedure p is begin x; end;", "Warning: Procedure created with compilation errors."},
      {"CREATE FUNCTION f RETURN NUMBER IS BEGIN RETURN x; END;", "Warning: Function created with compilation errors."},
      {"create package p is x y; end;", "Warning: Package created with compilation errors."},
      {"create or replace package body p is end;", "Warning: Package Body created with compilation errors."},
      {"create or replace trigger t before insert on emp begin x; end;",
       "Warning: Trigger created with compilation errors."},
      {"create type t as object (a number", "Warning: Type created with compilation errors."},
      {"create or replace type body t is end;", "Warning: Type Body created with compilation errors."},
      {"create or replace force view v as select x from nosuch", "Warning: View created with compilation errors."},
      {"alter procedure p compile", "Warning: Procedure altered with compilation errors."},
      {"-- a note\n/* and another */ create\n  or replace\tprocedure \"p\" is begin x; end;",
       "Warning: Procedure created with compilation errors."},
      // Not a unit: the caller shows the server's own text.
      {"create table t (a number)", ""},
      {"select 1 from dual", ""},
      {"", ""},
      {"create or replace", ""},
  };
  for (const auto& [statement, warning] : cases)
    EXPECT_EQ(connection::CompilationWarning(statement), warning) << statement;
}

}  // namespace
