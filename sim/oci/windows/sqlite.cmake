# SQLite for the client stand-in's Windows build: mingw-w64 has no SQLite
# library, so the single-file source made from Debian's sqlite3 source
# package (.ci/wine-sqlite.sh) is compiled in.  Not optimised: the wine runs
# use small databases, and -O0 compiles it in half the time.
set(QUARRY_SQLITE_SOURCE_DIR "" CACHE PATH "Folder with sqlite3.c and sqlite3.h (made by .ci/wine-sqlite.sh)")
if(NOT EXISTS "${QUARRY_SQLITE_SOURCE_DIR}/sqlite3.c")
  message(FATAL_ERROR "QUARRY_SQLITE_SOURCE_DIR must name a folder with sqlite3.c (run .ci/wine-sqlite.sh DIR)")
endif()
add_library(ocisim_sqlite3 STATIC ${QUARRY_SQLITE_SOURCE_DIR}/sqlite3.c)
target_include_directories(ocisim_sqlite3 SYSTEM PUBLIC ${QUARRY_SQLITE_SOURCE_DIR})
# The options of Debian's library that the stand-in can meet.
target_compile_definitions(ocisim_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_ENABLE_MATH_FUNCTIONS
  SQLITE_ENABLE_COLUMN_METADATA SQLITE_OMIT_LOAD_EXTENSION)
target_compile_options(ocisim_sqlite3 PRIVATE -O0 -g0 -w)
set_target_properties(ocisim_sqlite3 PROPERTIES UNITY_BUILD OFF)
add_library(SQLite::SQLite3 ALIAS ocisim_sqlite3)
