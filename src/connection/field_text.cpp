// field_text.cpp — field values as display texts.
#include "connection/field_text.h"

#include "host/text_utils.h"

namespace connection {

std::string GetFieldText(const oracle::TOracleQuery& query, int index) {
  if (query.Eof() || index < 0 || index >= query.FieldCount()) return {};
  int type = query.FieldType(index);
  if (type == oracle::otLong) {
    if (query.FieldIsNull(index)) return {};
    return host::TrimTrailingLineBreak(host::Trim(query.FieldAsString(index)));
  }
  if (type == oracle::otDate) return query.FieldAsString(index);
  return host::Trim(query.FieldAsString(index));
}

std::string GetFieldText(const oracle::TOracleQuery& query, const std::string& name) {
  return GetFieldText(query, query.FieldIndex(name));
}

}  // namespace connection
