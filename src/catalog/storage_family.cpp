// storage_family.cpp — the "Storage" root and its seven lists; the detail
// of one tablespace, data file, rollback segment or segment is
// storage_details'.
#include "catalog/storage_family.h"

#include "catalog/item_builders.h"
#include "catalog/storage_details.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

void StorageRoot(Listing& l) {
  l.UseModes("DefaultPanelModes");
  AddItemPairs(l.request,
               {{".TABLESPACES", ""},
                {".ROLLBACK SEGMENTS", ""},
                {".DATAFILES", ""},
                {".ALL SEGMENTS", ""},
                {".CONTROL FILES", ""},
                {".CONTROL FILE RECORDS", ""},
                {".BACKUP", "The backup status of all online datafiles"}},
               true);
}

void AllSegments(Listing& l) {
  if (l.Level(4).empty()) {
    l.UseModes("TypeCountSizeMBPanelModes");
    l.ListStatement(kStmtSegmentTypes, {{"SEGMENT_TYPE", "COUNTS", "M_SIZE"}, true, "", "", "B_SIZE"});
  } else if (l.Level(5).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtSegmentsOfType, {{"FILENAME", "BYTES"}, true, "", "", "BYTES"}, {{"OWNER", l.Level(4)}});
  } else {
    ListSegmentTree(l, 5);
  }
}

// A list of its own with nothing below its items.
void FlatList(Listing& l, const char* modes, int statement, const ItemColumns& shape) {
  if (!l.Level(4).empty()) return;
  l.UseModes(modes);
  l.ListStatement(statement, shape);
}

}  // namespace

void ListStorage(Listing& l) {
  if (!l.Connected()) return;
  const std::string level3 = l.Level(3);
  const bool top = l.Level(4).empty();
  if (level3.empty()) {
    StorageRoot(l);
  } else if (level3 == ".TABLESPACES") {
    if (!top) return ListTablespaceTree(l, 4);
    l.UseModes("TablespaceStatusSizeMBPanelModes");
    l.ListStatement(kStmtTablespaceSpace,
                    {{"TABLESPACE_NAME", "STATUS", "ALL_SIZE", "USED_SIZE", "FREE_SIZE", "FREE_P"}, true, "", "", ""});
  } else if (level3 == ".DATAFILES") {
    if (!top) return ListDatafileTree(l, 4);
    l.UseModes("IDNameStatusSizeMBPanelModes");
    l.ListStatement(kStmtDatafileSpace,
                    {{"FILE_ID", "FILE_NAME", "STATUS", "ALL_SIZE", "USED_SIZE", "FREE_SIZE", "FREE_P"}, true, "", "", ""});
  } else if (level3 == ".ROLLBACK SEGMENTS") {
    if (!top) return ListRollbackSegmentTree(l, 4);
    l.UseModes("SegmentTablespaceStatusSizeMBPanelModes");
    l.ListStatement(kStmtRollbackSegments, {{"SEGMENT_NAME", "TABLESPACE_NAME", "STATUS", "S_SIZE"}, true, "", "", ""});
  } else if (level3 == ".ALL SEGMENTS") {
    AllSegments(l);
  } else if (level3 == ".CONTROL FILES") {
    // The server leaves the status empty for a file in normal use.
    FlatList(l, "StatusNamePanelModes", kStmtControlFiles, {{"STATUS", "NAME"}, false, "", "", ""});
  } else if (level3 == ".CONTROL FILE RECORDS") {
    FlatList(l, "TypeSizeTotalUsedPanelModes", kStmtControlFileRecords,
             {{"TYPE", "RECORD_SIZE", "RECORDS_TOTAL", "RECORDS_USED", "FIRST_INDEX", "LAST_INDEX", "LAST_RECID"},
              false, "", "", "FSIZE"});
  } else if (level3 == ".BACKUP") {
    FlatList(l, "FileStatusChangePanelModes", kStmtBackup, {{"FILE#", "STATUS", "CHANGE#", "TIME"}, true, "", "", ""});
  }
}

}  // namespace catalog
