# Installing as a desktop program (`make package`): both executables, the installed schema and
# components.txt that start a user's library (src/settings/LibraryLocation), the menu entry with
# its icons and the manual pages, packed by CPack as a Debian package.
include(GNUInstallDirs)

install(TARGETS multiwardstone multiwardstone-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/store/schema.sql ${PROJECT_SOURCE_DIR}/data/components.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/multiwardstone)
install(FILES ${PROJECT_SOURCE_DIR}/data/multiwardstone.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The icon is drawn once, as SVG; the theme's fixed sizes are made from it at build time.
set(icon_svg ${PROJECT_SOURCE_DIR}/data/multiwardstone.svg)
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(desktop_files)
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/multiwardstone.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
    DEPENDS ${icon_svg} VERBATIM)
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  list(APPEND desktop_files ${png})
endforeach()

# Manual pages carry the project's version, compressed as Debian keeps them.
find_program(GZIP gzip REQUIRED)
foreach(page multiwardstone multiwardstone-cli)
  configure_file(${PROJECT_SOURCE_DIR}/data/${page}.1.in ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1
                 @ONLY)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${GZIP} -9nf -k ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1 VERBATIM)
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  list(APPEND desktop_files ${gz})
endforeach()
add_custom_target(desktop_files ALL DEPENDS ${desktop_files})

# `make package` builds only what is installed, not every test, before packing.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME multiwardstone)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "library of multi templates for a Sphere server of Ultima Online")
# Each further line of the long description gets the leading blank Debian wants from CPack.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Keeps a library of multi templates, structures of the game world built from\n"
  "many items, filed under categories and subsections. Imports them from the\n"
  "server's extract files, world saves, design files and the game's multi files;\n"
  "previews them as the game client draws them; patches them into the game's\n"
  "multi files and writes the server's scripts for them. With the command-line\n"
  "companion multiwardstone-cli.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "MultiWardstone developers <multiwardstone@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The libraries the executables link, found by dpkg-shlibdeps; the X platform plugin is loaded
# at run time, so no linker sees it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
