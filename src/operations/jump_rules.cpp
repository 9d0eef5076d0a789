// jump_rules.cpp — the ordered context rules of "go to object" and the
// kind-to-directory table.  Each rule looks at the path levels L2..L8 (and
// the item) and yields a kind, an owner and a name; the first that fits
// wins.  The kind picks the top directory; owner and name become the levels
// below it.  Some rules yield an owner that is itself several levels deep
// (a session's transaction, a table's constraint).
#include "operations/jump_rules.h"

#include <initializer_list>
#include <map>

#include "host/text_utils.h"

namespace operations {
namespace {

using host::AfterDot;
using host::BeforeDot;

struct Target {
  std::string kind, owner, name;
};

bool HasDot(const std::string& s) { return s.find('.') != std::string::npos; }
bool DotName(const std::string& s) { return !s.empty() && s[0] == '.'; }

// Some listings join two keys into one item name; the key taken from it is
// cut to the length of an object name field.
std::string AtMost99(const std::string& s) { return s.substr(0, 99); }

// Path pieces joined with backslashes; "" when any piece is missing, so a
// missing key gives no target instead of a path with an empty level.
std::string Join(std::initializer_list<std::string> pieces) {
  std::string out;
  for (const std::string& p : pieces) {
    if (p.empty()) return {};
    if (!out.empty()) out += '\\';
    out += p;
  }
  return out;
}

// What a rule sees: levels L2..L8, the item name I and its custom columns
// C1...  A rule's test sees them upper-cased; its yield sees them in their
// own letter case, so a quoted name ("Mixed View") reaches the target path
// as written and the listing there applies the name rule to it.
struct Context {
  std::vector<std::string> levels;  // levels[0] is L2
  std::string I;
  bool directory = false;
  std::vector<std::string> columns;
  const SynonymResolver& resolveSynonym;

