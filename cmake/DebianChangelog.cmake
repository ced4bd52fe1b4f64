# Writes CHANGELOG.md in the form a Debian package carries it: one entry per
# release ("## VERSION (YYYY-MM-DD)" and its "- " items), newest first. The
# newest release must be the project's version, so the package cannot ship
# a changelog that forgot the release it belongs to. Sets
# SORRELWICK_RELEASE_DATE to the newest release's date.
function(sorrelwick_debian_changelog markdown package maintainer output)
  file(STRINGS ${markdown} lines)
  set(text "")
  set(in_release FALSE)
  set(first TRUE)
  set(previous_day "")
  set(same_day 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^## ([0-9.]+) \\(([0-9-]+)\\)$")
      set(version ${CMAKE_MATCH_1})
      if(first AND NOT version STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR
          "${markdown}: the newest release is ${version}, the project's version ${PROJECT_VERSION}")
      endif()
      if(first)
        set(SORRELWICK_RELEASE_DATE ${CMAKE_MATCH_2} PARENT_SCOPE)
      endif()
      if(in_release)
        string(APPEND text "\n -- ${maintainer}  ${date}\n\n")
      endif()
      # Releases of one day are told apart by the hour, newest latest: a
      # Debian changelog's dates must fall from entry to entry.
      if(CMAKE_MATCH_2 STREQUAL previous_day)
        math(EXPR same_day "${same_day} + 1")
      else()
        set(same_day 0)
      endif()
      set(previous_day ${CMAKE_MATCH_2})
      math(EXPR hour "12 - ${same_day} % 12")
      sorrelwick_rfc2822_date("${CMAKE_MATCH_2} ${hour}:00" date)
      string(APPEND text "${package} (${version}) unstable; urgency=medium\n\n")
      set(in_release TRUE)
      set(first FALSE)
    elseif(in_release AND line MATCHES "^- (.*)$")
      string(APPEND text "  * ${CMAKE_MATCH_1}\n")
    elseif(in_release AND line MATCHES "^  (.*)$")
      string(APPEND text "    ${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  if(first)
    message(FATAL_ERROR "${markdown}: no release found")
  endif()
  string(APPEND text "\n -- ${maintainer}  ${date}\n")
  file(WRITE ${output} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${markdown})
endfunction()

# "YYYY-MM-DD HH:MM" as "Mon, 07 Dec 2026 12:00:00 +0000".
function(sorrelwick_rfc2822_date day result)
  execute_process(COMMAND env LC_ALL=C date -u -R -d "${day}"
                  OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  set(${result} "${date}" PARENT_SCOPE)
endfunction()
