# Native Linux build: the portable engine and its tests under the address and
# undefined-behaviour sanitizers, and the benchmark (optimised, no sanitizers).

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(vantrel_engine_checked STATIC ${ENGINE_SOURCES})
target_compile_options(vantrel_engine_checked PUBLIC ${SANITIZE})
target_link_options(vantrel_engine_checked PUBLIC ${SANITIZE})

add_executable(engine_tests ${ENGINE_TEST_SOURCES} ${TEXT_FORMAT_SOURCES}
  tests/support/MemoryFileSandbox.cpp)
target_link_libraries(engine_tests PRIVATE vantrel_engine_checked GTest::gtest_main)
add_test(NAME engine_native COMMAND engine_tests)

add_build_profile_test(vantrel_engine_checked)

# The committed icon and picture are what their generator draws.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME pictures_up_to_date
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/resources/make_images.py --check)

find_package(benchmark REQUIRED)
add_library(vantrel_engine STATIC ${ENGINE_SOURCES})
add_executable(merge_benchmark bench/MergeBenchmark.cpp tests/support/MemoryFileSystem.cpp
  ${TEXT_FORMAT_SOURCES})
target_compile_options(merge_benchmark PRIVATE -O2)
target_link_libraries(merge_benchmark PRIVATE vantrel_engine benchmark::benchmark)
