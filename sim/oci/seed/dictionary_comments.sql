-- The dictionary describes itself: columns of the SYS views in TAB_COLUMNS,
-- and comments on their columns and on the views, as record listings and
-- the dictionary description show them. Written once per
-- view family (the name without DBA_/ALL_/USER_); the statements at the end
-- give every published SYS view a comment row per column, as Oracle has, and
-- copy the texts to DICTIONARY and DICT_COLUMNS. Run in SQLite after the demo
-- dictionary rows; columns someone commented already keep their comment.
CREATE TEMP TABLE dict_col_comments (BASE TEXT, COLUMN_NAME TEXT, COMMENTS TEXT);
CREATE TEMP TABLE dict_tab_comments (BASE TEXT, COMMENTS TEXT);

INSERT INTO dict_tab_comments VALUES
  ('OBJECTS', 'Objects'), ('TABLES', 'Description of relational tables'),
  ('ALL_TABLES', 'Description of all object and relational tables'), ('TAB_COLUMNS', 'Columns of tables, views and clusters'),
  ('COL_COMMENTS', 'Comments on columns of tables and views'), ('TAB_COMMENTS', 'Comments on tables and views'),
  ('VIEWS', 'Description of views'), ('CONSTRAINTS', 'Constraint definitions on tables'),
  ('CONS_COLUMNS', 'Information about accessible columns in constraint definitions'),
  ('INDEXES', 'Description of indexes'), ('IND_COLUMNS', 'Columns comprising indexes on tables'),
  ('SEQUENCES', 'Description of SEQUENCEs'), ('SYNONYMS', 'Synonyms'),
  ('SOURCE', 'Source of stored objects'), ('ERRORS', 'Current errors on stored objects'),
  ('DEPENDENCIES', 'Dependencies to and from objects'), ('TRIGGERS', 'Triggers'),
  ('TYPES', 'Description of types'), ('DB_LINKS', 'Database links'), ('DIRECTORIES', 'Description of directories'),
  ('LIBRARIES', 'Description of libraries'), ('QUEUES', 'Queues'), ('USERS', 'Information about users of the database'),
  ('SNAPSHOT_LOGS', 'All snapshot logs'), ('SNAPSHOTS', 'Snapshots'), ('REFRESH', 'Refresh groups'),
  ('OBJECT_SIZE', 'Sizes, in bytes, of various pl/sql objects'), ('CLUSTERS', 'Description of clusters'),
  ('TAB_PRIVS', 'Grants on objects'), ('ARGUMENTS', 'Arguments in object'),
  ('RSRC_PLAN_DIRECTIVES', 'All the resource plan directives');

