// drop_statements.h — F8: which statements the selected items of a listing
// turn into (drop, truncate, delete, remove a job, kill a session ...).
//
// The choice depends only on the path, the items and the Alt/Ctrl bits, so
// it is a plain function; the names it writes come from a resolver that
// applies the exact-name rule (a name that exists as written is used as
// written, any other is taken in upper case as the server stores it).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "connection/exact_names.h"

namespace operations {

// What a name stands for: it decides where the exact-name rule looks it up.
using NameKind = connection::NameKind;

struct DropItem {
  std::string name;                  // ANSI, as the panel shows it
  std::vector<std::string> columns;  // custom columns 1, 2, ...
};

struct DropRequest {
  std::vector<std::string> levels;       // L1 (the root, "") first, upper-cased
  std::vector<std::string> exactLevels;  // the same levels as the server spells them
  std::vector<DropItem> items;           // the selection; ".." and detail directories left out
  std::string currentItem;               // the item under the cursor, as shown
  std::string logonUser;                 // upper case; private links are only the owner's to drop
  bool alt = false;
  bool ctrl = false;
};

enum class SessionEnd { Kill, Disconnect };

struct DropPlan {
  bool fits = false;      // a row of the table fits this listing
  std::string title;      // the confirmation's title
  std::vector<std::string> statements;
  std::vector<std::string> names;    // what the question names: one per item that gave a statement
  std::vector<std::string> skipped;  // items left out, each with the reason
};

// Where a name is looked up: its kind and, for schema objects, columns and
// constraints, the owner (as the server spells it), the object type
// (ALL_OBJECTS' OBJECT_TYPE; empty for any) and the table of a column.  An
// owner keeps another schema's "emp" from deciding how EMP is spelled.
struct NameScope {
  NameKind kind = NameKind::Object;
  std::string owner;
  std::string type;
  std::string table;
};

using NameResolver = std::function<std::string(const std::string& shown, const NameScope& scope)>;

// True for the session listings, where the user first chooses how the
// sessions end.
bool IsSessionListing(const std::vector<std::string>& levels);

// The statements for the request; `sessionEnd` is used in session listings.
DropPlan BuildDropPlan(const DropRequest& request, const NameResolver& exact,
                       SessionEnd sessionEnd = SessionEnd::Kill);

// Q(N): a name in double quotes.
std::string Quoted(const std::string& name);
// Q(O.N): owner and name, each in double quotes, joined by a dot.
std::string Quoted(const std::string& owner, const std::string& name);

}  // namespace operations
