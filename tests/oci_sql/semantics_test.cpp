// Oracle semantics of translated queries, checked on their results: empty
// string as NULL, '||' and DECODE with NULL, (+) outer joins, CONNECT BY,
// ROWNUM, NULL ordering, set operators, numbers as Oracle converts them.
#include "test_db.h"

using namespace ocisql_test;

namespace {

std::vector<std::string> Column(const Rows& rows, size_t c = 0) {
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(r.at(c));
  return out;
}

std::string One(TestDb& db, const std::string& sql) {
  Rows r = db.Query(sql);
  EXPECT_EQ(r.size(), 1u) << sql;
  return r.empty() ? "" : r[0].at(0);
}

using V = std::vector<std::string>;

}  // namespace

TEST(Semantics, EmptyStringIsNull) {
  TestDb db;
  EXPECT_EQ(One(db, "SELECT NVL('', 'was null') FROM DUAL"), "was null");
  EXPECT_EQ(One(db, "SELECT LENGTH('') FROM DUAL"), "<null>");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM EMP WHERE ENAME = ''"), "0");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM DUAL WHERE '' IS NULL"), "1");
  // Functions whose result would be '' give NULL.
  EXPECT_EQ(One(db, "SELECT NVL(SUBSTR('abc', 5), 'n') FROM DUAL"), "n");
  EXPECT_EQ(One(db, "SELECT NVL(REPLACE('aa', 'a'), 'n') FROM DUAL"), "n");
  EXPECT_EQ(One(db, "SELECT NVL(LTRIM('   '), 'n') FROM DUAL"), "n");
  // A bound empty string is NULL too (the engine binds it so).
  EXPECT_EQ(db.Query("SELECT NVL(:V, 'n') FROM DUAL", {{"V", ""}})[0][0], "n");
}

TEST(Semantics, ConcatenationSkipsNulls) {
  TestDb db;
  EXPECT_EQ(One(db, "SELECT 'a' || NULL || 'b' FROM DUAL"), "ab");
  EXPECT_EQ(One(db, "SELECT NULL || NULL FROM DUAL"), "<null>");
  EXPECT_EQ(One(db, "SELECT ENAME || '/' || COMM FROM EMP WHERE EMPNO = 7839"), "KING/");
  EXPECT_EQ(One(db, "SELECT 'n=' || 0.5 || ',' || 10 / 4 FROM DUAL"), "n=.5,2.5");
  // Dates concatenate in their default text form.
  EXPECT_EQ(One(db, "SELECT 'hired ' || HIREDATE FROM EMP WHERE EMPNO = 7839"), "hired 17-NOV-81");
}

TEST(Semantics, DecodeMatchesNullToNull) {
  TestDb db;
  EXPECT_EQ(One(db, "SELECT DECODE(NULL, NULL, 'yes', 'no') FROM DUAL"), "yes");
  EXPECT_EQ(One(db, "SELECT DECODE(1, 2, 'two', 1, 'one') FROM DUAL"), "one");
  EXPECT_EQ(One(db, "SELECT DECODE(3, 2, 'two', 1, 'one') FROM DUAL"), "<null>");
  EXPECT_EQ(Column(db.Query("SELECT DECODE(COMM, NULL, 'none', 0, 'zero', 'some') FROM EMP WHERE EMPNO IN (7839, 7844, 7499) ORDER BY EMPNO")),
            (V{"some", "none", "zero"}));
  EXPECT_EQ(One(db, "SELECT NVL2(COMM, 'has', 'hasnt') FROM EMP WHERE EMPNO = 7839"), "hasnt");
}

