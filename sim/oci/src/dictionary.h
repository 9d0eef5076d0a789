// Helpers that keep the dictionary tables ("SYS.DBA_OBJECTS", ...) in step
// with the objects of the database. Used by DDL and by the database build.
#pragma once

#include "value.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ocisim {

// Current date in the internal form (OCISIM_SYSDATE or the clock).
std::string Now();

// Adds a DBA_OBJECTS row and returns its OBJECT_ID.
int64_t AddObject(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                  const std::string& status = "VALID");
bool ObjectExists(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type = "");
// OBJECT_TYPE of a name in the table namespace, empty when none.
std::string ObjectTypeOf(sqlite3* db, const std::string& owner, const std::string& name);
void RemoveObject(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type);
void TouchObject(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type = "");
void SetObjectStatus(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                     const std::string& status);

struct DictColumn {
  std::string name;
  std::string data_type;  // VARCHAR2, NUMBER, DATE ...
  std::string declared;   // the SQLite declared type, e.g. VARCHAR2(10)
  int length = 0;
  int precision = -1;  // -1: NULL
  int scale = -1;
  bool nullable = true;
  std::string default_text;
};

// Replaces the DBA_TAB_COLUMNS rows of a table or view.
void SetColumns(sqlite3* db, const std::string& owner, const std::string& table, const std::vector<DictColumn>& cols);
// Reads the column rows back (in COLUMN_ID order).
std::vector<DictColumn> GetColumns(sqlite3* db, const std::string& owner, const std::string& table);
// The DBA_TAB_COLUMNS description of a column as declared in a CREATE TABLE.
DictColumn ColumnFromDecl(const std::string& name, const std::string& type, int length, int precision, int scale,
                          bool nullable);

// Creates the ALL_ and USER_ views of a DBA_ view/table and registers the
// whole family (objects, public synonyms, grants). owner_col is left out of
// the USER_ view; vis_owner/vis_name are SQL expressions naming the object
// whose visibility decides whether an ALL_ row shows.
void PublishDictionaryView(sqlite3* db, const std::string& dba_name, const std::string& owner_col,
                           const std::string& vis_owner, const std::string& vis_name);
// Registers one SYS table or view as a dictionary object with a public synonym
// and a grant (to PUBLIC, or to SELECT_CATALOG_ROLE when restricted).
void PublishSysObject(sqlite3* db, const std::string& name, const std::string& synonym, bool restricted,
                      const std::string& type = "VIEW");

}  // namespace ocisim
