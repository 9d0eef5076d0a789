// dataset_builders.h — the builders that turn query rows into panel items.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "connection/data_module.h"
#include "oracle/oracle_query.h"
#include "panel/item_buffer.h"

namespace catalog {

// (variable name, value) pairs bound before a query runs; an empty name is
// skipped, so callers may pass fixed lists with unused slots.
using VariablePairs = std::vector<std::pair<std::string, std::string>>;

struct ItemColumns {
  // First: the file name column; then custom columns 1, 2, ...
  std::vector<std::string> columns;
  bool directories = false;
  std::string createdColumn;  // creation time, optional
  std::string writtenColumn;  // last-write time, optional
  std::string sizeColumn;     // size, optional
};

// Binds, runs and appends one item per row.  Errors end the row loop; what
// was appended stays, and the error follows the listing rule.
void MakeItemsFromDataSetByColumns(panel::FindDataRequest& request, oracle::TOracleQuery& query,
                                   const ItemColumns& shape, const VariablePairs& variables = {});

// One item per column of the current row of an executed query: name = the
// column, custom column 1 = its value.
void MakeItemsFromRecord(panel::FindDataRequest& request, oracle::TOracleQuery& query, bool close);

// The property list of one object: "SELECT * FROM <view> WHERE <condition>",
// value and dictionary comment per column (values only while searching).
void MakeRecordItemsWithComments(panel::FindDataRequest& request, connection::TPluginDataModule& module,
                                 const std::string& view, const std::string& condition,
                                 const VariablePairs& variables);

// "SELECT COUNT(*) FROM <viewAndCondition>"; -1 after a failure, which went
// through the listing rule.
long long CountOfView(panel::FindDataRequest& request, connection::TPluginDataModule& module,
                      const std::string& viewAndCondition, const VariablePairs& variables = {});

// Counts "SELECT COUNT(*) FROM <viewAndCondition>" and, when above zero,
// appends the detail directory ".NAME" with the count (and description).
void AddCountedDirectory(panel::FindDataRequest& request, connection::TPluginDataModule& module,
                         const std::string& viewAndCondition, const std::string& detailName,
                         const std::string& description = "", const VariablePairs& variables = {});

// A detail directory with a known count (nothing when the count is zero).
void AddDetailDirectory(panel::FindDataRequest& request, const std::string& detailName, long long count,
                        const std::string& description = "");

}  // namespace catalog
