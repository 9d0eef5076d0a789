// statistics_listing.cpp — ".Statistics": the performance views of the
// instance, from system statistics by class down to latches, caches, the
// SGA and file I/O.  The SQL area and the audit options are in files of
// their own (sql_area_listing, audit_options_listing).
#include "catalog/instance_family.h"

#include "catalog/code_queries.h"
#include "catalog/instance_support.h"
#include "catalog/item_builders.h"
#include "catalog/statistics_parts.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

std::vector<CountedView> CountedViews() {
  return {
      {".SQL AREA", "V$SQLAREA", "The statistics on shared SQL area"},
      {".SYSTEM EVENTS", "V$SYSTEM_EVENT", "The information on total waits for an event"},
      {".SESSIONS I-O", "V$SESS_IO", "I/O statistics for each user session"},
      {".RESOURCES", "V$RESOURCE_LIMIT", "The information about using global resources"},
      {".BLOCK CONNECTION", "V$WAITSTAT", "The block contention statistics (updated when timed statistics are enabled)"},
      {".BLOCK CLASS PING", "V$CLASS_PING", "The number of blocks pinged per block class"},
      {".SORT USAGE", "V$SORT_USAGE", "Description of sort usage"},
      {".SORT SEGMENTS", "V$SORT_SEGMENT", "The information about every sort segment in a given instance"},
      {".OBJECT CACHE", "V$DB_OBJECT_CACHE", "The database objects that are cached in the library cache"},
      {".TYPE SIZE", "V$TYPE_SIZE", "The sizes of various database components for use in estimating data block capacity"},
      {".PARALLEL QUERIES", "V$PQ_SYSSTAT", "System statistics for parallel queries"},
      {".DICTIONARY ACTIVITY", "V$ROWCACHE", "The statistics for data dictionary activity"},
      {".ASSOCIATIONS", nullptr, "User-defined statistics information"},  // the prefixed view, below
      {".LIBRARY CACHE", "V$LIBRARYCACHE", "The statistics for library cache"},
      {".ANALYZE OBJECTS", "SYS.DBA_ANALYZE_OBJECTS", "The list of analyze objects"},
      {".LATCHES", "V$LATCH", "The statistics for non-parent latches and summary statistics for parent latches"},
      {".LATCH MISSES", "V$LATCH_MISSES", "The statistics about missed attempts to acquire a latch"},
  };
}

// Directories offered always, with their description.
constexpr std::pair<const char*, const char*> kFixedDirectories[] = {
    {".CURSOR CACHE", "The information on cursor usage"},
    {".FILE I-O", "The information about file read/write statistics"},
    {".MTS", "The information for tuning the multi-threaded server"},
    {".SGA SUMMARY", "The summary information on the System Global Area"},
    {".SGA DETAILED", "The detailed information on the System Global Area"},
    {".OBJECT SIZE", "The sizes of various PL/SQL objects"},
    {".AUDIT OPTIONS", "The auditing options"},
    {".SHARED POOL RESERVED", "For tune the reserved pool and space within the shared pool"},
    {".RESOURCE COST", "Cost for each resource"},
    {".DB GROWTH PER MONTH", "Database growth per month for last year"},
};

void ListRoot(Listing& l) {
  LoadingMessage note(l.request);
  l.UseModes("ObjectValuePanelModes");
  AddFixedDirectory(l, ".SYSTEM", "The system statistics");
  const std::string associations = l.Module().Prefix() + "ASSOCIATIONS";
  for (CountedView v : CountedViews()) {
    if (v.view == nullptr) v.view = associations.c_str();
    AddCountedViews(l, {v});
  }
  AddDetailDirectory(l.request, ".APPLICATION INFO",
                     CountOf(l, "SELECT COUNT(DISTINCT MODULE) FROM V$SQLAREA", {}));
  for (const auto& [name, description] : kFixedDirectories) AddFixedDirectory(l, name, description);
}

