if(SORRELWICK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(SORRELWICK_FUZZ)
  # Coverage for libFuzzer in every object; the fuzz targets link the fuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
# ThreadSanitizer: races between the threads that make pictures (and digest
# a mod's base) and the thread that reads and writes the files. Only the
# tests of that code are built (sorrelwick_thread_tests).
option(SORRELWICK_TSAN "Build with ThreadSanitizer, and only the tests of the threaded code" OFF)
if(SORRELWICK_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