INSERT INTO dict_col_comments VALUES
  ('OBJECTS', 'OWNER', 'Username of the owner of the object'),
  ('OBJECTS', 'OBJECT_NAME', 'Name of the object'),
  ('OBJECTS', 'SUBOBJECT_NAME', 'Name of the sub-object (for example, partititon)'),
  ('OBJECTS', 'OBJECT_ID', 'Object number of the object'),
  ('OBJECTS', 'DATA_OBJECT_ID', 'Object number of the segment which contains the object'),
  ('OBJECTS', 'OBJECT_TYPE', 'Type of the object'),
  ('OBJECTS', 'CREATED', 'Timestamp for the creation of the object'),
  ('OBJECTS', 'LAST_DDL_TIME', 'Timestamp for the last DDL change (including GRANT and REVOKE) to the object'),
  ('OBJECTS', 'TIMESTAMP', 'Timestamp for the declaration of the object'),
  ('OBJECTS', 'STATUS', 'Status of the object'),
  ('OBJECTS', 'TEMPORARY', 'Can the current session only see data that it place in this object itself?'),
  ('OBJECTS', 'GENERATED', 'Was the name of this object system generated?'),
  ('OBJECTS', 'SECONDARY', 'Is this a secondary object created as part of icreate for domain indexes?'),
  ('SEQUENCES', 'SEQUENCE_OWNER', 'Name of the owner of the sequence'),
  ('SEQUENCES', 'SEQUENCE_NAME', 'SEQUENCE name'),
  ('SEQUENCES', 'MIN_VALUE', 'Minimum value of the sequence'),
  ('SEQUENCES', 'MAX_VALUE', 'Maximum value of the sequence'),
  ('SEQUENCES', 'INCREMENT_BY', 'Value by which sequence is incremented'),
  ('SEQUENCES', 'CYCLE_FLAG', 'Does sequence wrap around on reaching limit?'),
  ('SEQUENCES', 'ORDER_FLAG', 'Are sequence numbers generated in order?'),
  ('SEQUENCES', 'CACHE_SIZE', 'Number of sequence numbers to cache'),
  ('SEQUENCES', 'LAST_NUMBER', 'Last sequence number written to disk'),
  ('SYNONYMS', 'OWNER', 'Owner of the synonym'),
  ('SYNONYMS', 'SYNONYM_NAME', 'Name of the synonym'),
  ('SYNONYMS', 'TABLE_OWNER', 'Owner of the object referenced by the synonym'),
  ('SYNONYMS', 'TABLE_NAME', 'Name of the object referenced by the synonym'),
  ('SYNONYMS', 'DB_LINK', 'Name of the database link referenced in a remote synonym'),
  ('LIBRARIES', 'OWNER', 'Owner of the library'),
  ('LIBRARIES', 'LIBRARY_NAME', 'Name of the library'),
  ('LIBRARIES', 'FILE_SPEC', 'Operating system file name of the library'),
  ('LIBRARIES', 'DYNAMIC', 'Is the library dynamically loadable'),
  ('LIBRARIES', 'STATUS', 'Status of the library'),
  ('DIRECTORIES', 'OWNER', 'Owner of the directory (always SYS)'),
  ('DIRECTORIES', 'DIRECTORY_NAME', 'Name of the directory'),
  ('DIRECTORIES', 'DIRECTORY_PATH', 'Operating system pathname for the directory'),
  ('DB_LINKS', 'OWNER', 'Username of the owner of the database link'),
  ('DB_LINKS', 'DB_LINK', 'Name of the database link'),
  ('DB_LINKS', 'USERNAME', 'Name of user to log on as'),
  ('DB_LINKS', 'HOST', 'SQL*Net string for connect'),
  ('DB_LINKS', 'CREATED', 'Creation time of the database link'),
  ('TRIGGERS', 'OWNER', 'Owner of the trigger'),
  ('TRIGGERS', 'TRIGGER_NAME', 'Name of the trigger'),
  ('TRIGGERS', 'TRIGGER_TYPE', 'Type of the trigger (when it fires) - BEFORE/AFTER and STATEMENT/ROW'),
  ('TRIGGERS', 'TRIGGERING_EVENT', 'Statement that will fire the trigger - INSERT, UPDATE and/or DELETE'),
  ('TRIGGERS', 'TABLE_OWNER', 'Owner of the table that this trigger is associated with'),
  ('TRIGGERS', 'BASE_OBJECT_TYPE', 'Type of the base object on which the trigger is defined'),
  ('TRIGGERS', 'TABLE_NAME', 'Name of the table that this trigger is associated with'),
  ('TRIGGERS', 'COLUMN_NAME', 'The name of the column on which the trigger is defined over'),
  ('TRIGGERS', 'REFERENCING_NAMES', 'Names used for referencing to OLD, NEW and PARENT values within the trigger'),
  ('TRIGGERS', 'WHEN_CLAUSE', 'WHEN clause must evaluate to true in order for triggering body to execute'),
  ('TRIGGERS', 'STATUS', 'If DISABLED then trigger will not fire'),
  ('TRIGGERS', 'DESCRIPTION', 'Trigger description, useful for re-creating trigger creation statement'),
  ('TRIGGERS', 'ACTION_TYPE', 'Type of the action of the trigger'),
  ('TRIGGERS', 'TRIGGER_BODY', 'Action taken by this trigger when it fires'),
  ('QUEUES', 'OWNER', 'Owner of the queue'),
  ('QUEUES', 'NAME', 'Name of the queue'),
  ('QUEUES', 'QUEUE_TABLE', 'Name of the table the queue data resides in'),
  ('QUEUES', 'QID', 'Object number of the queue'),
  ('QUEUES', 'QUEUE_TYPE', 'Type of the queue'),
  ('QUEUES', 'MAX_RETRIES', 'Maximum number of retries allowed when dequeuing from the queue'),
  ('QUEUES', 'RETRY_DELAY', 'Time interval between retries'),
  ('QUEUES', 'ENQUEUE_ENABLED', 'Queue is enabled for enqueue'),
  ('QUEUES', 'DEQUEUE_ENABLED', 'Queue is enabled for dequeue'),
  ('QUEUES', 'RETENTION', 'Time interval processed messages retained in the queue'),
  ('QUEUES', 'USER_COMMENT', 'User specified comment'),
  ('OBJECT_SIZE', 'OWNER', 'Owner of the object'),
  ('OBJECT_SIZE', 'NAME', 'Name of the object'),
  ('OBJECT_SIZE', 'TYPE', 'Type of the object'),
  ('OBJECT_SIZE', 'SOURCE_SIZE', 'Size of the source, in bytes'),
  ('OBJECT_SIZE', 'PARSED_SIZE', 'Size of the parsed form of the object, in bytes'),
  ('OBJECT_SIZE', 'CODE_SIZE', 'Code size, in bytes'),
  ('OBJECT_SIZE', 'ERROR_SIZE', 'Size of error messages, in bytes'),
  ('SNAPSHOT_LOGS', 'LOG_OWNER', 'Owner of the snapshot log'),
  ('SNAPSHOT_LOGS', 'MASTER', 'Name of the master table which changes are logged'),
  ('SNAPSHOT_LOGS', 'LOG_TABLE', 'Log table; with rowids and timestamps of rows which changed in the master'),
  ('SNAPSHOT_LOGS', 'LOG_TRIGGER', 'An after-row trigger on the master which inserts rows into the log'),
  ('SNAPSHOT_LOGS', 'ROWIDS', 'If YES, the snapshot log records rowid information'),
  ('SNAPSHOT_LOGS', 'PRIMARY_KEY', 'If YES, the snapshot log records primary key information'),
  ('SNAPSHOT_LOGS', 'CURRENT_SNAPSHOTS', 'One date per snapshot -- the date the snapshot of the master last refreshed'),
  ('SNAPSHOT_LOGS', 'SNAPSHOT_ID', 'Unique snapshot identifier'),
  ('SNAPSHOTS', 'OWNER', 'Owner of the snapshot'),
  ('SNAPSHOTS', 'NAME', 'The view used by users and applications for viewing the snapshot'),
  ('SNAPSHOTS', 'TABLE_NAME', 'Table the snapshot is stored in -- has an extra column for the master rowid'),
  ('SNAPSHOTS', 'MASTER_VIEW', 'View of the master table, owned by the snapshot owner, used for refreshes'),
  ('SNAPSHOTS', 'MASTER_OWNER', 'Owner of the master table'),
  ('SNAPSHOTS', 'MASTER', 'Name of the master table that this snapshot is a copy of'),
  ('SNAPSHOTS', 'MASTER_LINK', 'Database link name to the master site'),
  ('SNAPSHOTS', 'LAST_REFRESH', 'SYSDATE from the master site at the time of the last refresh'),
  ('SNAPSHOTS', 'QUERY', 'Original query of which this snapshot is an instantiation'),
  ('REFRESH', 'ROWNER', 'Name of the owner of the refresh group'),
  ('REFRESH', 'RNAME', 'Name of the refresh group'),
  ('REFRESH', 'REFGROUP', 'Internal identifier of refresh group'),
  ('REFRESH', 'IMPLICIT_DESTROY', 'Y or N; if Y, then destroy the refresh group when its last item is subtracted'),
  ('REFRESH', 'JOB', 'Identifier of job used to refresh the group automatically'),
  ('REFRESH', 'NEXT_DATE', 'Date that this job will next be refreshed automatically, if not broken'),
  ('REFRESH', 'INTERVAL', 'A date function used to compute the next NEXT_DATE'),
  ('REFRESH', 'BROKEN', 'Y or N; Y is the job is broken and will never be run'),
  ('RSRC_PLAN_DIRECTIVES', 'PLAN', 'Name of the plan to which this directive belongs'),
  ('RSRC_PLAN_DIRECTIVES', 'GROUP_OR_SUBPLAN', 'Name of the consumer group/sub-plan referred to'),
  ('RSRC_PLAN_DIRECTIVES', 'TYPE', 'Whether GROUP_OR_SUBPLAN refers to a consumer group or a plan'),
  ('RSRC_PLAN_DIRECTIVES', 'COMMENTS', 'Text comment on the plan directive'),
  ('RSRC_PLAN_DIRECTIVES', 'STATUS', 'PENDING if it is part of the pending area, NULL otherwise'),
  ('RSRC_PLAN_DIRECTIVES', 'MANDATORY', 'Whether the plan directive is mandatory'),
  ('TAB_COLUMNS', 'OWNER', 'Owner of the table, view or cluster'),
  ('TAB_COLUMNS', 'TABLE_NAME', 'Table, view or cluster name'),
  ('TAB_COLUMNS', 'COLUMN_NAME', 'Column name'),
  ('TAB_COLUMNS', 'DATA_TYPE', 'Datatype of the column'),
  ('TAB_COLUMNS', 'DATA_LENGTH', 'Length of the column in bytes'),
  ('TAB_COLUMNS', 'DATA_PRECISION', 'Length: decimal digits (NUMBER) or binary digits (FLOAT)'),
  ('TAB_COLUMNS', 'DATA_SCALE', 'Digits to right of decimal point in a number'),
  ('TAB_COLUMNS', 'NULLABLE', 'Does column allow NULL values?'),
  ('TAB_COLUMNS', 'COLUMN_ID', 'Sequence number of the column as created'),
  ('TAB_COLUMNS', 'DATA_DEFAULT', 'Default value for the column'),
  ('TABLES', 'OWNER', 'Owner of the table'),
  ('TABLES', 'TABLE_NAME', 'Name of the table'),
  ('TABLES', 'TABLESPACE_NAME', 'Name of the tablespace containing the table'),
  ('TABLES', 'NUM_ROWS', 'The number of rows in the table'),
  ('TABLES', 'BLOCKS', 'The number of used blocks in the table'),
  ('TABLES', 'LAST_ANALYZED', 'The date of the most recent time this table was analyzed'),
  ('ALL_TABLES', 'OWNER', 'Owner of the table'),
  ('ALL_TABLES', 'TABLE_NAME', 'Name of the table'),
  ('ALL_TABLES', 'TABLESPACE_NAME', 'Name of the tablespace containing the table'),
  ('ALL_TABLES', 'NUM_ROWS', 'The number of rows in the table'),
  ('ALL_TABLES', 'BLOCKS', 'The number of used blocks in the table'),
  ('ALL_TABLES', 'LAST_ANALYZED', 'The date of the most recent time this table was analyzed'),
  ('INDEXES', 'OWNER', 'Username of the owner of the index'),
  ('INDEXES', 'INDEX_NAME', 'Name of the index'),
  ('INDEXES', 'INDEX_TYPE', 'Type of the index'),
  ('INDEXES', 'TABLE_OWNER', 'Owner of the indexed object'),
  ('INDEXES', 'TABLE_NAME', 'Name of the indexed object'),
  ('INDEXES', 'UNIQUENESS', 'Uniqueness status of the index: "UNIQUE",  "NONUNIQUE", or "BITMAP"'),
  ('INDEXES', 'TABLESPACE_NAME', 'Name of the tablespace containing the index'),
  ('INDEXES', 'STATUS', 'Whether the non-partitioned index is in USABLE or not'),
  ('CONSTRAINTS', 'OWNER', 'Owner of the table'),
  ('CONSTRAINTS', 'CONSTRAINT_NAME', 'Name associated with constraint definition'),
  ('CONSTRAINTS', 'CONSTRAINT_TYPE', 'Type of constraint definition'),
  ('CONSTRAINTS', 'TABLE_NAME', 'Name associated with table with constraint definition'),
  ('CONSTRAINTS', 'SEARCH_CONDITION', 'Text of search condition for table check'),
  ('CONSTRAINTS', 'R_OWNER', 'Owner of table used in referential constraint'),
  ('CONSTRAINTS', 'R_CONSTRAINT_NAME', 'Name of unique constraint definition for referenced table'),
  ('CONSTRAINTS', 'DELETE_RULE', 'The delete rule for a referential constraint'),
  ('CONSTRAINTS', 'STATUS', 'Enforcement status of constraint -  ENABLED or DISABLED'),
  ('VIEWS', 'OWNER', 'Owner of the view'),
  ('VIEWS', 'VIEW_NAME', 'Name of the view'),
  ('VIEWS', 'TEXT_LENGTH', 'Length of the view text'),
  ('VIEWS', 'TEXT', 'View text'),
  ('USERS', 'USERNAME', 'Name of the user'),
  ('USERS', 'USER_ID', 'ID number of the user'),
  ('USERS', 'PASSWORD', 'Encrypted password'),
  ('USERS', 'DEFAULT_TABLESPACE', 'Default tablespace for data'),
  ('USERS', 'TEMPORARY_TABLESPACE', 'Default tablespace for temporary tables'),
  ('USERS', 'CREATED', 'User creation date'),
  ('USERS', 'PROFILE', 'User resource profile name'),
  ('CLUSTERS', 'OWNER', 'Owner of the cluster'),
  ('CLUSTERS', 'CLUSTER_NAME', 'Name of the cluster'),
  ('CLUSTERS', 'TABLESPACE_NAME', 'Name of the tablespace containing the cluster'),
  ('CLUSTERS', 'KEY_SIZE', 'Estimated size of cluster key plus associated rows'),
  ('CLUSTERS', 'CLUSTER_TYPE', 'Type of cluster: b-tree index or hash'),
  ('CLUSTERS', 'FUNCTION', 'If a hash cluster, the hash function'),
  ('CLUSTERS', 'HASHKEYS', 'If a hash cluster, the number of hash keys (hash buckets)');

