include(GoogleTest)

# corvane_add_test(<name> LABEL <label> SOURCES <files...> [LIBS <targets...>] [AS_NEEDED])
# One executable per folder; every GoogleTest case becomes its own CTest test. AS_NEEDED links
# with --as-needed in every configuration, as Debian's compiler links an optimised build: a
# library the program uses no symbol of is not loaded.
function(corvane_add_test name)
  if(NOT CORVANE_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "AS_NEEDED" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE corvane_test_main GTest::gtest GTest::gmock ${T_LIBS})
  if(T_AS_NEEDED)
    target_link_options(${name} PRIVATE "LINKER:--as-needed")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${T_LABEL} TIMEOUT 300)
endfunction()

# corvane_test_variant(<name> <label> <prefix> <filter> <VAR=value>)
# The cases of test executable <name> matching the GoogleTest filter run again in a process whose
# environment differs (another system version, screen or setting), each as "<prefix>.<case>".
function(corvane_test_variant name label prefix filter environment)
  if(NOT TARGET ${name})
    return()
  endif()
  gtest_discover_tests(${name} TEST_PREFIX "${prefix}." TEST_FILTER "${filter}" DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${label} TIMEOUT 300 ENVIRONMENT "${environment}")
endfunction()

# corvane_add_fuzzer(<name> SOURCES <files...> [LIBS <targets...>] [CORPUS <dir>])
# With CORVANE_FUZZ and clang: a libFuzzer binary. Otherwise a replay binary that feeds every file
# of the seed corpus to the target once, registered as a test under the label "fuzz".
function(corvane_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(CORVANE_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
  else()
    add_executable(${name} ${F_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    if(CORVANE_TESTS AND F_CORPUS)
      add_test(NAME ${name}.replay COMMAND ${name} ${F_CORPUS})
      set_tests_properties(${name}.replay PROPERTIES LABELS fuzz TIMEOUT 300)
    endif()
  endif()
endfunction()
