# Every target of ours compiles with the same strict warnings. They are errors
# where we choose (every preset, the test script and CI), not in a plain build,
# so another compiler's false positive never stops whoever builds the tool.
option(SORRELWICK_WERROR "Treat compiler warnings as errors" OFF)

function(sorrelwick_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
    $<$<BOOL:${SORRELWICK_WERROR}>:-Werror>)
endfunction()
