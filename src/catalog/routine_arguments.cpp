// routine_arguments.cpp — one statement over ALL_ARGUMENTS, the union of the
// overload header rows and the argument rows.
#include "catalog/routine_arguments.h"

#include "catalog/code_queries.h"

namespace catalog {

const std::string& RoutineArgumentsStatement() {
  // Header rows: the argument at sequence 0 of each overload, or at sequence
  // 1 where an overload has no sequence 0.  Position 0 is a function's
  // result, whose type is shown; a procedure's header shows none.
  // Argument rows: every sequence above 0 except the unnamed sequence-1 row
  // that stands for an empty argument list (or a function's result); the
  // dots show the nesting level of composite arguments.
  // Without a package name only stand-alone routines match: a package
  // routine of the same name is not the routine asked for.
  static const std::string sql =
      "SELECT A.OVERLOAD, A.SEQUENCE, A.OBJECT_NAME, "
      "DECODE(A.POSITION, 0, A.DATA_TYPE, NULL) AS DATA_TYPE, "
      "DECODE(A.POSITION, 0, A.DATA_PRECISION, NULL) AS DATA_PRECISION, NULL AS IN_OUT, "
      "DECODE(A.POSITION, 0, 'FUNCTION RESULT', 'PROCEDUE') AS ANAME, "
      "LPAD(A.OVERLOAD, 5, ' ') || LPAD(0, 5, ' ') AS LINE "
      "FROM ALL_ARGUMENTS A WHERE A.OWNER = :OWNER AND A.OBJECT_NAME = :NAME "
      "AND ((:PACKAGE_NAME IS NULL AND A.PACKAGE_NAME IS NULL) OR A.PACKAGE_NAME = :PACKAGE_NAME) "
      "AND (A.SEQUENCE = 0 OR (A.SEQUENCE = 1 AND NOT EXISTS (SELECT * FROM ALL_ARGUMENTS A1 "
      "WHERE A1.OWNER = A.OWNER AND A1.OBJECT_NAME = A.OBJECT_NAME "
      "AND NVL(A1.PACKAGE_NAME, ' ') = NVL(A.PACKAGE_NAME, ' ') "
      "AND NVL(A1.OVERLOAD, ' ') = NVL(A.OVERLOAD, ' ') AND A1.SEQUENCE = 0))) "
      "UNION ALL "
      "SELECT A.OVERLOAD, A.SEQUENCE, A.OBJECT_NAME, A.DATA_TYPE, A.DATA_PRECISION, A.IN_OUT, "
      "LPAD('.', (A.DATA_LEVEL + 1) * 2, '.') || NVL(A.ARGUMENT_NAME, '->') AS ANAME, "
      "LPAD(A.OVERLOAD, 5, ' ') || LPAD(A.SEQUENCE, 5, ' ') AS LINE "
      "FROM ALL_ARGUMENTS A WHERE A.OWNER = :OWNER AND A.OBJECT_NAME = :NAME "
      "AND ((:PACKAGE_NAME IS NULL AND A.PACKAGE_NAME IS NULL) OR A.PACKAGE_NAME = :PACKAGE_NAME) "
      "AND A.SEQUENCE > 0 AND NOT (A.SEQUENCE = 1 AND A.ARGUMENT_NAME IS NULL)";
  return sql;
}

void ListRoutineArguments(Listing& l, const std::string& owner, const std::string& name,
                          const std::string& packageName) {
  if (!l.Connected()) return;
  l.UseModes("NameTypePrecPanelModes");
  ListQueryText(l, RoutineArgumentsStatement(),
                {{"LINE", "ANAME", "DATA_TYPE", "DATA_PRECISION", "IN_OUT"}, false, "", "", ""},
                {{"OWNER", owner}, {"NAME", name}, {"PACKAGE_NAME", packageName}});
}

}  // namespace catalog
