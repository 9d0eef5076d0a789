// The text files written against the client stand-in and a fresh demo
// database: the parameter files in both forms, a stored unit behind its
// CREATE line, a wrapped unit, and an object without source.
#include <gtest/gtest.h>

#include "connected_panel.h"
#include "operations/object_text.h"
#include "operations/text_file.h"
#include "platform/platform.h"

namespace {

using namespace operations;

class Texts : public paneltest::ConnectedPanel {
 protected:
  // Writes the text behind an item at a path and returns the file's bytes.
  std::string Write(const std::vector<std::string>& levels, const std::string& item, bool alt,
                    WrittenText* written = nullptr) {
    CurrentItem ci;
    ci.valid = true;
    ci.name = item;
    auto job = ChooseText(levels, ci, alt, module().Prefix());
    EXPECT_TRUE(job);
    if (!job) return {};
    std::string path = (dir_ / "text.sql").string();
    WrittenText w = WriteObjectText(module(), *job, path);
    if (written) *written = w;
    std::string text;
    platform::ReadWholeFile(path, text);
    return text;
  }
};

TEST_F(Texts, InstanceParametersAsAParameterFileInNameOrder) {
  LogOn("system", "manager");
  std::string text = Write({".INSTANCE PARAMETERS"}, ".PARAMETERS", false);
  // "audit_trail" sorts first.
  EXPECT_EQ(text.rfind("# enable system auditing\r\n# type: STR\r\naudit_trail = DB\r\n\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("# Database will be completely compatible with this software version\r\n# type: STR\r\n"
                      "compatible = 9.2.0.0.0\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("# database name specified in CREATE DATABASE\r\n# type: STR\r\ndb_name = DEMO\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("# optimizer mode\r\n# type: STR\r\n"
                      "# Whether the parameter value is the default: Yes\r\n"
                      "# the parameter can be changed with ALTER SESSION: Yes\r\n"
                      "# the parameter can be changed with ALTER SYSTEM: IMMEDIATE\r\n"
                      "optimizer_mode = CHOOSE\r\n\r\n"),
            std::string::npos)
      << text;
  // A parameter without a value still has its line.
  EXPECT_NE(text.find("\r\nnls_date_format = \r\n"), std::string::npos);

  std::string hidden = Write({".INSTANCE PARAMETERS"}, ".PARAMETERS UNDOCUMENTED", false);
  EXPECT_EQ(hidden,
            "# allow resetlogs even if it will cause corruption\r\n# type: BOOL\r\n"
            "# Whether the parameter value is the default: TRUE\r\n_allow_resetlogs_corruption = FALSE\r\n\r\n"
            "# optimizer cost model\r\n# type: STR\r\n"
            "# Whether the parameter value is the default: TRUE\r\n_optimizer_cost_model = CHOOSE\r\n\r\n"
            "# Create publicly accessible trace files\r\n# type: BOOL\r\n"
            "# Whether the parameter value is the default: TRUE\r\n_trace_files_public = FALSE\r\n\r\n");
}

TEST_F(Texts, StoredUnitsWrappedUnitsAndMissingSources) {
  LogOn("scott", "tiger");
  WrittenText w;
  std::string proc = Write({"PROCEDURES", "SCOTT"}, "RAISE_SALARY", false, &w);
  EXPECT_EQ(w.headerLines, 1);
  EXPECT_FALSE(w.wrapped);
  EXPECT_EQ(proc.rfind("CREATE OR REPLACE\r\nPROCEDURE ", 0), 0u) << proc;
  EXPECT_NE(proc.find("UPDATE EMP SET SAL = SAL * (1 + P_PCT / 100) WHERE EMPNO = P_EMPNO;"), std::string::npos)
      << proc;

  Write({"PROCEDURES", "SCOTT"}, "SECRET_PROC", false, &w);
  EXPECT_TRUE(w.hasRows);
  EXPECT_TRUE(w.wrapped);

  Write({"PROCEDURES", "SCOTT"}, "NO_SUCH_PROC", false, &w);
  EXPECT_FALSE(w.hasRows);
}

}  // namespace
