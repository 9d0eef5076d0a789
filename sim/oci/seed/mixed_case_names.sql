-- Names beyond schema objects created as quoted identifiers with lower
-- case, run through the stand-in's own SQL engine as SYS after
-- demo_mixed_case.sql: a role with a privilege, granted to SCOTT by its
-- quoted name.  Its rows for profiles, consumer groups and tablespaces are
-- in mixed_case_names_dictionary.sql.

CREATE ROLE "Mixed Role";
GRANT CREATE SESSION TO "Mixed Role";
GRANT "Mixed Role" TO SCOTT;
