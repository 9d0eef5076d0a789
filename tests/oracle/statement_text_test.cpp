// Tests of what the query layer does without a server: variable references
// and substitution, variable declarations and buffers, value texts, and the
// server banner logic.
#include <gtest/gtest.h>

#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"
#include "oracle/text_util.h"
#include "oracle/variable_scanner.h"

namespace oracle_test {
namespace {

using oracle::FindVariables;

std::vector<std::string> Names(const std::string& text, bool duplicates = false) {
  std::vector<std::string> names;
  for (const auto& reference : FindVariables(text, duplicates)) names.push_back(reference.name);
  return names;
}

using Strings = std::vector<std::string>;

TEST(VariableScanner, SkipsQuotesCommentsAndAssignments) {
  EXPECT_EQ(Names("select * from t where a = :owner and b = ':quoted' -- :comment\r\n and c = :Name"),
            (Strings{"OWNER", "NAME"}));
  EXPECT_EQ(Names("begin :v := 1; /* :hidden */ :v := :v + 1; end;"), (Strings{"V"}));
  EXPECT_EQ(Names("begin :v := 1; :v := 2; end;", true), (Strings{"V", "V"}));
  // Line comments end at a bare LF too; the character ending a name is looked at again.
  EXPECT_EQ(Names("select 1 from dual -- :a\nwhere x = :b--:c\n and y in (:d,:e)"), (Strings{"B", "D", "E"}));
  // Names with #, $ and bytes of 128 and above.
  EXPECT_EQ(Names("select :obj#, :sys$x, :\xC3\xA9t\xC3\xA9 from dual"),
            (Strings{"OBJ#", "SYS$X", "\xC3\xA9T\xC3\xA9"}));
  const auto refs = FindVariables("x :ab y", true);
  ASSERT_EQ(refs.size(), 1u);
  EXPECT_EQ(refs[0].position, 2u);
  EXPECT_EQ(refs[0].length, 2u);
}

// A quoted name may hold a colon or an apostrophe, and a q-quoted string an
// apostrophe: neither is a reference, nor may it hide the references after it.
TEST(VariableScanner, SkipsQuotedNamesAndQQuotes) {
  EXPECT_EQ(Names("select sal as \"Pay:Month\", \"it's\" from emp where a = :x and b = 'y'"), (Strings{"X"}));
  EXPECT_EQ(Names("select q'[it's :no]', Q'{:no}', q'!a'b!' from t where c = :y and d = :q"), (Strings{"Y", "Q"}));
  // A name ending in q is no q-quote.
  EXPECT_EQ(Names("select seq'x' from t where e = :z"), (Strings{"Z"}));
}

TEST(Query, SubstitutionReplacesBackwardsAndLeavesBindVariables) {
  oracle::TOracleQuery query;
  query.SQL = {"SELECT * FROM :ALL_TABLES", "WHERE OWNER = :OWNER AND X = ':ALL_TABLES' AND Y = :all_tables"};
  query.DeclareVariable("ALL_TABLES", oracle::otSubst);
  query.DeclareVariable("OWNER", oracle::otString);
  query.SetVariable("ALL_TABLES", "ALL_ALL_TABLES");
  EXPECT_EQ(query.TextToParse(),
            "SELECT * FROM ALL_ALL_TABLES\r\nWHERE OWNER = :OWNER AND X = ':ALL_TABLES' AND Y = ALL_ALL_TABLES");
  // A null substitution value disappears.
  query.SetVariable("ALL_TABLES", oracle::TOracleValue{oracle::TNull{}});
  EXPECT_EQ(query.TextToParse(), "SELECT * FROM \r\nWHERE OWNER = :OWNER AND X = ':ALL_TABLES' AND Y = ");
}

TEST(Query, ProgrammingErrorsHaveTheirMessages) {
  oracle::TOracleQuery query;
  auto message = [](auto&& action) -> std::string {
    try {
      action();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(message([&] { query.DeclareVariable("", oracle::otString); }),
            "You cannot declare a variable with an empty name");
  EXPECT_EQ(message([&] { query.DeclareVariable("X", 2); }), "Unsupported variable type");
  EXPECT_EQ(message([&] { query.SetVariable("NOPE", 1); }), "Variable NOPE not declared");
  EXPECT_EQ(message([&] { query.GetVariable("NOPE"); }), "Unknown variable: NOPE");
  EXPECT_EQ(message([&] { query.FieldName(0); }), "Field 0 does not exist");
  EXPECT_EQ(message([&] { query.Execute(); }), "Not logged on");
  EXPECT_EQ(query.FieldIndex("owner"), -1);
  EXPECT_EQ(query.RowsProcessed(), 0);
  query.SetReadBuffer(0);
  EXPECT_EQ(query.ReadBuffer(), 1);

  // A redeclaration replaces the variable in place, as a new null variable.
  query.DeclareVariable("A", oracle::otString);
  query.DeclareVariable("B", oracle::otInteger);
  query.SetVariable("a", "text");
  query.DeclareVariable(":a", oracle::otInteger);
  EXPECT_EQ(query.Variables.Count(), 2);
  EXPECT_EQ(query.Variables.At(0).Type(), oracle::otInteger);
  EXPECT_TRUE(std::holds_alternative<oracle::TNull>(query.GetVariable("A")));
}

TEST(Variables, BuffersRoundTripEveryBoundType) {
  oracle::TVariableData integer("I", oracle::otInteger);
  integer.SetValue(std::int64_t{-42});
  integer.PrepareBuffer();
  EXPECT_EQ(integer.BufferSize(), 4);
  integer.ReadBuffer();
  EXPECT_EQ(std::get<std::int64_t>(integer.Value()), -42);
  integer.SetValue(std::int64_t{1} << 40);
  EXPECT_THROW(integer.PrepareBuffer(), std::runtime_error);

  oracle::TVariableData text("S", oracle::otString);
  text.SetValue(std::string(5000, 'x'));  // grows instead of being cut
  text.PrepareBuffer();
  EXPECT_EQ(text.BufferSize(), 5001);
  text.ReadBuffer();
  EXPECT_EQ(std::get<std::string>(text.Value()).size(), 5000u);
  text.SetValue(oracle::TUnassigned{});
  text.PrepareBuffer();
  EXPECT_EQ(text.BufferSize(), 4001);
  EXPECT_EQ(text.Indicator(), -1);

  oracle::TVariableData date("D", oracle::otDate);
  const oracle::TOracleDate bc{-4712, 1, 1, 0, 0, 0};
  date.SetValue(bc);
  date.PrepareBuffer();
  const auto* bytes = static_cast<unsigned char*>(date.Buffer());
  EXPECT_EQ(std::vector<int>(bytes, bytes + 7), (std::vector<int>{53, 88, 1, 1, 1, 1, 1}));
  date.ReadBuffer();
  EXPECT_EQ(std::get<oracle::TOracleDate>(date.Value()), bc);
  EXPECT_EQ(oracle::TVariableData::DefaultBufferSize(oracle::otPLSQLString), 32513u);
}

TEST(Values, TextForms) {
  EXPECT_EQ(oracle::ValueToText(oracle::TOracleDate{2024, 3, 15, 0, 0, 0}), "2024-03-15");
  EXPECT_EQ(oracle::ValueToText(oracle::TOracleDate{2024, 3, 15, 13, 45, 9}), "2024-03-15 13:45:09");
  EXPECT_EQ(oracle::ValueToText(2.5), "2.5");
  EXPECT_EQ(oracle::ValueToText(14.0), "14");
  // A sequence's default maximum and tiny values take the exponent form.
  EXPECT_EQ(oracle::ValueToText(999999999999999999.0), "1E18");
  EXPECT_EQ(oracle::ValueToText(1.5e-7), "1.5E-7");
  EXPECT_EQ(oracle::ValueToText(-2.25e+100), "-2.25E100");
  EXPECT_EQ(oracle::ToCrLf("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
}

TEST(ServerBanner, OnlyOracle7BannersAreOracle7AndMajorVersionsHaveTwoDigits) {
  const std::string v73 =
      "Oracle7 Server Release 7.3.4.0.0 - Production Release\n"
      "With the distributed, replication and parallel query options\nPL/SQL Release 2.3.4.0.0 - Production";
  const std::string v9i =
      "Oracle9i Enterprise Edition Release 9.2.0.1.0 - Production\n"
      "With the Partitioning, OLAP and Oracle Data Mining options\nJServer Release 9.2.0.1.0 - Production";
  const std::string v19c =
      "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production\nVersion 19.3.0.0.0";
  const std::string v10g = "Oracle Database 10g Enterprise Edition Release 10.2.0.1.0 - Production";
  const std::string v17 = "Oracle Database Release 17.1.0.0.0 - Production";
  const std::string personal = "Personal Oracle7 Release 7.3.2.2.0 - Production Release";

  EXPECT_TRUE(oracle::IsOracle7Banner(v73));
  EXPECT_TRUE(oracle::IsOracle7Banner(personal));
  EXPECT_FALSE(oracle::IsOracle7Banner(v9i));
  EXPECT_FALSE(oracle::IsOracle7Banner(v10g));
  EXPECT_FALSE(oracle::IsOracle7Banner(v19c));
  EXPECT_FALSE(oracle::IsOracle7Banner(v17));

  EXPECT_EQ(oracle::BannerMajorVersion(v73), 7);
  EXPECT_EQ(oracle::BannerMajorVersion(v9i), 9);
  EXPECT_EQ(oracle::BannerMajorVersion(v19c), 19);
  EXPECT_EQ(oracle::BannerMajorVersion("no release here"), 0);

  EXPECT_EQ(oracle::CutVersionText(v73), "Oracle7 Server Release 7.3.4.0.0");
  EXPECT_EQ(oracle::CutVersionText(v9i), "Oracle9i Enterprise Edition Release 9.2.0.1.0");
  EXPECT_EQ(oracle::CutVersionText(v19c), "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0");
  EXPECT_EQ(oracle::CutVersionText("Oracle Database 23ai Free Release 23.0.0.0.0 - Develop, Learn"),
            "Oracle Database 23ai Free Release 23.0.0.0.0");
  EXPECT_EQ(oracle::CutVersionText("Hyphenated-name\r\nsecond"), "Hyphenated-name");
}

}  // namespace
}  // namespace oracle_test
