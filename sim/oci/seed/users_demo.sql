-- Users and security of the demo beyond what the demo scripts grant: a role
-- granted to a role, an unlimited quota, audited privileges of one user,
-- more consumer groups and who may switch to them. Run in SQLite after the
-- demo scripts and the storage rows.

-- SALES_CLERK builds on CONNECT; ADAMS holds SALES_CLERK and no object
-- grant of his own, so his object privileges all come through the role.
INSERT INTO "SYS.DBA_ROLE_PRIVS" VALUES ('SALES_CLERK', 'CONNECT', 'NO', 'YES');

-- -1 is an unlimited quota; SALES keeps its limited one, SCOTT is charged
-- for what his segments take of his 10 MB.
INSERT INTO "SYS.DBA_TS_QUOTAS" VALUES ('USERS', 'ADAMS', 0, -1, 0, -1);
INSERT INTO "SYS.DBA_TS_QUOTAS" SELECT 'USERS', 'SCOTT', SUM(BYTES), 10485760, SUM(BLOCKS), 1280 FROM
  "SYS.DBA_SEGMENTS" WHERE OWNER = 'SCOTT' AND TABLESPACE_NAME = 'USERS';

-- Every quota is charged with what its user's segments take of the tablespace.
UPDATE "SYS.DBA_TS_QUOTAS" SET BYTES = (SELECT COALESCE(SUM(S.BYTES), 0) FROM "SYS.DBA_SEGMENTS" S WHERE
  S.OWNER = "SYS.DBA_TS_QUOTAS".USERNAME AND S.TABLESPACE_NAME = "SYS.DBA_TS_QUOTAS".TABLESPACE_NAME),
  BLOCKS = (SELECT COALESCE(SUM(S.BLOCKS), 0) FROM "SYS.DBA_SEGMENTS" S WHERE
  S.OWNER = "SYS.DBA_TS_QUOTAS".USERNAME AND S.TABLESPACE_NAME = "SYS.DBA_TS_QUOTAS".TABLESPACE_NAME);

INSERT INTO "SYS.DBA_PRIV_AUDIT_OPTS" VALUES ('SCOTT', NULL, 'CREATE TABLE', 'BY ACCESS', 'NOT SET'),
  ('SCOTT', NULL, 'DROP ANY TABLE', 'BY SESSION', 'BY SESSION');

INSERT INTO "SYS.DBA_RSRC_CONSUMER_GROUPS" VALUES ('LOW_GROUP', 'ROUND-ROBIN', 'Group of low priority sessions', 'ACTIVE', 'NO');
INSERT INTO "SYS.DBA_RSRC_CONSUMER_GROUP_PRIVS" VALUES ('SYSTEM', 'SYS_GROUP', 'NO', 'YES'),
  ('PUBLIC', 'LOW_GROUP', 'NO', 'NO'), ('SALES', 'LOW_GROUP', 'YES', 'NO');
