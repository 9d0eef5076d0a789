// drop_statements.cpp — the rows of the F8 table, tested in order; the first
// that fits the listing decides the title and the statement of each item.
#include "operations/drop_statements.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "host/text_utils.h"

namespace operations {
namespace {

struct Context {
  const DropRequest& r;
  const NameResolver& exact;
  SessionEnd sessionEnd;

  // Levels are 1-based as the panel numbers them; a missing level is "".
  std::string L(std::size_t n) const { return n >= 1 && n <= r.levels.size() ? r.levels[n - 1] : std::string(); }
  std::string E(std::size_t n) const {
    return n >= 1 && n <= r.exactLevels.size() ? r.exactLevels[n - 1] : L(n);
  }
  bool Owner(std::size_t n) const { return !L(n).empty() && L(n)[0] != '.'; }
};

// One item's outcome: a statement and the name the question shows, or the
// reason it was left out.
struct ItemStatement {
  std::string statement;
  std::string name;
  std::string skipped;
};

ItemStatement Skip(const std::string& why) { return {"", "", why}; }
ItemStatement Statement(const std::string& text, const std::string& name) { return {text, name, ""}; }

// A name the server can never hold: it would make the statement invalid
// (or say something else than the user saw).
bool Unusable(const std::string& name) {
  if (name.empty()) return true;
  return std::any_of(name.begin(), name.end(),
                     [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20; });
}

// Runs `each` over the selection and collects statements and skips.
template <typename F>
void PerItem(const Context& c, DropPlan& plan, const std::string& title, F each) {
  plan.title = title;
  for (const DropItem& item : c.r.items) {
    ItemStatement s = each(item);
    if (!s.skipped.empty()) {
      plan.skipped.push_back(item.name + ": " + s.skipped);
    } else if (!s.statement.empty()) {
      plan.statements.push_back(s.statement);
      plan.names.push_back(s.name);
    }
  }
}

// Whether the text after an item's last dot is an extension the listings
// give items (an object type, as in "EMP.TABLE"), not part of a name that
// has a dot in it ("bonus.old"), which must never be cut to another name.
bool HasTypeExtension(const std::string& name) {
  static const char* const kTypes[] = {
      "TABLE", "VIEW", "SYNONYM", "SEQUENCE", "INDEX", "CLUSTER", "PACKAGE", "PROCEDURE", "FUNCTION", "TRIGGER",
      "TYPE", "LIBRARY", "DIRECTORY", "OPERATOR", "INDEXTYPE", "DIMENSION", "CONTEXT", "QUEUE", "SNAPSHOT",
      "LOB", "JAVA CLASS", "JAVA SOURCE", "JAVA RESOURCE", "JAVA DATA", "MATERIALIZED VIEW", "PACKAGE BODY",
      "TYPE BODY", "TABLE PARTITION", "INDEX PARTITION", "DATABASE LINK", "CONSUMER GROUP", "RESOURCE PLAN",
      "EVALUATION CONTEXT"};
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string ext = host::UpperCase(name.substr(dot + 1));
  return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char* t) { return ext == t; });
}

// The item name without its last extension, by the exact-name rule.
std::optional<std::string> Stem(const Context& c, const DropItem& item, const NameScope& scope) {
  std::string shown = HasTypeExtension(item.name) ? host::BeforeDot(item.name) : item.name;
  if (Unusable(shown)) return std::nullopt;
  return c.exact(shown, scope);
}

NameScope Anywhere(NameKind kind) { return NameScope{kind, {}, {}, {}}; }
NameScope InSchema(const std::string& owner, const std::string& type) {
  return NameScope{NameKind::Object, owner, type, {}};
}

constexpr const char* kNotAName = "not a name the server can hold";

std::string C1(const DropItem& item) { return item.columns.empty() ? std::string() : host::UpperCase(item.columns[0]); }

// --- tables and clusters ----------------------------------------------------

std::string TableStatement(const Context& c, const std::string& owner, const std::string& name) {
  if (c.r.ctrl) return "DELETE " + Quoted(owner, name);
  if (c.r.alt) return "TRUNCATE TABLE " + Quoted(owner, name) + " DROP STORAGE";
  return "DROP TABLE " + Quoted(owner, name);
}

std::string TableTitle(const Context& c) {
  return c.r.ctrl ? "Delete Records" : c.r.alt ? "Truncate Table" : "Drop Table";
}

