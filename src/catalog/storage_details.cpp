// storage_details.cpp — one tablespace (its counted contents and their
// lists), one data file (five value-only records), one rollback segment
// (its statistics by segment number) and one segment (its extents).
#include "catalog/storage_details.h"

#include <exception>

#include "catalog/code_queries.h"
#include "catalog/detail_counts.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

constexpr const char* kObjectValue = "ObjectValuePanelModes";

ItemColumns Dirs(std::vector<std::string> columns, const char* size = "") {
  return {std::move(columns), true, "", "", size};
}

// A catalogue statement with its keys bound, shown as one value-only record.
void ValueRecord(Listing& l, int statement, const VariablePairs& vars, const std::vector<std::string>& declare = {}) {
  l.UseModes(kObjectValue);
  try {
    auto query = l.Module().CreateOracleQueryByKind(statement);
    if (!query) return;
    for (const auto& name : declare) query->DeclareVariable(name, 5);
    for (const auto& [name, value] : vars) query->SetVariable(name, value);
    query->Execute();
    MakeItemsFromRecord(l.request, *query, true);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
  }
}

// --- tablespaces ---------------------------------------------------------

void TablespaceDetail(Listing& l, const std::string& ts) {
  l.UseModes(kObjectValue);
  const VariablePairs name{{"NAME", ts}};
  const std::string& prefix = l.Module().Prefix();
  LoadingMessage note(l.request);
  struct Counted {
    const char* dir;
    std::string from;
    const char* description;
  };
  const Counted counted[] = {
      {".TABLES", l.Module().Caps().tablesView + " WHERE TABLESPACE_NAME = :NAME", ""},
      {".INDEXES", prefix + "INDEXES WHERE TABLESPACE_NAME = :NAME", ""},
      {".USERS", "DBA_USERS WHERE DEFAULT_TABLESPACE = :NAME", ""},
      {".CLUSTERS", prefix + "CLUSTERS WHERE TABLESPACE_NAME = :NAME", ""},
      {".ROLLBACK SEGMENTS", "DBA_ROLLBACK_SEGS WHERE TABLESPACE_NAME = :NAME", ""},
      {".SEGMENTS", "DBA_SEGMENTS WHERE TABLESPACE_NAME = :NAME", ""},
      {".DATAFILES", "DBA_DATA_FILES WHERE TABLESPACE_NAME = :NAME", ""},
      {".PITR CHECK", "TS_PITR_CHECK WHERE TS1_NAME = :NAME",
       "The information on any dependencies which might prevent tablespace point-in-time recovery from proceeding"},
      {".PITR OBJECTS DROPPED", "TS_PITR_OBJECTS_TO_BE_DROPPED WHERE TABLESPACE_NAME = :NAME",
       "All objects lost as a result of performing tablespace point-in-time recovery"},
  };
  for (const Counted& c : counted) AddCounted(l, c.dir, CountFrom(l, c.from, name, true), c.description);
  // Offered without a count: the record below it is what it shows.
  if (CountFrom(l, "DBA_FREE_SPACE_COALESCED WHERE TABLESPACE_NAME = :NAME", name, true) > 0)
    AddItem(l.request, ".SPACE COALESCED", {"", "The statistics on coalesced space in tablespace"}, true);
  note.Remove();
  MakeRecordItemsWithComments(l.request, l.Module(), "DBA_TABLESPACES", "TABLESPACE_NAME = :NAME", name);
}

void TablespaceSegments(Listing& l, const std::string& ts, std::size_t at) {
  if (l.Level(at + 2).empty()) {
    l.UseModes("TypeCountSizeMBPanelModes");
    l.ListStatement(kStmtTablespaceSegmentTypes, Dirs({"SEGMENT_TYPE", "COUNTS", "M_SIZE"}, "B_SIZE"),
                    {{"OWNER", ts}});
  } else if (l.Level(at + 3).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtTablespaceSegmentsOfType, Dirs({"FILENAME", "BYTES"}, "BYTES"),
                    {{"OWNER", ts}, {"NAME", l.Level(at + 2)}});
  } else {
    ListSegmentTree(l, at + 3);
  }
}