TEST(Semantics, OuterJoinMarkers) {
  TestDb db;
  // Departments without employees stay, with NULL employee columns.
  Rows r = db.Query("SELECT D.DNAME, E.ENAME FROM DEPT D, EMP E WHERE D.DEPTNO = E.DEPTNO (+) AND D.DEPTNO IN (10, 40) ORDER BY 1, 2");
  EXPECT_EQ(Column(r, 1), (V{"CLARK", "KING", "MILLER", "<null>"}));
  // Several (+) conditions on one table: filter inside the join, so every department stays.
  r = db.Query("SELECT D.DNAME, E.ENAME FROM EMP E, DEPT D WHERE E.DEPTNO(+) = D.DEPTNO AND E.JOB(+) = 'ANALYST' ORDER BY 1, 2");
  EXPECT_EQ(Column(r, 1), (V{"<null>", "<null>", "FORD", "SCOTT", "<null>"}));
  // Mixed: a condition on the outer table without (+) filters after the join.
  r = db.Query("SELECT D.DNAME, E.ENAME FROM DEPT D, EMP E WHERE D.DEPTNO = E.DEPTNO(+) AND E.JOB = 'ANALYST' ORDER BY 2");
  EXPECT_EQ(Column(r, 1), (V{"FORD", "SCOTT"}));
  // Chained outer joins: the third table joins to the outer second one.
  r = db.Query("SELECT D.DNAME, E.ENAME, S.GRADE FROM DEPT D, EMP E, SALGRADE S "
               "WHERE D.DEPTNO = E.DEPTNO(+) AND E.SAL BETWEEN S.LOSAL(+) AND S.HISAL(+) AND D.DEPTNO IN (10, 40) ORDER BY 1, 2");
  EXPECT_EQ(Column(r, 2), (V{"4", "5", "2", "<null>"}));
  // Binds keep their order although the (+) condition moves into the join.
  auto t = ocisim::sql::Translate("SELECT 1 FROM DEPT D, EMP E WHERE D.LOC = :A AND E.DEPTNO(+) = D.DEPTNO AND E.JOB(+) = :B AND D.DNAME = :C", db.catalog);
  std::vector<std::string> names = t.binds;
  EXPECT_EQ(names.size(), 3u);
  EXPECT_EQ(db.Query("SELECT D.DNAME, E.ENAME FROM DEPT D, EMP E WHERE D.LOC = :A AND E.DEPTNO(+) = D.DEPTNO AND E.JOB(+) = :B",
                     {{"A", "DALLAS"}, {"B", "CLERK"}})
                .size(),
            2u);
  // ANSI joins pass through.
  EXPECT_EQ(db.Query("SELECT D.DNAME FROM EMP E RIGHT OUTER JOIN DEPT D ON E.DEPTNO = D.DEPTNO WHERE E.EMPNO IS NULL")[0][0], "OPERATIONS");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM EMP E FULL JOIN DEPT D ON E.DEPTNO = D.DEPTNO")[0][0], "15");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM EMP E JOIN DEPT D USING (DEPTNO) WHERE D.LOC = 'DALLAS'")[0][0], "5");
  EXPECT_EQ(db.ErrorCode("SELECT 1 FROM DEPT D JOIN EMP E ON 1 = 1 WHERE D.DEPTNO = E.DEPTNO(+)"), 25156);
  EXPECT_EQ(db.ErrorCode("SELECT 1 FROM DEPT D, EMP E WHERE D.DEPTNO = E.DEPTNO(+) OR E.JOB(+) = 'X'"), 1719);
  EXPECT_EQ(db.ErrorCode("SELECT 1 FROM DEPT D, EMP E WHERE D.DEPTNO(+) = E.DEPTNO(+)"), 1468);
  EXPECT_EQ(db.ErrorCode("SELECT 1 FROM DEPT D, EMP E WHERE D.DEPTNO(+) = E.DEPTNO AND E.EMPNO(+) = D.DEPTNO"), 1416);
}

