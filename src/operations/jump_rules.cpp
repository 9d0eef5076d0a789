// jump_rules.cpp — the ordered context rules of "go to object" and the
// kind-to-directory table.  Each rule looks at the path levels (and the
// item) and yields a kind, an owner and a name; the first that fits wins.
#include "operations/jump_rules.h"

#include <functional>
#include <map>
#include <vector>

#include "host/text_utils.h"

namespace operations {
namespace {

struct Target {
  std::string kind, owner, name;
};

// What a rule sees: levels L2..L8 (upper-cased), the item name I and its
// custom columns C1.. (upper-cased).
struct Context {
  panel::TOracleController& controller;
  std::string L[9];
  std::string I;
  std::vector<std::string> C;

  std::string Col(std::size_t n) const { return n >= 1 && n <= C.size() ? C[n - 1] : std::string(); }
  // I.x: after the last dot; I-x: before it (all of I without a dot).
  std::string After() const {
    std::size_t d = I.rfind('.');
    return d == std::string::npos ? std::string() : I.substr(d + 1);
  }
  std::string Before() const {
    std::size_t d = I.rfind('.');
    return d == std::string::npos ? I : I.substr(0, d);
  }
};

struct Rule {
  std::function<bool(const Context&)> fits;
  std::function<Target(const Context&)> yield;
};

const std::vector<Rule>& Rules() {
  static const std::vector<Rule> rules = {
      // Catalog by user: NAME.TYPE items of an owner.
      {[](const Context& c) { return c.L[2] == ".CATALOG BY USER" && !c.L[3].empty(); },
       [](const Context& c) { return Target{c.After(), c.L[3], c.Before()}; }},
      // All objects of a type: NAME.OWNER items.
      {[](const Context& c) { return c.L[2] == "ALL OBJECTS" && !c.L[3].empty(); },
       [](const Context& c) { return Target{c.L[3], c.After(), c.Before()}; }},
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

std::string GetJumpTarget(panel::TOracleController& controller, const CurrentItem& item) {
  if (!item.valid || item.IsUpDir()) return {};
  Context c{controller, {}, host::UpperCase(item.name), {}};
  for (int n = 2; n <= 8; ++n) c.L[n] = controller.GetPathLevel(static_cast<std::size_t>(n));
  for (const std::string& col : item.columns) c.C.push_back(host::UpperCase(col));
  for (const Rule& rule : Rules()) {
    if (!rule.fits(c)) continue;
    Target t = rule.yield(c);
    std::string dir = DirectoryOfKind(t.kind);
    if (dir.empty() || t.owner.empty()) return {};
    std::string path = "\\" + dir + "\\" + t.owner;
    if (!t.name.empty()) path += "\\" + t.name;
    return path;
  }
  return {};
}

}  // namespace operations
