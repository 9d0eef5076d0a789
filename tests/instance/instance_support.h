// instance_support.h — helpers of the instance tests: running a statement on
// a panel's own session and finding listed items by name or column.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "connected_panel.h"
#include "connection/command_runner.h"

namespace instancetest {

using paneltest::Item;

// Runs a statement on the panel's session (no result wanted).
inline void RunSql(connection::TPluginDataModule& module, const std::string& sql) {
  auto q = module.CreateNewOracleQuery({});
  ASSERT_TRUE(q);
  q->SetSQL(sql);
  q->Execute();
}

// The first value of a one-column query on the panel's session.
inline std::string Value(connection::TPluginDataModule& module, const std::string& sql) {
  auto q = module.CreateNewOracleQuery({});
  if (!q) return "<no query>";
  q->SetSQL(sql);
  q->Execute();
  return q->Eof() ? std::string("<no row>") : q->FieldAsString(0);
}

inline const Item* Find(const std::vector<Item>& items, const std::string& name) {
  auto it = std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.name == name; });
  return it == items.end() ? nullptr : &*it;
}

inline const Item* FindByColumn(const std::vector<Item>& items, std::size_t column, const std::string& value) {
  auto it = std::find_if(items.begin(), items.end(),
                         [&](const Item& i) { return column < i.columns.size() && i.columns[column] == value; });
  return it == items.end() ? nullptr : &*it;
}

inline std::string Column(const Item* item, std::size_t column) {
  return item && column < item->columns.size() ? item->columns[column] : "<none>";
}

}  // namespace instancetest