-- The family of a view name: the name without its DBA_, ALL_ or USER_ prefix;
-- ALL_ALL_TABLES and DBA_ALL_TABLES keep theirs as "ALL_TABLES".
CREATE TEMP VIEW dict_published AS SELECT OBJECT_NAME AS NAME, CASE
    WHEN OBJECT_NAME LIKE 'DBA\_%' ESCAPE '\' OR OBJECT_NAME LIKE 'ALL\_%' ESCAPE '\' THEN substr(OBJECT_NAME, 5)
    WHEN OBJECT_NAME LIKE 'USER\_%' ESCAPE '\' THEN substr(OBJECT_NAME, 6)
    ELSE OBJECT_NAME END AS BASE
  FROM "SYS.DBA_OBJECTS" WHERE OWNER = 'SYS' AND OBJECT_TYPE IN ('VIEW', 'TABLE')
    AND EXISTS (SELECT 1 FROM sqlite_master WHERE name = 'SYS.' || OBJECT_NAME);

INSERT INTO "SYS.DBA_TAB_COLUMNS" (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, NULLABLE, COLUMN_ID)
  SELECT 'SYS', V.NAME, P.name,
    CASE WHEN instr(P.type, '(') > 0 THEN substr(P.type, 1, instr(P.type, '(') - 1) ELSE P.type END,
    CASE WHEN instr(P.type, '(') > 0 AND P.type NOT LIKE 'NUMBER%'
           THEN CAST(substr(P.type, instr(P.type, '(') + 1, instr(P.type, ')') - instr(P.type, '(') - 1) AS INTEGER)
         WHEN P.type LIKE 'NUMBER%' THEN 22 WHEN P.type = 'DATE' THEN 7 ELSE 0 END,
    'Y', P.cid + 1
  FROM dict_published V JOIN pragma_table_info('SYS.' || V.NAME) P
  WHERE NOT EXISTS (SELECT 1 FROM "SYS.DBA_TAB_COLUMNS" X WHERE X.OWNER = 'SYS' AND X.TABLE_NAME = V.NAME);
