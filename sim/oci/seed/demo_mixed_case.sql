-- Objects whose quoted names have lower case, of several kinds, run through
-- the stand-in's own SQL engine as SYS after demo_tables.sql (same
-- conventions: ';' ends a statement, '/' ends a PL/SQL unit).  Oracle keeps
-- such names exactly as written, so every listing must reach them as shown.
-- SCOTT."Mixed Case Table" (demo_tables.sql) gets table and column comments,
-- a primary key and a check constraint, an index, a synonym, a grant to
-- SALES and a table whose foreign key references it; beside it a
-- view with a commented column, a sequence with a synonym, and a type of
-- another owner with the name of one of SCOTT's.  The refresh group 'Weekly'
-- is in demo_mixed_case_dictionary.sql.

COMMENT ON TABLE SCOTT."Mixed Case Table" IS 'A table named in mixed case';
COMMENT ON COLUMN SCOTT."Mixed Case Table"."Column One" IS 'The key, named in mixed case';
ALTER TABLE SCOTT."Mixed Case Table" ADD CONSTRAINT "Mixed PK" PRIMARY KEY ("Column One");
ALTER TABLE SCOTT."Mixed Case Table" ADD CONSTRAINT "Positive Col" CHECK ("lower col" > 0);
CREATE INDEX SCOTT."Mixed Index" ON SCOTT."Mixed Case Table" ("lower col");
CREATE SYNONYM SCOTT."Mixed Syn" FOR SCOTT."Mixed Case Table";
GRANT SELECT ON SCOTT."Mixed Case Table" TO SALES;
CREATE TABLE SCOTT."Mixed Child" (
  "Parent Key" VARCHAR2(10) CONSTRAINT "Mixed FK" REFERENCES SCOTT."Mixed Case Table");

CREATE VIEW SCOTT."Mixed View" AS SELECT "Column One", "lower col" FROM SCOTT."Mixed Case Table";
COMMENT ON COLUMN SCOTT."Mixed View"."lower col" IS 'A number, named in lower case';

CREATE SEQUENCE SCOTT."Mixed Seq";
CREATE SYNONYM SCOTT."Seq Alias" FOR SCOTT."Mixed Seq";

-- A type of SALES named like SCOTT's ADDRESS_T: SCOTT's type list must
-- still show his own once.
CREATE TYPE SALES.ADDRESS_T AS OBJECT (LINE VARCHAR2(60))
/
