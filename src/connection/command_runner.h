// command_runner.h — running the user's own SQL and showing what came back,
// and the explain-plan helpers of the session listings.
#pragma once

#include <string>
#include <vector>

#include "oracle/oracle_query.h"

namespace connection {

class TPluginDataModule;

// A command typed on the host's command line (OEM text): trimmed, one
// trailing ';' dropped, DROP confirmed first.  True when the runner ran.
// `notRun` (when given) is set when the command was meant to run but could
// not (not logged on, no result file): the caller keeps the user's text.
bool RunCommandLine(TPluginDataModule& module, const std::string& oemText, bool* notRun = nullptr);

// Executes the query and opens its results in the host's editor titled
// "Command results".  False when nothing ran (not connected, no temporary
// file); true when the statement was executed or attempted.
bool ExecuteSqlCommand(TPluginDataModule& module, oracle::TOracleQuery& query);

// Runs each statement on a query of its own, in order, and shows every
// outcome in one "Command results" file (each headed by its statement when
// there are several): a failing statement does not stop the ones after it.
// False when nothing ran.
bool ExecuteSqlCommands(TPluginDataModule& module, const std::vector<std::string>& statements);

// Explains the statement into PLAN_TABLE under the id 'FAR SQL PLAN',
// offering to create the table first.  True when the plan was produced.
// A lost connection is thrown rather than shown: no later step could reach
// the server, and the caller reports it once.
bool ExplainPlan(TPluginDataModule& module, const std::vector<std::string>& lines);

// Appends the text of a cached statement (V$SQLTEXT pieces joined).
void GetSqlText(TPluginDataModule& module, const std::string& address, const std::string& hash,
                std::vector<std::string>& target);

// The statement that creates PLAN_TABLE.
const char* CreatePlanTableSql();

}  // namespace connection