const std::vector<SimpleListing>& SimpleListings() {
  static const std::vector<SimpleListing> kListings = {
      {".SYSTEM", kStmtSystemStatisticClasses, {{"FILENAME", "COUNTS"}, true, "", "", ""}, "UserNameCountPanelModes"},
      {".SYSTEM EVENTS", kStmtSystemEvents,
       {{"EVENT", "TOTAL_WAITS", "TOTAL_TIMEOUTS", "TIME_WAITED", "AVERAGE_WAIT"}, false, "", "", ""},
       "EventWaitsTimeoutsTimeWaitedAVGWaitPanelModes"},
      {".SESSIONS I-O", kStmtSessionsIo,
       {{"SID", "USERNAME", "HIT", "BLOCK_GETS", "CONSISTENT_GETS", "PHYSICAL_READS", "BLOCK_CHANGES",
         "CONSISTENT_CHANGES"},
        false, "", "", ""},
       "SIDUserHitsBlockGetsPanelModes"},
      {".RESOURCES", kStmtResourceLimits,
       {{"RESOURCE_NAME", "CURRENT_UTILIZATION", "MAX_UTILIZATION", "INITIAL_ALLOCATION", "LIMIT_VALUE"}, false, "",
        "", ""},
       "ResourceCurrentMAXPanelModes"},
      {".BLOCK CONNECTION", kStmtBlockContention, {{"CLASS", "COUNT", "TIME"}, true, "", "", ""},
       "ClassOfBlockCountTimePanelModes"},
      {".BLOCK CLASS PING", kStmtBlockClassPing,
       {{"CLASS", "X_2_NULL", "X_2_S", "X_2_SSX", "S_2_NULL", "SS_2_NULL", "S_2_X"}, true, "", "", ""},
       "ClassOfBlockX2NullX2SX2SSXPanelModes"},
      {".SORT USAGE", kStmtSortUsage, {{"USERNAME", "BLOCKS", "EXTENTS", "TABLESPACE", "SQL_TEXT"}, false, "", "", ""},
       "UserBlocksExtentsTablespacePanelModes"},
      {".SORT SEGMENTS", kStmtSortSegments,
       {{"FILENAME", "CURRENT_USERS", "TOTAL_BLOCKS", "USED_BLOCKS", "FREE_BLOCKS", "MAX_USED_BLOCKS",
         "MAX_SORT_BLOCKS", "TABLESPACE_NAME"},
        true, "", "", ""},
       "IDUsersTotalBlocksUsedPanelModes"},
      {".OBJECT CACHE", kStmtObjectCacheTypes, {{"TYPE", "COUNTS", "ALL_SIZE"}, true, "", "", "BYTE_SIZE"},
       "TypeCountSizeMBPanelModes"},
      {".TYPE SIZE", kStmtTypeSizes, {{"COMPONENT", "TYPE", "TYPE_SIZE", "DESCRIPTION"}, false, "", "", ""},
       "ComponentTypeSizePanelModes"},
      {".PARALLEL QUERIES", kStmtParallelQueries, {{"STATISTIC", "VALUE"}, false, "", "", ""},
       "StatisticNameValuePanelModes"},
      // The view's column is MODIFICATIONS; a column of another name would show nothing.
      {".DICTIONARY ACTIVITY", kStmtDictionaryActivity,
       {{"PARAMETER", "CACHE#", "COUNT", "USAGE", "FIXED", "GETS", "GETMISSES", "SCANS", "SCANMISSES",
         "MODIFICATIONS", "FLUSHES"},
        false, "", "", ""},
       "ParameterIDCountUsagePanelModes"},
      {".ASSOCIATIONS", kStmtAssociations,
       {{"FILENAME", "OBJECT_TYPE", "STATNAME", "DEF_SELECTIVITY", "DEF_CPU_COST", "DEF_IO_COST", "DEF_NET_COST"},
        false, "", "", ""},
       "ObjectTypeStatisticsPanelModes"},
      {".LIBRARY CACHE", kStmtLibraryCache,
       {{"NAMESPACE", "GETS", "GETHITS", "PINS", "PINHITS", "RELOADS"}, true, "", "", ""},
       "NamespaceGetsGethitsPanelModes"},
      {".ANALYZE OBJECTS", kStmtAnalyzeObjectsOwners, {{"OWNER", "COUNTS"}, true, "", "", ""},
       "UserNameCountPanelModes"},
      {".LATCHES", kStmtLatches,
       {{"LATCH#", "NAME", "LEVEL#", "GETS", "MISSES", "SLEEPS", "SPIN_GETS", "WAITERS_WOKEN"}, true, "", "", ""},
       "LatchNameLevelGetsPanelModes"},
      {".LATCH MISSES", kStmtLatchMisses, {{"PARENT_NAME", "NWFAIL_COUNT", "SLEEP_COUNT", "WHERE"}, false, "", "", ""},
       "ParentNameFailsSleepsPanelModes"},
      {".FILE I-O", kStmtFileIo,
       {{"FILE#", "PHYRDS", "PHYWRTS", "READTIM_MIN", "WRITETIM_MIN", "AVGIOTIM", "MINIOTIM", "MAXIOWTM", "MAXIORTM"},
        true, "", "", ""},
       "FilePHYReadsPHYWritesPanelModes"},
      {".SGA SUMMARY", kStmtSgaSummary, {{"NAME", "MSIZE"}, false, "", "", "VALUE"}, "NameSizeMBPanelModes"},
      {".SGA DETAILED", kStmtSgaDetailed, {{"NAME", "MBYTES", "POOL"}, false, "", "", "BYTES"},
       "NameSizeMBPoolPanelModes"},
      {".OBJECT SIZE", kStmtObjectSizeTypes, {{"TYPE", "COUNTS", "MSIZE"}, true, "", "", ""},
       "TypeCountSizeMBPanelModes"},
      {".RESOURCE COST", kStmtResourceCost, {{"RESOURCE_NAME", "UNIT_COST"}, false, "", "", ""},
       "ParameterValuePanelModes"},
      {".DB GROWTH PER MONTH", kStmtDbGrowthPerMonth, {{"MONTH_NAME", "GROWTH"}, false, "", "", ""},
       "NameSizeMBPanelModes"},
  };
  return kListings;
}