TEST(Semantics, ConnectByWalksTheTreeDepthFirst) {
  TestDb db;
  Rows r = db.Query("SELECT LEVEL, LPAD(' ', 2 * (LEVEL - 1)) || ENAME AS NAME FROM EMP "
                    "START WITH MGR IS NULL CONNECT BY PRIOR EMPNO = MGR ORDER SIBLINGS BY ENAME");
  EXPECT_EQ(Column(r, 1), (V{"KING", "  BLAKE", "    ALLEN", "    JAMES", "    MARTIN", "    TURNER", "    WARD",
                             "  CLARK", "    MILLER", "  JONES", "    FORD", "      SMITH", "    SCOTT", "      ADAMS"}));
  EXPECT_EQ(Column(r, 0)[11], "4");
  // Subtree from a START WITH row, WHERE applied after the walk.
  r = db.Query("SELECT ENAME FROM EMP WHERE JOB <> 'ANALYST' START WITH ENAME = 'JONES' CONNECT BY PRIOR EMPNO = MGR ORDER BY ENAME");
  EXPECT_EQ(Column(r), (V{"ADAMS", "JONES", "SMITH"}));
  // Walking up: PRIOR on the other side.
  r = db.Query("SELECT ENAME FROM EMP START WITH ENAME = 'ADAMS' CONNECT BY EMPNO = PRIOR MGR");
  EXPECT_EQ(Column(r), (V{"ADAMS", "SCOTT", "JONES", "KING"}));
  // The plan listing: ROWNUM numbers the rows in tree order.
  r = db.Query("SELECT LPAD(ROWNUM, 5, '0') AS RN, LPAD('.', 2*(LEVEL-1), '.') || OPERATION AS OPERATION, OPTIONS, "
               "OBJECT_NAME, POSITION, OPERATION || ' - ' || OPTIONS AS DESCRIPTION FROM \"PLAN_TABLE\" "
               "START WITH ID = 0 AND STATEMENT_ID = 'P' CONNECT BY PRIOR ID = PARENT_ID AND STATEMENT_ID = 'P'");
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0], (V{"00001", "SELECT STATEMENT", "<null>", "<null>", "1", "SELECT STATEMENT - "}));
  EXPECT_EQ(r[1][1], "..HASH JOIN");
  EXPECT_EQ(r[3], (V{"00004", "....TABLE ACCESS", "FULL", "EMP", "2", "TABLE ACCESS - FULL"}));
  // A loop in the data is an error, not an endless query.
  EXPECT_EQ(db.ErrorCode("SELECT ID FROM LOOP START WITH ID = 1 CONNECT BY PRIOR ID = PARENT_ID"), 1436);
  EXPECT_EQ(db.ErrorCode("SELECT LEVEL FROM DUAL"), 1788);
  EXPECT_EQ(db.ErrorCode("SELECT * FROM EMP CONNECT BY PRIOR EMPNO = MGR"), 3001);
}

TEST(Semantics, Rownum) {
  TestDb db;
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP WHERE ROWNUM <= 3").size(), 3u);
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP WHERE ROWNUM < 3 AND DEPTNO = 30").size(), 2u);
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP WHERE ROWNUM = 1").size(), 1u);
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP WHERE ROWNUM > 1").size(), 0u);
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP WHERE ROWNUM < 1").size(), 0u);
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP WHERE 2 >= ROWNUM").size(), 2u);
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP WHERE ROWNUM <= :N", {{"N", "4"}}).size(), 4u);
  // Top-N: sort in the inner query, cut in the outer one.
  EXPECT_EQ(Column(db.Query("SELECT ENAME FROM (SELECT ENAME FROM EMP ORDER BY SAL DESC, ENAME) WHERE ROWNUM <= 3")),
            (V{"KING", "FORD", "SCOTT"}));
  EXPECT_EQ(Column(db.Query("SELECT ROWNUM, DNAME FROM DEPT WHERE DEPTNO > 10 ORDER BY DEPTNO"), 0), (V{"1", "2", "3"}));
  // ROWNUM counts rows before grouping.
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM EMP WHERE ROWNUM <= 3")[0][0], "3");
  EXPECT_EQ(db.Query("SELECT COUNT(DISTINCT E.DEPTNO) FROM EMP E WHERE E.DEPTNO = 30 AND ROWNUM < 3")[0][0], "1");
  // With a join that cut cannot be placed; it is refused rather than answered wrongly.
  EXPECT_EQ(db.ErrorCode("SELECT COUNT(*) FROM EMP, DEPT WHERE ROWNUM <= 3"), 3001);
}

