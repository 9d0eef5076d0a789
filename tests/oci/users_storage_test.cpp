// The users and storage side of the dictionary: ALL_USERS as the server
// defines it, CREATE/ALTER USER, CREATE ROLE and grants reflected at once,
// segments that follow CREATE and DROP, and a demo whose space adds up.
#include "oci_fixture.h"

#include <gtest/gtest.h>

using namespace ocitest;

namespace {

// A database of its own: the dictionary tests drop profiles and tablespaces
// of the demo they share.
const char* const kServer = "DEMO19";

std::string One(Conn& c, const std::string& sql) {
  Rows r = MustRun(c, sql);
  return r.empty() || r[0].empty() ? std::string("<no row>") : r[0][0];
}

sb4 ErrorOf(Conn& c, const std::string& sql) {
  sb4 code = 0;
  RunSql(c, sql, &code);
  return code;
}

TEST(UsersDictionary, AllUsersHasOnlyTheServersThreeColumns) {
  Conn scott("scott", "tiger", kServer);
  ASSERT_TRUE(scott.ok());
  Rows all = MustRun(scott, "SELECT * FROM ALL_USERS WHERE USERNAME = 'SCOTT'");
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].size(), 3u) << "USERNAME, USER_ID, CREATED";
  EXPECT_EQ(ErrorOf(scott, "SELECT USERNAME FROM ALL_USERS WHERE PROFILE = 'DEFAULT'"), 904);
  EXPECT_EQ(ErrorOf(scott, "SELECT USERNAME FROM DBA_USERS WHERE PROFILE = 'DEFAULT'"), 942);
}

TEST(UsersDictionary, RoleViewsFollowTheSessionsRoles) {
  Conn scott("scott", "tiger", kServer);
  ASSERT_TRUE(scott.ok());
  EXPECT_EQ(One(scott, "SELECT COUNT(*) FROM ROLE_SYS_PRIVS WHERE ROLE = 'DBA'"), "0") << "not his role";
  EXPECT_NE(One(scott, "SELECT COUNT(*) FROM ROLE_SYS_PRIVS WHERE ROLE = 'CONNECT'"), "0");
  Conn system("system", "manager", kServer);
  EXPECT_EQ(One(system, "SELECT COUNT(*) FROM ROLE_ROLE_PRIVS WHERE ROLE = 'DBA' AND GRANTED_ROLE = "
                        "'SELECT_CATALOG_ROLE'"),
            "1");
}

TEST(UsersDictionary, CreateUserRoleAndGrantsShowAtOnce) {
  Conn c("system", "manager", kServer);
  ASSERT_TRUE(c.ok());
  MustRun(c, "CREATE USER TESTER IDENTIFIED BY secret DEFAULT TABLESPACE USERS TEMPORARY TABLESPACE TEMP "
             "QUOTA 1M ON USERS QUOTA UNLIMITED ON SYSTEM PROFILE APP_PROFILE");
  EXPECT_EQ(MustRun(c, "SELECT ACCOUNT_STATUS, DEFAULT_TABLESPACE, TEMPORARY_TABLESPACE, PROFILE FROM DBA_USERS "
                       "WHERE USERNAME = 'TESTER'"),
            (Rows{{"OPEN", "USERS", "TEMP", "APP_PROFILE"}}));
  EXPECT_EQ(MustRun(c, "SELECT TABLESPACE_NAME, MAX_BYTES, MAX_BLOCKS FROM DBA_TS_QUOTAS WHERE USERNAME = 'TESTER' "
                       "ORDER BY 1"),
            (Rows{{"SYSTEM", "-1", "-1"}, {"USERS", "1048576", "128"}}));
  MustRun(c, "CREATE ROLE TESTERS");
  EXPECT_EQ(One(c, "SELECT PASSWORD_REQUIRED FROM DBA_ROLES WHERE ROLE = 'TESTERS'"), "NO");
  EXPECT_EQ(One(c, "SELECT ADMIN_OPTION FROM DBA_ROLE_PRIVS WHERE GRANTEE = 'SYSTEM' AND GRANTED_ROLE = 'TESTERS'"),
            "YES")
      << "the creator holds a new role with admin option";
  MustRun(c, "GRANT TESTERS TO TESTER");
  MustRun(c, "GRANT CREATE SESSION TO TESTERS");
  MustRun(c, "GRANT SELECT ON SCOTT.DEPT TO TESTERS");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_ROLE_PRIVS WHERE GRANTEE = 'TESTER' AND GRANTED_ROLE = 'TESTERS'"), "1");
  EXPECT_EQ(One(c, "SELECT PRIVILEGE FROM DBA_SYS_PRIVS WHERE GRANTEE = 'TESTERS'"), "CREATE SESSION");
  EXPECT_EQ(One(c, "SELECT PRIVILEGE FROM DBA_TAB_PRIVS WHERE GRANTEE = 'TESTERS' AND TABLE_NAME = 'DEPT'"), "SELECT");
  {
    Conn tester("tester", "SECRET", kServer);
    EXPECT_TRUE(tester.ok()) << tester.logon_text;
  }
  MustRun(c, "ALTER USER TESTER QUOTA 0 ON SYSTEM ACCOUNT LOCK");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_TS_QUOTAS WHERE USERNAME = 'TESTER'"), "1");
  EXPECT_EQ(One(c, "SELECT ACCOUNT_STATUS FROM DBA_USERS WHERE USERNAME = 'TESTER'"), "LOCKED");
  MustRun(c, "REVOKE SELECT ON SCOTT.DEPT FROM TESTERS");
  MustRun(c, "REVOKE TESTERS FROM TESTER");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_TAB_PRIVS WHERE GRANTEE = 'TESTERS'"), "0");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_ROLE_PRIVS WHERE GRANTEE = 'TESTER'"), "0");
  MustRun(c, "DROP USER TESTER");
  MustRun(c, "DROP ROLE TESTERS");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_USERS WHERE USERNAME = 'TESTER'"), "0");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_TS_QUOTAS WHERE USERNAME = 'TESTER'"), "0");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_ROLE_PRIVS WHERE GRANTED_ROLE = 'TESTERS'"), "0");
}

