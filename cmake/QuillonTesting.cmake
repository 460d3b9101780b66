find_package(GTest REQUIRED)
include(GoogleTest)

# quillon_add_test(<name> LABEL <area> SOURCES <files...> LIBS <targets...>)
# Builds one GoogleTest program and registers each of its cases with CTest under the area label,
# so `ctest -L store` runs one area.
function(quillon_add_test name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main quillon_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE QUILLON_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             QUILLON_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} PROPERTIES LABELS ${ARG_LABEL} DISCOVERY_TIMEOUT 60)
endfunction()
