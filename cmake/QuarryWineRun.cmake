# The x86_64 Windows tree for the wine runs (QUARRY_WINE_RUN): the plugin
# DLL, the host stand-in (quarry-host.exe) and the client stand-in (oci.dll).
# The real target stays the 32-bit DLL of the i686 build; this tree exists to
# execute the Windows code paths, so it is built cheaply: no debug info, a
# light optimisation (see .ci/wine-acceptance.sh) and the plugin's core as one
# translation unit (the client stand-in likewise, below).  The files below define helpers of the same name in their
# own unnamed namespaces and are compiled on their own; a new such file shows
# up as a redefinition error in the unity unit (the scripts then build this
# tree without unity and say so) and belongs in this list.
set(_quarry_own_units
  catalog/instance_listing.cpp
  catalog/schema_catalog.cpp
  catalog/statistics_listing.cpp
  catalog/storage_details.cpp
  catalog/table_detail.cpp
  catalog/table_family.cpp
  catalog/trigger_listing.cpp
  catalog/type_listing.cpp
  catalog/users_family.cpp
  operations/drop_statements.cpp
  operations/export_params.cpp
  operations/jump_rules.cpp
  operations/object_text.cpp
  operations/table_script.cpp
  operations/text_editing.cpp
  operations/tools_menu.cpp)
list(TRANSFORM _quarry_own_units PREPEND ${PROJECT_SOURCE_DIR}/src/)
option(QUARRY_WINE_UNITY "Compile the plugin core of the wine tree as one unit" ON)
if(QUARRY_WINE_UNITY)
  set_source_files_properties(${_quarry_own_units} DIRECTORY ${PROJECT_SOURCE_DIR}/src
    PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  set_target_properties(quarry_core PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
endif()
add_subdirectory(sim/oci)
add_subdirectory(sim/host)
# The client stand-in the same way: its engine, SQL translator, PL/SQL
# interpreter and entry points, each as one unit but for the files below.
if(QUARRY_WINE_UNITY)
  set(_ocisim_own_units activity ddl dictionary executor explain seed_loader server_session trigger_text user_ddl)
  list(TRANSFORM _ocisim_own_units PREPEND ${PROJECT_SOURCE_DIR}/sim/oci/src/)
  list(TRANSFORM _ocisim_own_units APPEND .cpp)
  set_source_files_properties(${_ocisim_own_units} ${CMAKE_BINARY_DIR}/sim/oci/seed_data.cpp
    DIRECTORY ${PROJECT_SOURCE_DIR}/sim/oci PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/sim/oci/plsql/interpreter.cpp
    DIRECTORY ${PROJECT_SOURCE_DIR}/sim/oci/plsql PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  set_target_properties(ocisim_engine ocisim_sql ocisim_plsql ocisim PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
endif()
