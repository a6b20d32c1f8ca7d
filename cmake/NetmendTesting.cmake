# The time limit of one test executable: the i686 tests run in an emulated guest, many times
# slower, and get more.
set(NETMEND_TEST_TIMEOUT 600 CACHE STRING "Seconds one test executable may take")

# One CTest test per test executable, not one per case: under Wine each process costs about a
# second. In the win64 build CTest runs them through CMAKE_CROSSCOMPILING_EMULATOR.
# SCRIPT names a script that CTest runs with the test executable's path instead of the
# executable itself (for a test that needs its own set-up, such as a throwaway Wine prefix).
# SERIAL runs it alone: the end-to-end tests start the program and dozens of processes and
# time them, and under Wine other tests running beside them slow every process start.
# SCREEN: it shows windows at fixed places, reads the screen's pixels back or moves the
# pointer. The Windows tests of one run share one display, pointer included, so no two such
# tests run at once (the animation box's test once saw a leave it did not cause: another
# test had moved the pointer, or put a window under it).
function(netmend_test name)
  cmake_parse_arguments(T "SERIAL;SCREEN" "MAIN;SCRIPT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_MAIN)
    target_sources(${name} PRIVATE ${T_MAIN})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} netmend_flags)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  if(T_SCRIPT)
    add_test(NAME ${name} COMMAND ${T_SCRIPT} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${NETMEND_TEST_TIMEOUT})
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(T_SCREEN)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK screen)
  endif()
endfunction()

# A libFuzzer target (fuzz build only). CTest replays its seed corpus and regression folder
# (every input that ever broke the code it fuzzes); `make fuzz` runs it for a bounded time.
function(netmend_fuzz_target name)
  cmake_parse_arguments(F "" "CORPUS;REGRESSIONS" "SOURCES;LIBS" ${ARGN})
  if(NOT NETMEND_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS} netmend_flags)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name}_replay COMMAND ${name} -runs=0 ${F_CORPUS} ${F_REGRESSIONS})
  file(APPEND ${CMAKE_BINARY_DIR}/fuzz-targets.txt
       "${name} ${CMAKE_CURRENT_BINARY_DIR}/${name} ${F_CORPUS} ${F_REGRESSIONS}\n")
endfunction()

# netmend_beside(<test> <file>...): the files (generator expressions allowed, such as a
# target's file) copied beside the test program at every build, so that a program under test
# that changes alone is never run stale. A file given as <source>=<name> is copied under that
# name.
function(netmend_beside test)
  set(commands)
  foreach(item IN LISTS ARGN)
    if(item MATCHES "^(.*)=([^=/]+)$")
      list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_MATCH_1}
           $<TARGET_FILE_DIR:${test}>/${CMAKE_MATCH_2})
    else()
      list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${item} $<TARGET_FILE_DIR:${test}>)
    endif()
  endforeach()
  add_custom_target(${test}_beside ALL ${commands})
  add_dependencies(${test} ${test}_beside)
endfunction()
