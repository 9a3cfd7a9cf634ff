# Build helpers shared by every folder of the project.

# Warnings are errors everywhere.
add_compile_options(-Wall -Wextra -Werror)

# Optimised builds are hardened as Debian builds its packages: stack protector, fortified
# C library calls, relocations read-only and bound at start.
add_compile_options("$<$<CONFIG:Release>:-fstack-protector-strong;-D_FORTIFY_SOURCE=2>")
add_link_options("$<$<CONFIG:Release>:LINKER:-z,relro,-z,now>")

if(TAMSO_FUZZ)
  # Everything linked into a fuzz target is instrumented for coverage and checked.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds each named folder that exists and holds a CMakeLists.txt, so that a subsystem
# can be added by creating its folder without touching the parent's list.
function(tamso_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# Adds every direct subfolder that holds a CMakeLists.txt, in name order.
function(tamso_add_all_subdirectories)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(dir IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${dir}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# tamso_add_test(NAME SOURCES src... LIBS lib... [LABELS l...] [RESOURCE_LOCK r]): one
# GoogleTest executable whose cases CTest lists one by one. Cases that share a resource
# (a file beside the test program) name it in RESOURCE_LOCK so that they never run at once.
function(tamso_add_test name)
  cmake_parse_arguments(T "" "RESOURCE_LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set(properties "")
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  if(T_RESOURCE_LOCK)
    list(APPEND properties RESOURCE_LOCK ${T_RESOURCE_LOCK})
  endif()
  if(properties)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# tamso_add_fuzzer(NAME SOURCES src LIBS lib...): one libFuzzer target; its seed corpus
# is fuzz/corpus/NAME and the inputs that once made it fail are in fuzz/regressions/NAME.
# Outside the fuzz build the same entry point is linked to a replay main instead, and a
# CTest test feeds it both folders, so that a regression fails the ordinary test run.
function(tamso_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(TAMSO_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY TAMSO_FUZZERS ${name})
    return()
  endif()
  add_executable(${name}_replay ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
  set(inputs "")
  foreach(folder corpus regressions)
    if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/fuzz/${folder}/${name})
      list(APPEND inputs ${PROJECT_SOURCE_DIR}/fuzz/${folder}/${name})
    endif()
  endforeach()
  if(NOT inputs)
    message(FATAL_ERROR "${name}: no fuzz/corpus/${name} to replay")
  endif()
  add_test(NAME ${name}_replay COMMAND ${name}_replay ${inputs})
  set_tests_properties(${name}_replay PROPERTIES LABELS fuzz_replay)
endfunction()
