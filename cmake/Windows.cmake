# The Windows build (`make windows`), cross compiled with mingw-w64 against the Qt, SQLite and
# GoogleTest that scripts/windows-build makes from Debian's sources. Everything is linked
# statically, so that the programs need no DLL beside them.
enable_language(C)

set(WARDSTONE_SQLITE_SOURCE "" CACHE PATH "The folder of sqlite3.c and sqlite3.h")
if(NOT EXISTS "${WARDSTONE_SQLITE_SOURCE}/sqlite3.c")
  message(FATAL_ERROR "WARDSTONE_SQLITE_SOURCE must name the folder of sqlite3.c "
                      "(scripts/build-sqlite-amalgamation makes it)")
endif()
add_library(wardstone_sqlite3 STATIC ${WARDSTONE_SQLITE_SOURCE}/sqlite3.c)
target_include_directories(wardstone_sqlite3 SYSTEM PUBLIC ${WARDSTONE_SQLITE_SOURCE})
target_compile_definitions(wardstone_sqlite3 PRIVATE SQLITE_THREADSAFE=1)
add_library(SQLite::SQLite3 ALIAS wardstone_sqlite3)

set(ZLIB_USE_STATIC_LIBS ON)
add_link_options(-static)

# Debian's GoogleTest sources, built with our compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