TEST(Semantics, NullOrderingAndSetOperators) {
  TestDb db;
  auto asc = Column(db.Query("SELECT COMM FROM EMP WHERE DEPTNO = 30 ORDER BY COMM"));
  EXPECT_EQ(asc, (V{"0", "300", "500", "1400", "<null>", "<null>"}));
  auto desc = Column(db.Query("SELECT COMM FROM EMP WHERE DEPTNO = 30 ORDER BY COMM DESC"));
  EXPECT_EQ(desc, (V{"<null>", "<null>", "1400", "500", "300", "0"}));
  EXPECT_EQ(Column(db.Query("SELECT COMM FROM EMP WHERE DEPTNO = 30 ORDER BY COMM NULLS FIRST"))[0], "<null>");
  EXPECT_EQ(Column(db.Query("SELECT DEPTNO FROM DEPT MINUS SELECT DEPTNO FROM EMP")), (V{"40"}));
  EXPECT_EQ(Column(db.Query("SELECT JOB FROM EMP WHERE DEPTNO = 10 INTERSECT SELECT JOB FROM EMP WHERE DEPTNO = 20 ORDER BY 1")),
            (V{"CLERK", "MANAGER"}));
  EXPECT_EQ(db.Query("SELECT JOB FROM EMP UNION SELECT JOB FROM EMP").size(), 5u);
  EXPECT_EQ(db.Query("SELECT JOB FROM EMP UNION ALL SELECT JOB FROM EMP").size(), 28u);
  EXPECT_EQ(db.ErrorCode("SELECT JOB, ENAME FROM EMP UNION SELECT JOB FROM EMP"), 1789);
  EXPECT_EQ(One(db, "SELECT COUNT(DISTINCT JOB) FROM EMP"), "5");
  EXPECT_EQ(Column(db.Query("SELECT DEPTNO, COUNT(*) FROM EMP GROUP BY DEPTNO HAVING COUNT(*) > 4 ORDER BY 1")), (V{"20", "30"}));
  EXPECT_EQ(Column(db.Query("SELECT DECODE(JOB, 'CLERK', 'C', 'X') J, COUNT(*) FROM EMP E GROUP BY DECODE(JOB, 'CLERK', 'C', 'X') ORDER BY 1")),
            (V{"C", "X"}));
  EXPECT_EQ(One(db, "SELECT E.DEPTNO || ':' || MAX(SAL) FROM EMP E WHERE DEPTNO = 10 GROUP BY DEPTNO"), "10:5000");
  // Columns neither grouped nor aggregated are refused as Oracle refuses them.
  EXPECT_EQ(db.ErrorCode("SELECT DEPTNO, COUNT(*) FROM EMP"), 937);
  EXPECT_EQ(db.ErrorCode("SELECT JOB, COUNT(*) FROM EMP GROUP BY DEPTNO"), 979);
  EXPECT_EQ(db.ErrorCode("SELECT DEPTNO FROM EMP GROUP BY DEPTNO HAVING SAL > 1"), 979);
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM DEPT D WHERE NOT EXISTS (SELECT 1 FROM EMP E WHERE E.DEPTNO = D.DEPTNO)"), "1");
  // Scalar subqueries: one row or none, else ORA-01427.
  EXPECT_EQ(Column(db.Query("SELECT D.DNAME, (SELECT MAX(E.SAL) FROM EMP E WHERE E.DEPTNO = D.DEPTNO) FROM DEPT D ORDER BY 1"), 1),
            (V{"5000", "<null>", "3000", "2850"}));
  EXPECT_EQ(One(db, "SELECT (SELECT ENAME FROM EMP WHERE EMPNO = 7839) FROM DUAL"), "KING");
  EXPECT_EQ(db.ErrorCode("SELECT (SELECT ENAME FROM EMP WHERE DEPTNO = 10) FROM DUAL"), 1427);
  EXPECT_EQ(db.ErrorCode("SELECT (SELECT ENAME, JOB FROM EMP WHERE EMPNO = 7839) FROM DUAL"), 913);
}

