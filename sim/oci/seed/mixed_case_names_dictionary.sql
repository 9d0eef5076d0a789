-- Dictionary rows for names that DDL does not make in the stand-in: a
-- profile, a resource consumer group SCOTT may switch to and a tablespace,
-- each named in mixed case.  Run in SQLite after users_demo.sql.

INSERT INTO "SYS.DBA_PROFILES" VALUES
  ('Mixed Profile', 'COMPOSITE_LIMIT', 'KERNEL', 'DEFAULT'), ('Mixed Profile', 'SESSIONS_PER_USER', 'KERNEL', '2');
INSERT INTO "SYS.DBA_RSRC_CONSUMER_GROUPS" VALUES
  ('Mixed Group', 'ROUND-ROBIN', 'A group named in mixed case', 'ACTIVE', 'NO');
INSERT INTO "SYS.DBA_RSRC_CONSUMER_GROUP_PRIVS" VALUES ('SCOTT', 'Mixed Group', 'NO', 'NO');
INSERT INTO "SYS.DBA_TABLESPACES" VALUES
  ('Mixed Space', 8192, 65536, NULL, 1, 2147483645, NULL, 65536, 'OFFLINE', 'PERMANENT', 'LOGGING', 'NO', 'LOCAL',
   'SYSTEM', 'NO', 'AUTO');
