# The version is the project's, set once in the top CMakeLists.txt. Code and
# resources read it from a generated header through this library.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${CMAKE_BINARY_DIR}/generated/sorrelwick_version.h @ONLY)
add_library(sorrelwick_version INTERFACE)
target_include_directories(sorrelwick_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
# For the scripts, which name the release packages after it.
file(WRITE ${CMAKE_BINARY_DIR}/version.txt "${PROJECT_VERSION}\n")
