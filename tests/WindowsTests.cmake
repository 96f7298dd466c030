# The tests of the Windows build, run under Wine by `make windows-test`: the core's and the
# command line's. Each test program is one ctest entry, since every start of a Windows program
# under Wine takes seconds. Tests that need what only POSIX has (file-size limits, links, FIFOs,
# devices, owners, the write-failing seam, the settings file) carry the label "posix" in the
# Linux build (CMakeLists.txt) and are not built here.
add_library(test_support STATIC TestLibrary.cpp MultiFilesBuilder.cpp ArtFilesBuilder.cpp)
target_include_directories(test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(test_support PUBLIC wardstone_core)
target_compile_definitions(test_support PUBLIC
  TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
  SCHEMA_FILE="${WARDSTONE_SCHEMA}")
wardstone_warnings(test_support)

add_executable(core_tests ${WARDSTONE_PORTABLE_CORE_TESTS})
target_link_libraries(core_tests PRIVATE test_support wardstone_app GTest::gtest_main)
wardstone_warnings(core_tests)
add_test(NAME core_tests COMMAND core_tests)

add_executable(cli_tests cli/CliRunWindows.cpp ${WARDSTONE_PORTABLE_CLI_TESTS})
target_link_libraries(cli_tests PRIVATE test_support Qt6::Core GTest::gtest_main)
target_compile_definitions(cli_tests PRIVATE CLI_PATH="$<TARGET_FILE:multiwardstone-cli>"
  WARDSTONE_VERSION="${PROJECT_VERSION}")
add_dependencies(cli_tests multiwardstone-cli)
wardstone_warnings(cli_tests)
add_test(NAME cli_tests COMMAND cli_tests)
