-- Objects whose names a file manager finds hostile, run through the
-- stand-in's own SQL engine as SYS after mixed_case_kinds.sql, all owned by
-- HOSTILE so that no other schema's listing changes: a single quote, runs of
-- blanks, lower case, names of exactly 30 bytes (30 ASCII letters; fifteen
-- two-byte letters in AL32UTF8), names that read as paths ("../..", "..\",
-- "C:", "a/b") and one with a tab.  "Odd Values" holds values with control
-- characters; its rows with bytes that are not UTF-8 at all are added in
-- hostile_names_dictionary.sql (no SQL text can carry them).

CREATE USER HOSTILE IDENTIFIED BY hostile DEFAULT TABLESPACE USERS TEMPORARY TABLESPACE TEMP;
GRANT CONNECT, RESOURCE TO HOSTILE;

CREATE TABLE HOSTILE."o'neil" ("it's" NUMBER(4), "Größe" VARCHAR2(10));
INSERT INTO HOSTILE."o'neil" VALUES (1, 'klein');
COMMENT ON TABLE HOSTILE."o'neil" IS 'Named with a quote';
CREATE TABLE HOSTILE."Blanks  and  Case" (N NUMBER);
CREATE TABLE HOSTILE."lower" ("lower" NUMBER);
CREATE TABLE HOSTILE.ABCDEFGHIJKLMNOPQRSTUVWXYZ_123 (N NUMBER);
CREATE TABLE HOSTILE."ÄÖÜäöüßÄÖÜäöüßÄ" ("Ä" NUMBER);
CREATE TABLE HOSTILE."../../escape" (N NUMBER);
INSERT INTO HOSTILE."../../escape" VALUES (1);
CREATE TABLE HOSTILE."..\..\win" (N NUMBER);
CREATE TABLE HOSTILE."C:drive" (N NUMBER);
CREATE TABLE HOSTILE."tab	name" (N NUMBER);
CREATE VIEW HOSTILE."a/b" AS SELECT "it's" FROM HOSTILE."o'neil";

CREATE TABLE HOSTILE."Odd Values" (ID NUMBER(4), TEXT VARCHAR2(40));
COMMENT ON TABLE HOSTILE."Odd Values" IS 'A tab	here, a bell and an escape[31m';
COMMENT ON COLUMN HOSTILE."Odd Values".TEXT IS 'Values with control characters';
INSERT INTO HOSTILE."Odd Values" VALUES (1, 'tab' || CHR(9) || 'between');
INSERT INTO HOSTILE."Odd Values" VALUES (2, 'two' || CHR(10) || 'lines');
INSERT INTO HOSTILE."Odd Values" VALUES (3, 'carriage' || CHR(13) || 'return');
INSERT INTO HOSTILE."Odd Values" VALUES (4, 'bell' || CHR(7) || 'escape' || CHR(27) || '[2J');
INSERT INTO HOSTILE."Odd Values" VALUES (5, 'quotes '' and "');
INSERT INTO HOSTILE."Odd Values" VALUES (6, 'Größe');

CREATE PROCEDURE HOSTILE."Proc's Ü" AS
BEGIN
  NULL;
END;
/
