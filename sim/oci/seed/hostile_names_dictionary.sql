-- What SQL text cannot make for hostile_names.sql, in SQLite after the
-- other dictionary rows: HOSTILE's creation on the demo's fixed morning, and
-- values and a column comment holding bytes that are no UTF-8 at all (a
-- 0xFF byte, a lead byte with nothing after it), as a server stores what a
-- client sent it unchecked.

UPDATE "SYS.DBA_USERS" SET CREATED = '2003-03-15 10:00:00', DEFAULT_TABLESPACE = 'USERS', TEMPORARY_TABLESPACE = 'TEMP'
  WHERE USERNAME = 'HOSTILE';
-- "not <FF> utf-8", "lone <C3>"
INSERT INTO "HOSTILE.Odd Values" VALUES (7, CAST(X'6E6F7420FF207574662D38' AS TEXT)), (8, CAST(X'6C6F6E6520C3' AS TEXT));
-- "key <FF> byte"
UPDATE "SYS.DBA_COL_COMMENTS" SET COMMENTS = CAST(X'6B657920FF2062797465' AS TEXT)
  WHERE OWNER = 'HOSTILE' AND TABLE_NAME = 'Odd Values' AND COLUMN_NAME = 'ID';
INSERT INTO "SYS.DBA_COL_COMMENTS" SELECT 'HOSTILE', 'Odd Values', 'ID', CAST(X'6B657920FF2062797465' AS TEXT)
  WHERE NOT EXISTS (SELECT 1 FROM "SYS.DBA_COL_COMMENTS" WHERE OWNER = 'HOSTILE' AND TABLE_NAME = 'Odd Values'
                    AND COLUMN_NAME = 'ID');
