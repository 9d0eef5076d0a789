# Compiler warnings and sanitizers shared by every target of the project.
add_library(quarry_options INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(quarry_options INTERFACE -Wall -Wextra)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports std::string concatenations as overlapping copies
    # (a known false positive of -Wrestrict at -O2 and above).
    target_compile_options(quarry_options INTERFACE -Wno-restrict)
  endif()
  if(QUARRY_WERROR)
    target_compile_options(quarry_options INTERFACE -Werror)
  endif()
  if(QUARRY_SANITIZE)
    target_compile_options(quarry_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(quarry_options INTERFACE -fsanitize=address,undefined)
  endif()
endif()