std::string ClusterStatement(const Context& c, const std::string& owner, const std::string& name) {
  if (c.r.alt) return "TRUNCATE CLUSTER " + Quoted(owner, name) + " DROP STORAGE";
  return "DROP CLUSTER " + Quoted(owner, name) + " INCLUDING TABLES CASCADE CONSTRAINTS";
}

std::string ClusterTitle(const Context& c) { return c.r.alt ? "Truncate Cluster" : "Drop Cluster Cascade"; }

// "NAME.OWNER" items of the All objects and by-type listings.
struct NameOwner {
  std::string name, owner;
};
// `type` is the object type the listing holds (empty: any).
std::optional<NameOwner> ReadNameOwner(const Context& c, const DropItem& item, const std::string& type) {
  const std::string name = host::BeforeDot(item.name), owner = host::AfterDot(item.name);
  if (Unusable(name) || Unusable(owner)) return std::nullopt;
  const std::string exactOwner = c.exact(owner, Anywhere(NameKind::User));
  return NameOwner{c.exact(name, InSchema(exactOwner, type)), exactOwner};
}

// --- the kinds of the last row --------------------------------------------

enum class Qualify { OwnerAndName, NameOnly, PublicOrName };

struct Kind {
  const char* level2;     // the listing's top directory
  const char* objectType; // the same kind as ALL_OBJECTS names it (Catalog by user)
  const char* word;       // "Drop " + word is the title
  const char* prefix;     // statement up to the name
  Qualify qualify;
  const char* suffix;
  NameKind nameKind;
};

// Libraries are schema objects: dropped by the bare name they would be
// looked for in the logged-on user's schema, which is not the listing's
// owner.  Directories have no owner at all.
const Kind kKinds[] = {
    {"SNAPSHOTS", "SNAPSHOT", "SnapShots", "DROP SNAPSHOT ", Qualify::OwnerAndName, "", NameKind::Object},
    {"SNAPSHOT LOGS", nullptr, "Snapshot Log", "DROP SNAPSHOT LOG ON ", Qualify::OwnerAndName, "", NameKind::Object},
    {"PACKAGES", "PACKAGE", "Package", "DROP PACKAGE ", Qualify::OwnerAndName, "", NameKind::Object},
    {"LIBRARIES", "LIBRARY", "Library", "DROP LIBRARY ", Qualify::OwnerAndName, "", NameKind::Library},
    {"FUNCTIONS", "FUNCTION", "Function", "DROP FUNCTION ", Qualify::OwnerAndName, "", NameKind::Object},
    {"PROCEDURES", "PROCEDURE", "Procedure", "DROP PROCEDURE ", Qualify::OwnerAndName, "", NameKind::Object},
    {"DIRECTORIES", "DIRECTORY", "Directory", "DROP DIRECTORY ", Qualify::NameOnly, "", NameKind::Directory},
    {"DATABASE LINKS", "DATABASE LINK", "Database Link", "DROP DATABASE LINK ", Qualify::PublicOrName, "",
     NameKind::DatabaseLink},
    {"ALL TYPES", "TYPE", "Type Force", "DROP TYPE ", Qualify::OwnerAndName, " FORCE", NameKind::Object},
    {"SEQUENCES", "SEQUENCE", "Sequence", "DROP SEQUENCE ", Qualify::OwnerAndName, "", NameKind::Object},
    {"INDEXES", "INDEX", "Index", "DROP INDEX ", Qualify::OwnerAndName, "", NameKind::Object},
    {"TRIGGERS", "TRIGGER", "Trigger", "DROP TRIGGER ", Qualify::OwnerAndName, "", NameKind::Object},
    {"VIEWS", "VIEW", "View", "DROP VIEW ", Qualify::OwnerAndName, "", NameKind::Object},
    {"CONTEXTS", "CONTEXT", "Context", "DROP CONTEXT ", Qualify::NameOnly, "", NameKind::Context},
    {"DIMENSIONS", "DIMENSION", "Dimension", "DROP DIMENSION ", Qualify::OwnerAndName, "", NameKind::Object},
    {"OPERATORS", "OPERATOR", "Operator Force", "DROP OPERATOR ", Qualify::OwnerAndName, " FORCE",
     NameKind::Object},
    {"OUTLINES", "OUTLINE", "Outline", "DROP OUTLINE ", Qualify::NameOnly, "", NameKind::Outline},
};

