# The Windows build's programs run under Wine, through a wrapper that keeps a
# Wine prefix of this build's own in <build>/wine and provides an X display
# when there is none. CTest, add_custom_command and gtest discovery use it.
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${PROJECT_SOURCE_DIR}/scripts/wine-run.sh;--state;${CMAKE_BINARY_DIR}/wine"
      CACHE STRING "Runs a program of this build")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    file(WRITE ${CMAKE_BINARY_DIR}/wine/arch "win64\n")
  else()
    file(WRITE ${CMAKE_BINARY_DIR}/wine/arch "win32\n")
  endif()
endif()
