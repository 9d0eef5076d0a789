// dataset_builders.cpp — rows to items, records to items, counted details.
#include "catalog/dataset_builders.h"

#include <exception>

#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/column_comments.h"
#include "connection/field_text.h"
#include "host/file_time.h"
#include "host/host_services.h"
#include "host/messages.h"

namespace catalog {
namespace {

constexpr const char* kLoading = "Loading data ...";

// "0" is shown blank in custom columns; "00" and "0.0" are shown as they are.
std::string ColumnText(std::string text) {
  if (text == "0") text.clear();
  return text;
}

void BindPairs(oracle::TOracleQuery& query, const VariablePairs& variables) {
  for (const auto& [name, value] : variables)
    if (!name.empty()) query.SetVariable(name, value);
}

bool DateField(const oracle::TOracleQuery& query, int index, far::FILETIME& out) {
  if (index < 0) return false;
  oracle::TOracleValue v = query.Field(index);
  const auto* d = std::get_if<oracle::TOracleDate>(&v);
  if (d == nullptr) return false;
  out = host::DateToFileTime(d->year, d->month, d->day, d->hour, d->minute, d->second);
  return true;
}

// Where the shape's columns are in the result, looked up once per listing
// rather than by name for every row. A missing name column stays a name, so
// reading it reports the missing field as before.
struct ShapeIndexes {
  int name = -1, created = -1, written = -1, size = -1;
  std::vector<int> custom;  // -1: not in the result, shown empty
  ShapeIndexes(const oracle::TOracleQuery& query, const ItemColumns& shape) {
    auto find = [&](const std::string& column) { return column.empty() ? -1 : query.FieldIndex(column); };
    if (!shape.columns.empty()) name = find(shape.columns[0]);
    created = find(shape.createdColumn);
    written = find(shape.writtenColumn);
    size = find(shape.sizeColumn);
    for (std::size_t c = 1; c < shape.columns.size(); ++c) custom.push_back(find(shape.columns[c]));
  }
};

// The saved screen of a "Loading data ..." note, restored exactly once.
class LoadingNote {
 public:
  explicit LoadingNote(const panel::FindDataRequest& request)
      : saved_(request.Searching() ? far::InvalidHandle() : host::ShowProgressMessage(kLoading)),
        shown_(!request.Searching()) {}
  ~LoadingNote() { Restore(); }
  void Restore() {
    if (shown_) host::RestoreProgress(saved_);
    shown_ = false;
  }

 private:
  far::HANDLE saved_;
  bool shown_;
};

}  // namespace

void MakeItemsFromDataSetByColumns(panel::FindDataRequest& request, oracle::TOracleQuery& query,
                                   const ItemColumns& shape, const VariablePairs& variables) {
  LoadingNote note(request);
  try {
    BindPairs(query, variables);
    query.Execute();
    const ShapeIndexes at(query, shape);
    std::vector<std::string> custom;
    while (!query.Eof()) {
      far::PluginPanelItem& item = panel::AppendItem(request);
      std::string name = shape.columns.empty() ? std::string()
                         : at.name >= 0        ? query.FieldAsString(at.name)
                                               : query.FieldAsString(shape.columns[0]);
      panel::SetItemFileName(item, host::ToOem(name), kQueryNameChars);
      if (shape.directories) item.FindData.dwFileAttributes = far::FILE_ATTRIBUTE_DIRECTORY;
      DateField(query, at.created, item.FindData.ftCreationTime);
      DateField(query, at.written, item.FindData.ftLastWriteTime);
      if (at.size >= 0 && !query.FieldIsNull(at.size))
        far::SetItemFileSize(item, static_cast<std::uint32_t>(query.FieldAsInteger(at.size)));
      custom.clear();
      for (int index : at.custom)
        custom.push_back(index < 0 ? std::string() : host::ToOem(ColumnText(connection::GetFieldText(query, index))));
      panel::SetItemCustomColumns(item, custom);
      query.Next();
    }
  } catch (...) {
    std::exception_ptr error = std::current_exception();
    note.Restore();
    HandleListingError(request, error, "MakeItemsFromDataSetByColumns: ");
  }
  try {
    query.Close();
  } catch (...) {
  }
}

void MakeItemsFromRecord(panel::FindDataRequest& request, oracle::TOracleQuery& query, bool close) {
  LoadingNote note(request);
  if (!query.Eof()) {
    for (int i = 0; i < query.FieldCount(); ++i)
      AddItem(request, query.FieldName(i), {ColumnText(connection::GetFieldText(query, i))}, false);
  }
  if (close) query.Close();
}

void MakeRecordItemsWithComments(panel::FindDataRequest& request, connection::TPluginDataModule& module,
                                 const std::string& view, const std::string& condition,
                                 const VariablePairs& variables) {
  std::vector<std::string> names;
  for (const auto& v : variables) names.push_back(v.first);
  try {
    auto query = module.CreateNewOracleQuery(names);
    if (!query) return;
    BindPairs(*query, variables);
    query->SetSQL("SELECT * FROM " + view + " WHERE " + condition);
    query->Execute();
    if (request.Searching()) {
      MakeItemsFromRecord(request, *query, true);
      return;
    }
    if (query->Eof()) return;
    const connection::ColumnComments comments(module, "SYS", view);
    for (int i = 0; i < query->FieldCount(); ++i)
      AddItem(request, query->FieldName(i), {connection::GetFieldText(*query, i), comments.Of(query->FieldName(i))},
              false);
  } catch (...) {
    HandleListingError(request, std::current_exception());
  }
}

void AddDetailDirectory(panel::FindDataRequest& request, const std::string& detailName, long long count,
                        const std::string& description) {
  if (count <= 0) return;
  std::vector<std::string> columns{std::to_string(count)};
  if (!description.empty()) columns.push_back(description);
  AddItem(request, detailName, columns, true);
}

long long CountOfView(panel::FindDataRequest& request, connection::TPluginDataModule& module,
                      const std::string& viewAndCondition, const VariablePairs& variables) {
  std::vector<std::string> names;
  for (const auto& v : variables) names.push_back(v.first);
  try {
    auto query = module.CreateNewOracleQuery(names);
    if (!query) return -1;
    BindPairs(*query, variables);
    query->SetSQL("SELECT COUNT(*) FROM " + viewAndCondition);
    query->Execute();
    return query->Eof() ? 0 : query->FieldAsInteger(0);
  } catch (...) {
    HandleListingError(request, std::current_exception());
    return -1;
  }
}

void AddCountedDirectory(panel::FindDataRequest& request, connection::TPluginDataModule& module,
                         const std::string& viewAndCondition, const std::string& detailName,
                         const std::string& description, const VariablePairs& variables) {
  AddDetailDirectory(request, detailName, CountOfView(request, module, viewAndCondition, variables), description);
}

}  // namespace catalog