std::string KindStatement(const Kind& k, const std::string& owner, const std::string& name) {
  switch (k.qualify) {
    case Qualify::OwnerAndName: return k.prefix + Quoted(owner, name) + k.suffix;
    case Qualify::NameOnly: return k.prefix + Quoted(name) + k.suffix;
    case Qualify::PublicOrName:
      if (host::UpperCase(owner) == "PUBLIC") return std::string("DROP PUBLIC DATABASE LINK ") + Quoted(name);
      return k.prefix + Quoted(name) + k.suffix;
  }
  return {};
}

// Where a kind's names are looked up: schema objects and libraries within
// the listing's owner and type (snapshots and their logs are several kinds
// of object on the server: any type); directories, links, contexts and
// outlines have no owner.
NameScope KindScope(const Context& c, const Kind& k) {
  if (k.nameKind != NameKind::Object && k.nameKind != NameKind::Library) return Anywhere(k.nameKind);
  const bool typed = k.objectType != nullptr && std::string(k.level2).rfind("SNAPSHOT", 0) != 0;
  return InSchema(c.E(3), typed ? k.objectType : "");
}

const Kind* KindOfListing(const Context& c) {
  if (!c.Owner(3) || !c.L(4).empty()) return nullptr;
  for (const Kind& k : kKinds)
    if (c.L(2) == k.level2) return (c.L(2) == "ALL TYPES" && c.L(3) == "BUILD INTO") ? nullptr : &k;
  return nullptr;
}

const Kind* KindOfObjectType(const std::string& type) {
  for (const Kind& k : kKinds)
    if (k.objectType != nullptr && type == k.objectType) return &k;
  return nullptr;
}

// --- the rows ------------------------------------------------------------

using Fits = bool (*)(const Context&);
using Build = void (*)(const Context&, DropPlan&);
struct Row {
  Fits fits;
  Build build;
};

void Jobs(const Context& c, DropPlan& plan) {
  PerItem(c, plan, "Remove Job", [&](const DropItem& item) {
    const std::string n = host::BeforeDot(item.name);
    if (n.empty() || !std::all_of(n.begin(), n.end(), [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); }))
      return Skip("not a job number");
    // The block needs its final ";" or the server refuses it.
    return Statement("BEGIN DBMS_JOB.REMOVE (" + n + "); END;", n);
  });
}

// Users, roles, profiles, rollback segments, tablespaces: one name each.
template <NameKind kind>
void Global(const Context& c, DropPlan& plan, const char* title, const char* prefix, const char* suffix) {
  PerItem(c, plan, title, [&](const DropItem& item) {
    auto n = Stem(c, item, Anywhere(kind));
    if (!n) return Skip(kNotAName);
    return Statement(prefix + Quoted(*n) + suffix, *n);
  });
}

void Tables(const Context& c, DropPlan& plan) {
  const bool allObjects = c.L(2) == "ALL OBJECTS";
  PerItem(c, plan, TableTitle(c), [&](const DropItem& item) {
    if (allObjects) {
      auto no = ReadNameOwner(c, item, "TABLE");
      if (!no) return Skip(kNotAName);
      return Statement(TableStatement(c, no->owner, no->name), no->name);
    }
    auto n = Stem(c, item, InSchema(c.E(3), "TABLE"));
    if (!n) return Skip(kNotAName);
    return Statement(TableStatement(c, c.E(3), *n), *n);
  });
}

void Clusters(const Context& c, DropPlan& plan) {
  const bool allObjects = c.L(2) == "ALL OBJECTS";
  PerItem(c, plan, ClusterTitle(c), [&](const DropItem& item) {
    if (allObjects) {
      auto no = ReadNameOwner(c, item, "CLUSTER");
      if (!no) return Skip(kNotAName);
      return Statement(ClusterStatement(c, no->owner, no->name), no->name);
    }
    auto n = Stem(c, item, InSchema(c.E(3), "CLUSTER"));
    if (!n) return Skip(kNotAName);
    return Statement(ClusterStatement(c, c.E(3), *n), *n);
  });
}

void IndexTypes(const Context& c, DropPlan& plan) {
  PerItem(c, plan, "Drop Indextype Force", [&](const DropItem& item) {
    auto n = Stem(c, item, InSchema(c.E(4), "INDEXTYPE"));
    if (!n) return Skip(kNotAName);
    return Statement("DROP INDEXTYPE " + Quoted(c.E(4), *n) + " FORCE", *n);
  });
}