TEST(UsersDictionary, BadUserStatementsChangeNothing) {
  Conn c("system", "manager", kServer);
  ASSERT_TRUE(c.ok());
  EXPECT_EQ(ErrorOf(c, "CREATE USER SCOTT IDENTIFIED BY x"), 1920);
  EXPECT_EQ(ErrorOf(c, "CREATE ROLE SCOTT"), 1921);
  EXPECT_EQ(ErrorOf(c, "CREATE USER LOST IDENTIFIED BY x DEFAULT TABLESPACE NOWHERE"), 959);
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_USERS WHERE USERNAME = 'LOST'"), "0") << "the failed CREATE left nothing";
  EXPECT_EQ(ErrorOf(c, "CREATE USER LOST IDENTIFIED BY x QUOTA LOTS ON USERS"), 2187);
  EXPECT_EQ(ErrorOf(c, "CREATE USER"), 1935);
  EXPECT_EQ(ErrorOf(c, "ALTER USER NOBODY ACCOUNT LOCK"), 1918);
  Conn scott("scott", "tiger", kServer);
  EXPECT_EQ(ErrorOf(scott, "CREATE USER LOST IDENTIFIED BY x"), 1031);
  EXPECT_EQ(ErrorOf(scott, "CREATE ROLE LOST"), 1031);
  EXPECT_EQ(ErrorOf(scott, "ALTER USER SALES ACCOUNT LOCK"), 1031);
  MustRun(scott, "ALTER USER SCOTT IDENTIFIED BY tiger");  // his own password
}

TEST(UsersDictionary, ThePrivilegeAuditOptionsAreOneRowPerUserAndPrivilege) {
  Conn c("system", "manager", kServer);
  ASSERT_TRUE(c.ok());
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM (SELECT USER_NAME, PRIVILEGE FROM DBA_PRIV_AUDIT_OPTS GROUP BY USER_NAME, "
                   "PRIVILEGE HAVING COUNT(*) > 1)"),
            "0");
  EXPECT_EQ(One(c, "SELECT SUCCESS FROM DBA_PRIV_AUDIT_OPTS WHERE USER_NAME = 'SCOTT' AND PRIVILEGE = 'CREATE TABLE'"),
            "BY ACCESS");
}

TEST(StorageDictionary, TablesAndIndexesTakeAndGiveBackSpace) {
  Conn c("system", "manager", kServer);
  ASSERT_TRUE(c.ok());
  const std::string usersFree = "SELECT SUM(BYTES) FROM DBA_FREE_SPACE WHERE TABLESPACE_NAME = 'USERS'";
  const std::string before = One(c, usersFree);
  MustRun(c, "CREATE TABLE SCOTT.SPACE_TAKER (ID NUMBER PRIMARY KEY) TABLESPACE USERS");
  EXPECT_EQ(MustRun(c, "SELECT SEGMENT_TYPE, TABLESPACE_NAME, BYTES, EXTENTS FROM DBA_SEGMENTS WHERE OWNER = "
                       "'SCOTT' AND SEGMENT_NAME = 'SPACE_TAKER'"),
            (Rows{{"TABLE", "USERS", "65536", "1"}}));
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_EXTENTS WHERE OWNER = 'SCOTT' AND SEGMENT_NAME = 'SPACE_TAKER'"), "1");
  // The table and the index of its key: two extents from the free space.
  EXPECT_EQ(std::stoll(before) - std::stoll(One(c, usersFree)), 2 * 65536);
  MustRun(c, "DROP TABLE SCOTT.SPACE_TAKER");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_SEGMENTS WHERE OWNER = 'SCOTT' AND SEGMENT_NAME LIKE 'S%TAKER%'"), "0");
  EXPECT_EQ(One(c, usersFree), before);
  EXPECT_EQ(ErrorOf(c, "CREATE TABLE SCOTT.NO_ROOM (ID NUMBER) TABLESPACE TOOLS"), 1647);
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_OBJECTS WHERE OBJECT_NAME = 'NO_ROOM'"), "0");
}

