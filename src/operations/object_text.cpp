// object_text.cpp — the table that picks the text behind an item.  Rows are
// tried in order and the first that fits builds the job; each row names the
// levels it looks at.  Program units, views and triggers are compilable;
// the record-like texts (dispatchers, help, parameters, jobs, statements)
// are only shown.
#include "operations/object_text.h"

#include <cstdlib>
#include <initializer_list>

#include "host/text_utils.h"

namespace operations {
namespace {

using host::AfterDot;
using host::BeforeDot;

constexpr const char* kCreateOrReplace = "CREATE OR REPLACE";

bool DotName(const std::string& s) { return !s.empty() && s[0] == '.'; }

bool OneOf(const std::string& s, std::initializer_list<const char*> options) {
  for (const char* o : options)
    if (s == o) return true;
  return false;
}

// What a row sees: L2.. (upper-cased), the item name and its columns; and
// for object names the same levels and item in their own letter case.
struct Context {
  std::vector<std::string> levels;  // levels[0] is L2
  std::string I;
  std::vector<std::string> columns;  // columns[0] is C1, as listed
  bool alternative;
  std::string prefix;
  std::vector<std::string> exactLevels;  // as levels, letter case kept
  std::string exactItem;
  NameRule rule;

  // `owner` empty: the name is a user's; else an object of that owner (and
  // of `kind` when given).
  std::string ByRule(const std::string& asWritten, const std::string& owner = {},
                     const std::string& kind = {}) const {
    return rule ? rule(asWritten, owner, kind) : host::UpperCase(asWritten);
  }
  // Level n as an owner name, or as an object of `owner`.
  std::string Name(int n, const std::string& owner = {}, const std::string& kind = {}) const {
    std::size_t i = static_cast<std::size_t>(n - 2);
    if (n < 2 || i >= exactLevels.size() || host::UpperCase(exactLevels[i]) != L(n)) return L(n);
    return ByRule(exactLevels[i], owner, kind);
  }
  const std::string& ExactLevel(int n) const {
    std::size_t i = static_cast<std::size_t>(n - 2);
    return n >= 2 && i < exactLevels.size() && host::UpperCase(exactLevels[i]) == L(n) ? exactLevels[i] : L(n);
  }
  // The item, or its part before the last dot, as an object of `owner`;
  // the part after the dot as an owner.
  std::string ItemName(const std::string& owner, const std::string& kind) const {
    return ByRule(exactItem, owner, kind);
  }
  std::string ItemBefore(const std::string& owner, const std::string& kind) const {
    return ByRule(BeforeDot(exactItem), owner, kind);
  }
  std::string ItemAfter() const { return ByRule(AfterDot(exactItem)); }

