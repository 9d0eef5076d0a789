-- Dictionary rows for mixed_case_kinds.sql, as the server keeps them (names
-- exactly as quoted).  Run in SQLite before storage_demo.sql (segments).

-- SALES."Mixed Part": two range partitions, one of them named in mixed case.
INSERT INTO "SYS.DBA_PART_TABLES" VALUES ('SALES', 'Mixed Part', 'RANGE', 'NONE', 2, 0, 1, 0, 'USERS');
INSERT INTO "SYS.DBA_TAB_PARTITIONS" VALUES
  ('SALES', 'Mixed Part', 'NO', 'Part One', 0, '2003', 1, 1, 'USERS', 10, 1, NULL),
  ('SALES', 'Mixed Part', 'NO', 'P_MAX', 0, 'MAXVALUE', 0, 2, 'USERS', 10, 1, NULL);
INSERT INTO "SYS.DBA_PART_KEY_COLUMNS" VALUES ('SALES', 'Mixed Part', 'TABLE', 'Sale Year', 1);
UPDATE "SYS.DBA_ALL_TABLES" SET PARTITIONED = 'YES' WHERE OWNER = 'SALES' AND TABLE_NAME = 'Mixed Part';

-- The cluster SALES."Mixed Clu" holds "Clu Member".
INSERT INTO "SYS.DBA_CLUSTERS" VALUES ('SALES', 'Mixed Clu', 'USERS', 10, 40, 600, 2, 255, 65536, NULL, 1,
  2147483645, NULL, 1, 1, NULL, 'INDEX', NULL, 0, '1', '1', 'N', 'DEFAULT', 'N', 'DISABLED');
INSERT INTO "SYS.DBA_CLU_COLUMNS" VALUES ('SALES', 'Mixed Clu', 'Key Col', 'Clu Member', 'Key Col');
UPDATE "SYS.DBA_ALL_TABLES" SET CLUSTER_NAME = 'Mixed Clu', CLUSTER_OWNER = 'SALES'
  WHERE OWNER = 'SALES' AND TABLE_NAME = 'Clu Member';

-- A snapshot log on "Mixed Part"; its log table is named after the master.
INSERT INTO "SYS.DBA_SNAPSHOT_LOGS" VALUES ('SALES', 'Mixed Part', 'MLOG$_Mixed Part', NULL, 'NO', 'YES', 'NO', 'NO',
  'NO', 'NO', '2003-03-15 10:00:00', 1);
INSERT INTO "SYS.DBA_OBJECTS" (OWNER, OBJECT_NAME, OBJECT_ID, DATA_OBJECT_ID, OBJECT_TYPE, CREATED, LAST_DDL_TIME,
  TIMESTAMP, STATUS, TEMPORARY, GENERATED, SECONDARY) VALUES
  ('SALES', 'Mixed Clu', 100900, 100900, 'CLUSTER', '2003-03-15 10:00:00', '2003-03-15 10:00:00', '2003-03-15:10:00:00', 'VALID', 'N', 'N', 'N'),
  ('SALES', 'MLOG$_Mixed Part', 100901, 100901, 'TABLE', '2003-03-15 10:00:00', '2003-03-15 10:00:00', '2003-03-15:10:00:00', 'VALID', 'N', 'N', 'N');

-- The resource plan "Mixed Plan" directs the consumer group "Mixed Group".
INSERT INTO "SYS.DBA_RSRC_PLANS" VALUES ('Mixed Plan', 1, 'EMPHASIS', 'ACTIVE_SESS_POOL_ABSOLUTE',
  'PARALLEL_DEGREE_LIMIT_ABSOLUTE', 'FIFO_TIMEOUT', 'A plan named in mixed case', 'ACTIVE', 'NO');
INSERT INTO "SYS.DBA_RSRC_PLAN_DIRECTIVES" (PLAN, GROUP_OR_SUBPLAN, TYPE, CPU_P1, CPU_P2, COMMENTS, STATUS, MANDATORY)
  VALUES ('Mixed Plan', 'Mixed Group', 'CONSUMER_GROUP', 100, 0, 'The mixed-case group first', 'ACTIVE', 'NO');
