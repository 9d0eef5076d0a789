REM Recompiles the current user's invalid objects and lists what is still
REM invalid afterwards.
SET PAGESIZE 100
SET LINESIZE 120
SET SERVEROUTPUT ON
SPOOL recompile_invalid.lst
PROMPT Recompiling the invalid objects of the current user ...
BEGIN
  DBMS_UTILITY.COMPILE_SCHEMA(USER, FALSE);
END;
/
PROMPT Still invalid:
COLUMN OBJECT_NAME FORMAT A30
SELECT OBJECT_TYPE, OBJECT_NAME
  FROM USER_OBJECTS
 WHERE STATUS = 'INVALID'
 ORDER BY OBJECT_TYPE, OBJECT_NAME;
SPOOL OFF
EXIT
