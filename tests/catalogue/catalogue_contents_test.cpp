// Every stored statement of the listings is in the catalogue exactly once,
// under its name, and statements that are put together at run time are not.
// Each statement is recognised by its first and last words, so a text that
// went missing, moved to another number, got cut short or was stored twice
// shows up here.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "connection/statement_catalogue.h"

namespace {

// The table below names statements by their catalogue constants.
using namespace connection;

struct Recognised {
  int number;
  std::string_view first_words;
  std::string_view last_words;
};

// clang-format off
constexpr Recognised kStatements[] = {
    {kStmtDbVersion,
     "BEGIN DBMS_UTILITY.DB_VERSION (:VERSION,",
     "(:VERSION, :COMPATIBILITY); END;"},
    {kStmtPortString, "BEGIN :PORT_STRING :=", ":= DBMS_UTILITY.PORT_STRING; END;"},
    {kStmtAllUsers, "SELECT * FROM", "* FROM :DBA_USERS"},
    {kStmtTimeseriesOwners, "SELECT OWNER, COUNT(*)", ":DBA_TIMESERIES_GROUPS GROUP BY OWNER"},
    {kStmtDirectoriesOwners, "SELECT OWNER, COUNT(DIRECTORY_NAME)", "GROUP BY OWNER"},
    {kStmtParameters, "SELECT P.*, DECODE", "FROM V$PARAMETER P"},
    {kStmtCatalogOwners, "SELECT /*+ RULE", "GROUP BY OWNER"},
    {kStmtTimeseriesGroupsOfOwner, "SELECT * FROM", ":DBA_TIMESERIES_GROUPS WHERE OWNER = :OWNER"},
    {kStmtErrorsOwners, "SELECT OWNER, COUNT(DISTINCT", "GROUP BY OWNER"},
    {kStmtDbLinksOwners, "SELECT OWNER, COUNT(DB_LINK)", "GROUP BY OWNER"},
    {kStmtQueuesOwners, "SELECT OWNER, COUNT(*)", ":DBA_QUEUES GROUP BY OWNER"},
    {kStmtContextsOwners, "SELECT SCHEMA, COUNT(*)", "GROUP BY SCHEMA"},
    {kStmtDirectoriesOfOwner, "SELECT D.DIRECTORY_NAME, O.CREATED,", "O.OBJECT_TYPE = 'DIRECTORY'"},
    {kStmtCatalogOfOwner, "SELECT /*+ RULE", "C.TABLE_TYPE = O.OBJECT_TYPE"},
    {kStmtRefreshGroupsOwners, "SELECT ROWNER, COUNT(RNAME)", "GROUP BY ROWNER"},
    {kStmtSnapshotLogsOwners, "SELECT LOG_OWNER, COUNT(*)", "GROUP BY LOG_OWNER"},
    {kStmtRegisteredSnapshotsOwners,
     "SELECT OWNER, COUNT(NAME)",
     ":DBA_REGISTERED_SNAPSHOTS GROUP BY OWNER"},
    {kStmtSnapshotsOwners, "SELECT OWNER, COUNT(NAME)", ":DBA_SNAPSHOTS GROUP BY OWNER"},
    {kStmtAllObjectsTypes, "SELECT OBJECT_TYPE, COUNT(*)", ":DBA_OBJECTS GROUP BY OBJECT_TYPE"},
    {kStmtResourcePlans, "SELECT * FROM", "* FROM :DBA_RSRC_PLANS"},
    {kStmtErrorObjectsOfOwner, "SELECT DISTINCT E.NAME,", "E.TYPE = O.OBJECT_TYPE"},
    {kStmtDbLinksOfOwner, "SELECT L.*, 'User:", "OWNER = :OWNER"},
    {kStmtReservedWords, "SELECT * FROM", "* FROM V$RESERVED_WORDS"},
    {kStmtDictionary, "SELECT * FROM", "* FROM DICTIONARY"},
    {kStmtFixedTables, "SELECT * FROM", "* FROM V$FIXED_TABLE"},
    {kStmtSqlPlusHelpTopics, "SELECT TOPIC FROM", "SEQ = 1"},
    {kStmtObjectTablesOwners, "SELECT OWNER, COUNT", ":DBA_OBJECT_TABLES GROUP BY OWNER"},
    {kStmtNestedTablesOwners,
     "SELECT OWNER, COUNT(TABLE_NAME)",
     ":DBA_NESTED_TABLES GROUP BY OWNER"},
    {kStmtVarrayColumnsOwners, "SELECT OWNER, COUNT(*)", ":DBA_VARRAYS GROUP BY OWNER"},
    {kStmtUnusedColumns, "SELECT U.OWNER ||", "FROM :DBA_UNUSED_COL_TABS U"},
    {kStmtAllLobs, "SELECT OWNER ||", "CUSTOM_DESCRIPTION FROM :DBA_LOBS"},
    {kStmtQueuesOfOwner, "SELECT * FROM", ":DBA_QUEUES WHERE OWNER = :OWNER"},
    {kStmtPartitionedTables, "SELECT TABLE_NAME, OWNER,", "PARTITION_COUNT FROM :DBA_PART_TABLES"},
    {kStmtContextsOfOwner, "SELECT * FROM", "SCHEMA = :OWNER"},
    {kStmtViewsOwners, "SELECT OWNER, COUNT(VIEW_NAME)", "GROUP BY OWNER"},
    {kStmtIndexesOwners, "SELECT OWNER, COUNT(INDEX_NAME)", "GROUP BY OWNER"},
    {kStmtRefreshGroupsOfOwner, "SELECT RNAME FROM", "ROWNER = :OWNER"},
    {kStmtNonIndexedForeignKeys, "SELECT (C.OWNER ||", "= ACC.COLUMN_NAME )"},
    {kStmtSnapshotLogsOfOwner, "SELECT LOG_TABLE FROM", "LOG_OWNER = :OWNER"},
    {kStmtClustersOwners, "SELECT OWNER, COUNT(CLUSTER_NAME)", "GROUP BY OWNER"},
    {kStmtFunctionsOwners, "SELECT OWNER, COUNT(OBJECT_NAME)", "'FUNCTION' GROUP BY OWNER"},
    {kStmtRegisteredSnapshotsOfOwner,
     "SELECT * FROM",
     ":DBA_REGISTERED_SNAPSHOTS WHERE OWNER = :OWNER"},
    {kStmtProceduresOwners, "SELECT OWNER, COUNT(OBJECT_NAME)", "'PROCEDURE' GROUP BY OWNER"},
    {kStmtSnapshotsOfOwner, "SELECT NAME FROM", "OWNER = :OWNER"},
    {kStmtPackagesOwners, "SELECT OWNER, COUNT(OBJECT_NAME)", "'PACKAGE' GROUP BY OWNER"},
    {kStmtAllObjectsOfType, "SELECT O.OBJECT_NAME ||", "O.OBJECT_TYPE = :OWNER"},
    {kStmtRefreshGroupChildren, "SELECT OWNER ||", "RNAME = :NAME"},
    {kStmtTableIndexes, "SELECT DECODE (I.OWNER,", "O.OBJECT_TYPE = 'INDEX'"},
    {kStmtPackageBodiesOwners, "SELECT OWNER, COUNT(OBJECT_NAME)", "BODY' GROUP BY OWNER"},
    {kStmtIndexesOfOwner, "SELECT I.INDEX_NAME AS", "O.OBJECT_TYPE = 'INDEX'"},
    {kStmtTableTriggers, "SELECT T.TRIGGER_NAME ||", "O.OBJECT_TYPE = 'TRIGGER'"},
    {kStmtTriggersOwners, "SELECT OWNER, COUNT", ":DBA_TRIGGERS GROUP BY OWNER"},
    {kStmtResourcePlanDirectives, "SELECT * FROM", "PLAN = :OWNER"},
    {kStmtQueueTables, "SELECT T.* FROM", "Q.QUEUE_TABLE = T.QUEUE_TABLE"},
    {kStmtReferencedFrom, "SELECT * FROM", "REFERENCED_OWNER = :OWNER"},
    {kStmtTriggerTypes, "SELECT TRIGGER_TYPE, COUNT(*)", "GROUP BY TRIGGER_TYPE"},
    {kStmtDictionaryColumns, "SELECT * FROM", "DICT_COLUMNS WHERE TABLE_NAME = :OWNER"},
    {kStmtTriggerEvents, "SELECT TRIGGERING_EVENT, COUNT(*)", "GROUP BY TRIGGERING_EVENT"},
    {kStmtFixedTableIndexedColumns,
     "SELECT * FROM",
     "V$INDEXED_FIXED_COLUMN WHERE TABLE_NAME = :OWNER"},
    {kStmtRefByConstraints,
     "SELECT CR.COLUMN_NAME, C.CONSTRAINT_NAME,C.OWNER",
     "CR.COLUMN_NAME, C.OWNER, C.TABLE_NAME"},
    {kStmtTableQueues, "SELECT * FROM", "QUEUE_TABLE = :NAME"},
    {kStmtSequencesOwners,
     "SELECT SEQUENCE_OWNER, COUNT(SEQUENCE_NAME)",
     "GROUP BY SEQUENCE_OWNER"},
    {kStmtSqlPlusHelpTopic, "SELECT LPAD(SEQ, 5,", "TOPIC = :OWNER"},
    {kStmtObjectGrants, "SELECT GRANTOR, GRANTEE,", "TABLE_NAME = :NAME"},
    {kStmtObjectSynonyms, "SELECT OWNER ||", "TABLE_NAME = :NAME"},
    {kStmtTablesOwners, "SELECT OWNER, COUNT(TABLE_NAME)", ":ALL_TABLES GROUP BY OWNER"},
    {kStmtTablesOfOwner, "SELECT T.BLOCKS, T.TABLE_NAME", "O.OBJECT_TYPE = 'TABLE'"},
    {kStmtClusterTables, "SELECT TABLE_NAME ||", "CLUSTER_NAME = :NAME"},
    {kStmtNestedTablesOfOwner, "SELECT T.TABLE_NAME, O.CREATED,", "O.OBJECT_TYPE = 'TABLE'"},
    {kStmtSynonymsOwners, "SELECT OWNER, COUNT(*)", ":DBA_SYNONYMS GROUP BY OWNER"},
    {kStmtObjectTablesOfOwner, "SELECT T.BLOCKS, (T.TABLE_NAME", "O.OBJECT_TYPE = 'TABLE'"},
    {kStmtTableClusterColumns, "SELECT CLUSTER_NAME ||", "TABLE_NAME = :NAME"},
    {kStmtTableDimensions, "SELECT DISTINCT DIMENSION_NAME", "DETAILOBJ_NAME = :NAME"},
    {kStmtSynonymTypes, "SELECT O.OBJECT_TYPE, COUNT(*)", "GROUP BY O.OBJECT_TYPE"},
    {kStmtVarrayColumnsOfOwner, "SELECT A.*, DECODE(A.TYPE_OWNER,", "OWNER = :OWNER"},
    {kStmtLibrariesOwners, "SELECT OWNER, COUNT(LIBRARY_NAME)", "GROUP BY OWNER"},
    {kStmtViewsOfOwner, "SELECT V.VIEW_NAME, V.TEXT_LENGTH,", "O.OBJECT_TYPE = 'VIEW'"},
    {kStmtClustersOfOwner, "SELECT C.*, 'Type:", "OWNER = :OWNER"},
    {kStmtFunctionsOfOwner, "SELECT O.OBJECT_NAME, O.CREATED,", "O.OBJECT_TYPE = 'FUNCTION'"},
    {kStmtProceduresOfOwner, "SELECT O.OBJECT_NAME, O.CREATED,", "O.OBJECT_TYPE = 'PROCEDURE'"},
    {kStmtIndexExpressions, "SELECT * FROM", "INDEX_NAME = :NAME"},
    {kStmtObjectPrivilegeObjects, "SELECT P.TABLE_NAME FROM", "GROUP BY P.TABLE_NAME"},
    {kStmtObjectPrivilegeGrants, "SELECT P.* FROM", "O.OBJECT_TYPE = :TYPE"},
    {kStmtTypesOwners, "SELECT DECODE(OWNER, NULL,", "'BUILD INTO', OWNER)"},
    {kStmtObjectTypesOwners, "SELECT OWNER, COUNT(TYPE_NAME)", "'OBJECT' GROUP BY OWNER"},
    {kStmtPackagesOfOwner, "SELECT O.OBJECT_NAME, O.CREATED,", "O.OBJECT_TYPE = 'PACKAGE'"},
    {kStmtTableTypesOwners, "SELECT OWNER, COUNT(TYPE_NAME)", "'COLLECTION' GROUP BY OWNER"},
    {kStmtPackageBodiesOfOwner, "SELECT O.OBJECT_NAME, O.CREATED,", "= 'PACKAGE BODY'"},
    {kStmtClusterColumns, "SELECT CLU_COLUMN_NAME, TABLE_NAME", "CLUSTER_NAME = :NAME"},
    {kStmtArrayTypesOwners, "SELECT OWNER, COUNT(*)", "ARRAY' GROUP BY OWNER"},
    {kStmtTriggersOfType,
     "SELECT T.OWNER || '.' || T.TRIGGER_NAME AS FILENAME,O.CREATED, "
     "O.LAST_DDL_TIME, T.STATUS || ' CR ' || O.CREATED AS CUSTOM_DESCRIPTION FROM "
     ":DBA_TRIGGERS T, :DBA_OBJECTS O WHERE T.TRIGGER_TYPE",
     "O.OBJECT_TYPE = 'TRIGGER'"},
    {kStmtTriggersOfEvent,
     "SELECT T.OWNER || '.' || T.TRIGGER_NAME AS FILENAME,O.CREATED, "
     "O.LAST_DDL_TIME, T.STATUS || ' CR ' || O.CREATED AS CUSTOM_DESCRIPTION FROM "
     ":DBA_TRIGGERS T, :DBA_OBJECTS O WHERE T.TRIGGERING_EVENT",
     "O.OBJECT_TYPE = 'TRIGGER'"},
    {kStmtTriggersOfOwner, "SELECT T.TRIGGER_NAME, T.TRIGGER_NAME", "O.OBJECT_TYPE = 'TRIGGER'"},
    {kStmtIndexTypesOwners, "SELECT OWNER, COUNT(*)", ":DBA_INDEXTYPES GROUP BY OWNER"},
    {kStmtSequencesOfOwner, "SELECT S.SEQUENCE_NAME, S.LAST_NUMBER,", "O.OBJECT_TYPE = 'SEQUENCE'"},
    {kStmtPackageRoutines, "SELECT DISTINCT LOWER(A.OBJECT_NAME)", " ) )"},
    {kStmtOperatorsOwners, "SELECT OWNER, COUNT(*)", ":DBA_OPERATORS GROUP BY OWNER"},
    {kStmtOutlinesOwners, "SELECT OWNER, COUNT(*)", ":DBA_OUTLINES GROUP BY OWNER"},
    {kStmtSynonymsOfType, "SELECT S.SYNONYM_NAME, S.SYNONYM_NAME", "O1.OBJECT_TYPE = :OWNER"},
    {kStmtSynonymsOfOwner,
     "SELECT S.SYNONYM_NAME, S.SYNONYM_NAME",
     "O1.OBJECT_NAME = S.TABLE_NAME"},
    {kStmtDimensionsOwners, "SELECT OWNER, COUNT(*)", ":DBA_DIMENSIONS GROUP BY OWNER"},
    {kStmtJavaOwners, "SELECT OWNER, COUNT(*)", "RESOURCE') GROUP BY OWNER"},
    {kStmtLibrariesOfOwner, "SELECT L.LIBRARY_NAME, O.CREATED,", "O.OBJECT_TYPE = 'LIBRARY'"},
    {kStmtTypesOfOwner, "SELECT T.*, O.CREATED,", "O.OBJECT_TYPE = 'TYPE'"},
    {kStmtObjectTypesOfOwner,
     "SELECT T.TYPE_NAME, O.CREATED, O.LAST_DDL_TIME, O.STATUS",
     "O.OBJECT_TYPE = 'TYPE'"},
    {kStmtJavaSynonyms, "SELECT * FROM", "* FROM JAVASNM"},
    {kStmtTableTypesOfOwner,
     "SELECT T.TYPE_NAME, O.CREATED, O.LAST_DDL_TIME, 'CR",
     "O.OBJECT_TYPE = 'TYPE'"},
    {kStmtArrayTypesOfOwner, "SELECT T.*, O.CREATED,", "T.TYPE_NAME = O.OBJECT_NAME"},
    {kStmtConsumerGroups, "SELECT * FROM", "* FROM DBA_RSRC_CONSUMER_GROUPS"},
    {kStmtIndexTypesOfOwner, "SELECT I.*,DECODE(I.IMPLEMENTATION_SCHEMA, NULL,", "OWNER = :OWNER"},
    {kStmtPasswordFileUsers, "SELECT * FROM", "* FROM V$PWFILE_USERS"},
    {kStmtOperatorsOfOwner, "SELECT P.*, O.CREATED,", "P.OPERATOR_NAME = O.OBJECT_NAME"},
    {kStmtOutlinesOfOwner, "SELECT * FROM", ":DBA_OUTLINES WHERE OWNER = :OWNER"},
    {kStmtProfiles, "SELECT DISTINCT PROFILE", "PROFILE FROM DBA_PROFILES"},
    {kStmtDimensionsOfOwner, "SELECT * FROM", ":DBA_DIMENSIONS WHERE OWNER = :OWNER"},
    {kStmtRoles, "SELECT * FROM", "* FROM DBA_ROLES"},
    {kStmtJavaKindsOfOwner, "SELECT OBJECT_TYPE, COUNT(*)", ":OWNER GROUP BY OBJECT_TYPE"},
    {kStmtConsumerGroupGrantees, "SELECT * FROM", "GRANTED_GROUP = :OWNER"},
    {kStmtProfileLimits, "SELECT * FROM", "PROFILE = :OWNER"},
    {kStmtTablespaceSpace,
     "SELECT S.TABLESPACE_NAME,T.STATUS,ROUND((S.ALL_SIZE /",
     "= U.TABLESPACE_NAME (+)"},
    {kStmtProfileUsers, "SELECT USERNAME FROM", "PROFILE = :OWNER"},
    {kStmtDatafileSpace,
     "SELECT D.FILE_ID, D.FILE_NAME, D.STATUS,ROUND((S.ALL_SIZE / 1048576), 3) AS "
     "ALL_SIZE,ROUND((U.FREE_SIZE / 1048576),3) AS FREE_SIZE,ROUND(((ALL_SIZE - "
     "DECODE(FREE_SIZE, NULL, 0, FREE_SIZE)) / 1048576), 3) AS "
     "USED_SIZE,ROUND(DECODE(FREE_SIZE, NULL, 0, FREE_SIZE) * 100 / ALL_SIZE, 2) AS "
     "FREE_P FROM (SELECT FILE_ID, SUM(BYTES) AS ALL_SIZE FROM DBA_DATA_FILES GROUP "
     "BY FILE_ID) S,(SELECT FILE_ID, SUM(BYTES) AS FREE_SIZE FROM DBA_FREE_SPACE "
     "GROUP BY FILE_ID) U,DBA_DATA_FILES D WHERE S.FILE_ID",
     "S.FILE_ID = D.FILE_ID"},
    {kStmtSegmentTypes, "SELECT SEGMENT_TYPE, COUNT(*)", "DBA_SEGMENTS GROUP BY SEGMENT_TYPE"},
    {kStmtRoleRoles, "SELECT * FROM", "ROLE = :OWNER"},
    {kStmtControlFiles, "SELECT * FROM", "* FROM V$CONTROLFILE"},
    {kStmtSystemPrivileges, "SELECT * FROM", "GRANTEE = :OWNER"},
    {kStmtPackageContexts, "SELECT * FROM", "PACKAGE = :NAME"},
    {kStmtTriggerColumns, "SELECT * FROM", "TRIGGER_NAME = :NAME"},
    {kStmtRoleAllPrivileges, "SELECT DISTINCT PRIVILEGE,", "ROLE = :OWNER)"},
    {kStmtControlFileRecords, "SELECT R.*, R.RECORD_SIZE", "FROM V$CONTROLFILE_RECORD_SECTION R"},
    {kStmtUserConsumerGroups, "SELECT G.* FROM", "P.GRANTED_GROUP = G.CONSUMER_GROUP"},
    {kStmtBackup, "SELECT * FROM", "* FROM V$BACKUP"},
    {kStmtRollbackSegments, "SELECT R.OWNER ||", "R.SEGMENT_NAME = S.SEGMENT_NAME"},
    {kStmtUserAuditTrail, "SELECT A.SESSIONID ||", "USERNAME = :OWNER"},
    {kStmtIndexTypeOperators, "SELECT * FROM", "INDEXTYPE_NAME = :NAME"},
    {kStmtUserAuditPrivileges, "SELECT * FROM", "USER_NAME = :OWNER"},
    {kStmtOperatorBindings, "SELECT B.*, DECODE(B.RETURN_SCHEMA,", "B.OPERATOR_NAME = :NAME"},
    {kStmtPitrCheckObject, "SELECT * FROM", "OBJ1_NAME = :OBJNAME"},
    {kStmtUserRoles, "SELECT GRANTED_ROLE, ADMIN_OPTION", "GRANTEE = :OWNER"},
    {kStmtInstance, "SELECT * FROM", "* FROM V$INSTANCE"},
    {kStmtOptions, "SELECT * FROM", "* FROM V$OPTION"},
    {kStmtUserAllPrivileges, "SELECT DISTINCT PRIVILEGE,", "GRANTEE = :OWNER"},
    {kStmtUserQuotas, "SELECT Q.TABLESPACE_NAME, Q.BYTES,", "USERNAME = :OWNER"},
    {kStmtProcesses, "SELECT P.*, DECODE", "FROM V$PROCESS P"},
    {kStmtBackgroundProcesses, "SELECT * FROM", "* FROM V$BGPROCESS"},
    {kStmtUserTablePartitions, "SELECT TABLE_NAME, PARTITION_NAME", "TABLE_OWNER = :OWNER"},
    {kStmtUserIndexPartitions, "SELECT INDEX_NAME, PARTITION_NAME", "INDEX_OWNER = :OWNER"},
    {kStmtSessions, "SELECT S.SID ||", "FROM V$SESSION S"},
    {kStmtDispatchers, "SELECT D.*, ROUND(BYTES", "FROM V$DISPATCHER D"},
    {kStmtUserSessions, "SELECT S.SID ||", "USERNAME = :OWNER"},
    {kStmtRoleGrantees, "SELECT P.*, P.GRANTEE", "= R.ROLE (+)"},
    {kStmtObjectPrivilegeOwners, "SELECT :TABLE_SCHEMA AS", "GROUP BY :TABLE_SCHEMA"},
    {kStmtObjectPrivilegeTypes, "SELECT O.OBJECT_TYPE FROM", "GROUP BY O.OBJECT_TYPE"},
    {kStmtAllObjectPrivileges,
     "SELECT P.TABLE_NAME, P.:TABLE_SCHEMA",
     "P.TABLE_NAME = O.OBJECT_NAME"},
    {kStmtTablespaceDatafileSpace,
     "SELECT D.FILE_ID, D.FILE_NAME, D.STATUS,ROUND((S.ALL_SIZE / 1048576), 3) AS "
     "ALL_SIZE,ROUND((U.FREE_SIZE / 1048576),3) AS FREE_SIZE,ROUND(((ALL_SIZE - "
     "DECODE(FREE_SIZE, NULL, 0, FREE_SIZE)) / 1048576), 3) AS "
     "USED_SIZE,ROUND(DECODE(FREE_SIZE, NULL, 0, FREE_SIZE) * 100 / ALL_SIZE, 2) AS "
     "FREE_P FROM (SELECT FILE_ID, SUM(BYTES) AS ALL_SIZE FROM DBA_DATA_FILES GROUP "
     "BY FILE_ID) S,(SELECT FILE_ID, SUM(BYTES) AS FREE_SIZE FROM DBA_FREE_SPACE "
     "GROUP BY FILE_ID) U,DBA_DATA_FILES D WHERE D.TABLESPACE_NAME",
     "S.FILE_ID = D.FILE_ID"},
    {kStmtSharedServers, "SELECT S.*, ROUND(BYTES", "FROM V$SHARED_SERVER S"},
    {kStmtTablespaceSegmentTypes, "SELECT SEGMENT_TYPE, COUNT(*)", ":OWNER GROUP BY SEGMENT_TYPE"},
    {kStmtOperatorArguments, "SELECT * FROM", "BINDING# = :BND"},
    {kStmtSegmentsOfType, "SELECT S.*, S.SEGMENT_NAME", "S.SEGMENT_TYPE = :OWNER"},
    {kStmtTablespaceIndexes, "SELECT INDEX_NAME ||", "TABLESPACE_NAME = :OWNER"},
    {kStmtTablespaceUsers, "SELECT USERNAME FROM", "DEFAULT_TABLESPACE = :OWNER"},
    {kStmtOutlineHints, "SELECT * FROM", "AND NAME = :NAME"},
    {kStmtThreads, "SELECT * FROM", "* FROM V$THREAD"},
    {kStmtTablespaceClusters, "SELECT CLUSTER_NAME ||", "TABLESPACE_NAME = :OWNER"},
    {kStmtTablespaceRollbackSegments, "SELECT R.OWNER ||", "R.TABLESPACE_NAME = :OWNER"},
    {kStmtCompatibilityInUse, "SELECT C.DESCRIPTION, C.TYPE_ID", "FROM V$COMPATIBILITY C"},
    {kStmtCompatibilitySegments, "SELECT TYPE_ID ||", "UPDATED_NAME FROM V$COMPATSEG"},
    {kStmtTransactions, "SELECT T.*, S.USERNAME,", "T.SES_ADDR = S.SADDR"},
    {kStmtPitrCheck, "SELECT C.OBJ1_NAME ||", "TS1_NAME = :OWNER"},
    {kStmtLocks, "SELECT O.OWNER ||", "T.SES_ADDR = S.SADDR"},
    {kStmtPitrObjectsDropped, "SELECT D.NAME ||", "TABLESPACE_NAME = :OWNER"},
    {kStmtVersion, "SELECT * FROM", "* FROM V$VERSION"},
    {kStmtDatafileStatus, "SELECT * FROM", "V$DATAFILE WHERE FILE# = :OWNER"},
    {kStmtRedoLogs, "SELECT L.*, L.GROUP#", "FROM V$LOG L"},
    {kStmtNlsDatabase, "SELECT * FROM", "* FROM NLS_DATABASE_PARAMETERS"},
    {kStmtJobs, "SELECT * FROM", "* FROM DBA_JOBS"},
    {kStmtJobsRunning, "SELECT * FROM", "* FROM DBA_JOBS_RUNNING"},
    {kStmtDatafileHeader, "SELECT * FROM", "V$DATAFILE_HEADER WHERE FILE# = :OWNER"},
    {kStmtDatafileStatistics, "SELECT * FROM", "V$FILESTAT WHERE FILE# = :OWNER"},
    {kStmtBufferPools, "SELECT * FROM", "NAME IS NOT NULL"},
    {kStmtDbmsLocks, "SELECT * FROM", "* FROM SYS.DBMS_LOCK_ALLOCATED"},
    {kStmtDatafileBackup, "SELECT * FROM", "V$BACKUP WHERE FILE# = :OWNER"},
    {kStmtDatafilePing, "SELECT * FROM", "FILE_NUMBER = :OWNER"},
    {kStmtUndocumentedParameters, "SELECT A.KSPPINM NAME,", "'\\_%' ESCAPE '\\'"},
    {kStmtObsoleteParameters, "SELECT * FROM", "* FROM V$OBSOLETE_PARAMETER"},
    {kStmtDispatcher, "SELECT * FROM", "V$DISPATCHER WHERE NAME = :OWNER"},
    {kStmtMessageQueues, "SELECT Q.*, D.NAME", "= D.PADDR (+)"},
    {kStmtCartridges, "SELECT * FROM", "* FROM DBA_CARTRIDGES"},
    {kStmtInstanceRecovery, "SELECT * FROM", "* FROM V$INSTANCE_RECOVERY"},
    {kStmtDispatcherRate, "SELECT * FROM", "V$DISPATCHER_RATE WHERE NAME = :OWNER"},
    {kStmtLicense, "SELECT * FROM", "* FROM V$LICENSE"},
    {kStmtThread, "SELECT * FROM", "THREAD# = :OWNER"},
    {kStmtDimensionLevels, "SELECT L.*, L.DETAILOBJ_OWNER", "DIMENSION_NAME = :NAME"},
    {kStmtRedoLogFiles, "SELECT F.*, DECODE((SELECT COUNT(*) FROM V$LOGFILE S", "WHERE F.GROUP# = :OWNER"},
    {kStmtRedoLogHistory, "SELECT * FROM", "SEQUENCE# = :OWNER"},
    {kStmtColumnGrants, "SELECT GRANTOR, GRANTEE,", "COLUMN_NAME = :COLUMN_NAME"},
    {kStmtJavaObjectsOfKind, "SELECT O.*, O.STATUS", "O.OWNER = :OWNER"},
    {kStmtDatabase, "SELECT * FROM", "* FROM V$DATABASE"},
    {kStmtSystemStatisticClasses, "SELECT S.CLASS, COUNT(*)", "GROUP BY S.CLASS"},
    {kStmtNlsValidValues, "SELECT VALUE FROM", "PARAMETER = :OWNER"},
    {kStmtBufferPool, "SELECT * FROM", "V$BUFFER_POOL WHERE ID = :OWNER"},
    {kStmtBufferPoolStatistics, "SELECT * FROM", "V$BUFFER_POOL_STATISTICS WHERE ID = :OWNER"},
    {kStmtSqlAreaStatements, "SELECT S.*, S.SORTS", "S.PARSING_USER_ID = U1.USER_ID"},
    {kStmtSqlAreaUsers, "SELECT U1.USERNAME, COUNT(*)", "GROUP BY U1.USERNAME"},
    {kStmtCursorObjectDependencies, "SELECT TO_NAME ||", "FROM_HASH = :HASH"},
    {kStmtTablespaceSegmentsOfType, "SELECT S.*, S.SEGMENT_NAME", "S.SEGMENT_TYPE = :NAME"},
    {kStmtCartridgeComponents, "SELECT * FROM", "CARTRIDGE_NAME = :OWNER"},
    {kStmtSegmentExtents, "SELECT E.* FROM", "E.SEGMENT_NAME = :NAME"},
    {kStmtSystemStatisticsOfClass, "SELECT S.VALUE, N.NAME", "S.CLASS = :OWNER"},
    {kStmtSqlAreaStatementsOfUser, "SELECT S.*, S.SORTS", "U1.USERNAME = UPPER(:OWNER)"},
    {kStmtSqlAreaStatement, "SELECT S.*, U1.USERNAME", "= HexToRaw (:OWNER)"},
    {kStmtBlockClass, "SELECT * FROM", "UPPER(CLASS) = :OWNER"},
    {kStmtSystemEvents, "SELECT * FROM", "* FROM V$SYSTEM_EVENT"},
    {kStmtSessionsIo, "SELECT I.*, ROUND", "I.SID = S.SID"},
    {kStmtObjectCacheOfType, "SELECT C.NAME ||", "C.TYPE = :OWNER"},
    {kStmtResourceLimits, "SELECT * FROM", "* FROM V$RESOURCE_LIMIT"},
    {kStmtBlockContention, "SELECT S.CLASS, S.COUNT,", "FROM V$WAITSTAT S"},
    {kStmtBlockClassPing, "SELECT * FROM", "CLASS IS NOT NULL"},
    {kStmtSortUsage, "SELECT VS.USERNAME, U.BLOCKS,", "U.SESSION_ADDR = VS.SADDR"},
    {kStmtSortSegments, "SELECT S.*, S.SEGMENT_FILE", "FROM V$SORT_SEGMENT S"},
    {kStmtSortSegment, "SELECT * FROM", "SEGMENT_BLOCK = :PBLOCK"},
    {kStmtLibraryCacheNamespace, "SELECT * FROM", "NAMESPACE = :OWNER"},
    {kStmtAnalyzeObjectsOfOwner, "SELECT A.OBJECT_NAME ||", "A.OWNER = :OWNER"},
    {kStmtLatch, "SELECT * FROM", "V$LATCH WHERE LATCH# = :OWNER"},
    {kStmtChildLatches, "SELECT * FROM", "V$LATCH_CHILDREN WHERE LATCH# = :OWNER"},
    {kStmtObjectCacheTypes, "SELECT TYPE, COUNT(*)", "V$DB_OBJECT_CACHE GROUP BY TYPE"},
    {kStmtModuleStatements, "SELECT A.ADDRESS ||", "UPPER(MODULE) = :OWNER"},
    {kStmtTypeSizes, "SELECT * FROM", "* FROM V$TYPE_SIZE"},
    {kStmtModuleStatement, "SELECT * FROM", "ADDRESS = HexToRaw(:OWNER)"},
    {kStmtParallelQueries, "SELECT * FROM", "* FROM V$PQ_SYSSTAT"},
    {kStmtObjectSizeOfType, "SELECT S.NAME ||", "S.TYPE = :OWNER"},
    {kStmtDictionaryActivity, "SELECT * FROM", "* FROM V$ROWCACHE"},
    {kStmtDbmsAlerts, "SELECT * FROM", "* FROM SYS.DBMS_ALERT_INFO"},
    {kStmtAssociations, "SELECT A.OBJECT_NAME ||", "FROM :DBA_ASSOCIATIONS A"},
    {kStmtLibraryCache, "SELECT * FROM", "* FROM V$LIBRARYCACHE"},
    {kStmtAnalyzeObjectsOwners, "SELECT OWNER, COUNT(*)", "SYS.DBA_ANALYZE_OBJECTS GROUP BY OWNER"},
    {kStmtLatches, "SELECT * FROM", "* FROM V$LATCH"},
    {kStmtLatchMisses, "SELECT * FROM", "* FROM V$LATCH_MISSES"},
    {kStmtModules, "SELECT MODULE, COUNT(*)", "GROUP BY MODULE"},
    {kStmtCursorCache, "SELECT * FROM", "* FROM V$SYSTEM_CURSOR_CACHE"},
    {kStmtSessionStatistics, "SELECT S.VALUE, N.NAME", "S.VALUE != 0"},
    {kStmtMts, "SELECT * FROM", "* FROM V$MTS"},
    {kStmtSharedPoolReserved, "SELECT * FROM", "* FROM V$SHARED_POOL_RESERVED"},
    {kStmtFileIo, "SELECT F.*, ROUND", "FROM V$FILESTAT F"},
    {kStmtSgaSummary, "SELECT S.*, ROUND(S.VALUE", "FROM V$SGA S"},
    {kStmtSgaDetailed, "SELECT S.*, ROUND(S.BYTES", "FROM V$SGASTAT S"},
    {kStmtObjectSizeTypes, "SELECT TYPE, COUNT(*)", "0 GROUP BY TYPE"},
    {kStmtResourceCost, "SELECT * FROM", "* FROM RESOURCE_COST"},
    {kStmtSessionEvents, "SELECT * FROM", "V$SESSION_EVENT WHERE SID = :OWNER"},
    {kStmtDbGrowthPerMonth,
     "SELECT TO_CHAR(CREATION_TIME, 'RRRR-MM(MONTH)')",
     "BY TO_CHAR(CREATION_TIME, 'RRRR-MM(MONTH)')"},
    {kStmtSession, "SELECT S.*, A.NAME", "S.COMMAND = A.ACTION"},
    {kStmtSessionConnectInfo, "SELECT DISTINCT AUTHENTICATION_TYPE,", "SID = :SID"},
    {kStmtSessionWaits, "SELECT * FROM", "V$SESSION_WAIT WHERE SID = :OWNER"},
    {kStmtSessionBanner, "SELECT NETWORK_SERVICE_BANNER FROM", "SID = :SID"},
    {kStmtSessionTransactions, "SELECT * FROM", "S.SADDR = T.SES_ADDR"},
    {kStmtSessionLocks, "SELECT T.TYPE, T.CTIME,", "T.SID = :OWNER"},
    {kStmtSessionCursors, "SELECT C.SQL_TEXT, C.ADDRESS", "S.SADDR = C.SADDR"},
    {kStmtSessionLongOperations, "SELECT L.* FROM V$SESSION_LONGOPS L", "AND L.SERIAL# = :SERIAL"},
    {kStmtAuditObjectsOfOwner, "SELECT A.*, A.OBJECT_NAME", "A.WRI != '-/-')"},
    {kStmtSessionAuditTrail, "SELECT A.SESSIONID ||", "A.SESSIONID = S.AUDSID"},
    {kStmtAuditTrailOfAction, "SELECT A.SESSIONID ||", "A.ACTION_NAME = :OWNER"},
    {kStmtAuditTrailActions, "SELECT ACTION_NAME, COUNT(*)", "GROUP BY ACTION_NAME"},
    {kStmtAuditPrivileges, "SELECT * FROM", "* FROM DBA_PRIV_AUDIT_OPTS"},
};
// clang-format on

bool Matches(const CatalogueEntry& entry, const Recognised& r) {
  return entry.text.substr(0, r.first_words.size()) == r.first_words &&
         entry.text.size() >= r.last_words.size() &&
         entry.text.substr(entry.text.size() - r.last_words.size()) == r.last_words;
}

TEST(CatalogueContents, EveryStatementIsStoredOnceUnderItsName) {
  std::set<int> numbers;
  for (const Recognised& r : kStatements) {
    EXPECT_TRUE(numbers.insert(r.number).second) << "listed twice: " << r.number;
    int matches = 0;
    int matched_number = -1;
    for (int n = 0; n < connection::kStatementCount; ++n) {
      const CatalogueEntry* entry = FindStatement(n);
      if (entry != nullptr && Matches(*entry, r)) {
        ++matches;
        matched_number = n;
      }
    }
    EXPECT_EQ(matches, 1) << r.first_words << " ... " << r.last_words;
    EXPECT_EQ(matched_number, r.number) << r.first_words << " ... " << r.last_words;
  }
  EXPECT_EQ(numbers.size() + std::size(connection::kUnusedStatementNumbers),
            static_cast<std::size_t>(connection::kStatementCount));
}

TEST(CatalogueContents, TextsAreDistinctAndTrimmed) {
  std::set<std::string_view> texts;
  for (int n = 0; n < connection::kStatementCount; ++n) {
    const CatalogueEntry* entry = FindStatement(n);
    if (entry == nullptr) continue;
    EXPECT_TRUE(texts.insert(entry->text).second) << "stored twice: " << entry->text;
    EXPECT_NE(entry->text.front(), ' ') << n;
    EXPECT_NE(entry->text.back(), ' ') << n;
  }
}

// Counts, records looked up by view name, and texts with the prefix put in
// front of a view are made by their callers; none of them is stored.
TEST(CatalogueContents, RunTimeStatementsAreNotStored) {
  const std::string_view run_time[] = {
      "SELECT COUNT(*) FROM DBA_ROLE_PRIVS WHERE GRANTEE = :NAME",
      "SELECT COUNT(*) FROM ALL_NESTED_TABLES",
      "SELECT * FROM DBA_USERS WHERE USERNAME = :NAME",
      "SELECT * FROM DBA_OBJ_AUDIT_OPTS WHERE OWNER = :OWNER AND OBJECT_NAME = :NAME AND "
      "OBJECT_TYPE = :OBJECTTYPE",
      "SELECT * FROM DBA_JOBS WHERE JOB = :ID",
      "SELECT * FROM V$ROLLSTAT WHERE USN = :ID",
      "SELECT TABLE_NAME || '.' || OWNER AS FILENAME FROM :ALL_TABLES WHERE TABLESPACE_NAME = "
      ":NAME",
  };
  for (int n = 0; n < connection::kStatementCount; ++n) {
    const CatalogueEntry* entry = FindStatement(n);
    if (entry == nullptr) continue;
    for (std::string_view text : run_time) EXPECT_NE(entry->text, text) << n;
    // Detail counts are always built by the detail builders.
    EXPECT_NE(entry->text.substr(0, 12), "SELECT COUNT") << n;
    EXPECT_NE(entry->text.substr(0, 25), "SELECT /*+ RULE */ COUNT(") << n;
    // Leftovers of a text put together in code never belong here.
    EXPECT_EQ(entry->text.find("\" +"), std::string_view::npos) << n;
  }
}

}  // namespace
