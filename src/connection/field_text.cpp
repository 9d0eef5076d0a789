// field_text.cpp — field values as display texts.
#include "connection/field_text.h"

#include "host/text_utils.h"

namespace connection {

namespace {

// host::Trim without a second string: listings call this for every column
// of every row.
std::string TrimInPlace(std::string text) {
  std::size_t e = text.size();
  while (e > 0 && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  text.resize(e);
  std::size_t b = 0;
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  if (b) text.erase(0, b);
  return text;
}

}  // namespace

std::string GetFieldText(const oracle::TOracleQuery& query, int index) {
  if (query.Eof() || index < 0 || index >= query.FieldCount()) return {};
  int type = query.FieldType(index);
  if (type == oracle::otLong) {
    if (query.FieldIsNull(index)) return {};
    return host::TrimTrailingLineBreak(host::Trim(query.FieldAsString(index)));
  }
  if (type == oracle::otDate) return query.FieldAsString(index);
  return TrimInPlace(query.FieldAsString(index));
}

std::string GetFieldText(const oracle::TOracleQuery& query, const std::string& name) {
  return GetFieldText(query, query.FieldIndex(name));
}

}  // namespace connection
