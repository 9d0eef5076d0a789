// The storage a table or index takes: a segment of one extent carved from
// the free space of its tablespace, given back when the object is dropped.
// Keeps DBA_SEGMENTS, DBA_EXTENTS and DBA_FREE_SPACE consistent with DDL.
#pragma once

#include <sqlite3.h>

#include <string>

namespace ocisim {

// The tablespace an object of `owner` created without a TABLESPACE clause
// goes to: the owner's default tablespace.
std::string DefaultTablespace(sqlite3* db, const std::string& owner);

// One 64 KB extent from the tablespace's largest free extent, charged to the
// owner's quota.  ORA-00959 for a tablespace that does not exist, ORA-01647
// for one that is read only, ORA-01658 when no free extent is big enough,
// ORA-01950 for an owner without quota or UNLIMITED TABLESPACE, ORA-01536
// when the quota would be exceeded.
void AddSegment(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                const std::string& tablespace);
// Removes the object's segment and returns its extents to the free space.
void RemoveSegment(sqlite3* db, const std::string& owner, const std::string& name);
// Granting RESOURCE or DBA to a user grants UNLIMITED TABLESPACE with it,
// revoking either takes it away again, as the server does.
void FollowRoleWithUnlimitedTablespace(sqlite3* db, const std::string& grantee, const std::string& role, bool grant);

}  // namespace ocisim
