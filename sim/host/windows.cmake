# quarry-host.exe: the host stand-in as FAR 1.70 on Windows (the x86_64 build
# run under wine): the same script language and transcript, FAR's record
# layouts (QUARRY_HOST_WIN32), LoadLibrary, OEM file functions.
add_library(quarry_hostsim STATIC
  answers.cpp
  console_input.cpp
  fault_probe.cpp
  host.cpp
  host_control.cpp
  host_dialogs.cpp
  host_execute_win32.cpp
  host_files_win32.cpp
  host_keys.cpp
  host_panel.cpp
  host_screen.cpp
  keys.cpp
  oci_fault_win32.cpp
  panel_model.cpp
  plugin_module_win32.cpp
  script.cpp
  services.cpp
  transcript.cpp
  win32_process.cpp)
target_include_directories(quarry_hostsim PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(quarry_hostsim PUBLIC QUARRY_HOST_WIN32 _POSIX_THREAD_SAFE_FUNCTIONS)
target_link_libraries(quarry_hostsim PUBLIC quarry_options shlwapi)

add_executable(quarry-host main.cpp)
target_link_libraries(quarry-host PRIVATE quarry_hostsim)
target_link_options(quarry-host PRIVATE -static -static-libgcc -static-libstdc++)
target_compile_definitions(quarry-host PRIVATE QUARRY_VERSION="${PROJECT_VERSION}")