TEST(Semantics, NumbersAndStrings) {
  TestDb db;
  EXPECT_EQ(One(db, "SELECT 1 / 2 FROM DUAL"), "0.5");
  EXPECT_EQ(One(db, "SELECT 10 / 5 FROM DUAL"), "2");
  EXPECT_EQ(db.ErrorCode("SELECT 1 / 0 FROM DUAL"), 1476);
  EXPECT_EQ(One(db, "SELECT '5' + 1 FROM DUAL"), "6");
  EXPECT_EQ(db.ErrorCode("SELECT 'x' + 1 FROM DUAL"), 1722);
  EXPECT_EQ(One(db, "SELECT ROUND(2.5) || ',' || ROUND(-2.5) || ',' || ROUND(1234.5678, 2) || ',' || ROUND(1250, -2) FROM DUAL"),
            "3,-3,1234.57,1300");
  EXPECT_EQ(One(db, "SELECT TRUNC(-1.7) || ',' || MOD(-7, 3) || ',' || SIGN(-2) || ',' || ABS(-3) FROM DUAL"), "-1,-1,-1,3");
  EXPECT_EQ(One(db, "SELECT TO_CHAR(1234, '999,999') FROM DUAL"), "   1,234");
  EXPECT_EQ(One(db, "SELECT TO_CHAR(7, '0000') FROM DUAL"), " 0007");
  EXPECT_EQ(One(db, "SELECT TO_CHAR(-7.5, '990.99') FROM DUAL"), "  -7.50");
  EXPECT_EQ(One(db, "SELECT TO_CHAR(12345, '999') FROM DUAL"), "####");
  EXPECT_EQ(One(db, "SELECT TO_CHAR(0.5) || ' ' || TO_CHAR(1e20) || ' ' || -0.25 FROM DUAL"), ".5 100000000000000000000 -.25");
  EXPECT_EQ(One(db, "SELECT TO_NUMBER('1,234', '9,999') + 1 FROM DUAL"), "1235");
  EXPECT_EQ(One(db, "SELECT LPAD('ab', 5, 'xy') || RPAD('c', 3, '.') || LPAD('abcdef', 3) FROM DUAL"), "xyxabc..abc");
  EXPECT_EQ(One(db, "SELECT SUBSTR('abcdef', -3, 2) || SUBSTR('abcdef', 0, 2) || INSTR('abcabc', 'b', 1, 2) || INSTR('abcabc', 'b', -1) FROM DUAL"),
            "deab55");
  EXPECT_EQ(One(db, "SELECT INITCAP('hello wORLD') || UPPER('x') || LOWER('Y') FROM DUAL"), "Hello WorldXy");
  EXPECT_EQ(One(db, "SELECT RAWTOHEX(HEXTORAW('0aff')) || CHR(65) FROM DUAL"), "0AFFA");
  EXPECT_EQ(db.ErrorCode("SELECT HEXTORAW('XYZ') FROM DUAL"), 1465);
  EXPECT_EQ(One(db, "SELECT NVL(GREATEST(1, NULL, 3), -1) || GREATEST(2, 10, 3) || LEAST('b', 'a') FROM DUAL"), "-110a");
  EXPECT_EQ(One(db, "SELECT REPLACE('a-b-c', '-', '+') || TRIM('  x  ') || LTRIM('xxy', 'x') || RTRIM('yxx', 'x') FROM DUAL"),
            "a+b+cxyy");
  // LIKE is case-sensitive in Oracle.
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM EMP WHERE ENAME LIKE 'k%'"), "0");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM EMP WHERE ENAME LIKE 'K%'"), "1");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM DUAL WHERE 'A_B' LIKE 'A\\_%' ESCAPE '\\'"), "1");
  EXPECT_EQ(One(db, "SELECT USER || UID FROM DUAL"), "SCOTT42");
  EXPECT_EQ(One(db, "SELECT CASE WHEN 1 = 1 THEN 'y' ELSE 'n' END || CASE 2 WHEN 1 THEN 'a' WHEN 2 THEN 'b' END FROM DUAL"), "yb");
}