  const std::string& L(int n) const {
    static const std::string kNone;
    std::size_t i = static_cast<std::size_t>(n - 2);
    return n >= 2 && n <= 8 && i < levels.size() ? levels[i] : kNone;
  }
  // Level n compared with a directory name whatever its letter case.
  bool Is(int n, const char* name) const { return host::UpperCase(L(n)) == name; }
  bool Set(int n) const { return !L(n).empty(); }
  std::string C(std::size_t n) const { return n >= 1 && n <= columns.size() ? columns[n - 1] : std::string(); }
  std::string After() const { return AfterDot(I); }    // I.x
  std::string Before() const { return BeforeDot(I); }  // I-x
};

using Ctx = const Context&;

struct Rule {
  bool (*fits)(Ctx);
  Target (*yield)(Ctx);
};

bool OneOf(const std::string& s, std::initializer_list<const char*> options) {
  for (const char* o : options)
    if (s == o) return true;
  return false;
}

// Detail lists of a table or view name an object of another owner as
// NAME.OWNER and one of the table's owner by its name alone; the table's
// owner is L3 when the list sits at L5, else L4 (one grouping level more).
std::string DetailOwner(Ctx c, const char* detail) {
  if (HasDot(c.I)) return c.After();
  return c.Is(5, detail) ? c.L(3) : c.L(4);
}

bool JavaKind(const std::string& s) {
  return OneOf(host::UpperCase(s), {"JAVA CLASS", "JAVA DATA", "JAVA RESOURCE"});
}

// A column's constraint list lies at L7, or at L8 below one grouping level.
bool ColumnConstraints(Ctx c) {
  return c.L(2) == "TABLES" && (c.L(7) == ".CONSTRAINTS" || c.L(8) == ".CONSTRAINTS");
}

bool Tablespace(Ctx c, const char* detail) {
  return c.L(2) == "STORAGE" && c.L(3) == ".TABLESPACES" && c.L(5) == detail;
}

const std::vector<Rule>& Rules() {
  static const std::vector<Rule> rules = {
      // Catalog by user: NAME.TYPE items of an owner.
      {[](Ctx c) { return c.L(2) == ".CATALOG BY USER" && c.Set(3); },
       [](Ctx c) { return Target{c.After(), c.L(3), c.Before()}; }},
      // A synonym's ".REFERENCED OBJECT": the object it stands for.
      {[](Ctx c) { return c.L(2) == "SYNONYMS" && c.Set(4) && c.I == ".REFERENCED OBJECT"; },
       [](Ctx c) {
         if (!c.resolveSynonym) return Target{};
         SynonymTarget t = c.resolveSynonym(c.L(3), c.L(4));
         return Target{t.objectType, t.tableOwner, t.tableName};
       }},
      // Dependencies of a routine, view, trigger, package or type.
      {[](Ctx c) {
         return (OneOf(c.L(2), {"PROCEDURES", "FUNCTIONS", "VIEWS", "TRIGGERS", "PACKAGES"}) &&
                 c.L(5) == ".DEPENDENCIES") ||
                (c.L(2) == "ALL TYPES" && (c.L(5) == ".DEPENDENCIES" || c.L(6) == ".DEPENDENCIES"));
       },
       [](Ctx c) { return Target{c.C(1), c.C(3), c.I}; }},
      // All object privileges of a user: kind in column 2, owner in column 1.
      {[](Ctx c) { return c.L(2) == "USERS" && (c.L(4) == ".ALL OBJECT PRIVS" || c.L(5) == ".ALL OBJECT PRIVS"); },
       [](Ctx c) { return Target{c.C(2), c.C(1), c.I}; }},
      // Triggers of a table or view: TRIGGER[.OWNER] items.
      {[](Ctx c) {
         return (c.L(2) == "TABLES" && (c.L(5) == ".TRIGGERS" || c.L(6) == ".TRIGGERS")) ||
                (c.L(2) == "VIEWS" && c.L(5) == ".TRIGGERS");
       },
       [](Ctx c) { return Target{"TRIGGER", DetailOwner(c, ".TRIGGERS"), c.Before()}; }},
      // Indexes of a table: INDEX[.OWNER] items.
      {[](Ctx c) { return c.L(2) == "TABLES" && (c.L(5) == ".INDEXES" || c.L(6) == ".INDEXES"); },
       [](Ctx c) { return Target{"INDEX", DetailOwner(c, ".INDEXES"), c.Before()}; }},
      // Tables of a cluster: TABLE.OWNER items.
      {[](Ctx c) { return c.L(2) == "CLUSTERS" && c.L(5) == ".TABLES"; },
       [](Ctx c) { return Target{"TABLE", AtMost99(c.After()), c.Before()}; }},
      // A user's object kinds: the kind's directory of that owner.
      {[](Ctx c) { return c.L(2) == "USERS" && c.Set(3) && !DotName(c.L(3)) && !c.Set(4); },
       [](Ctx c) { return Target{c.I, c.L(3), JavaKind(c.I) ? c.I : std::string()}; }},
      // Sessions (instance parameters): a session's user directory.
      {[](Ctx c) {
         return c.L(2) == ".INSTANCE PARAMETERS" && c.L(3) == ".SESSIONS" && c.Set(4) && !c.Set(5) &&
                c.directory && !DotName(c.I);
       },
       [](Ctx c) { return Target{"USER", c.I, ""}; }},
      // Roles granted to a role or to a user.
      {[](Ctx c) {
         return c.L(2) == "USERS" && ((c.L(3) == ".ROLES" && c.L(5) == ".ROLES") || c.L(4) == ".ROLES");
       },
       [](Ctx c) { return Target{"ROLE", c.I, ""}; }},
      // Grantees of a role: NAME.KIND items, or a user's plain name.
      {[](Ctx c) { return c.L(2) == "USERS" && c.L(3) == ".ROLES" && c.Set(4) && !c.Set(5) && !DotName(c.I); },
       [](Ctx c) { return Target{HasDot(c.I) ? c.After() : "USER", c.Before(), ""}; }},
      // Users of a profile.
      {[](Ctx c) { return c.L(2) == "USERS" && c.L(3) == ".PROFILES" && c.L(5) == ".USERS"; },
       [](Ctx c) { return Target{"USER", c.I, ""}; }},
      // All LOBs: OWNER.TABLE items, to the LOB column (column 1) parameters.
      {[](Ctx c) { return c.L(2) == "TABLES" && c.L(3) == ".ALL LOBS"; },
       [](Ctx c) {
         // Without all of its pieces the name would shrink to the owner alone.
         std::string name = Join({c.After(), ".COLUMNS", c.C(1), ".LOB PARAMS"});
         return name.empty() ? Target{} : Target{"TABLE", c.Before(), name};
       }},
      // Children of a refresh group: OWNER.NAME items, kind in column 1.
      {[](Ctx c) { return c.L(2) == "REFRESH GROUPS" && c.L(5) == ".CHILDREN"; },
       [](Ctx c) { return Target{c.C(1), c.Before(), AtMost99(c.After())}; }},
      // A user's table partitions.
      {[](Ctx c) { return c.L(2) == "USERS" && c.L(4) == "TABLE PARTITION"; },
       [](Ctx c) { return Target{"TABLE", c.L(3), c.I}; }},
      // A user's index partitions.
      {[](Ctx c) { return c.L(2) == "USERS" && c.L(4) == "INDEX PARTITION"; },
       [](Ctx c) { return Target{"INDEX", c.L(3), c.I}; }},
      // Partitioned tables: owner in column 1.
      {[](Ctx c) { return c.L(2) == "TABLES" && c.L(3) == ".PARTITIONED TABLES"; },
       [](Ctx c) { return Target{"TABLE", c.C(1), c.I}; }},
      // Tables of a tablespace: TABLE.OWNER items.
      {[](Ctx c) { return Tablespace(c, ".TABLES"); },
       [](Ctx c) { return Target{"TABLE", c.After(), c.Before()}; }},
      // Indexes of a tablespace: INDEX.OWNER items.
      {[](Ctx c) { return Tablespace(c, ".INDEXES"); },
       [](Ctx c) { return Target{"INDEX", c.After(), c.Before()}; }},
      // Users whose default tablespace it is.
      {[](Ctx c) { return Tablespace(c, ".USERS"); }, [](Ctx c) { return Target{"USER", c.I, ""}; }},
      // Clusters of a tablespace: CLUSTER.OWNER items.
      {[](Ctx c) { return Tablespace(c, ".CLUSTERS"); },
       [](Ctx c) { return Target{"CLUSTER", c.After(), c.Before()}; }},
      // Rollback segments of a tablespace.
      {[](Ctx c) { return Tablespace(c, ".ROLLBACK SEGMENTS"); },
       [](Ctx c) { return Target{"ROLLBACK", c.I, ""}; }},
      // Segments of a tablespace by type: the segment under its type.
      {[](Ctx c) { return Tablespace(c, ".SEGMENTS") && c.Set(6); },
       [](Ctx c) { return Target{"SEGMENT", Join({c.L(6), c.I}), ""}; }},
      // Data files of a tablespace, file I/O statistics, backup status.
      {[](Ctx c) {
         return Tablespace(c, ".DATAFILES") || (c.L(2) == ".STATISTICS" && c.L(3) == ".FILE I-O") ||
                (c.L(2) == "STORAGE" && c.L(3) == ".BACKUP");
       },
       [](Ctx c) { return Target{"DATAFILE", c.I, ""}; }},
      // Cluster columns of a table: CLUSTER.COLUMN items.
      {[](Ctx c) { return c.L(2) == "TABLES" && (c.L(5) == ".CLUSTER COLUMNS" || c.L(6) == ".CLUSTER COLUMNS"); },
       [](Ctx c) { return Target{"CLUSTER", c.Is(5, ".CLUSTER COLUMNS") ? c.L(3) : c.L(4), c.Before()}; }},
      // Sessions of a user.
      {[](Ctx c) { return c.L(2) == "USERS" && c.L(4) == ".SESSIONS"; },
       [](Ctx c) { return Target{"SESSION", c.I, ""}; }},
      // Transactions: the transaction under its session (column 4).
      {[](Ctx c) { return c.L(2) == ".INSTANCE PARAMETERS" && c.L(3) == ".TRANSACTIONS"; },
       [](Ctx c) { return Target{"SESSION", Join({c.C(4), ".TRANSACTIONS", c.I}), ""}; }},
      // Object cache of a type: NAME.OWNER items.
      {[](Ctx c) { return c.L(2) == ".STATISTICS" && c.L(3) == ".OBJECT CACHE" && c.Set(4); },
       [](Ctx c) { return Target{c.L(4), c.After(), c.Before()}; }},
      // Audited objects of an owner: NAME.TYPE items.
      {[](Ctx c) {
         return c.L(2) == ".STATISTICS" && c.L(3) == ".AUDIT OPTIONS" && c.L(4) == ".AUDIT OBJECTS" && c.Set(5);
       },
       [](Ctx c) { return Target{c.After(), c.L(5), c.Before()}; }},
      // Audit trail of a session or a user: the entry under its action (column 1).
      {[](Ctx c) {
         return (c.L(2) == ".INSTANCE PARAMETERS" && c.L(3) == ".SESSIONS" && c.L(5) == ".AUDIT TRAIL") ||
                (c.L(2) == "USERS" && c.L(4) == ".AUDIT TRAIL");
       },
       [](Ctx c) { return Target{"AUDIT", Join({c.C(1), c.I}), ""}; }},
      // Audited system privileges: the user in column 1.
      {[](Ctx c) { return c.L(2) == ".STATISTICS" && c.L(3) == ".AUDIT OPTIONS" && c.L(4) == ".AUDIT PRIVILEGES"; },
       [](Ctx c) { return Target{"USER", c.C(1), ""}; }},
      // Password file users.
      {[](Ctx c) { return c.L(2) == "USERS" && c.L(3) == ".PASSWORD FILE"; },
       [](Ctx c) { return Target{"USER", c.I, ""}; }},
      // Tables with unused columns: the list names them OWNER.TABLE.
      {[](Ctx c) { return c.L(2) == "TABLES" && c.L(3) == ".UNUSED COLUMNS"; },
       [](Ctx c) { return Target{"TABLE", c.Before(), c.After()}; }},
      // Varray columns of an owner: the parent table's columns.
      {[](Ctx c) { return c.L(2) == "TABLES" && c.L(3) == ".VARRAY COLUMNS" && c.Set(4); },
       [](Ctx c) { return Target{"TABLE", Join({c.L(4), c.I, ".COLUMNS"}), ""}; }},
      // Dimensions that refer to a table.
      {[](Ctx c) { return c.L(2) == "TABLES" && c.L(5) == ".DIMENSIONS"; },
       [](Ctx c) { return Target{"DIMENSION", c.L(3), c.I}; }},
      // Consumer groups of a user.
      {[](Ctx c) { return c.L(2) == "USERS" && c.L(4) == ".CONSUMERS"; },
       [](Ctx c) { return Target{"CONSUMER", c.I, ""}; }},
      // Operators of an index type.
      {[](Ctx c) { return c.L(2) == "ALL TYPES" && c.L(3) == ".INDEX TYPES" && c.Set(5); },
       [](Ctx c) { return Target{"OPERATOR", c.L(4), c.I}; }},
      // Queues of a queue table.
      {[](Ctx c) { return c.L(2) == "TABLES" && c.L(5) == ".QUEUES"; },
       [](Ctx c) { return Target{"QUEUE", c.L(3), c.I}; }},
      // Triggers by event or by type: the lists name them OWNER.TRIGGER.
      {[](Ctx c) {
         return c.L(2) == "TRIGGERS" && OneOf(c.L(3), {".TRIGGERS BY EVENTS", ".TRIGGERS BY TYPE"}) && c.Set(4);
       },
       [](Ctx c) { return Target{"TRIGGER", c.Before(), c.After()}; }},
      // Constraints of a table column (not foreign keys): the table's constraint.
      {[](Ctx c) { return ColumnConstraints(c) && c.C(1) != "FOREIGN"; },
       [](Ctx c) {
         bool atL7 = c.Is(7, ".CONSTRAINTS");
         return Target{"TABLE", Join({atL7 ? c.L(3) : c.L(4), atL7 ? c.L(4) : c.L(5), ".CONSTRAINTS", c.I}), ""};
       }},
      // Foreign keys of a table column: the referenced OWNER.TABLE (column 5).
      {[](Ctx c) { return ColumnConstraints(c) && c.C(1) == "FOREIGN"; },
       [](Ctx c) {
         if (!HasDot(c.C(5))) return Target{};
         return Target{"TABLE", BeforeDot(c.C(5)), AfterDot(c.C(5))};
       }},
      // Directives of a resource plan: ".KIND" items.
      {[](Ctx c) { return c.L(2) == "RESOURCE PLANS" && c.Set(4) && DotName(c.I); },
       [](Ctx c) { return Target{c.I.substr(1), c.L(4), ""}; }},
      // Synonyms by type: NAME.OWNER items, shown as NAME.TYPE under the owner.
      {[](Ctx c) { return c.L(2) == "SYNONYMS" && c.L(3) == ".SYNONYMS BY TYPE" && c.Set(4); },
       [](Ctx c) { return Target{"SYNONYM", Join({c.After(), c.Before() + "." + c.L(4)}), ""}; }},
      // Objects to analyze of an owner: NAME.TYPE items.
      {[](Ctx c) { return c.L(2) == ".STATISTICS" && c.L(3) == ".ANALYZE OBJECTS" && c.Set(4); },
       [](Ctx c) { return Target{c.After(), c.L(4), c.Before()}; }},
      // Dispatcher queues: the dispatcher named in column 1.
      {[](Ctx c) { return c.L(2) == ".INSTANCE PARAMETERS" && c.L(3) == ".QUEUES" && c.I == "DISPATCHER"; },
       [](Ctx c) { return Target{"DISPATCHER", c.C(1), ""}; }},
      // All objects of a type: NAME.OWNER items.
      {[](Ctx c) { return c.L(2) == "ALL OBJECTS" && c.Set(3); },
       [](Ctx c) { return Target{c.L(3), c.After(), c.Before()}; }},
      // Objects that refer to a table, view or type: kind in column 1, owner in 3.
      {[](Ctx c) {
         return (OneOf(c.L(2), {"TABLES", "VIEWS"}) && c.L(5) == ".REFERENCED FROM" && !c.Set(6)) ||
                (c.L(2) == "ALL TYPES" && ((c.L(5) == ".REFERENCED FROM" && !c.Set(6)) ||
                                           (c.L(6) == ".REFERENCED FROM" && !c.Set(7))));
       },
       [](Ctx c) { return Target{c.C(1), c.C(3), c.I}; }},
      // Locked objects: the locking transaction (column 3) under its session (column 2).
      {[](Ctx c) { return c.L(2) == ".INSTANCE PARAMETERS" && c.L(3) == ".LOCKS"; },
       [](Ctx c) { return Target{"SESSION", Join({c.C(2), ".TRANSACTIONS", c.C(3)}), ""}; }},
  };
  return rules;
}

}  // namespace

std::string DirectoryOfKind(const std::string& kind) {
  static const std::map<std::string, std::string> kDirectories = {
      {"TABLE", "TABLES"},
      {"INDEX", "INDEXES"},
      {"TRIGGER", "TRIGGERS"},
      {"SEQUENCE", "SEQUENCES"},
      {"VIEW", "VIEWS"},
      {"SYNONYM", "SYNONYMS"},
      {"PROCEDURE", "PROCEDURES"},
      {"PACKAGE", "PACKAGES"},
      {"FUNCTION", "FUNCTIONS"},
      {"TYPE", "ALL TYPES"},
      {"DIRECTORY", "DIRECTORIES"},
      {"LIBRARY", "LIBRARIES"},
      {"DATABASE LINK", "DATABASE LINKS"},
      {"USER", "USERS"},
      {"ROLE", "USERS\\.ROLES"},
      {"CONSUMER_GROUP", "USERS\\.CONSUMERS"},
      {"CLUSTER", "CLUSTERS"},
      {"SNAPSHOT", "SNAPSHOTS"},
      {"ROLLBACK", "STORAGE\\.ROLLBACK SEGMENTS"},
      {"DATAFILE", "STORAGE\\.DATAFILES"},
      {"SESSION", ".INSTANCE PARAMETERS\\.SESSIONS"},
      {"AUDIT", ".STATISTICS\\.AUDIT OPTIONS\\.AUDIT TRAIL"},
      {"SEGMENT", "STORAGE\\.ALL SEGMENTS"},
      {"OPERATOR", "OPERATORS"},
      {"INDEXTYPE", "ALL TYPES\\.INDEX TYPES"},
      {"DIMENSION", "DIMENSIONS"},
      {"CONSUMER", "USERS\\.CONSUMERS"},
      {"QUEUE", "QUEUES"},
      {"DISPATCHER", ".INSTANCE PARAMETERS\\.DISPATCHERS"},
      {"JAVA CLASS", "JAVA"},
      {"JAVA DATA", "JAVA"},
      {"JAVA RESOURCE", "JAVA"},
  };
  auto it = kDirectories.find(kind);
  return it == kDirectories.end() ? std::string() : it->second;
}

std::string JumpTargetFor(const std::vector<std::string>& levels, const CurrentItem& item,
                          const SynonymResolver& resolveSynonym, const std::vector<std::string>& exactLevels) {
  if (item.IsUpDir()) return {};
  Context c{levels, host::UpperCase(item.name), item.directory, {}, resolveSynonym};
  for (const std::string& col : item.columns) c.columns.push_back(host::UpperCase(col));
  // The same in the letter case of the path and of the listing.
  Context exact{levels, item.name, item.directory, item.columns, resolveSynonym};
  for (std::size_t i = 0; i < exact.levels.size() && i < exactLevels.size(); ++i)
    if (host::UpperCase(exactLevels[i]) == exact.levels[i]) exact.levels[i] = exactLevels[i];
  for (const Rule& rule : Rules()) {
    if (!rule.fits(c)) continue;
    Target t;
    try {
      t = rule.yield(exact);
    } catch (...) {
      // Only the synonym lookup can fail; without its answer there is no target.
      return {};
    }
    std::string dir = DirectoryOfKind(host::UpperCase(t.kind));
    if (dir.empty() || t.owner.empty()) return {};
    std::string path = "\\" + dir + "\\" + t.owner;
    if (!t.name.empty()) path += "\\" + t.name;
    return path;
  }
  return {};
}

}  // namespace operations