void PitrCheckObject(Listing& l, const std::string& ts, const std::string& item) {
  std::string object, owner;
  if (!SplitItemName(item, true, object, owner)) return;
  ValueRecord(l, kStmtPitrCheckObject, {{"TSNAME", ts}, {"OWNER", owner}, {"OBJNAME", object}},
              {"TSNAME", "OWNER", "OBJNAME"});
}

// --- data files ----------------------------------------------------------

struct DatafileDetail {
  const char* dir;
  const char* description;
  int statement;
};
constexpr DatafileDetail kDatafileDetails[] = {
    {".STATUS", "The datafile information from the control file", kStmtDatafileStatus},
    {".HEADER", "The datafile information from the datafile headers", kStmtDatafileHeader},
    {".STATISTICS", "The information about file read/write statistics", kStmtDatafileStatistics},
    {".BACKUP", "The backup status", kStmtDatafileBackup},
    {".FILE PING", "The number of blocks pinged per datafile", kStmtDatafilePing},
};

}  // namespace

void ListTablespaceTree(Listing& l, std::size_t at) {
  const std::string ts = ExactLevel(l, at, connection::NameKind::Tablespace);
  const std::string detail = l.Level(at + 1);
  if (detail.empty()) return TablespaceDetail(l, ts);
  if (detail == ".SEGMENTS") return TablespaceSegments(l, ts, at);
  if (detail == ".DATAFILES" && !l.Level(at + 2).empty()) return ListDatafileTree(l, at + 2);
  if (detail == ".ROLLBACK SEGMENTS" && !l.Level(at + 2).empty()) return ListRollbackSegmentTree(l, at + 2);
  if (detail == ".PITR CHECK" && !l.Level(at + 2).empty()) {
    if (l.Level(at + 3).empty()) PitrCheckObject(l, ts, l.Level(at + 2));
    return;
  }
  if (!l.Level(at + 2).empty()) return;
  const VariablePairs owner{{"OWNER", ts}};
  l.UseModes("DefaultPanelModes");
  if (detail == ".TABLES") {
    ListQueryText(l,
                  "SELECT TABLE_NAME || '.' || OWNER AS FILENAME FROM " + l.Module().Caps().tablesView +
                      " WHERE TABLESPACE_NAME = :NAME",
                  Dirs({"FILENAME"}), {{"NAME", ts}});
  } else if (detail == ".INDEXES") {
    l.ListStatement(kStmtTablespaceIndexes, Dirs({"FILENAME"}), owner);
  } else if (detail == ".USERS") {
    l.ListStatement(kStmtTablespaceUsers, Dirs({"USERNAME"}), owner);
  } else if (detail == ".CLUSTERS") {
    l.ListStatement(kStmtTablespaceClusters, Dirs({"FILENAME"}), owner);
  } else if (detail == ".ROLLBACK SEGMENTS") {
    l.UseModes("SegmentTablespaceStatusSizeMBPanelModes");
    l.ListStatement(kStmtTablespaceRollbackSegments,
                    Dirs({"SEGMENT_NAME", "TABLESPACE_NAME", "STATUS", "ALL_SIZE"}, "S_SIZE"), owner);
  } else if (detail == ".DATAFILES") {
    l.UseModes("IDNameStatusSizeMBPanelModes");
    l.ListStatement(kStmtTablespaceDatafileSpace,
                    Dirs({"FILE_ID", "FILE_NAME", "STATUS", "ALL_SIZE", "USED_SIZE", "FREE_SIZE", "FREE_P"}), owner);
  } else if (detail == ".PITR CHECK") {
    l.ListStatement(kStmtPitrCheck, Dirs({"FILENAME", "REASON"}), owner);
  } else if (detail == ".PITR OBJECTS DROPPED") {
    l.ListStatement(kStmtPitrObjectsDropped, {{"FILENAME", "CREATION_TIME"}, false, "", "", ""}, owner);
  } else if (detail == ".SPACE COALESCED") {
    l.UseModes(kObjectValue);
    MakeRecordItemsWithComments(l.request, l.Module(), "DBA_FREE_SPACE_COALESCED", "TABLESPACE_NAME = :NAME",
                                {{"NAME", ts}});
  }
}

