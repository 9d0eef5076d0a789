// statement_catalogue.h — the numbered statements behind CreateOracleQueryByKind.
//
// Every listing and action that runs a stored statement asks the data module
// for it by number; this file names those numbers and describes, per number,
// the text and the variables the factory declares before handing the query
// out.  The table itself is plain data in statement_catalogue.cpp.  Nothing
// here touches the database: the factory (data module) creates the query,
// declares the variables listed here, gives substitution variables their
// capability value and sets the text after ApplyDictionaryPrefix.
//
// Texts name dictionary views through the macro ":DBA_" (replaced by the
// session's dictionary prefix, "DBA_" or "ALL_") and owner columns of the
// privilege views through ":TABLE_SCHEMA" (TABLE_SCHEMA under ALL_, OWNER
// under DBA_).  Statements that are put together at run time (the prefix
// concatenated in front of a view, counted directories, records looked up by
// view name) are not in the catalogue: they are made with
// CreateNewOracleQuery.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace connection {

inline constexpr int kStatementCount = 264;  // numbers 0 .. 263

// Type codes the query layer uses when a variable is declared.
enum class VariableType : int {
  Substitution = 1,  // pasted into the text when the query runs
  String = 5,
};

// Which capability value of the data module a substitution variable takes at
// creation.  String variables take none: their callers bind them.
enum class CapabilityValue {
  None,
  IndexTypeFragment,     // "I.INDEX_TYPE " or "NULL "
  TablesView,            // ALL_ALL_TABLES, ALL_TABLES, DBA_ALL_TABLES or DBA_TABLES
  LastAnalyzedFragment,  // select-list piece with the last-analyzed date, or empty
};

struct CatalogueVariable {
  std::string_view name;  // without the colon
  VariableType type;
  CapabilityValue value;  // CapabilityValue::None for string variables
};

struct CatalogueEntry {
  int number;
  // Declared by the factory, in this order.
  std::span<const CatalogueVariable> variables;
  std::string_view text;
  // Bind variables in the text that the factory does not declare; the caller
  // declares and binds them before running (session keys, operator binding,
  // point-in-time check keys, cached cursor address and hash, sort segment).
  std::span<const std::string_view> callerDeclared = {};
};

