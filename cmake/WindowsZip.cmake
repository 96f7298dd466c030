# The Windows zip (`make windows`): a folder a user unpacks and runs from, the library beside the
# programs as on any copy run from a folder of its own.
find_program(SQLITE3_SHELL sqlite3 REQUIRED) # the host's: a library file is the same everywhere
find_program(MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)

set(zip_name MultiWardstone-${PROJECT_VERSION}-win64)
set(zip_folder ${CMAKE_BINARY_DIR}/${zip_name})
set(zip_file ${CMAKE_BINARY_DIR}/${zip_name}.zip)
add_custom_command(OUTPUT ${zip_file}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_folder} ${zip_file}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_folder}
  COMMAND ${MINGW_STRIP} -o ${zip_folder}/multiwardstone.exe $<TARGET_FILE:multiwardstone>
  COMMAND ${MINGW_STRIP} -o ${zip_folder}/multiwardstone-cli.exe $<TARGET_FILE:multiwardstone-cli>
  COMMAND ${SQLITE3_SHELL} ${zip_folder}/Wardstone.dat ".read ${PROJECT_SOURCE_DIR}/src/store/schema.sql"
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/data/components.txt
          -DTARGET=${zip_folder}/components.txt -P ${PROJECT_SOURCE_DIR}/cmake/WindowsText.cmake
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/README.md
          -DTARGET=${zip_folder}/README.txt -P ${PROJECT_SOURCE_DIR}/cmake/WindowsText.cmake
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}
          ${CMAKE_COMMAND} -E tar cf ${zip_file} --format=zip ${zip_name}
  DEPENDS multiwardstone multiwardstone-cli ${PROJECT_SOURCE_DIR}/src/store/schema.sql
          ${PROJECT_SOURCE_DIR}/data/components.txt ${PROJECT_SOURCE_DIR}/README.md
  COMMENT "Packing ${zip_name}.zip"
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${zip_file})
