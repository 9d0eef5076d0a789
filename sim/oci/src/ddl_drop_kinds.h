// Dropping the object kinds that live only as dictionary rows in the
// stand-in (clusters, index types, operators, dimensions, snapshots and
// their logs, libraries, directories, contexts, outlines, database links,
// rollback segments), TRUNCATE CLUSTER, DISASSOCIATE STATISTICS, and the
// invalidation of what depended on a dropped object.
#pragma once

#include <functional>
#include <string>

#include "server_session.h"
#include "sql/translate.h"

namespace ocisim {

// Drops one table (owner, name, cascade constraints); clusters dropped
// INCLUDING TABLES go through it.
using TableDropper = std::function<void(const std::string&, const std::string&, bool)>;

// True when `type` (DROP's kind word) is one of the kinds above; it is
// then dropped with the server's checks and errors.
bool DropDictionaryKind(ServerSession& s, const sql::DropInfo& d, const std::string& type,
                        const TableDropper& dropTable);

void TruncateCluster(ServerSession& s, const std::string& owner, const std::string& name);

void Disassociate(ServerSession& s, const sql::DisassociateInfo& d);

// Objects that depend on owner.name become INVALID, as the server marks
// them when what they reference is dropped.
void InvalidateDependents(sqlite3* db, const std::string& owner, const std::string& name);

}  // namespace ocisim
