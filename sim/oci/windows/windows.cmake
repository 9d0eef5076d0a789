# The client stand-in for x86_64 Windows: oci.dll in <home>/bin, as an
# Oracle 8i/9i home has it, over SQLite compiled from source.  Built only
# for the wine runs of the acceptance scripts (QUARRY_WINE_RUN).
include(${CMAKE_CURRENT_LIST_DIR}/sqlite.cmake)
# The few POSIX calls of the sources, provided for every unit of the
# stand-in (engine, SQL translator, PL/SQL, the library itself).
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_CURRENT_LIST_DIR}/posix_compat.h>")
# Not optimised (after the build type's flags, so this one holds): the wine
# runs play small scripts, and the engine compiles a quarter faster.
add_compile_options(-O0)

function(ocisim_windows_library name dir)
  add_library(${name} SHARED ${OCISIM_API_SOURCES})
  target_compile_definitions(${name} PRIVATE ${ARGN})
  target_link_libraries(${name} PRIVATE ocisim_engine quarry_options)
  # One file without runtime DLLs beside it, as a client's oci.dll.
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  set_target_properties(${name} PROPERTIES OUTPUT_NAME oci PREFIX "" SUFFIX ".dll"
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${dir}/bin)
endfunction()
