-- Dictionary rows for demo_mixed_case.sql that DDL alone does not produce.
-- Run in SQLite after demo_tables_dictionary.sql.

-- SCOTT's refresh group 'Weekly', named in mixed case, with one child.
INSERT INTO "SYS.DBA_REFRESH" VALUES ('SCOTT', 'Weekly', 3, 'N', 'N', 'N', NULL, 3, '2003-03-22 03:00:00',
  'TRUNC(SYSDATE) + 7 + 3/24', 'N', NULL, 0, NULL);
INSERT INTO "SYS.DBA_REFRESH_CHILDREN" VALUES ('SCOTT', 'DEPT_SNAP', 'SNAPSHOT', 'SCOTT', 'Weekly', 3, 'N',
  'N', 'N', NULL, 3, '2003-03-22 03:00:00', 'TRUNC(SYSDATE) + 7 + 3/24', 'N', NULL, 0, NULL);
-- Beside it an upper-case group of the same letters: the mixed-case name
-- must not reach this one, nor the upper-case name the other.
INSERT INTO "SYS.DBA_REFRESH" VALUES ('SCOTT', 'WEEKLY', 4, 'N', 'N', 'N', NULL, 4, '2003-03-22 04:00:00',
  'TRUNC(SYSDATE) + 7 + 4/24', 'N', NULL, 0, NULL);

-- The column of the check constraint added by ALTER TABLE, which the
-- engine records only for constraints written beside a column.
INSERT INTO "SYS.DBA_CONS_COLUMNS" VALUES ('SCOTT', 'Positive Col', 'Mixed Case Table', 'lower col', NULL);