void UnusedColumn(const Context& c, DropPlan& plan) {
  PerItem(c, plan, "Set Unused Column Cascade", [&](const DropItem& item) {
    auto n = Stem(c, item, NameScope{NameKind::Column, c.E(3), {}, c.E(4)});
    if (!n) return Skip(kNotAName);
    return Statement("ALTER TABLE " + Quoted(c.E(3), c.E(4)) + " SET UNUSED COLUMN " + Quoted(*n) +
                         " CASCADE CONSTRAINTS",
                     *n);
  });
}

void DropUnused(const Context& c, DropPlan& plan) {
  // Once for the table, whatever is selected.
  plan.title = "Drop Unused Columns";
  plan.statements.push_back("ALTER TABLE " + Quoted(c.E(3), c.E(4)) + " DROP UNUSED COLUMNS");
  plan.names.push_back(c.E(4));
}

void Constraints(const Context& c, DropPlan& plan) {
  const std::string table = Quoted(c.E(3), c.E(4));
  PerItem(c, plan, "Drop Constraint", [&](const DropItem& item) {
    const std::string type = C1(item);
    if (type == "PRIMARY") return Statement("ALTER TABLE " + table + " DROP PRIMARY KEY CASCADE", item.name);
    if (type == "UNIQUE") return Skip("a unique key is not dropped from here (it may carry the index of a foreign key)");
    if (Unusable(item.name)) return Skip(kNotAName);
    const std::string n = c.exact(item.name, NameScope{NameKind::Constraint, c.E(3), {}, c.E(4)});
    return Statement("ALTER TABLE " + table + " DROP CONSTRAINT " + Quoted(n), n);
  });
}

void TableIndexes(const Context& c, DropPlan& plan) {
  PerItem(c, plan, "Drop Index", [&](const DropItem& item) {
    // An index of another owner shows as "NAME.OWNER" (as Enter reads it).
    const bool other = item.name.find('.') != std::string::npos;
    DropItem index = item;
    if (other) index.name = host::BeforeDot(item.name);
    const std::string shownOwner = other ? host::AfterDot(item.name) : c.E(3);
    if (Unusable(shownOwner)) return Skip(kNotAName);
    const std::string owner = other ? c.exact(shownOwner, Anywhere(NameKind::User)) : shownOwner;
    auto n = Stem(c, index, InSchema(owner, "INDEX"));
    if (!n) return Skip(kNotAName);
    return Statement("DROP INDEX " + Quoted(owner, *n), *n);
  });
}

std::string SynonymStatement(const std::string& owner, const std::string& name) {
  if (host::UpperCase(owner) == "PUBLIC") return "DROP PUBLIC SYNONYM " + Quoted(name);
  return "DROP SYNONYM " + Quoted(owner, name);
}

void SynonymsByType(const Context& c, DropPlan& plan) {
  PerItem(c, plan, "Drop Synonym", [&](const DropItem& item) {
    auto no = ReadNameOwner(c, item, "SYNONYM");
    if (!no) return Skip(kNotAName);
    return Statement(SynonymStatement(no->owner, no->name), no->name);
  });
}

void Synonyms(const Context& c, DropPlan& plan) {
  PerItem(c, plan, "Drop Synonym", [&](const DropItem& item) {
    auto n = Stem(c, item, InSchema(c.E(3), "SYNONYM"));
    if (!n) return Skip(kNotAName);
    return Statement(SynonymStatement(c.E(3), *n), *n);
  });
}

