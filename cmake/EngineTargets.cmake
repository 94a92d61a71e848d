# Helpers that keep the per-folder CMake files short. Sources are found by
# glob so that adding a class pair needs no edit here.

# engine_library(<name> FOLDERS <dir>... [LIBS <lib>...])
# Each folder contributes its inc/ to the public include path and its src/*.cpp
# to the library.
function(engine_library name)
  cmake_parse_arguments(ARG "" "" "FOLDERS;LIBS" ${ARGN})
  set(sources "")
  set(includes "")
  foreach(folder IN LISTS ARG_FOLDERS)
    file(GLOB folder_sources CONFIGURE_DEPENDS
      ${PROJECT_SOURCE_DIR}/${folder}/src/*.cpp)
    list(APPEND sources ${folder_sources})
    list(APPEND includes ${PROJECT_SOURCE_DIR}/${folder}/inc)
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${includes})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# engine_test(<name> FOLDER <tests-subdir> [LIBS <lib>...])
# One GoogleTest executable per test folder; every *.cpp in it is part of it.
function(engine_test name)
  cmake_parse_arguments(ARG "" "FOLDER" "LIBS" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_FOLDER}/*.cpp)
  add_executable(${name} ${test_sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} engine_test_support GTest::gtest)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# engine_fuzz_target(<name> SOURCE <file> [LIBS <lib>...])
# Always builds a replay test that feeds every file of fuzz/corpus/<name>/ to
# the target under the sanitizers; with ENGINE_FUZZ it also builds the real
# libFuzzer binary <name>_fuzzer.
function(engine_fuzz_target name)
  cmake_parse_arguments(ARG "" "SOURCE" "LIBS" ${ARGN})
  add_executable(${name}_replay ${ARG_SOURCE} ${PROJECT_SOURCE_DIR}/fuzz/FuzzReplayMain.cpp)
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
  add_test(NAME fuzz_replay_${name}
    COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  if(ENGINE_FUZZ)
    add_executable(${name}_fuzzer ${ARG_SOURCE})
    target_compile_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name}_fuzzer PRIVATE ${ARG_LIBS})
  endif()
endfunction()
