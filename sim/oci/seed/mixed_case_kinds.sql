-- More kinds named as quoted identifiers with lower case, run through the
-- stand-in's own SQL engine as SYS after mixed_case_names.sql: SALES's
-- partitioned table "Mixed Part" (a snapshot log's master too) and the
-- table "Clu Member" of the cluster "Mixed Clu".  The partitions, the
-- cluster, the snapshot log and the resource plan "Mixed Plan" are rows
-- the SQL subset cannot make: mixed_case_kinds_dictionary.sql.

CREATE TABLE SALES."Mixed Part" ("Sale Year" NUMBER(4) NOT NULL, "amount" NUMBER(10,2));
INSERT INTO SALES."Mixed Part" VALUES (2002, 10.5);
CREATE TABLE SALES."Clu Member" ("Key Col" NUMBER(4), NOTE VARCHAR2(20));
