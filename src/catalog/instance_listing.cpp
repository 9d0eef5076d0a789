// instance_listing.cpp — ".Instance parameters": the views of the running
// instance as counted directories, their listings, and the records and
// details below a dispatcher, thread, redo log, NLS parameter, job, buffer
// pool, cartridge or session.
#include "catalog/instance_family.h"

#include "catalog/instance_support.h"
#include "catalog/item_builders.h"
#include "catalog/session_detail.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

const std::vector<CountedView>& CountedViews() {
  static const std::vector<CountedView> kViews = {
      {".OPTIONS", "V$OPTION", nullptr},
      {".PARAMETERS", "V$PARAMETER", nullptr},
      {".PROCESS", "V$PROCESS", nullptr},
      {".SESSIONS", "V$SESSION", nullptr},
      {".DISPATCHERS", "V$DISPATCHER", "Provides information on the dispatcher processes"},
      {".THREADS", "V$THREAD", "The thread information from the control file"},
      {".BACKGROUND PROCESS", "V$BGPROCESS", nullptr},
      {".COMPATIBILITY IN USE", "V$COMPATIBILITY", "Features in use that may prevent downgrading to a previous release"},
      {".COMPATIBILITY PREVENT DOWNGRADING", "V$COMPATSEG",
       "Features in use that will prevent moving back to an earlier release"},
      {".TRANSACTIONS", "V$TRANSACTION", "All active transactions in the system"},
      {".LOCKS", "V$LOCKED_OBJECT", "All locks acquired by every transaction on the system"},
      {".VERSION", "V$VERSION", "Version numbers of core library components in the Oracle Server"},
      {".PROCESS SHARED", "V$SHARED_SERVER", "The information on the shared server processes"},
      {".REDO LOGS", "V$LOG", "The log file information from the control files"},
      {".NLS DATABASE", "NLS_DATABASE_PARAMETERS", "The permanent NLS parameters of the database"},
      {".JOBS", "DBA_JOBS", "All jobs in the database"},
      {".JOBS RUNNING", "DBA_JOBS_RUNNING", "All jobs in the database that are currently running"},
      {".TRUSTED SERVERS", "TRUSTED_SERVERS", "This view displays whether a server is trusted or untrusted"},
      {".BUFFER POOLS", "V$BUFFER_POOL", "The information about all buffer pools available for the instance"},
      {".DBMS ALERTS", "SYS.DBMS_ALERT_INFO", "The registered alerts"},
      {".DBMS LOCKS", "SYS.DBMS_LOCK_ALLOCATED", "The user-allocated locks"},
      {".PARAMETERS OBSOLETE", "V$OBSOLETE_PARAMETER", "The obsolete parameters. If any value is true, you should examine why"},
      {".QUEUES", "V$QUEUE", "The information on the multi-thread message queues"},
      {".CARTRIDGES", "DBA_CARTRIDGES", "The installed cartridges and their components"},
      {".RECOVERY", "V$INSTANCE_RECOVERY", nullptr},
  };
  return kViews;
}