// Objects of every kind, named "NAME.KIND".  Each kind is dropped as its own
// listing would drop it, so the statement is valid for that kind.
void CatalogByUser(const Context& c, DropPlan& plan) {
  PerItem(c, plan, "Drop Object", [&](const DropItem& item) {
    const std::string kind = host::UpperCase(host::AfterDot(item.name));
    auto n = Stem(c, item, InSchema(c.E(3), kind));
    if (!n || kind.empty()) return Skip(kNotAName);
    if (kind == "TABLE") return Statement(TableStatement(c, c.E(3), *n), *n);
    if (kind == "CLUSTER") return Statement(ClusterStatement(c, c.E(3), *n), *n);
    if (kind == "DATABASE LINK" && host::UpperCase(c.E(3)) != "PUBLIC" && host::UpperCase(c.E(3)) != c.r.logonUser)
      return Skip("a private database link can only be dropped by its owner");
    if (const Kind* k = KindOfObjectType(kind)) return Statement(KindStatement(*k, c.E(3), *n), *n);
    if (kind == "PACKAGE BODY" || kind == "TYPE BODY" || kind == "SYNONYM" || kind == "INDEXTYPE" ||
        kind == "MATERIALIZED VIEW" || kind == "JAVA CLASS" || kind == "JAVA SOURCE" || kind == "JAVA RESOURCE")
      return Statement("DROP " + kind + " " + Quoted(c.E(3), *n), *n);
    return Skip("a " + kind + " is not dropped by itself");
  });
}

void Associations(const Context& c, DropPlan& plan) {
  PerItem(c, plan, "Disassociate Statistics", [&](const DropItem& item) {
    std::string kind = C1(item);
    auto no = ReadNameOwner(c, item, kind);
    if (!no || kind.empty() || Unusable(kind)) return Skip(kNotAName);
    // The clause names the kind in the plural: INDEX becomes INDEXES.
    const std::string plural = kind == "INDEX" ? "INDEXES" : kind + "S";
    if (kind == "COLUMN") return Skip("a column's association names its column, which this list does not show");
    return Statement("DISASSOCIATE STATISTICS FROM " + plural + " " + Quoted(no->owner, no->name), no->name);
  });
}

bool SessionId(const std::string& id) {
  const std::size_t comma = id.find(',');
  if (comma == std::string::npos || comma == 0 || comma + 1 == id.size()) return false;
  return std::all_of(id.begin(), id.end(),
                     [](char ch) { return ch == ',' || std::isdigit(static_cast<unsigned char>(ch)); }) &&
         std::count(id.begin(), id.end(), ',') == 1;
}

void Sessions(const Context& c, DropPlan& plan) {
  const bool kill = c.sessionEnd == SessionEnd::Kill;
  PerItem(c, plan, kill ? "Kill Session" : "Disconnect Session", [&](const DropItem& item) {
    std::string id = item.name;
    std::replace(id.begin(), id.end(), '.', ',');
    if (!SessionId(id)) return Skip("not a session (sid.serial#)");
    if (kill) return Statement("ALTER SYSTEM KILL SESSION '" + id + "'", id);
    return Statement("ALTER SYSTEM DISCONNECT SESSION '" + id + "' POST_TRANSACTION", id);
  });
}

void OwnedKind(const Context& c, DropPlan& plan) {
  const Kind& k = *KindOfListing(c);
  PerItem(c, plan, std::string("Drop ") + k.word, [&](const DropItem& item) {
    std::optional<std::string> n;
    if (k.qualify == Qualify::PublicOrName) {
      // A link's name has dots of its own ("REMOTE.WORLD"): it is the whole
      // item.  DROP DATABASE LINK drops the logged-on user's link of that
      // name, so another user's private link is left alone.
      if (host::UpperCase(c.E(3)) != "PUBLIC" && host::UpperCase(c.E(3)) != c.r.logonUser)
        return Skip("a private database link can only be dropped by its owner");
      if (!Unusable(item.name)) n = c.exact(item.name, Anywhere(k.nameKind));
    } else {
      n = Stem(c, item, KindScope(c, k));
    }
    if (!n) return Skip(kNotAName);
    return Statement(KindStatement(k, c.E(3), *n), *n);
  });
}

