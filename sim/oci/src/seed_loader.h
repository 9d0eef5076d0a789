// Building a demo database: the dictionary tables, the SYS side (users,
// roles, storage, instance views) and the demo schemas, the last through the
// stand-in's own SQL engine as SYS, so the seed exercises what users run.
#pragma once

#include <string>

namespace ocisim {

// Builds a complete demo database in the file `path` (which must not exist).
// `version` selects the banner: "9i" (default), "7.3" or "19c".
void BuildDemoDatabase(const std::string& path, const std::string& version);

// A demo database plus a schema SYNTH (password synth) holding `tables`
// tables of `columns` columns each, for benchmarks of big listings.
void BuildSyntheticDatabase(const std::string& path, int tables, int columns);

// A demo database plus a schema SYNTH (password synth) owning `objects`
// tables that exist only as rows of DBA_OBJECTS (SYNTHOBJ_000001 ...), for
// benchmarks of listings over the object dictionary.
void BuildSyntheticObjectsDatabase(const std::string& path, int objects);

// The seed texts, compiled into the library from sim/oci/seed.
extern const char* const kSeedDictionarySql;
extern const char* const kSeedSystemSql;
extern const char* const kSeedInstanceSql;
extern const char* const kSeedInstanceLiveSql;
extern const char* const kSeedDemoSql;
extern const char* const kSeedDemoDictionarySql;
extern const char* const kSeedDemoTablesSql;
extern const char* const kSeedDemoTablesDictionarySql;
extern const char* const kSeedDemoCodeSql;
extern const char* const kSeedDemoCodeDictionarySql;
extern const char* const kSeedUsersDemoSql;
extern const char* const kSeedStorageDemoSql;
extern const char* const kSeedDemoTextsSql;
extern const char* const kSeedDictionaryCommentsSql;
extern const char* const kSeedDemoMixedCaseSql;
extern const char* const kSeedDemoMixedCaseDictionarySql;
extern const char* const kSeedMixedCaseNamesSql;
extern const char* const kSeedMixedCaseNamesDictionarySql;
extern const char* const kSeedHostileNamesSql;
extern const char* const kSeedHostileNamesDictionarySql;
extern const char* const kSeedMixedCaseKindsSql;
extern const char* const kSeedMixedCaseKindsDictionarySql;

}  // namespace ocisim