TEST(StorageDictionary, SegmentsGoToTheOwnersDefaultTablespaceAndAreChargedToTheQuota) {
  Conn c("system", "manager", kServer);
  ASSERT_TRUE(c.ok());
  const std::string quota = "SELECT BYTES || '/' || BLOCKS FROM DBA_TS_QUOTAS WHERE USERNAME = 'QUOTED' AND "
                            "TABLESPACE_NAME = 'USERS'";
  MustRun(c, "CREATE USER QUOTED IDENTIFIED BY x DEFAULT TABLESPACE USERS QUOTA 65536 ON USERS");
  MustRun(c, "CREATE TABLE QUOTED.FIRST (N NUMBER)");
  EXPECT_EQ(One(c, quota), "65536/8");
  // The quota holds one extent: a second segment exceeds it and leaves nothing behind.
  EXPECT_EQ(ErrorOf(c, "CREATE TABLE QUOTED.SECOND (N NUMBER)"), 1536);
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_OBJECTS WHERE OWNER = 'QUOTED' AND OBJECT_NAME = 'SECOND'"), "0");
  EXPECT_EQ(One(c, quota), "65536/8");
  MustRun(c, "DROP TABLE QUOTED.FIRST");
  EXPECT_EQ(One(c, quota), "0/0");
  MustRun(c, "CREATE TABLE QUOTED.SECOND (N NUMBER)");
  EXPECT_EQ(One(c, quota), "65536/8");

  // No quota and no UNLIMITED TABLESPACE: no segment at all.
  MustRun(c, "CREATE USER NOQUOTA IDENTIFIED BY x DEFAULT TABLESPACE USERS");
  EXPECT_EQ(ErrorOf(c, "CREATE TABLE NOQUOTA.T (N NUMBER)"), 1950);
  // RESOURCE brings UNLIMITED TABLESPACE along, and takes it away again.
  MustRun(c, "GRANT CONNECT, RESOURCE TO NOQUOTA");
  MustRun(c, "CREATE TABLE NOQUOTA.T (N NUMBER)");
  MustRun(c, "REVOKE RESOURCE FROM NOQUOTA");
  EXPECT_EQ(ErrorOf(c, "CREATE TABLE NOQUOTA.U (N NUMBER)"), 1950);
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_SYS_PRIVS WHERE GRANTEE = 'NOQUOTA'"), "0");
  // A role granted RESOURCE gets no UNLIMITED TABLESPACE.
  MustRun(c, "CREATE ROLE BUILDERS");
  MustRun(c, "GRANT RESOURCE TO BUILDERS");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_SYS_PRIVS WHERE GRANTEE = 'BUILDERS'"), "0");
  MustRun(c, "DROP ROLE BUILDERS");

  // Without a TABLESPACE clause tables and indexes go where the owner's default is.
  MustRun(c, "CREATE USER DEFSYS IDENTIFIED BY x DEFAULT TABLESPACE SYSTEM QUOTA UNLIMITED ON SYSTEM");
  MustRun(c, "CREATE TABLE DEFSYS.T (N NUMBER)");
  MustRun(c, "CREATE INDEX DEFSYS.T_N ON DEFSYS.T (N)");
  EXPECT_EQ(MustRun(c, "SELECT SEGMENT_NAME, TABLESPACE_NAME FROM DBA_SEGMENTS WHERE OWNER = 'DEFSYS' ORDER BY 1"),
            (Rows{{"T", "SYSTEM"}, {"T_N", "SYSTEM"}}));
  EXPECT_EQ(One(c, "SELECT TABLESPACE_NAME FROM DBA_TABLES WHERE OWNER = 'DEFSYS' AND TABLE_NAME = 'T'"), "SYSTEM");
  EXPECT_EQ(One(c, "SELECT TABLESPACE_NAME FROM DBA_INDEXES WHERE OWNER = 'DEFSYS' AND INDEX_NAME = 'T_N'"), "SYSTEM");
  EXPECT_EQ(One(c, "SELECT BYTES FROM DBA_TS_QUOTAS WHERE USERNAME = 'DEFSYS'"), "131072");
  for (const char* u : {"QUOTED", "NOQUOTA", "DEFSYS"}) MustRun(c, std::string("DROP USER ") + u + " CASCADE");
}