// Stable names of the catalogue numbers.  The comment says which listing or
// action runs the statement.  Values bound "as OWNER" are keys of the level
// above that the statement binds through :OWNER although they are not owners.
enum StatementNumber : int {
  kStmtDbVersion = 0,  // Probes: server version and compatibility
  kStmtPortString = 1,  // Probes: port string
  kStmtAllUsers = 2,  // Users: all users (also the root's fallback listing)
  kStmtTimeseriesOwners = 3,  // Timeseries: owners
  kStmtDirectoriesOwners = 4,  // Directories: owners
  kStmtParameters = 5,  // Instance: parameters (also the parameter file text)
  kStmtCatalogOwners = 6,  // Catalog by user: owners
  kStmtTimeseriesGroupsOfOwner = 7,  // Timeseries: groups of an owner
  kStmtErrorsOwners = 8,  // Errors: owners with compilation errors
  kStmtDbLinksOwners = 9,  // Database links: owners
  kStmtQueuesOwners = 10,  // Queues: owners
  kStmtContextsOwners = 11,  // Contexts: schemas
  kStmtDirectoriesOfOwner = 12,  // Directories: directories of an owner
  kStmtCatalogOfOwner = 13,  // Catalog by user: objects of an owner
  kStmtRefreshGroupsOwners = 14,  // Refresh groups: owners
  kStmtSnapshotLogsOwners = 15,  // Snapshot logs: owners
  kStmtRegisteredSnapshotsOwners = 16,  // Registered snapshots: owners
  kStmtSnapshotsOwners = 17,  // Snapshots: owners
  kStmtAllObjectsTypes = 18,  // All objects: object types
  kStmtResourcePlans = 19,  // Resource plans: plans
  kStmtErrorObjectsOfOwner = 20,  // Errors: objects of an owner with errors
  kStmtDbLinksOfOwner = 21,  // Database links: links of an owner
  kStmtReservedWords = 22,  // Misc: reserved words
  kStmtDictionary = 23,  // Misc: dictionary views
  kStmtFixedTables = 24,  // Misc: fixed tables
  kStmtSqlPlusHelpTopics = 25,  // Misc: SQL*Plus help topics
  kStmtObjectTablesOwners = 26,  // Object tables: owners
  kStmtNestedTablesOwners = 27,  // Nested tables: owners
  kStmtVarrayColumnsOwners = 28,  // Varray columns: owners
  kStmtUnusedColumns = 29,  // Tables: tables with unused columns
  kStmtAllLobs = 30,  // Tables: all LOB columns
  kStmtQueuesOfOwner = 31,  // Queues: queues of an owner
  kStmtPartitionedTables = 32,  // Tables: partitioned tables
  kStmtContextsOfOwner = 33,  // Contexts: namespaces of a schema
  kStmtViewsOwners = 34,  // Views: owners
  kStmtIndexesOwners = 35,  // Indexes: owners
  kStmtRefreshGroupsOfOwner = 36,  // Refresh groups: groups of an owner
  kStmtNonIndexedForeignKeys = 37,  // Indexes: foreign keys without an index
  kStmtSnapshotLogsOfOwner = 38,  // Snapshot logs: logs of an owner
  kStmtClustersOwners = 39,  // Clusters: owners
  kStmtFunctionsOwners = 40,  // Functions: owners
  kStmtRegisteredSnapshotsOfOwner = 41,  // Registered snapshots: snapshots of an owner
  kStmtProceduresOwners = 42,  // Procedures: owners
  kStmtSnapshotsOfOwner = 43,  // Snapshots: snapshots of an owner
  kStmtPackagesOwners = 44,  // Packages: owners
  kStmtAllObjectsOfType = 45,  // All objects: objects of a type (bound as OWNER)
  kStmtRefreshGroupChildren = 46,  // Refresh groups: children of a group
  kStmtTableIndexes = 47,  // Table detail: indexes of a table
  kStmtPackageBodiesOwners = 48,  // Package bodies: owners
  kStmtIndexesOfOwner = 49,  // Indexes: indexes of an owner
  kStmtTableTriggers = 50,  // Table and view detail: triggers on the object
  kStmtTriggersOwners = 51,  // Triggers: owners
  kStmtResourcePlanDirectives = 52,  // Resource plans: directives of a plan (bound as OWNER)
  kStmtQueueTables = 53,  // Queues: queue table of a queue id (bound as OWNER)
  kStmtReferencedFrom = 54,  // Object detail: objects that reference the object
  kStmtTriggerTypes = 55,  // Triggers: trigger types
  kStmtDictionaryColumns = 56,  // Misc: columns of a dictionary view (bound as OWNER)
  kStmtTriggerEvents = 57,  // Triggers: triggering events
  kStmtFixedTableIndexedColumns = 58,  // Misc: indexed columns of a fixed table (bound as OWNER)
  kStmtRefByConstraints = 59,  // Table detail: foreign keys that reference the table
  kStmtTableQueues = 60,  // Table detail: queues of a queue table
  kStmtSequencesOwners = 61,  // Sequences: owners
  kStmtSqlPlusHelpTopic = 62,  // Misc: lines of one SQL*Plus help topic (bound as OWNER)
  kStmtObjectGrants = 63,  // Object detail: grants on the object
  kStmtObjectSynonyms = 64,  // Object detail: synonyms for the object
  kStmtTablesOwners = 65,  // Tables: owners
  kStmtTablesOfOwner = 66,  // Tables: tables of an owner
  kStmtClusterTables = 67,  // Cluster detail: tables in a cluster
  kStmtNestedTablesOfOwner = 68,  // Nested tables: tables of an owner
  kStmtSynonymsOwners = 69,  // Synonyms: owners
  kStmtObjectTablesOfOwner = 70,  // Object tables: tables of an owner
  kStmtTableClusterColumns = 71,  // Table detail: cluster columns of a table
  kStmtTableDimensions = 72,  // Table detail: dimensions that reference the table
  kStmtSynonymTypes = 73,  // Synonyms: types of the objects they point at
  kStmtVarrayColumnsOfOwner = 74,  // Varray columns: columns of an owner
  kStmtLibrariesOwners = 75,  // Libraries: owners
  kStmtViewsOfOwner = 76,  // Views: views of an owner
  kStmtClustersOfOwner = 77,  // Clusters: clusters of an owner
  kStmtFunctionsOfOwner = 78,  // Functions: functions of an owner
  kStmtProceduresOfOwner = 79,  // Procedures: procedures of an owner
  kStmtIndexExpressions = 80,  // Index detail: column expressions
  kStmtObjectPrivilegeObjects = 81,  // Object privileges: objects of an owner and type
  kStmtObjectPrivilegeGrants = 82,  // Object privileges: grants on one object
  kStmtTypesOwners = 83,  // All types: owners (built-in types under BUILD INTO)
  kStmtObjectTypesOwners = 84,  // Object types: owners
  kStmtPackagesOfOwner = 85,  // Packages: packages of an owner
  kStmtTableTypesOwners = 86,  // Table types: owners
  kStmtPackageBodiesOfOwner = 87,  // Package bodies: bodies of an owner
  kStmtClusterColumns = 88,  // Cluster detail: cluster columns
  kStmtArrayTypesOwners = 89,  // Array types: owners
  kStmtTriggersOfType = 90,  // Triggers: triggers of a type (bound as OWNER)
  kStmtTriggersOfEvent = 91,  // Triggers: triggers of an event (bound as OWNER)
  kStmtTriggersOfOwner = 92,  // Triggers: triggers of an owner
  kStmtIndexTypesOwners = 93,  // Index types: owners
  kStmtSequencesOfOwner = 94,  // Sequences: sequences of an owner
  kStmtPackageRoutines = 95,  // Package detail: routines of a package
  kStmtOperatorsOwners = 96,  // Operators: owners
  kStmtOutlinesOwners = 97,  // Outlines: owners
  kStmtSynonymsOfType = 98,  // Synonyms: synonyms for objects of a type (bound as OWNER)
  kStmtSynonymsOfOwner = 99,  // Synonyms: synonyms of an owner
  kStmtDimensionsOwners = 100,  // Dimensions: owners
  kStmtJavaOwners = 101,  // Java: owners
  kStmtLibrariesOfOwner = 102,  // Libraries: libraries of an owner
  kStmtTypesOfOwner = 103,  // All types: types of an owner
  kStmtObjectTypesOfOwner = 104,  // Object types: types of an owner
  kStmtJavaSynonyms = 105,  // Java: short name synonyms
  kStmtTableTypesOfOwner = 106,  // Table types: types of an owner
  kStmtArrayTypesOfOwner = 107,  // Array types: types of an owner
  kStmtConsumerGroups = 108,  // Users: resource consumer groups
  kStmtIndexTypesOfOwner = 109,  // Index types: index types of an owner
  kStmtPasswordFileUsers = 110,  // Users: password file users
  kStmtOperatorsOfOwner = 111,  // Operators: operators of an owner
  kStmtOutlinesOfOwner = 112,  // Outlines: outlines of an owner
  kStmtProfiles = 113,  // Users: profiles
  kStmtDimensionsOfOwner = 114,  // Dimensions: dimensions of an owner
  kStmtRoles = 115,  // Users: roles
  kStmtJavaKindsOfOwner = 116,  // Java: object kinds of an owner
  kStmtConsumerGroupGrantees = 117,  // Users: grantees of a consumer group (bound as OWNER)
  kStmtProfileLimits = 118,  // Users: limits of a profile (bound as OWNER)
  kStmtTablespaceSpace = 119,  // Storage: tablespaces with space usage
  kStmtProfileUsers = 120,  // Users: users of a profile (bound as OWNER)
  kStmtDatafileSpace = 121,  // Storage: data files with space usage
  kStmtSegmentTypes = 122,  // Storage: segments by type
  kStmtRoleRoles = 123,  // Role detail: roles granted to a role
  kStmtControlFiles = 124,  // Storage: control files
  kStmtSystemPrivileges = 125,  // User and role detail: system privileges granted directly
  kStmtPackageContexts = 126,  // Package detail: contexts that use a package
  kStmtTriggerColumns = 127,  // Trigger detail: columns of a trigger
  kStmtRoleAllPrivileges = 128,  // Role detail: all system privileges, direct and through roles
  kStmtControlFileRecords = 129,  // Storage: control file record sections
  kStmtUserConsumerGroups = 130,  // User detail: consumer groups of a user
  kStmtBackup = 131,  // Storage: backup status of the data files
  kStmtRollbackSegments = 132,  // Storage: rollback segments
  kStmtUserAuditTrail = 133,  // User detail: audit trail of a user
  kStmtIndexTypeOperators = 134,  // Index types: operators of an index type
  kStmtUserAuditPrivileges = 135,  // User detail: audited system privileges of a user
  kStmtOperatorBindings = 136,  // Operators: bindings of an operator
  kStmtPitrCheckObject = 137,  // Tablespace detail: one point-in-time recovery dependency (caller declares TSNAME, OWNER, OBJNAME)
  kStmtUserRoles = 138,  // User detail: roles granted to a user
  kStmtInstance = 139,  // Instance: the instance record
  kStmtOptions = 140,  // Instance: options
  kStmtUserAllPrivileges = 141,  // User detail: all system privileges, direct and through roles
  kStmtUserQuotas = 142,  // User detail: tablespace quotas of a user
  kStmtProcesses = 143,  // Instance: processes
  kStmtBackgroundProcesses = 144,  // Instance: background processes
  kStmtUserTablePartitions = 145,  // User detail: table partitions of a user
  kStmtUserIndexPartitions = 146,  // User detail: index partitions of a user
  kStmtSessions = 147,  // Instance: sessions
  kStmtDispatchers = 148,  // Instance: dispatchers
  kStmtUserSessions = 149,  // User detail: sessions of a user
  kStmtRoleGrantees = 150,  // Role detail: grantees of a role (bound as OWNER)
  kStmtObjectPrivilegeOwners = 151,  // Object privileges: owners of objects a grantee has privileges on
  kStmtObjectPrivilegeTypes = 152,  // Object privileges: object types
  kStmtAllObjectPrivileges = 153,  // All object privileges of a grantee, direct and through roles
  kStmtTablespaceDatafileSpace = 154,  // Tablespace detail: data files of a tablespace with space usage
  kStmtSharedServers = 155,  // Instance: shared server processes
  kStmtTablespaceSegmentTypes = 156,  // Tablespace detail: segments by type
  kStmtOperatorArguments = 157,  // Operators: arguments of a binding (caller declares BND)
  kStmtSegmentsOfType = 158,  // Storage: segments of a type (bound as OWNER)
  kStmtTablespaceIndexes = 159,  // Tablespace detail: indexes in a tablespace
  kStmtTablespaceUsers = 160,  // Tablespace detail: users with the tablespace as default
  kStmtOutlineHints = 161,  // Outlines: hints of an outline
  kStmtThreads = 162,  // Instance: threads
  kStmtTablespaceClusters = 163,  // Tablespace detail: clusters in a tablespace
  kStmtTablespaceRollbackSegments = 164,  // Tablespace detail: rollback segments in a tablespace
  kStmtCompatibilityInUse = 165,  // Instance: compatibility features in use
  kStmtCompatibilitySegments = 166,  // Instance: features that prevent downgrading
  kStmtTransactions = 167,  // Instance: active transactions
  kStmtPitrCheck = 168,  // Tablespace detail: point-in-time recovery dependencies
  kStmtLocks = 169,  // Instance: locked objects
  kStmtPitrObjectsDropped = 170,  // Tablespace detail: objects lost by point-in-time recovery
  kStmtVersion = 171,  // Instance: version banners
  kStmtDatafileStatus = 172,  // Data file detail: control file information
  kStmtRedoLogs = 173,  // Instance: redo log groups
  kStmtNlsDatabase = 174,  // Instance: NLS database parameters
  kStmtJobs = 175,  // Instance: jobs
  kStmtJobsRunning = 176,  // Instance: running jobs
  kStmtDatafileHeader = 177,  // Data file detail: file header
  kStmtDatafileStatistics = 178,  // Data file detail: read and write statistics
  kStmtBufferPools = 179,  // Instance: buffer pools
  kStmtDbmsLocks = 180,  // Instance: user-allocated locks
  kStmtDatafileBackup = 181,  // Data file detail: backup status
  kStmtDatafilePing = 182,  // Data file detail: blocks pinged
  kStmtUndocumentedParameters = 183,  // Instance: undocumented parameters (also their parameter file text)
  kStmtObsoleteParameters = 184,  // Instance: obsolete parameters
  kStmtDispatcher = 185,  // Instance: one dispatcher (bound as OWNER)
  kStmtMessageQueues = 186,  // Instance: multi-thread message queues
  kStmtCartridges = 187,  // Instance: cartridges
  kStmtInstanceRecovery = 188,  // Instance: recovery record
  kStmtDispatcherRate = 189,  // Instance: statistics of a dispatcher
  kStmtLicense = 190,  // Instance: license record
  kStmtThread = 191,  // Instance: one thread (bound as OWNER)
  kStmtDimensionLevels = 192,  // Dimensions: levels of a dimension
  kStmtRedoLogFiles = 193,  // Instance: files of a redo log group (bound as OWNER)
  kStmtRedoLogHistory = 194,  // Instance: history of a redo log sequence (bound as OWNER)
  kStmtColumnGrants = 195,  // Table columns: grants on a column
  kStmtJavaObjectsOfKind = 196,  // Java: objects of a kind (kind bound as NAME)
  kStmtDatabase = 197,  // Instance: database record
  kStmtSystemStatisticClasses = 198,  // Statistics: system statistic classes
  kStmtNlsValidValues = 199,  // Instance: valid values of an NLS parameter (bound as OWNER)
  kStmtBufferPool = 200,  // Instance: one buffer pool (bound as OWNER)
  kStmtBufferPoolStatistics = 201,  // Instance: statistics of a buffer pool
  kStmtSqlAreaStatements = 202,  // Statistics: all statements in the SQL area
  kStmtSqlAreaUsers = 203,  // Statistics: SQL area statements counted per user
  kStmtCursorObjectDependencies = 204,  // Statistics: objects a cached cursor depends on (caller declares ADDR, HASH)
  kStmtTablespaceSegmentsOfType = 205,  // Tablespace detail: segments of a type (type bound as NAME)
  kStmtCartridgeComponents = 206,  // Instance: components of a cartridge (bound as OWNER)
  kStmtSegmentExtents = 207,  // Segment detail: extents of a segment
  kStmtSystemStatisticsOfClass = 208,  // Statistics: system statistics of a class (bound as OWNER)
  kStmtSqlAreaStatementsOfUser = 209,  // Statistics: SQL area statements of a user
  kStmtSqlAreaStatement = 210,  // Statistics: one SQL area statement by address (bound as OWNER)
  kStmtBlockClass = 211,  // Statistics: one block class (bound as OWNER)
  kStmtSystemEvents = 212,  // Statistics: system events
  kStmtSessionsIo = 213,  // Statistics: session input and output
  kStmtObjectCacheOfType = 214,  // Statistics: cached objects of a type (bound as OWNER)
  kStmtResourceLimits = 215,  // Statistics: resource limits
  kStmtBlockContention = 216,  // Statistics: block contention
  kStmtBlockClassPing = 217,  // Statistics: blocks pinged per class
  kStmtSortUsage = 218,  // Statistics: sort usage
  kStmtSortSegments = 219,  // Statistics: sort segments
  kStmtSortSegment = 220,  // Statistics: one sort segment (caller declares PFILE, PBLOCK)
  kStmtLibraryCacheNamespace = 221,  // Statistics: one library cache namespace (bound as OWNER)
  kStmtAnalyzeObjectsOfOwner = 222,  // Statistics: analyze objects of an owner
  kStmtLatch = 223,  // Statistics: one latch (bound as OWNER)
  kStmtChildLatches = 224,  // Statistics: child latches of a latch
  kStmtObjectCacheTypes = 225,  // Statistics: object cache by type
  kStmtModuleStatements = 226,  // Statistics: SQL area statements of a module (bound as OWNER)
  kStmtTypeSizes = 227,  // Statistics: type sizes
  kStmtModuleStatement = 228,  // Statistics: one SQL area statement of a module (bound as OWNER)
  kStmtParallelQueries = 229,  // Statistics: parallel query statistics
  kStmtObjectSizeOfType = 230,  // Statistics: PL/SQL object sizes of a type (bound as OWNER)
  kStmtDictionaryActivity = 231,  // Statistics: dictionary cache activity
  kStmtDbmsAlerts = 232,  // Instance: registered alerts (also the alert list text)
  kStmtAssociations = 233,  // Statistics: user-defined statistics associations
  kStmtLibraryCache = 234,  // Statistics: library cache
  kStmtAnalyzeObjectsOwners = 235,  // Statistics: owners of analyze objects
  kStmtLatches = 236,  // Statistics: latches
  kStmtLatchMisses = 237,  // Statistics: latch misses
  kStmtModules = 238,  // Statistics: application modules in the SQL area
  kStmtCursorCache = 239,  // Statistics: cursor cache record
  kStmtSessionStatistics = 240,  // Session detail: non-zero statistics (SID bound as OWNER)
  kStmtMts = 241,  // Statistics: multi-threaded server record
  kStmtSharedPoolReserved = 242,  // Statistics: reserved shared pool record
  kStmtFileIo = 243,  // Statistics: file input and output
  kStmtSgaSummary = 244,  // Statistics: SGA summary
  kStmtSgaDetailed = 245,  // Statistics: SGA in detail
  kStmtObjectSizeTypes = 246,  // Statistics: PL/SQL object sizes by type
  kStmtResourceCost = 247,  // Statistics: resource costs
  kStmtSessionEvents = 248,  // Session detail: wait events (SID bound as OWNER)
  kStmtDbGrowthPerMonth = 249,  // Statistics: database growth per month
  kStmtSession = 250,  // Session detail: the session record (caller declares SID, SERIAL)
  kStmtSessionConnectInfo = 251,  // Session detail: connect information (caller declares SID)
  kStmtSessionWaits = 252,  // Session detail: current waits (SID bound as OWNER)
  kStmtSessionBanner = 253,  // Session detail: network banners (caller declares SID)
  kStmtSessionTransactions = 254,  // Session detail: transactions (caller declares SID, SERIAL)
  kStmtSessionLocks = 255,  // Session detail: locks (SID bound as OWNER)
  kStmtSessionCursors = 256,  // Session detail: open cursors (caller declares SID, SERIAL)
  kStmtSessionLongOperations = 257,  // Session detail: long-running operations (caller declares SID, SERIAL)
  kStmtAuditObjectsOfOwner = 258,  // Audit options: audited objects of an owner
  kStmtSessionAuditTrail = 259,  // Session detail: audit trail (caller declares SID, SERIAL)
  kStmtAuditTrailOfAction = 260,  // Audit options: audit trail entries of an action (bound as OWNER)
  kStmtAuditTrailActions = 262,  // Audit options: audit trail by action
  kStmtAuditPrivileges = 263,  // Audit options: audited system privileges
};

// Numbers in 0-263 that hold no statement (the OWNER set has one more
// number than there are statements binding only :OWNER).
inline constexpr int kUnusedStatementNumbers[] = {261};

// The entry of a statement number; null outside 0-263 and for unused numbers.
const CatalogueEntry* FindStatement(int number);

// Puts the session's dictionary prefix into a stored text: every ":DBA_"
// (any letter case, every occurrence, inside quotes too) becomes the prefix;
// then every ":TABLE_SCHEMA" (any letter case) becomes "TABLE_SCHEMA" when the
// prefix is "ALL_" and "OWNER" otherwise.
std::string ApplyDictionaryPrefix(std::string text, const std::string& prefix);

// Display name of a capability value, for messages and tests.
std::string_view CapabilityValueName(CapabilityValue value);

}  // namespace connection
