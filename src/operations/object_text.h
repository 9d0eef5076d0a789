// object_text.h — which text stands behind the current item (F3 / F4).
//
// ChooseText looks at the path levels and the item and describes the text
// as a small job: the object's kind, owner and name, the lines written
// before the query's rows, the query (or none), how its rows are written
// and whether a saved edit goes back into the database.  It runs nothing,
// so the whole table can be checked without a host or a database; the
// text file writer and the edit loop carry the job out.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "operations/current_item.h"

namespace operations {

// How the query's rows become text.
enum class TextForm {
  Plain,            // the first column as it is (dictionary lines carry their own breaks)
  Trigger,          // "CREATE OR REPLACE TRIGGER " + DESCRIPTION [+ WHEN (...)], a break, TRIGGER_BODY
  Parameters,       // one commented block per instance parameter
  ShortParameters,  // the same for the undocumented parameters
  Alerts,           // one block per registered alert
};

struct TextJob {
  std::string kind;   // also the TYPE of the compile-error lookup
  std::string owner;
  std::string name;
  std::vector<std::string> header;  // written before the rows, one line each
  bool queryBased = true;
  std::string sql;                  // used when catalogueNumber < 0
  int catalogueNumber = -1;         // a catalogue statement, " ORDER BY NAME" appended to its first line
  std::vector<std::pair<std::string, std::string>> variables;  // declared and bound as strings
  TextForm form = TextForm::Plain;
  bool compilable = true;
  int startLine = 0;
  int startColumn = 0;
  // The editor starts at the object's first compile error (looked up when
  // the text is fetched).
  bool startAtFirstError = false;

  // kind + " " + owner + "." + name (ANSI; the caller converts it).
  std::string Title() const;
};

// Maps a name as the panel shows it to the name sent to the server: an
// owner (a user) when `owner` is empty, else an object of that owner and,
// when given, of that kind ("PROCEDURE", "PACKAGE BODY", "VIEW" ...).
using NameRule =
    std::function<std::string(const std::string& asWritten, const std::string& owner, const std::string& kind)>;

// The text for the item at the given levels (L2, L3, ... upper-cased as the
// panel keeps them), or nothing when no row of the table fits.  The rows
// compare the upper-cased levels and item; the owner and name of an object
// are taken from `exactLevels` (the same levels in their own letter case;
// empty: the upper-cased ones) and the item as shown, through `rule` (none:
// upper-case everything).  `alternative` is the Alt key (package and type
// bodies); `prefix` the dictionary prefix ("ALL_", "DBA_").
std::optional<TextJob> ChooseText(const std::vector<std::string>& levels, const CurrentItem& item,
                                  bool alternative, const std::string& prefix,
                                  const std::vector<std::string>& exactLevels = {}, const NameRule& rule = {});

// The text of a stored unit, view or trigger by its kind ("PROCEDURE",
// "VIEW", "TRIGGER" ...), as the rows for that kind build it.
TextJob UnitTextJob(const std::string& kind, const std::string& owner, const std::string& name,
                    const std::string& prefix);

}  // namespace operations