const Row kRows[] = {
    {[](const Context& c) { return c.L(2) == ".INSTANCE PARAMETERS" && c.L(3) == ".JOBS" && c.L(4).empty(); }, Jobs},
    {[](const Context& c) { return c.L(2) == "USERS" && c.L(3).empty(); },
     [](const Context& c, DropPlan& p) { Global<NameKind::User>(c, p, "Drop User Cascade", "DROP USER ", " CASCADE"); }},
    {[](const Context& c) { return c.L(2) == "USERS" && c.L(3) == ".ROLES" && c.L(4).empty(); },
     [](const Context& c, DropPlan& p) { Global<NameKind::Role>(c, p, "Drop Role", "DROP ROLE ", ""); }},
    {[](const Context& c) { return c.L(2) == "USERS" && c.L(3) == ".PROFILES" && c.L(4).empty(); },
     [](const Context& c, DropPlan& p) {
       Global<NameKind::Profile>(c, p, "Drop Profile Cascade", "DROP PROFILE ", " CASCADE");
     }},
    {[](const Context& c) { return c.L(2) == "STORAGE" && c.L(3) == ".ROLLBACK SEGMENTS" && c.L(4).empty(); },
     [](const Context& c, DropPlan& p) {
       Global<NameKind::RollbackSegment>(c, p, "Drop Rollback Segment", "DROP ROLLBACK SEGMENT ", "");
     }},
    {[](const Context& c) { return c.L(2) == "STORAGE" && c.L(3) == ".TABLESPACES" && c.L(4).empty(); },
     [](const Context& c, DropPlan& p) {
       Global<NameKind::Tablespace>(c, p, "Drop Tablespace Cascade", "DROP TABLESPACE ",
                                    " INCLUDING CONTENTS CASCADE CONSTRAINTS");
     }},
    {[](const Context& c) {
       return (c.L(2) == "TABLES" && c.Owner(3) && c.L(4).empty()) ||
              (c.L(2) == "ALL OBJECTS" && c.L(3) == "TABLE" && c.L(4).empty());
     },
     Tables},
    {[](const Context& c) {
       return (c.L(2) == "CLUSTERS" && c.Owner(3) && c.L(4).empty()) ||
              (c.L(2) == "ALL OBJECTS" && c.L(3) == "CLUSTER" && c.L(4).empty());
     },
     Clusters},
    {[](const Context& c) {
       return c.L(2) == "ALL TYPES" && c.L(3) == ".INDEX TYPES" && !c.L(4).empty() && c.L(5).empty();
     },
     IndexTypes},
    {[](const Context& c) { return c.L(2) == "TABLES" && c.Owner(3) && c.L(5) == ".COLUMNS" && c.L(6).empty(); },
     UnusedColumn},
    {[](const Context& c) {
       return c.L(2) == "TABLES" && c.Owner(3) && !c.L(4).empty() && c.L(5).empty() &&
              host::UpperCase(c.r.currentItem) == ".UNUSED COLUMNS";
     },
     DropUnused},
    {[](const Context& c) {
       return c.L(2) == "TABLES" && c.Owner(3) && c.L(5) == ".CONSTRAINTS" && c.L(6).empty();
     },
     Constraints},
    {[](const Context& c) { return c.L(2) == "TABLES" && c.Owner(3) && c.L(5) == ".INDEXES" && c.L(6).empty(); },
     TableIndexes},
    {[](const Context& c) {
       return c.L(2) == "SYNONYMS" && c.L(3) == ".SYNONYMS BY TYPE" && !c.L(4).empty() && c.L(5).empty();
     },
     SynonymsByType},
    {[](const Context& c) { return c.L(2) == "SYNONYMS" && c.Owner(3) && c.L(4).empty(); }, Synonyms},
    {[](const Context& c) { return c.L(2) == ".CATALOG BY USER" && !c.L(3).empty() && c.L(4).empty(); },
     CatalogByUser},
    {[](const Context& c) { return c.L(2) == ".STATISTICS" && c.L(3) == ".ASSOCIATIONS" && c.L(4).empty(); },
     Associations},
    {[](const Context& c) { return IsSessionListing(c.r.levels); }, Sessions},
    {[](const Context& c) { return KindOfListing(c) != nullptr; }, OwnedKind},
};

}  // namespace

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string Quoted(const std::string& owner, const std::string& name) { return Quoted(owner) + "." + Quoted(name); }

bool IsSessionListing(const std::vector<std::string>& levels) {
  auto L = [&](std::size_t n) { return n >= 1 && n <= levels.size() ? levels[n - 1] : std::string(); };
  // Inside one session's details nothing is killed.
  return (L(2) == ".INSTANCE PARAMETERS" && L(3) == ".SESSIONS" && L(4).empty()) ||
         (L(2) == "USERS" && L(4) == ".SESSIONS" && L(5).empty());
}

DropPlan BuildDropPlan(const DropRequest& request, const NameResolver& exact, SessionEnd sessionEnd) {
  Context c{request, exact, sessionEnd};
  DropPlan plan;
  for (const Row& row : kRows) {
    if (!row.fits(c)) continue;
    plan.fits = true;
    row.build(c, plan);
    break;
  }
  return plan;
}

}  // namespace operations