const std::vector<SimpleListing>& SimpleListings() {
  static const std::vector<SimpleListing> kListings = {
      {".OPTIONS", kStmtOptions, {{"PARAMETER", "VALUE"}, false, "", "", ""}, "ParameterValuePanelModes"},
      {".PARAMETERS", kStmtParameters,
       {{"NAME", "TYPE_NAME", "VALUE", "DEFAULT_NAME", "ISSES", "ISSYS", "ISMODIFIED_NAME", "ISADJUSTED_NAME",
         "DESCRIPTION"},
        false, "", "", ""},
       "ParameterTypeValuePanelModes"},
      {".PARAMETERS UNDOCUMENTED", kStmtUndocumentedParameters,
       {{"NAME", "TYPE", "VALUE", "ISDEFAULT", "DESCRIPTION"}, false, "", "", ""}, "NameTypeValuePanelModes"},
      {".PROCESS", kStmtProcesses,
       {{"PID", "SPID", "USR_NAME", "SERIAL#", "TERMINAL", "PROGRAM", "BKGR"}, false, "", "", ""},
       "PIDUserProgramPanelModes"},
      {".BACKGROUND PROCESS", kStmtBackgroundProcesses, {{"NAME", "DESCRIPTION"}, false, "", "", ""},
       "ParameterValuePanelModes"},
      {".SESSIONS", kStmtSessions,
       {{"SESSION_ID", "USERNAME", "TERMINAL", "PROGRAM", "CUSTOM_DESCRIPTION"}, true, "", "", ""},
       "SIDSUserTerminalProgramPanelModes"},
      {".DISPATCHERS", kStmtDispatchers,
       {{"NAME", "STATUS", "MESSAGES", "MBYTES", "BREAKS", "IDLE_MIN", "BUSY_MIN", "LISTENER", "NETWORK"}, true, "", "",
        ""},
       "NameStatusMessagesSizeMBPanelModes"},
      {".PROCESS SHARED", kStmtSharedServers,
       {{"NAME", "STATUS", "MESSAGES", "MBYTES", "BREAKS", "IDLE_MIN", "BUSY_MIN", "REQUESTS"}, false, "", "", ""},
       "ServerStatusMessagesBytesMBPanelModes"},
      {".THREADS", kStmtThreads, {{"THREAD#", "STATUS", "ENABLED", "INSTANCE", "OPEN_TIME"}, true, "", "", ""},
       "NStatusEnabledInstancePanelModes"},
      {".COMPATIBILITY IN USE", kStmtCompatibilityInUse, {{"NAME", "DESCRIPTION"}, false, "", "", ""},
       "ParameterValuePanelModes"},
      {".COMPATIBILITY PREVENT DOWNGRADING", kStmtCompatibilitySegments, {{"NAME", "UPDATED_NAME"}, false, "", "", ""},
       "ParameterValuePanelModes"},
      {".TRANSACTIONS", kStmtTransactions,
       {{"XIDSQN", "STATUS", "START_TIME", "USERNAME", "SESSION_ID"}, false, "", "", ""}, "NStatusStartPanelModes"},
      {".LOCKS", kStmtLocks, {{"FILENAME", "OBJECT_TYPE", "SESSION_ID", "XIDSQN"}, false, "", "", ""},
       "ObjectTypeSessionXidsqnPanelModes"},
      {".VERSION", kStmtVersion, {{"BANNER"}, false, "", "", ""}, "TextPanelModes"},
      {".REDO LOGS", kStmtRedoLogs,
       {{"FILENAME", "MBYTES", "MEMBERS", "ARCHIVED", "STATUS", "FIRST_TIME"}, true, "", "", "BYTES"},
       "LogidSizeMBMembersArchPanelModes"},
      {".NLS DATABASE", kStmtNlsDatabase, {{"PARAMETER", "VALUE"}, true, "", "", ""}, "ParameterValuePanelModes"},
      {".JOBS", kStmtJobs,
       {{"JOB", "LOG_USER", "LAST_DATE", "NEXT_DATE", "BROKEN", "FAILURES", "WHAT"}, true, "LAST_DATE", "NEXT_DATE", ""},
       "JobUserLastDateNextDatePanelModes"},
      {".JOBS RUNNING", kStmtJobsRunning, {{"JOB", "LAST_DATE", "THIS_DATE", "FAILURES"}, false, "THIS_DATE", "", ""},
       "JobLastDateThisDateFailsPanelModes"},
      {".BUFFER POOLS", kStmtBufferPools,
       {{"ID", "NAME", "LO_SETID", "HI_SETID", "SET_COUNT", "BUFFERS"}, true, "", "", ""},
       "IDPoolLowSetHiSetPanelModes"},
      {".DBMS ALERTS", kStmtDbmsAlerts, {{"NAME", "CHANGED", "MESSAGE"}, false, "", "", ""},
       "AlertNameChangedMessagePanelModes"},
      {".DBMS LOCKS", kStmtDbmsLocks, {{"NAME", "LOCKID"}, false, "EXPIRATION", "", ""},
       "LockNameLockidExpirationPanelModes"},
      {".PARAMETERS OBSOLETE", kStmtObsoleteParameters, {{"NAME", "ISSPECIFIED"}, false, "", "", ""},
       "ParameterValuePanelModes"},
      {".QUEUES", kStmtMessageQueues, {{"TYPE", "NAME", "QUEUED", "WAIT", "TOTALQ"}, true, "", "", ""},
       "TypeNameQueuedWaitPanelModes"},
      {".CARTRIDGES", kStmtCartridges,
       {{"CARTRIDGE_NAME", "INSTALLATION_STATUS", "VERSION", "FULL_NAME", "DESCRIPTION"}, true, "", "", ""},
       "NameStatusVersionPanelModes"},
  };
  return kListings;
}

const RecordListing kRecords[] = {
    {".RECOVERY", kStmtInstanceRecovery},
    {".LICENSE", kStmtLicense},
    {".DATABASE", kStmtDatabase},
};

void ListRoot(Listing& l) {
  l.UseModes("ObjectValuePanelModes");
  AddCountedViews(l, CountedViews());
  AddItem(l.request, ".License", {"", ""}, true);
  AddItem(l.request, ".Database", {"", ""}, true);
  RecordByKind(l, kStmtInstance);
  AddFixedDirectory(l, ".PARAMETERS UNDOCUMENTED", "Undocumented INIT.ORA parameters, you must have enough privileges");
}

