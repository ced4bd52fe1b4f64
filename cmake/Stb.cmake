# The stb image headers (Debian's libstb-dev) live in the build machine's
# /usr/include/stb. They are plain portable C, so the Windows cross build
# takes them too: only these headers are copied into the build folder, never
# the rest of /usr/include, which the cross compiler must not see.
set(SORRELWICK_STB_INCLUDE ${CMAKE_BINARY_DIR}/third-party)
foreach(header stb_image_write.h stb_image.h stb_image_resize.h)
  find_file(STB_${header} ${header} PATHS /usr/include/stb NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  configure_file(${STB_${header}} ${SORRELWICK_STB_INCLUDE}/stb/${header} COPYONLY)
endforeach()
