// Every catalogue number declares the variable set the factory promises for
// it, and its text binds exactly those variables (plus the few keys whose
// callers declare them); numbers outside 0-263 and unused numbers give no
// statement; the fixed texts other parts rely on are word for word.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "bind_references.h"
#include "connection/statement_catalogue.h"

namespace {

using connection::CapabilityValue;
using connection::CatalogueEntry;
using connection::FindStatement;
using connection::VariableType;
using catalogue_test::BindReferences;

struct Expected {
  std::string name;
  VariableType type;
  CapabilityValue value;
};

Expected S(const char* name) { return {name, VariableType::String, CapabilityValue::None}; }
Expected Sub(const char* name, CapabilityValue value) {
  return {name, VariableType::Substitution, value};
}

// The variable sets the data module's factory declares, by number.  Numbers
// not listed declare nothing.
std::map<int, std::vector<Expected>> ExpectedVariableSets() {
  std::map<int, std::vector<Expected>> sets;
  sets[0] = {S("VERSION"), S("COMPATIBILITY")};
  sets[1] = {S("PORT_STRING")};
  const std::vector<std::pair<int, int>> owner_ranges = {
      {7, 7},     {12, 13},   {20, 21},   {31, 31},   {33, 33},   {36, 36},   {38, 38},
      {41, 41},   {43, 43},   {45, 45},   {52, 53},   {56, 56},   {58, 58},   {62, 62},
      {68, 68},   {74, 74},   {76, 79},   {85, 85},   {87, 87},   {90, 92},   {94, 94},
      {98, 99},   {102, 104}, {106, 107}, {109, 109}, {111, 112}, {114, 114}, {116, 118},
      {120, 120}, {123, 123}, {125, 125}, {128, 128}, {130, 130}, {133, 133}, {135, 135},
      {138, 138}, {141, 142}, {145, 146}, {149, 154}, {156, 156}, {158, 160}, {163, 164},
      {168, 168}, {170, 170}, {172, 172}, {177, 178}, {181, 182}, {185, 185}, {189, 189},
      {191, 191}, {193, 194}, {199, 201}, {206, 206}, {208, 211}, {214, 214}, {221, 224},
      {226, 226}, {228, 228}, {230, 230}, {240, 240}, {248, 248}, {252, 252}, {255, 255},
      {258, 258}, {260, 261}};
  for (auto [first, last] : owner_ranges) {
    for (int n = first; n <= last; ++n) sets[n] = {S("OWNER")};
  }
  for (int n : {46, 47, 50, 54, 59, 60, 63, 64, 71, 72, 80, 88, 95, 126, 127, 134, 136, 157, 161,
                192, 196, 205, 207}) {
    sets[n] = {S("NAME"), S("OWNER")};
  }
  sets[81] = {S("NAME"), S("OWNER"), S("TYPE")};
  sets[82] = {S("NAME"), S("OWNER"), S("OBJECT_NAME"), S("TYPE")};
  sets[195] = {S("OWNER"), S("NAME"), S("COLUMN_NAME")};
  sets[49] = {S("OWNER"), Sub("INDEX_TYPE", CapabilityValue::IndexTypeFragment)};
  sets[65] = {Sub("ALL_TABLES", CapabilityValue::TablesView)};
  sets[66] = {S("OWNER"), Sub("ALL_TABLES", CapabilityValue::TablesView),
              Sub("LAST_ANALYZED", CapabilityValue::LastAnalyzedFragment)};
  sets[67] = {S("NAME"), Sub("ALL_TABLES", CapabilityValue::TablesView)};
  sets[70] = {S("OWNER"), Sub("LAST_ANALYZED", CapabilityValue::LastAnalyzedFragment)};
  return sets;
}

// Keys that statements may bind without the factory declaring them.
const std::set<std::string> kCallerDeclarable = {"SID",  "SERIAL", "BND",  "TSNAME", "OWNER",
                                                 "OBJNAME", "ADDR", "HASH", "PFILE",  "PBLOCK"};

std::set<int> UnusedNumbers() {
  return std::set<int>(std::begin(connection::kUnusedStatementNumbers),
                       std::end(connection::kUnusedStatementNumbers));
}

TEST(BindReferences, SkipsQuotesMacrosAndAssignment) {
  EXPECT_EQ(BindReferences("BEGIN :PORT_STRING := X; END;"), (std::set<std::string>{"PORT_STRING"}));
  EXPECT_EQ(BindReferences("SELECT ':NOT_A_BIND', 'it''s :NOR_THIS' FROM :DBA_USERS WHERE a = :Owner"),
            (std::set<std::string>{"OWNER"}));
  EXPECT_EQ(BindReferences("SELECT P.:TABLE_SCHEMA FROM :dba_x WHERE BINDING# = :BND"),
            (std::set<std::string>{"BND"}));
  EXPECT_TRUE(BindReferences("SELECT \":NAME\" FROM DUAL").empty());
}

TEST(Catalogue, VariableTypeCodesAreThoseOfTheQueryLayer) {
  EXPECT_EQ(static_cast<int>(VariableType::String), 5);
  EXPECT_EQ(static_cast<int>(VariableType::Substitution), 1);
}

TEST(Catalogue, NumbersOutsideTheRangeOrUnusedGiveNoStatement) {
  for (int n : {INT_MIN, -1, connection::kStatementCount, 264, 1000, INT_MAX}) {
    EXPECT_EQ(FindStatement(n), nullptr) << n;
  }
  const std::set<int> unused = UnusedNumbers();
  for (int n = 0; n < connection::kStatementCount; ++n) {
    const CatalogueEntry* entry = FindStatement(n);
    if (unused.count(n) != 0) {
      EXPECT_EQ(entry, nullptr) << n;
    } else {
      ASSERT_NE(entry, nullptr) << n;
      EXPECT_EQ(entry->number, n);
      EXPECT_FALSE(entry->text.empty()) << n;
    }
  }
}

TEST(Catalogue, EachNumberDeclaresItsVariableSet) {
  const auto sets = ExpectedVariableSets();
  for (int n = 0; n < connection::kStatementCount; ++n) {
    const CatalogueEntry* entry = FindStatement(n);
    if (entry == nullptr) continue;
    const auto found = sets.find(n);
    const std::vector<Expected> expected = found == sets.end() ? std::vector<Expected>{} : found->second;
    ASSERT_EQ(entry->variables.size(), expected.size()) << "statement " << n;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(entry->variables[i].name, expected[i].name) << "statement " << n;
      EXPECT_EQ(entry->variables[i].type, expected[i].type) << "statement " << n;
      EXPECT_EQ(entry->variables[i].value, expected[i].value) << "statement " << n;
    }
  }
}

