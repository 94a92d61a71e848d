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
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${includes})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    # A subsystem whose sources are still to come: headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${includes})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
  target_link_libraries(engine_all INTERFACE ${name})
endfunction()

# engine_test(<name> FOLDER <tests-subdir> [GTEST_FILTER <filter>])
# One GoogleTest executable per test folder; every *.cpp in it is part of it.
# Skipped while the folder has no tests; GTEST_FILTER limits what the test runs.
# It sees the 3D renderer as a host does (engine_mgl); the renderer's own
# tests add its stages (engine_mgl_internal).
function(engine_test name)
  cmake_parse_arguments(ARG "" "FOLDER;GTEST_FILTER" "" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_FOLDER}/*.cpp)
  if(NOT test_sources)
    return()
  endif()
  add_executable(${name} ${test_sources})
  target_link_libraries(${name} PRIVATE engine_all engine_mgl engine_test_support GTest::gtest)
  set(filter)
  if(ARG_GTEST_FILTER)
    set(filter --gtest_filter=${ARG_GTEST_FILTER})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 ${filter}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(ARG_FOLDER STREQUAL mgl)
    mgl_test(${name} ${name} --gtest_brief=1 ${filter})
  endif()
endfunction()

# mgl_test(<name> <executable> <argument>...)
# Test <name>, made already with this command, is one of the 3D renderer's:
# labelled mgl, its executable built by the target mgl_checks, and run once
# more as <name>_one_pixel with the one-pixel routines forced, which a
# processor without the eight-at-a-time passes' vector unit draws with
# alone. A build with ENGINE_SCALAR has no other routines, so there the
# second run would repeat the first.
function(mgl_test name executable)
  set_property(TEST ${name} APPEND PROPERTY LABELS mgl)
  add_dependencies(mgl_checks ${executable})
  if(NOT ENGINE_SCALAR)
    add_test(NAME ${name}_one_pixel COMMAND ${executable} ${ARGN} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name}_one_pixel PROPERTIES ENVIRONMENT MCHVX_MGL_ONE_PIXEL=1 LABELS mgl)
  endif()
endfunction()

# engine_fuzz_target(<source file>)
# Always builds a replay test that feeds every file of fuzz/corpus/<name>/ to
# the target under the sanitizers; with ENGINE_FUZZ it also builds the real
# libFuzzer binary <name>_fuzzer. <name> is the file's stem. Both see the 3D
# renderer as a host does (engine_mgl).
function(engine_fuzz_target source)
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name}_replay ${source} ${PROJECT_SOURCE_DIR}/fuzz/FuzzReplayMain.cpp)
  target_link_libraries(${name}_replay PRIVATE engine_all engine_mgl engine_tools)
  add_test(NAME ${name}
    COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  if(name MATCHES "^mgl_")
    mgl_test(${name} ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
  if(ENGINE_FUZZ)
    add_executable(${name}_fuzzer ${source})
    target_compile_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name}_fuzzer PRIVATE engine_all engine_mgl engine_tools)
  endif()
endfunction()

# mgl_library()
# The software 3D renderer's library, engine_mgl, from
# platform/shared/graphics/mgl. Unlike the engine libraries it stays out of
# engine_all: only its own tests, fuzz targets and benchmarks link it. Its
# public include folder is inc/ alone, what a host draws with; the stages
# under src/ are the library's own. engine_mgl_internal adds them for the
# renderer's own tests, fuzz targets and benchmarks, which look inside; each
# names it.
function(mgl_library)
  set(folder ${PROJECT_SOURCE_DIR}/platform/shared/graphics/mgl)
  file(GLOB mgl_sources CONFIGURE_DEPENDS ${folder}/src/*.cpp ${folder}/src/span/*.cpp)
  add_library(engine_mgl STATIC ${mgl_sources})
  # The row routines' loops are read from the instruction cache in 64-byte
  # lines, and how a loop falls across them follows from where its routine
  # starts within one: a routine the link happened to move by 32 bytes read
  # 5-11% slower with the same instructions. Each function of the span units
  # starts a line, so that a routine's speed depends on its own code alone.
  file(GLOB mgl_span_sources CONFIGURE_DEPENDS ${folder}/src/span/*.cpp)
  set_source_files_properties(${mgl_span_sources} PROPERTIES COMPILE_OPTIONS -falign-functions=64)
  target_include_directories(engine_mgl PUBLIC ${folder}/inc PRIVATE ${folder}/src ${folder}/src/span)
  target_link_libraries(engine_mgl PUBLIC engine_graphics engine_math engine_foundation)
  add_library(engine_mgl_internal INTERFACE)
  target_include_directories(engine_mgl_internal INTERFACE ${folder}/src ${folder}/src/span)
  target_link_libraries(engine_mgl_internal INTERFACE engine_mgl)
  # Whatever includes the stages must see the same helpers
  # (MGLVectorUnit.h): the definition goes to their users as well.
  if(ENGINE_SCALAR)
    target_compile_definitions(engine_mgl PRIVATE MGL_SCALAR)
    target_compile_definitions(engine_mgl_internal INTERFACE MGL_SCALAR)
  endif()
endfunction()