INSERT INTO "SYS.DBA_COL_COMMENTS" (OWNER, TABLE_NAME, COLUMN_NAME, COMMENTS)
  SELECT 'SYS', V.NAME, P.name, C.COMMENTS
  FROM dict_published V JOIN pragma_table_info('SYS.' || V.NAME) P
    LEFT JOIN dict_col_comments C ON C.BASE = V.BASE AND C.COLUMN_NAME = P.name
  WHERE NOT EXISTS (SELECT 1 FROM "SYS.DBA_COL_COMMENTS" X WHERE X.OWNER = 'SYS' AND X.TABLE_NAME = V.NAME
    AND X.COLUMN_NAME = P.name);
INSERT INTO "SYS.DBA_TAB_COMMENTS" (OWNER, TABLE_NAME, TABLE_TYPE, COMMENTS)
  SELECT 'SYS', V.NAME, 'VIEW', T.COMMENTS FROM dict_published V LEFT JOIN dict_tab_comments T ON T.BASE = V.BASE
  WHERE NOT EXISTS (SELECT 1 FROM "SYS.DBA_TAB_COMMENTS" X WHERE X.OWNER = 'SYS' AND X.TABLE_NAME = V.NAME);
UPDATE "SYS.DICTIONARY" SET COMMENTS = (SELECT T.COMMENTS FROM "SYS.DBA_SYNONYMS" S, "SYS.DBA_TAB_COMMENTS" T
  WHERE S.OWNER = 'PUBLIC' AND S.SYNONYM_NAME = "SYS.DICTIONARY".TABLE_NAME AND T.OWNER = 'SYS'
    AND T.TABLE_NAME = S.TABLE_NAME);
UPDATE "SYS.DICT_COLUMNS" SET COMMENTS = (SELECT C.COMMENTS FROM "SYS.DBA_SYNONYMS" S, "SYS.DBA_COL_COMMENTS" C
  WHERE S.OWNER = 'PUBLIC' AND S.SYNONYM_NAME = "SYS.DICT_COLUMNS".TABLE_NAME AND C.OWNER = 'SYS'
    AND C.TABLE_NAME = S.TABLE_NAME AND C.COLUMN_NAME = "SYS.DICT_COLUMNS".COLUMN_NAME);
DROP VIEW dict_published;
DROP TABLE dict_col_comments;
DROP TABLE dict_tab_comments;