TEST(Catalogue, EachTextBindsExactlyItsDeclaredAndCallerDeclaredVariables) {
  for (int n = 0; n < connection::kStatementCount; ++n) {
    const CatalogueEntry* entry = FindStatement(n);
    if (entry == nullptr) continue;
    std::set<std::string> declared;
    for (const auto& variable : entry->variables) declared.insert(std::string(variable.name));
    std::set<std::string> expected = declared;
    for (std::string_view name : entry->callerDeclared) {
      EXPECT_EQ(declared.count(std::string(name)), 0u) << "statement " << n << " declares " << name << " twice";
      EXPECT_EQ(kCallerDeclarable.count(std::string(name)), 1u)
          << "statement " << n << " leaves " << name << " to its caller";
      expected.insert(std::string(name));
    }
    EXPECT_EQ(BindReferences(entry->text), expected) << "statement " << n << ": " << entry->text;
  }
}

TEST(Catalogue, SubstitutionVariablesAppearInTheirTexts) {
  EXPECT_NE(FindStatement(49)->text.find(":INDEX_TYPE"), std::string_view::npos);
  for (int n : {65, 66, 67}) {
    EXPECT_NE(FindStatement(n)->text.find(":ALL_TABLES"), std::string_view::npos) << n;
  }
  for (int n : {66, 70}) {
    EXPECT_NE(FindStatement(n)->text.find(":LAST_ANALYZED"), std::string_view::npos) << n;
  }
  EXPECT_EQ(connection::CapabilityValueName(CapabilityValue::TablesView), "tables view");
}

TEST(Catalogue, FixedTextsAreWordForWord) {
  EXPECT_EQ(FindStatement(0)->text, "BEGIN DBMS_UTILITY.DB_VERSION (:VERSION, :COMPATIBILITY); END;");
  EXPECT_EQ(FindStatement(1)->text, "BEGIN :PORT_STRING := DBMS_UTILITY.PORT_STRING; END;");
  EXPECT_EQ(FindStatement(5)->text,
            "SELECT P.*, DECODE (P.TYPE, 1, 'BOL', 2, 'STR', 3, 'INT', 4, 'FILE', 'N/A') AS "
            "TYPE_NAME, DECODE (P.ISDEFAULT, 'TRUE', 'Yes', NULL) AS DEFAULT_NAME, DECODE "
            "(P.ISSES_MODIFIABLE, 'TRUE', 'Yes', NULL) AS ISSES, DECODE (P.ISSYS_MODIFIABLE, "
            "'FALSE', NULL, P.ISSYS_MODIFIABLE) AS ISSYS, DECODE (P.ISMODIFIED, 'TRUE', 'Yes', "
            "NULL) AS ISMODIFIED_NAME, DECODE (P.ISADJUSTED, 'TRUE', 'Yes', NULL) AS "
            "ISADJUSTED_NAME FROM V$PARAMETER P");
  EXPECT_EQ(FindStatement(183)->text,
            R"(SELECT A.KSPPINM NAME, B.KSPPSTVL VALUE, B.KSPPSTDF ISDEFAULT, )"
            R"(DECODE(A.KSPPITY, 1, 'BOOL', 2, 'STR', 3, 'INT', 4, 'FILE', A.KSPPITY) TYPE, )"
            R"(A.KSPPDESC DESCRIPTION FROM SYS.X$KSPPI A, SYS.X$KSPPCV B WHERE A.INDX = B.INDX )"
            R"(AND A.KSPPINM LIKE '\_%' ESCAPE '\')");
  EXPECT_EQ(FindStatement(232)->text, "SELECT * FROM SYS.DBMS_ALERT_INFO");
  // The parameter file action appends " ORDER BY NAME" to these, so they must
  // end in the FROM clause.
  for (int n : {5, 183, 232}) {
    EXPECT_EQ(FindStatement(n)->text.find("ORDER BY"), std::string_view::npos) << n;
  }
}

}  // namespace