void ListDatafileTree(Listing& l, std::size_t at) {
  const std::string id = l.Level(at);
  // A file is named by its number; any other name stands for no file.
  if (!IsWholeNumber(id) || !l.Level(at + 2).empty()) return;
  const std::string detail = l.Level(at + 1);
  l.UseModes(kObjectValue);
  if (detail.empty()) {
    for (const DatafileDetail& d : kDatafileDetails) AddItem(l.request, d.dir, {"", d.description}, true);
    MakeRecordItemsWithComments(l.request, l.Module(), "DBA_DATA_FILES", "FILE_ID = :ID", {{"ID", id}});
    return;
  }
  for (const DatafileDetail& d : kDatafileDetails)
    if (detail == d.dir) ValueRecord(l, d.statement, {{"OWNER", id}});
}

void ListRollbackSegmentTree(Listing& l, std::size_t at) {
  std::string owner, segment;
  // An empty look-up keeps the level as written; each part then by the rule.
  if (!SplitItemName(ExactLevel(l, at, connection::NameLookup{}), false, owner, segment) || !l.Level(at + 2).empty())
    return;
  owner = connection::ExactName(l.Module(), owner, connection::UserLookup());
  segment = connection::ExactName(l.Module(), segment, connection::NameKind::RollbackSegment);
  const std::string detail = l.Level(at + 1);
  l.UseModes(kObjectValue);
  if (detail.empty()) {
    AddItem(l.request, ".STATISTICS", {}, true);
    MakeRecordItemsWithComments(l.request, l.Module(), "DBA_ROLLBACK_SEGS", "SEGMENT_NAME = :NAME",
                                {{"NAME", segment}});
  } else if (detail == ".STATISTICS") {
    try {
      auto id = l.Module().CreateNewOracleQuery({"NAME", "OWNER"});
      if (!id) return;
      id->SetVariable("NAME", segment);
      id->SetVariable("OWNER", owner);
      id->SetSQL("SELECT SEGMENT_ID FROM DBA_ROLLBACK_SEGS WHERE SEGMENT_NAME = :NAME AND OWNER = :OWNER");
      id->Execute();
      if (id->Eof()) return;
      const std::string usn = id->FieldAsString(0);
      id->Close();
      auto stats = l.Module().CreateNewOracleQuery({"ID"});
      if (!stats) return;
      stats->SetVariable("ID", usn);
      stats->SetSQL("SELECT * FROM V$ROLLSTAT WHERE USN = :ID");
      stats->Execute();
      MakeItemsFromRecord(l.request, *stats, true);
    } catch (...) {
      HandleListingError(l.request, std::current_exception());
    }
  }
}

void ListSegmentTree(Listing& l, std::size_t at) {
  std::string segment, owner;
  if (!SplitItemName(ExactLevel(l, at, connection::NameLookup{}), true, segment, owner) || !l.Level(at + 2).empty())
    return;
  owner = connection::ExactName(l.Module(), owner, connection::UserLookup());
  segment = connection::ExactName(l.Module(), segment, connection::ObjectLookup(owner));
  const std::string detail = l.Level(at + 1);
  if (detail.empty()) {
    l.UseModes(kObjectValue);
    AddItem(l.request, ".EXTENTS", {}, true);
    MakeRecordItemsWithComments(l.request, l.Module(), "DBA_SEGMENTS", "OWNER = :OWNER AND SEGMENT_NAME = :NAME",
                                {{"OWNER", owner}, {"NAME", segment}});
  } else if (detail == ".EXTENTS") {
    l.UseModes("ExtentFileBlockBytesPanelModes");
    // The panel sorts names as text: the ids are padded with zeros to the
    // width of the largest, so that they show in id order (00, 01, ..., 11).
    const VariablePairs keys{{"OWNER", owner}, {"NAME", segment}};
    const long long last = CountText(
        l, "SELECT MAX(EXTENT_ID) FROM DBA_EXTENTS WHERE OWNER = :OWNER AND SEGMENT_NAME = :NAME", keys);
    if (last < 0) return;
    ListQueryText(l,
                  "SELECT E.*, LPAD(E.EXTENT_ID, " + std::to_string(std::to_string(last).size()) +
                      ", '0') AS FILENAME FROM DBA_EXTENTS E WHERE E.OWNER = :OWNER AND E.SEGMENT_NAME = :NAME",
                  {{"FILENAME", "FILE_ID", "BLOCK_ID", "BYTES", "RELATIVE_FNO"}, false, "", "", "BYTES"}, keys);
  }
}

}  // namespace catalog