const RecordListing kRecords[] = {
    {".CURSOR CACHE", kStmtCursorCache},
    {".MTS", kStmtMts},
    {".SHARED POOL RESERVED", kStmtSharedPoolReserved},
};

// A statistic class item reads "NAME.NUMBER"; the number follows the last dot.
void ListStatisticClass(Listing& l) {
  const std::string item = l.Level(4);
  const std::size_t dot = item.rfind('.');
  if (dot == std::string::npos || !AllDigits(item.substr(dot + 1))) return;
  l.UseModes("StatisticNameValuePanelModes");
  ListByKind(l, kStmtSystemStatisticsOfClass, {{"NAME", "VALUE"}, false, "", "", ""},
             {{"OWNER", item.substr(dot + 1)}});
}

void ListLatch(Listing& l) {
  const std::string latch = l.Level(4);
  if (!AllDigits(latch)) return;
  if (!l.Level(5).empty()) {
    if (!l.Level(6).empty()) return;
    l.UseModes("LatchNameLevelGetsPanelModes");
    // V$LATCH_CHILDREN counts spins in SPIN_GETS, as V$LATCH does.
    ListByKind(l, kStmtChildLatches,
               {{"CHILD#", "NAME", "LEVEL#", "GETS", "MISSES", "SLEEPS", "SPIN_GETS", "WAITERS_WOKEN"}, false, "", "", ""},
               {{"OWNER", latch}});
    return;
  }
  l.UseModes("ObjectValuePanelModes");
  AddDetailDirectory(l.request, ".CHILD LATCHES",
                     CountOf(l, "SELECT COUNT(*) FROM V$LATCH_CHILDREN WHERE LATCH# = :OWNER", {{"OWNER", latch}}));
  RecordByKind(l, kStmtLatch, {{"OWNER", latch}});
}

// Item levels whose content is one statement over the item's key.
const SimpleListing kItemListings[] = {
    {".OBJECT CACHE", kStmtObjectCacheOfType,
     {{"FILENAME", "SHARABLE_MEM", "LOADS", "LOCKS", "PINS", "KEPT1", "NAMESPACE", "DB_LINK"}, false, "", "", ""},
     "ObjectNameSizeLoadsLocksPanelModes"},
    {".OBJECT SIZE", kStmtObjectSizeOfType,
     {{"FILENAME", "CODE_SIZE", "PARSED_SIZE", "SOURCE_SIZE", "ERROR_SIZE"}, false, "", "", ""},
     "ObjectCodeParsedPanelModes"},
};
const RecordListing kItemRecords[] = {
    {".BLOCK CONNECTION", kStmtBlockClass},
    {".BLOCK CLASS PING", kStmtBlockClass},
    {".LIBRARY CACHE", kStmtLibraryCacheNamespace},
};

void ListBelowItem(Listing& l, const std::string& kind) {
  const std::string item = l.Level(4);
  const bool itemLevel = l.Level(5).empty();
  if (itemLevel && ListFromTables(l, kind, kItemListings, kItemRecords, {{"OWNER", item}})) return;
  if (kind == ".SYSTEM" && itemLevel) {
    ListStatisticClass(l);
  } else if (kind == ".SORT SEGMENTS" && itemLevel) {
    std::string file, block;
    if (!SplitPair(item, file, block)) return;
    l.UseModes("ObjectValuePanelModes");
    RecordByKind(l, kStmtSortSegment, {{"PFILE", file}, {"PBLOCK", block}}, {"PFILE", "PBLOCK"});
  } else if (kind == ".ANALYZE OBJECTS" && itemLevel) {
    l.UseModes("DefaultPanelModes");
    ListByKind(l, kStmtAnalyzeObjectsOfOwner, {{"FILENAME"}, true, "", "", ""}, {{"OWNER", ExactOwner(l, 4)}});
  } else if (kind == ".LATCHES") {
    ListLatch(l);
  }
}

}  // namespace

void ListStatistics(Listing& l) {
  if (!l.Connected()) return;
  const std::string kind = l.Level(3);
  if (kind.empty()) {
    ListRoot(l);
  } else if (kind == ".SQL AREA") {
    ListSqlArea(l);
  } else if (kind == ".APPLICATION INFO") {
    ListApplicationInfo(l);
  } else if (kind == ".AUDIT OPTIONS") {
    ListAuditOptions(l);
  } else if (l.Level(4).empty()) {
    ListFromTables(l, kind, SimpleListings(), kRecords);
  } else {
    ListBelowItem(l, kind);
  }
}

}  // namespace catalog
