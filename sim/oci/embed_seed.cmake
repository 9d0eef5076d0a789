# Writes the seed scripts into a C++ source as raw string literals, so the
# library builds its demo databases without finding files at run time.
# Usage: cmake -DOUT=<file.cpp> -DSEED_DIR=<dir> -P embed_seed.cmake
set(_out "// Generated from sim/oci/seed by embed_seed.cmake; do not edit.\n#include \"seed_loader.h\"\nnamespace ocisim {\n")
foreach(_pair "kSeedDictionarySql;dictionary.sql" "kSeedSystemSql;system.sql" "kSeedInstanceSql;instance.sql" "kSeedInstanceLiveSql;instance_live.sql" "kSeedDemoSql;demo.sql" "kSeedDemoDictionarySql;demo_dictionary.sql"
        "kSeedDemoTablesSql;demo_tables.sql" "kSeedDemoTablesDictionarySql;demo_tables_dictionary.sql"
        "kSeedDemoCodeSql;demo_code.sql" "kSeedDemoCodeDictionarySql;demo_code_dictionary.sql"
        "kSeedDemoTextsSql;demo_texts.sql" "kSeedUsersDemoSql;users_demo.sql" "kSeedStorageDemoSql;storage_demo.sql" "kSeedDictionaryCommentsSql;dictionary_comments.sql"
        "kSeedDemoMixedCaseSql;demo_mixed_case.sql" "kSeedDemoMixedCaseDictionarySql;demo_mixed_case_dictionary.sql"
        "kSeedMixedCaseNamesSql;mixed_case_names.sql" "kSeedMixedCaseNamesDictionarySql;mixed_case_names_dictionary.sql"
        "kSeedMixedCaseKindsSql;mixed_case_kinds.sql" "kSeedMixedCaseKindsDictionarySql;mixed_case_kinds_dictionary.sql"
        "kSeedHostileNamesSql;hostile_names.sql" "kSeedHostileNamesDictionarySql;hostile_names_dictionary.sql")
  list(GET _pair 0 _var)
  list(GET _pair 1 _file)
  file(READ "${SEED_DIR}/${_file}" _text)
  string(APPEND _out "const char* const ${_var} = R\"ocisimseed(${_text})ocisimseed\";\n")
endforeach()
string(APPEND _out "}  // namespace ocisim\n")
file(WRITE "${OUT}.tmp" "${_out}")
file(RENAME "${OUT}.tmp" "${OUT}")