TEST(StorageDictionary, TheDemosSpaceAddsUp) {
  Conn c("system", "manager", kServer);
  ASSERT_TRUE(c.ok());
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_SEGMENTS S WHERE BYTES <> (SELECT SUM(BYTES) FROM DBA_EXTENTS E "
                   "WHERE E.OWNER = S.OWNER AND E.SEGMENT_NAME = S.SEGMENT_NAME)"),
            "0")
      << "every segment is the sum of its extents";
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_INDEXES I WHERE TABLESPACE_NAME IS NOT NULL AND NOT EXISTS (SELECT 1 FROM "
                   "DBA_SEGMENTS S WHERE S.OWNER = I.OWNER AND S.SEGMENT_NAME = I.INDEX_NAME)"),
            "0")
      << "every index has its segment";
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_CLUSTERS K WHERE NOT EXISTS (SELECT 1 FROM DBA_SEGMENTS S WHERE "
                   "S.OWNER = K.OWNER AND S.SEGMENT_NAME = K.CLUSTER_NAME)"),
            "0");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_ROLLBACK_SEGS R WHERE NOT EXISTS (SELECT 1 FROM DBA_SEGMENTS S WHERE "
                   "S.SEGMENT_NAME = R.SEGMENT_NAME)"),
            "0");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_DATA_FILES D WHERE D.BYTES < (SELECT COALESCE(SUM(BYTES), 0) FROM "
                   "DBA_FREE_SPACE F WHERE F.FILE_ID = D.FILE_ID) + (SELECT COALESCE(SUM(BYTES), 0) FROM DBA_EXTENTS "
                   "E WHERE E.FILE_ID = D.FILE_ID)"),
            "0")
      << "no file holds more than its size";
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_FREE_SPACE WHERE TABLESPACE_NAME = 'TOOLS'"), "0") << "a full tablespace";
  EXPECT_EQ(One(c, "SELECT MAX(EXTENT_ID) FROM DBA_EXTENTS WHERE OWNER = 'SCOTT' AND SEGMENT_NAME = 'EMP'"), "2");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM V$ROLLSTAT R, DBA_ROLLBACK_SEGS S WHERE R.USN = S.SEGMENT_ID"), "3");
  EXPECT_EQ(One(c, "SELECT MAX_BYTES FROM DBA_TS_QUOTAS WHERE USERNAME = 'ADAMS'"), "-1");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_TS_QUOTAS Q WHERE BYTES <> (SELECT COALESCE(SUM(BYTES), 0) FROM "
                   "DBA_SEGMENTS S WHERE S.OWNER = Q.USERNAME AND S.TABLESPACE_NAME = Q.TABLESPACE_NAME)"),
            "0")
      << "every quota is charged with its user's segments";
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_SEGMENTS S WHERE SEGMENT_TYPE = 'TABLE' AND NOT EXISTS (SELECT 1 FROM "
                   "DBA_ALL_TABLES T WHERE T.OWNER = S.OWNER AND T.TABLE_NAME = S.SEGMENT_NAME AND T.TABLESPACE_NAME = "
                   "S.TABLESPACE_NAME)"),
            "0")
      << "every table segment has its table, in the same tablespace";
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM DBA_ALL_TABLES T WHERE NOT EXISTS (SELECT 1 FROM DBA_TAB_COMMENTS C WHERE "
                   "C.OWNER = T.OWNER AND C.TABLE_NAME = T.TABLE_NAME)"),
            "0")
      << "every table has its comment row";
  EXPECT_EQ(One(c, "SELECT COUNT(*) || '/' || MAX(EXTENT_ID) FROM DBA_EXTENTS WHERE OWNER = 'SYSTEM' AND "
                   "SEGMENT_NAME = 'HELP'"),
            "12/11");
  EXPECT_EQ(One(c, "SELECT COUNT(*) FROM V$DATAFILE D, V$DATAFILE_HEADER H WHERE D.FILE# = H.FILE# AND "
                   "(D.CHECKPOINT_CHANGE# = H.CHECKPOINT_CHANGE# AND D.CHECKPOINT_TIME = H.CHECKPOINT_TIME AND "
                   "D.CREATION_CHANGE# = H.CREATION_CHANGE# AND D.CREATION_TIME = H.CREATION_TIME)"),
            One(c, "SELECT COUNT(*) FROM V$DATAFILE"))
      << "the file views read the same control file";
}

}  // namespace
