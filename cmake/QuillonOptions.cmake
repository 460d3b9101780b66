option(QUILLON_BUILD_TESTS "Build the GoogleTest suites" ON)
option(QUILLON_BUILD_BENCHMARKS "Build the Google Benchmark programs" ON)
option(QUILLON_BUILD_FUZZERS "Build the libFuzzer targets (needs clang)" OFF)
set(QUILLON_SANITIZE "" CACHE STRING "Sanitizers to build with: address,undefined or thread")

# Warnings live in one INTERFACE target that every folder links.
add_library(quillon_warnings INTERFACE)
target_compile_options(quillon_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow)

if(QUILLON_SANITIZE)
  add_compile_options(-fsanitize=${QUILLON_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${QUILLON_SANITIZE})
  if(QUILLON_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()
