include(GoogleTest)

# mousecfg_add_test(<name> LABEL <folder> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; every test case is registered with CTest and
# labelled with the folder it tests, so `ctest -L <folder>` runs one folder.
function(mousecfg_add_test name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    MOUSECFG_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    MOUSECFG_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 30
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT 120)
endfunction()

# mousecfg_add_bench(<name> SOURCES <files...> LIBS <targets...>)
function(mousecfg_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()
