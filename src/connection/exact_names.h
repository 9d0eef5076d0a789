// exact_names.h — the one rule for names Quarry sends to the server: a name
// that names an existing object of its owner and kind as written is used as
// written, otherwise it is upper-cased (the form Oracle keeps an unquoted
// name in).
//
// Path levels are compared upper-cased and item names arrive in whatever
// case the user typed them, but a quoted identifier ("Mixed Case Table", a
// role "Mixed Role", a refresh group 'Weekly') only matches as written; a
// path typed in lower case ("\tables\scott\emp") still means the upper-case
// objects, even when some other schema or kind has an object named "emp".
// Every listing, count, comment look-up, text and statement goes through
// here, so they all agree.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace connection {

class TPluginDataModule;

// What a name stands for: it decides where the look-up searches.
enum class NameKind {
  Object,  // a schema object: give its owner (and kinds) to NameIn
  User,
  Role,
  Profile,
  Tablespace,
  ConsumerGroup,
  RollbackSegment,
  Column,
  Constraint,
  Directory,
  Library,
  DatabaseLink,
  Outline,
  Context,
};

// How to find out whether a name exists as written: statements (one a
// line) counting rows, with ":N" bound to the name as written and `binds`
// besides.  The name exists when any statement that runs counts a row.
struct NameLookup {
  std::string sql;
  std::vector<std::pair<std::string, std::string>> binds;
};

// Where names of `kind` live.  For Object, `owner` (the exact owner) limits
// the search to that schema and `types` (OBJECT_TYPE values, e.g. "TABLE",
// "VIEW") to those kinds; without an owner any schema counts.  For Column,
// `owner` and `table` name the table; for Constraint, `owner` the schema.
NameLookup NameIn(NameKind kind, const std::string& owner = {}, const std::vector<std::string>& types = {},
                  const std::string& table = {});

// Shorthands for the common look-ups.
NameLookup UserLookup();
NameLookup ObjectLookup(const std::string& owner, const std::vector<std::string>& types = {});
NameLookup ColumnLookup(const std::string& owner, const std::string& table);
NameLookup ConstraintLookup(const std::string& owner);

// `written` as written when it has lower case and `lookup` finds it, else
// upper-cased.  A name without lower case costs no query.  When no
// statement of the look-up can run (no privilege on the view) the name is
// kept as written: the statement that uses it then reports its own error
// with the name the user saw.
std::string ExactName(TPluginDataModule& module, const std::string& written, const NameLookup& lookup);
std::string ExactName(TPluginDataModule& module, const std::string& written, NameKind kind);

// An object name as an item carries it: "NAME.TYPE" addresses NAME.  The
// part after the last dot is cut only when it is a word (letters, blanks,
// '_', e.g. "TABLE", "PACKAGE BODY") and the whole name does not exist as
// written, so a quoted name with a dot ("Dot.Name") stays whole.  Then the
// rule above.
std::string ExactKey(TPluginDataModule& module, const std::string& written, const NameLookup& lookup);

}  // namespace connection
