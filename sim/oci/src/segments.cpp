// Segments and extents of tables and indexes: see segments.h.
#include "segments.h"

#include "ora_error.h"
#include "sqlite_util.h"

namespace ocisim {
namespace {

constexpr int64_t kBlockSize = 8192;
constexpr int64_t kExtentBlocks = 8;

bool HasUnlimitedTablespace(sqlite3* db, const std::string& owner) {
  Query p(db, "SELECT 1 FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE = ? AND PRIVILEGE = 'UNLIMITED TABLESPACE'");
  p.Bind(1, owner);
  return p.Step();
}

// The owner pays for the extent out of its quota on the tablespace: none
// at all is ORA-01950, one the extent would exceed ORA-01536. SYS and an
// owner with UNLIMITED TABLESPACE are not limited, but a quota row they
// have is charged all the same.
void ChargeQuota(sqlite3* db, const std::string& owner, const std::string& tablespace, int64_t bytes,
                 int64_t blocks) {
  bool limited = owner != "SYS" && !HasUnlimitedTablespace(db, owner);
  Query q(db, "SELECT BYTES, MAX_BYTES FROM \"SYS.DBA_TS_QUOTAS\" WHERE USERNAME = ? AND TABLESPACE_NAME = ?");
  q.Bind(1, owner).Bind(2, tablespace);
  if (!q.Step()) {
    if (limited) ThrowOraText(1950, "ORA-01950: no privileges on tablespace '" + tablespace + "'");
    return;
  }
  const int64_t used = q.Int(0), max = q.Int(1);
  if (limited && max >= 0 && used + bytes > max)
    ThrowOraText(1536, "ORA-01536: space quota exceeded for tablespace '" + tablespace + "'");
  Query charge(db, "UPDATE \"SYS.DBA_TS_QUOTAS\" SET BYTES = BYTES + ?3, BLOCKS = BLOCKS + ?4 WHERE USERNAME = ?1 "
                   "AND TABLESPACE_NAME = ?2");
  charge.Bind(1, owner).Bind(2, tablespace).Bind(3, bytes).Bind(4, blocks).Run();
}

}  // namespace

std::string DefaultTablespace(sqlite3* db, const std::string& owner) {
  Query u(db, "SELECT DEFAULT_TABLESPACE FROM \"SYS.DBA_USERS\" WHERE USERNAME = ?");
  u.Bind(1, owner);
  if (u.Step() && !u.Text(0).empty()) return u.Text(0);
  return "SYSTEM";
}

void AddSegment(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                const std::string& tablespace) {
  {
    Query ts(db, "SELECT STATUS FROM \"SYS.DBA_TABLESPACES\" WHERE TABLESPACE_NAME = ?");
    ts.Bind(1, tablespace);
    if (!ts.Step()) ThrowOraText(959, "ORA-00959: tablespace '" + tablespace + "' does not exist");
    if (ts.Text(0) == "READ ONLY")
      ThrowOraText(1647, "ORA-01647: tablespace '" + tablespace + "' is read only, cannot allocate space in it");
  }
  int64_t file = 0, block = 0, blocks = 0, rfile = 0;
  {
    Query f(db, "SELECT FILE_ID, BLOCK_ID, BLOCKS, RELATIVE_FNO FROM \"SYS.DBA_FREE_SPACE\" WHERE "
                "TABLESPACE_NAME = ? AND BLOCKS >= ? ORDER BY BLOCKS DESC, FILE_ID, BLOCK_ID LIMIT 1");
    f.Bind(1, tablespace).Bind(2, kExtentBlocks);
    if (!f.Step())
      ThrowOraText(1658, "ORA-01658: unable to create INITIAL extent for segment in tablespace " + tablespace);
    file = f.Int(0), block = f.Int(1), blocks = f.Int(2), rfile = f.Int(3);
  }
  ChargeQuota(db, owner, tablespace, kExtentBlocks * kBlockSize, kExtentBlocks);
  Query take(db, blocks == kExtentBlocks
                     ? "DELETE FROM \"SYS.DBA_FREE_SPACE\" WHERE FILE_ID = ?1 AND BLOCK_ID = ?2"
                     : "UPDATE \"SYS.DBA_FREE_SPACE\" SET BLOCK_ID = BLOCK_ID + ?3, BLOCKS = BLOCKS - ?3, BYTES = "
                       "BYTES - ?3 * ?4 WHERE FILE_ID = ?1 AND BLOCK_ID = ?2");
  take.Bind(1, file).Bind(2, block);
  if (blocks != kExtentBlocks) take.Bind(3, kExtentBlocks).Bind(4, kBlockSize);
  take.Run();
  Query seg(db, "INSERT INTO \"SYS.DBA_SEGMENTS\" VALUES (?1, ?2, NULL, ?3, ?4, ?5, ?6, ?7, ?8, 1, ?7, NULL, 1, "
                "2147483645, NULL, 1, 1, ?9, 'DEFAULT')");
  seg.Bind(1, owner).Bind(2, name).Bind(3, type).Bind(4, tablespace).Bind(5, file).Bind(6, block);
  seg.Bind(7, kExtentBlocks * kBlockSize).Bind(8, kExtentBlocks).Bind(9, rfile).Run();
  Query ext(db, "INSERT INTO \"SYS.DBA_EXTENTS\" VALUES (?1, ?2, NULL, ?3, ?4, 0, ?5, ?6, ?7, ?8, ?9)");
  ext.Bind(1, owner).Bind(2, name).Bind(3, type).Bind(4, tablespace).Bind(5, file).Bind(6, block);
  ext.Bind(7, kExtentBlocks * kBlockSize).Bind(8, kExtentBlocks).Bind(9, rfile).Run();
}

void RemoveSegment(sqlite3* db, const std::string& owner, const std::string& name) {
  Query refund(db, "UPDATE \"SYS.DBA_TS_QUOTAS\" SET BYTES = MAX(0, BYTES - (SELECT COALESCE(SUM(E.BYTES), 0) FROM "
                   "\"SYS.DBA_EXTENTS\" E WHERE E.OWNER = ?1 AND E.SEGMENT_NAME = ?2 AND E.TABLESPACE_NAME = "
                   "\"SYS.DBA_TS_QUOTAS\".TABLESPACE_NAME)), BLOCKS = MAX(0, BLOCKS - (SELECT COALESCE(SUM(E.BLOCKS), 0) "
                   "FROM \"SYS.DBA_EXTENTS\" E WHERE E.OWNER = ?1 AND E.SEGMENT_NAME = ?2 AND E.TABLESPACE_NAME = "
                   "\"SYS.DBA_TS_QUOTAS\".TABLESPACE_NAME)) WHERE USERNAME = ?1");
  refund.Bind(1, owner).Bind(2, name).Run();
  Query back(db, "INSERT INTO \"SYS.DBA_FREE_SPACE\" SELECT TABLESPACE_NAME, FILE_ID, BLOCK_ID, BYTES, BLOCKS, "
                 "RELATIVE_FNO FROM \"SYS.DBA_EXTENTS\" WHERE OWNER = ?1 AND SEGMENT_NAME = ?2");
  back.Bind(1, owner).Bind(2, name).Run();
  for (const char* sql : {"DELETE FROM \"SYS.DBA_EXTENTS\" WHERE OWNER = ?1 AND SEGMENT_NAME = ?2",
                          "DELETE FROM \"SYS.DBA_SEGMENTS\" WHERE OWNER = ?1 AND SEGMENT_NAME = ?2"}) {
    Query q(db, sql);
    q.Bind(1, owner).Bind(2, name).Run();
  }
}

void FollowRoleWithUnlimitedTablespace(sqlite3* db, const std::string& grantee, const std::string& role, bool grant) {
  if (role != "RESOURCE" && role != "DBA") return;
  Query user(db, "SELECT 1 FROM \"SYS.DBA_USERS\" WHERE USERNAME = ?");
  user.Bind(1, grantee);
  if (!user.Step()) return;  // a role never holds UNLIMITED TABLESPACE
  if (!grant) {
    Query d(db, "DELETE FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE = ? AND PRIVILEGE = 'UNLIMITED TABLESPACE'");
    d.Bind(1, grantee).Run();
    return;
  }
  // One the user holds already (perhaps with ADMIN OPTION) stays as it is.
  Query i(db, "INSERT INTO \"SYS.DBA_SYS_PRIVS\" SELECT ?1, 'UNLIMITED TABLESPACE', 'NO' WHERE NOT EXISTS (SELECT 1 "
              "FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE = ?1 AND PRIVILEGE = 'UNLIMITED TABLESPACE')");
  i.Bind(1, grantee).Run();
}

}  // namespace ocisim
