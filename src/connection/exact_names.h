// exact_names.h — the one rule for names Quarry sends to the server: a name
// that names an existing object as written is used as written, otherwise it
// is upper-cased (the form Oracle keeps an unquoted name in).
//
// Path levels are compared upper-cased and item names arrive in whatever
// case the user typed them, but a quoted identifier ("Mixed Case Table", a
// refresh group 'Weekly') only matches as written; a path typed in lower
// case ("\tables\scott\emp") still means the upper-case objects.  Every
// listing, count and comment look-up goes through here, so they all agree.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace connection {

class TPluginDataModule;

// How to find out whether a name exists as written: a statement counting
// rows, with ":N" bound to the name as written, ":H" to the part before its
// last dot (compound item names "NAME.TYPE"), and `binds` besides.
struct NameLookup {
  std::string sql;
  std::vector<std::pair<std::string, std::string>> binds;
};

// Users and objects of that name (the look-up used when none is given).
NameLookup UserOrObjectLookup();
// A column of one table or view.
NameLookup ColumnLookup(const std::string& owner, const std::string& table);
// A constraint of one owner.
NameLookup ConstraintLookup(const std::string& owner);

// `written` as written when it has lower case and `lookup` finds it, else
// upper-cased.  A name without lower case costs no query.  A look-up that
// fails keeps the name as written: the statement that uses it then reports
// its own error with the name the user saw.
std::string ExactName(TPluginDataModule& module, const std::string& written, const NameLookup& lookup);
std::string ExactName(TPluginDataModule& module, const std::string& written);

// An object or owner name as an item carries it: cut at its last dot (an
// item named "NAME.TYPE" addresses NAME; a dot followed by "\" or ":" is no
// extension), then the rule above.
std::string ExactKey(TPluginDataModule& module, const std::string& written, const NameLookup& lookup);
std::string ExactKey(TPluginDataModule& module, const std::string& written);

}  // namespace connection
