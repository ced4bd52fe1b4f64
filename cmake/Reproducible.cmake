# The same sources give the same programs, whatever the folder they are built
# in and whenever: the Windows linker writes no link time into the PE header
# (scripts/release.sh has strip write the commit's), and no absolute source
# path reaches an object file.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
if(MINGW)
  add_link_options(-Wl,--no-insert-timestamp)
endif()