// Level 3 named, level 4 empty.
void ListKind(Listing& l, const std::string& kind) {
  if (ListFromTables(l, kind, SimpleListings(), kRecords)) return;
  if (kind == ".TRUSTED SERVERS") {
    l.UseModes("ObjectValuePanelModes");
    MakeRecordItemsWithComments(l.request, l.Module(), "TRUSTED_SERVERS", "1 = 1", {});
  }
}

// The NLS database parameters are named "NLS_LANGUAGE" and so on, while the
// valid values are kept under "LANGUAGE": the prefix goes before the lookup.
std::string ValidValuesKey(const std::string& parameter) {
  return parameter.rfind("NLS_", 0) == 0 ? parameter.substr(4) : parameter;
}

void ListRedoLog(Listing& l) {
  std::string group, sequence;
  if (!SplitPair(l.Level(4), group, sequence)) return;
  const std::string detail = l.Level(5);
  if (detail.empty()) {
    l.UseModes("ObjectValuePanelModes");
    AddFixedDirectory(l, ".FILES", "The information about redo log files");
    AddFixedDirectory(l, ".HISTORY", "The log history information from the control file");
  } else if (!l.Level(6).empty()) {
    return;
  } else if (detail == ".FILES") {
    l.UseModes("StatusMemberPanelModes");
    ListByKind(l, kStmtRedoLogFiles, {{"FILENAME", "MEMBER", "STATUS"}, false, "", "", ""}, {{"OWNER", group}});
  } else if (detail == ".HISTORY") {
    l.UseModes("ThrdFirstTimeFChangePanelModes");
    ListByKind(l, kStmtRedoLogHistory,
               {{"THREAD#", "FIRST_TIME", "FIRST_CHANGE#", "NEXT_CHANGE#", "RECID", "STAMP"}, false, "", "", ""},
               {{"OWNER", sequence}});
  }
}

// Item levels whose content is one statement over the item's key.
const SimpleListing kItemListings[] = {
    {".CARTRIDGES", kStmtCartridgeComponents,
     {{"COMPONENT_NAME", "STATUS", "OWNER", "COMPONENT_TYPE", "DESCRIPTION"}, false, "", "", ""},
     "NameStatusOwnerPanelModes"},
};
const RecordListing kItemRecords[] = {
    {".THREADS", kStmtThread},
};

// Below an item of a level-3 listing.
void ListBelowItem(Listing& l, const std::string& kind) {
  const std::string item = l.Level(4);
  const std::string detail = l.Level(5);
  if (detail.empty() && ListFromTables(l, kind, kItemListings, kItemRecords, {{"OWNER", item}})) return;
  if (kind == ".SESSIONS") {
    ListSessionDetail(l, 4);
  } else if (kind == ".REDO LOGS") {
    ListRedoLog(l);
  } else if (kind == ".DISPATCHERS") {
    l.UseModes("ObjectValuePanelModes");
    if (detail.empty()) {
      AddFixedDirectory(l, ".STATISTICS", "The statistics for the dispatcher processes");
      RecordByKind(l, kStmtDispatcher, {{"OWNER", item}});
    } else if (l.Level(6).empty()) {
      RecordByKind(l, kStmtDispatcherRate, {{"OWNER", item}});
    }
  } else if (kind == ".NLS DATABASE" && detail.empty()) {
    l.UseModes("TextPanelModes");
    ListByKind(l, kStmtNlsValidValues, {{"VALUE"}, false, "", "", ""}, {{"OWNER", ValidValuesKey(item)}});
  } else if (kind == ".JOBS" && detail.empty()) {
    l.UseModes("ObjectValuePanelModes");
    if (AllDigits(item)) MakeRecordItemsWithComments(l.request, l.Module(), "DBA_JOBS", "JOB = :ID", {{"ID", item}});
  } else if (kind == ".BUFFER POOLS") {
    l.UseModes("ObjectValuePanelModes");
    if (detail.empty()) {
      AddFixedDirectory(l, ".STATISTICS", nullptr);
      RecordByKind(l, kStmtBufferPool, {{"OWNER", item}});
    } else if (detail == ".STATISTICS" && l.Level(6).empty()) {
      RecordByKind(l, kStmtBufferPoolStatistics, {{"OWNER", item}});
    }
  }
}

}  // namespace

void ListInstanceParameters(Listing& l) {
  if (!l.Connected()) return;
  const std::string kind = l.Level(3);
  if (kind.empty()) {
    ListRoot(l);
  } else if (l.Level(4).empty()) {
    ListKind(l, kind);
  } else {
    ListBelowItem(l, kind);
  }
}

}  // namespace catalog