  const std::string& L(int n) const {
    static const std::string kNone;
    std::size_t i = static_cast<std::size_t>(n - 2);
    return n >= 2 && i < levels.size() ? levels[i] : kNone;
  }
  bool Set(int n) const { return !L(n).empty(); }
  std::string C(std::size_t n) const { return n >= 1 && n <= columns.size() ? columns[n - 1] : std::string(); }
};

std::string SourceSql(const std::string& prefix) {
  return "SELECT TEXT FROM " + prefix +
         "SOURCE WHERE OWNER = :OWNER AND NAME = :NAME AND TYPE = :TYPE ORDER BY LINE";
}

// A stored program unit: the dictionary source behind "CREATE OR REPLACE".
TextJob SourceJob(const Context& c, const std::string& kind, const std::string& owner, const std::string& name) {
  TextJob j;
  j.kind = kind;
  j.owner = owner;
  j.name = name;
  j.header = {kCreateOrReplace};
  j.sql = SourceSql(c.prefix);
  j.variables = {{"NAME", name}, {"OWNER", owner}, {"TYPE", kind}};
  return j;
}

TextJob TriggerJob(const Context& c, const std::string& owner, const std::string& name) {
  TextJob j;
  j.kind = "TRIGGER";
  j.owner = owner;
  j.name = name;
  // The row condition is kept apart from the description (WHEN_CLAUSE).
  j.sql = "SELECT TRIGGER_BODY, DESCRIPTION, WHEN_CLAUSE FROM " + c.prefix +
          "TRIGGERS WHERE OWNER = :OWNER AND TRIGGER_NAME = :NAME";
  j.variables = {{"OWNER", owner}, {"NAME", name}};
  j.form = TextForm::Trigger;
  return j;
}

TextJob ViewJob(const Context& c, const std::string& owner, const std::string& name) {
  TextJob j;
  j.kind = "VIEW";
  j.owner = owner;
  j.name = name;
  j.header = {"CREATE OR REPLACE VIEW \"" + owner + "\".\"" + name + "\" AS"};
  j.sql = "SELECT TEXT FROM " + c.prefix + "VIEWS WHERE OWNER = :OWNER AND VIEW_NAME = :NAME";
  j.variables = {{"OWNER", owner}, {"NAME", name}};
  return j;
}

// The text of any object by its kind, as the rows for each kind build it.
TextJob JobByKind(const Context& c, const std::string& kind, const std::string& owner, const std::string& name) {
  if (kind == "TRIGGER") return TriggerJob(c, owner, name);
  if (kind == "VIEW") return ViewJob(c, owner, name);
  return SourceJob(c, kind, owner, name);
}

// The item is an object of the owner level (L3) ...
TextJob OwnItem(const Context& c, const std::string& kind) {
  const std::string owner = c.Name(3);
  return JobByKind(c, kind, owner, c.ItemName(owner, kind));
}

// ... or reads "NAME.OWNER" (lists of all objects).
TextJob ItemWithOwner(const Context& c, const std::string& kind) {
  const std::string owner = c.ItemAfter();
  return JobByKind(c, kind, owner, c.ItemBefore(owner, kind));
}

TextJob ShownOnly(const std::string& kind, const std::string& owner, const std::string& name) {
  TextJob j;
  j.kind = kind;
  j.owner = owner;
  j.name = name;
  j.compilable = false;
  return j;
}

TextJob HeaderOnly(TextJob j, std::vector<std::string> header) {
  j.header = std::move(header);
  j.queryBased = false;
  return j;
}

// An error line item carries the error's line and column in C1 and C2;
// anything else opens at the object's first error.
void StartAtError(const Context& c, TextJob& j, bool onErrorLine) {
  if (onErrorLine) {
    char* end = nullptr;
    std::string line = c.C(1), column = c.C(2);
    long l = std::strtol(line.c_str(), &end, 10);
    bool lineOk = !line.empty() && end != nullptr && *end == '\0';
    long p = std::strtol(column.c_str(), &end, 10);
    bool columnOk = !column.empty() && end != nullptr && *end == '\0';
    if (lineOk && columnOk) {
      j.startLine = static_cast<int>(l);
      j.startColumn = static_cast<int>(p);
      return;
    }
  }
  j.startAtFirstError = true;
}

// The kind a code directory holds; packages and types give their body with Alt.
std::string KindOfDirectory(const std::string& l2, bool alternative) {
  if (l2 == "PROCEDURES" || l2 == "PROCEDURE") return "PROCEDURE";
  if (l2 == "FUNCTIONS" || l2 == "FUNCTION") return "FUNCTION";
  if (l2 == "PACKAGES" || l2 == "PACKAGE") return alternative ? "PACKAGE BODY" : "PACKAGE";
  if (l2 == "ALL TYPES" || l2 == "TYPE") return alternative ? "TYPE BODY" : "TYPE";
  return {};
}

// A cached statement's text: the identifier is "ADDRESS.HASH_VALUE".
TextJob StatementJob(const Context& c) {
  bool allStatements = c.L(3) == ".SQL AREA" && c.L(4) == ".ALL STATEMENTS";
  std::string s = allStatements ? (c.Set(5) ? c.L(5) : c.I) : (c.Set(6) ? c.L(6) : c.I);
  std::string addr = BeforeDot(s), hash = AfterDot(s);
  TextJob j = ShownOnly("", "", s);
  j.sql = "SELECT SQL_TEXT || CHR(13) || CHR(10) FROM V$SQLTEXT WHERE ADDRESS = HEXTORAW(:ADDR) AND "
          "HASH_VALUE = :HASH ORDER BY PIECE";
  j.variables = {{"ADDR", addr}, {"HASH", hash}};
  j.header = {"ADDRESS: " + addr, "HASH_VALUE: " + hash};
  bool sqlAreaItem = (allStatements && !c.Set(5)) ||
                     (c.L(3) == ".SQL AREA" && c.L(4) == ".STATEMENTS BY SESSIONS" && !c.Set(6));
  if (sqlAreaItem) {
    j.header.insert(j.header.end(), {"USER NAME: " + c.C(3), "SHARABLE MEM: " + c.C(4),
                                     "PERSISTENT MEM: " + c.C(5), "RUNTIME MEM: " + c.C(6), "LOADS: " + c.C(8),
                                     "EXECUTIONS: " + c.C(9), ""});
  }
  return j;
}

struct Row {
  bool (*fits)(const Context&);
  TextJob (*make)(const Context&);
};

bool IsInstance(const Context& c) { return c.L(2) == ".INSTANCE PARAMETERS"; }

const Row kRows[] = {
    // Shared server dispatcher: its listed values as a record.
    {[](const Context& c) { return IsInstance(c) && c.L(3) == ".DISPATCHERS" && !c.Set(4); },
     [](const Context& c) {
       return HeaderOnly(ShownOnly("DISPATCHER", "", c.I),
                         {"Name: " + c.I, "Status: " + c.C(1), "Messages: " + c.C(2), "Size (MB): " + c.C(3),
                          "Breaks: " + c.C(4), "Idle (min): " + c.C(5), "Busy (min): " + c.C(6),
                          "Listener: " + c.C(7), "Network: " + c.C(8)});
     }},
    // SQL*Plus help, all of it.
    {[](const Context& c) { return c.L(2) == ".MISC" && c.I == ".SQL*PLUS HELP"; },
     [](const Context&) {
       TextJob j = ShownOnly("SQL*PLUS HELP", "", "");
       j.sql = "SELECT INFO || CHR(13) || CHR(10) FROM SYSTEM.HELP ORDER BY TOPIC, SEQ";
       return j;
     }},
    // One help topic.
    {[](const Context& c) { return c.L(2) == ".MISC" && c.L(3) == ".SQL*PLUS HELP" && !c.Set(4); },
     [](const Context& c) {
       TextJob j = ShownOnly(c.I, "", "SQL*PLUS HELP");
       j.sql = "SELECT INFO || CHR(13) || CHR(10) FROM SYSTEM.HELP WHERE TOPIC = :OWNER ORDER BY SEQ";
       j.variables = {{"OWNER", c.I}};
       return j;
     }},
    // A fixed view's definition.
    {[](const Context& c) { return c.L(2) == ".MISC" && c.L(3) == ".FIXED TABLES"; },
     [](const Context& c) {
       TextJob j = ShownOnly("FIXED TABLE", "", c.I);
       j.sql = "SELECT VIEW_DEFINITION FROM V$FIXED_VIEW_DEFINITION WHERE VIEW_NAME = :NAME";
       j.variables = {{"NAME", c.I}};
       return j;
     }},
    // The instance parameters as a parameter file.
    {[](const Context& c) { return IsInstance(c) && !c.Set(3) && c.I == ".PARAMETERS"; },
     [](const Context&) {
       TextJob j = ShownOnly("PARAMETERS", "", "");
       j.catalogueNumber = 5;
       j.form = TextForm::Parameters;
       return j;
     }},
    {[](const Context& c) { return IsInstance(c) && !c.Set(3) && c.I == ".PARAMETERS UNDOCUMENTED"; },
     [](const Context&) {
       TextJob j = ShownOnly("UNDOC_PARAMETERS", "", "");
       j.catalogueNumber = 183;
       j.form = TextForm::ShortParameters;
       return j;
     }},
    // One registered alert.
    {[](const Context& c) { return IsInstance(c) && c.L(3) == ".DBMS ALERTS"; },
     [](const Context& c) { return HeaderOnly(ShownOnly("", "", c.I), {"Alert: " + c.I, c.C(2)}); }},
    // All registered alerts.
    {[](const Context& c) { return IsInstance(c) && !c.Set(3) && c.I == ".DBMS ALERTS"; },
     [](const Context&) {
       TextJob j = ShownOnly("ALERTS", "", "");
       j.catalogueNumber = 232;
       j.form = TextForm::Alerts;
       return j;
     }},
    // A job's action.
    {[](const Context& c) { return IsInstance(c) && c.L(3) == ".JOBS" && !c.Set(4); },
     [](const Context& c) {
       TextJob j = ShownOnly("JOB", "", c.I);
       j.sql = "SELECT WHAT FROM DBA_JOBS WHERE JOB = :ID";
       j.variables = {{"ID", c.I}};
       return j;
     }},
    // Procedures, functions and packages in their own directories ...
    {[](const Context& c) {
       return OneOf(c.L(2), {"PROCEDURES", "FUNCTIONS", "PACKAGES"}) && c.Set(3) && !c.Set(4);
     },
     [](const Context& c) { return OwnItem(c, KindOfDirectory(c.L(2), c.alternative)); }},
    // ... and among all objects, where the item reads name.owner.
    {[](const Context& c) {
       return c.L(2) == "ALL OBJECTS" && OneOf(c.L(3), {"PROCEDURE", "FUNCTION", "PACKAGE"}) && !c.Set(4);
     },
     [](const Context& c) {
       return ItemWithOwner(c, KindOfDirectory(c.L(3), c.alternative));
     }},
    // Triggers.
    {[](const Context& c) { return c.L(2) == "TRIGGERS" && c.Set(3) && !DotName(c.L(3)) && !c.Set(4); },
     [](const Context& c) { return OwnItem(c, "TRIGGER"); }},
    {[](const Context& c) { return c.L(2) == "ALL OBJECTS" && c.L(3) == "TRIGGER"; },
     [](const Context& c) { return ItemWithOwner(c, "TRIGGER"); }},
    {[](const Context& c) { return OneOf(c.L(2), {"TABLES", "VIEWS"}) && c.L(5) == ".TRIGGERS" && !c.Set(6); },
     [](const Context& c) {
       // A table's trigger may belong to another schema; the item then says whose.
       std::string owner = c.I.find('.') != std::string::npos ? c.ItemAfter() : c.Name(3);
       return TriggerJob(c, owner, c.ItemBefore(owner, "TRIGGER"));
     }},
    // Views.
    {[](const Context& c) { return c.L(2) == "VIEWS" && c.Set(3) && !c.Set(4); },
     [](const Context& c) { return OwnItem(c, "VIEW"); }},
    {[](const Context& c) { return c.L(2) == ".CATALOG BY USER" && c.Set(3) && AfterDot(c.I) == "VIEW"; },
     [](const Context& c) {
       const std::string owner = c.Name(3);
       return ViewJob(c, owner, c.ItemBefore(owner, "VIEW"));
     }},
    {[](const Context& c) { return c.L(2) == "ALL OBJECTS" && c.L(3) == "VIEW"; },
     [](const Context& c) { return ItemWithOwner(c, "VIEW"); }},
    // Types.  Only an owner's list: deeper levels are a type's details, and
    // its error list has a row of its own below.
    {[](const Context& c) {
       return c.L(2) == "ALL TYPES" && c.Set(3) && !DotName(c.L(3)) && c.L(3) != "BUILD INTO" && !c.Set(4);
     },
     [](const Context& c) { return OwnItem(c, KindOfDirectory(c.L(2), c.alternative)); }},
    {[](const Context& c) { return c.L(2) == "ALL OBJECTS" && c.L(3) == "TYPE"; },
     [](const Context& c) { return ItemWithOwner(c, KindOfDirectory(c.L(3), c.alternative)); }},
    // The error lists: an object ("NAME.TYPE") opens at its first error, an
    // error line at its own position.
    {[](const Context& c) { return c.L(2) == ".ERRORS" && c.Set(3); },
     [](const Context& c) {
       bool onErrorLine = c.Set(4);
       const std::string& object = onErrorLine ? c.L(4) : c.I;
       const std::string& exactObject = onErrorLine ? c.ExactLevel(4) : c.exactItem;
       const std::string owner = c.Name(3), kind = AfterDot(object);
       TextJob j = JobByKind(c, kind, owner, c.ByRule(BeforeDot(exactObject), owner, kind));
       StartAtError(c, j, onErrorLine);
       return j;
     }},
    {[](const Context& c) {
       return OneOf(c.L(2), {"PROCEDURES", "FUNCTIONS", "PACKAGES", "ALL TYPES"}) && c.L(5) == ".ERRORS" &&
              !c.Set(6);
     },
     [](const Context& c) {
       const std::string owner = c.Name(3), kind = KindOfDirectory(c.L(2), c.alternative);
       TextJob j = SourceJob(c, kind, owner, c.Name(4, owner, kind));
       StartAtError(c, j, true);
       return j;
     }},
    // Cached statements.
    {[](const Context& c) {
       return (IsInstance(c) && c.L(3) == ".SESSIONS" && c.L(5) == ".CURSORS" && !c.Set(6)) ||
              (c.L(2) == ".STATISTICS" && c.L(3) == ".SQL AREA" && c.L(4) == ".ALL STATEMENTS") ||
              (c.L(2) == ".STATISTICS" && c.L(3) == ".SQL AREA" && c.L(4) == ".STATEMENTS BY SESSIONS" &&
               c.Set(5)) ||
              (c.L(2) == ".STATISTICS" && c.L(3) == ".APPLICATION INFO" && c.Set(4) && !c.Set(5));
     },
     StatementJob},
};

}  // namespace

TextJob UnitTextJob(const std::string& kind, const std::string& owner, const std::string& name,
                    const std::string& prefix) {
  Context c{{}, {}, {}, false, prefix, {}, {}, {}};
  return JobByKind(c, kind, owner, name);
}

std::string TextJob::Title() const { return kind + " " + owner + "." + name; }

std::optional<TextJob> ChooseText(const std::vector<std::string>& levels, const CurrentItem& item,
                                  bool alternative, const std::string& prefix,
                                  const std::vector<std::string>& exactLevels, const NameRule& rule) {
  if (!item.valid || item.IsUpDir()) return std::nullopt;
  // Column texts are shown as they are (alert messages, network addresses).
  Context c{levels, host::UpperCase(item.name), item.columns, alternative, prefix, exactLevels, item.name, rule};
  for (const Row& row : kRows)
    if (row.fits(c)) return row.make(c);
  return std::nullopt;
}

}  // namespace operations
