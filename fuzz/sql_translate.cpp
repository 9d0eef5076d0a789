// Fuzzes the client stand-in's translator from Oracle SQL to SQLite over a
// catalogue that knows every name (and refuses NOSUCH): any statement text
// translates or gives an Oracle error, never anything else.
#include "fuzz_support.h"
#include "sql/translate.h"

namespace {

class AnyCatalog final : public ocisim::sql::Catalog {
 public:
  std::string CurrentUser() const override { return "SCOTT"; }
  ocisim::sql::ResolvedObject Resolve(const std::optional<std::string>& owner,
                                      const std::string& name) const override {
    if (name == "NOSUCH") throw ocisim::sql::MakeOraError(942);
    const std::string who = owner.value_or("SCOTT");
    std::string kind = "TABLE";
    if (name.rfind("SEQ", 0) == 0) kind = "SEQUENCE";
    if (name.rfind("V_", 0) == 0) kind = "VIEW";
    if (name.rfind("PKG", 0) == 0) kind = "PACKAGE";
    return {"\"" + who + "." + name + "\"", who, name, kind};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const AnyCatalog catalog;
  const std::string text = fuzz::Text(data, size);
  try {
    ocisim::sql::Translation t = ocisim::sql::Translate(text, catalog);
    // A query's or DML's binds are its '?' marks, in order (a '?' inside a
    // literal or a quoted name is text, so there may be more marks).
    using ocisim::sql::StmtKind;
    if (t.kind == StmtKind::Select || t.kind == StmtKind::Insert || t.kind == StmtKind::Update ||
        t.kind == StmtKind::Delete) {
      std::size_t marks = 0;
      for (char c : t.sqlite) marks += c == '?';
      FUZZ_CHECK(t.binds.size() <= marks, t.sqlite);
    }
  } catch (const ocisim::sql::OraError& e) {
    FUZZ_CHECK(e.code > 0, e.what());
  }
  return 0;
}
