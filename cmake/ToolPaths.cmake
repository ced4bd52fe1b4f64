# Writes <build>/tool-paths.txt, one "target=path" line for each program the
# scripts run, so that they need not know where a target puts its file.
function(sorrelwick_write_tool_paths)
  set(lines "")
  foreach(target IN ITEMS sorrelwick-cli make-demo-sets Sorrelwick)
    if(TARGET ${target})
      string(APPEND lines "${target}=$<TARGET_FILE:${target}>\n")
    endif()
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/tool-paths.txt CONTENT "${lines}")
endfunction()
