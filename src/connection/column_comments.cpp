// column_comments.cpp — see column_comments.h.
#include "connection/column_comments.h"

#include "connection/data_module.h"
#include "connection/exact_names.h"
#include "host/text_utils.h"

namespace connection {

ColumnComments::ColumnComments(TPluginDataModule& module, const std::string& owner, const std::string& name) {
  try {
    auto q = module.CreateNewOracleQuery({"OWNER", "NAME"});
    if (!q) return;
    const std::string o = ExactName(module, owner, UserLookup());
    q->SetVariable("OWNER", o);
    q->SetVariable("NAME", ExactKey(module, name, ObjectLookup(o)));
    q->SetSQL("SELECT COLUMN_NAME, COMMENTS FROM " + module.Prefix() +
              "COL_COMMENTS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME");
    q->Execute();
    while (!q->Eof()) {
      comments_.emplace(q->FieldAsString(0), q->FieldAsString(1));
      q->Next();
    }
  } catch (...) {
    comments_.clear();  // no comment rather than some
  }
}

std::string ColumnComments::Of(const std::string& column) const {
  auto it = comments_.find(column);
  if (it == comments_.end()) it = comments_.find(host::UpperCase(column));
  return it == comments_.end() ? std::string() : it->second;
}

}  // namespace connection
