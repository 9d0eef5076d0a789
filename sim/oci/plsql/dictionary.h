// What the PL/SQL compiler and interpreter ask of the database: objects by
// name (synonyms followed), the columns of tables and views, and the stored
// source of other units. The stand-in implements it over its dictionary.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ocisim::plsql {

struct ObjectRef {
  std::string owner, name, type;  // type: TABLE, VIEW, PROCEDURE, FUNCTION, PACKAGE, SEQUENCE, TYPE ...
  bool operator<(const ObjectRef& o) const {
    return owner != o.owner ? owner < o.owner : name != o.name ? name < o.name : type < o.type;
  }
  bool operator==(const ObjectRef& o) const { return owner == o.owner && name == o.name && type == o.type; }
};

class Dictionary {
 public:
  virtual ~Dictionary() = default;
  // The schema unqualified names are looked up in.
  virtual std::string Schema() const = 0;
  // An object the compiling user may see, by [owner.]name; synonyms are followed.
  // For a package, the PACKAGE (specification).
  virtual std::optional<ObjectRef> Resolve(const std::optional<std::string>& owner, const std::string& name) const = 0;
  // Column names of a table or view, in order; empty when it has none.
  virtual std::vector<std::string> Columns(const ObjectRef& table) const = 0;
  // The stored source of a unit (type PROCEDURE, FUNCTION, PACKAGE, PACKAGE BODY, TRIGGER); nullopt if none.
  virtual std::optional<std::string> Source(const std::string& owner, const std::string& name,
                                            const std::string& type) const = 0;
  // Is there a user of that name?
  virtual bool IsSchema(const std::string& name) const = 0;
  // A unit the compiled code calls: compiled again first when INVALID, as the
  // server does; false when it stays INVALID.
  virtual bool EnsureValid(const ObjectRef& unit) const {
    (void)unit;
    return true;
  }
  // The syntax fault of one SQL statement (as it will run: INTO left out,
  // PL/SQL names as binds) the way the server's SQL parser finds it: the byte
  // offset in `sql` and the message ("ORA-00933: SQL command not properly
  // ended"); nullopt when it parses.
  struct SqlFault {
    size_t offset = 0;
    std::string text;
  };
  virtual std::optional<SqlFault> SqlSyntax(const std::string& sql) const {
    (void)sql;
    return std::nullopt;
  }
};

}  // namespace ocisim::plsql
