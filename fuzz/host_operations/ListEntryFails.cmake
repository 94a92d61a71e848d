# Runs the host-operations check with a copy of the not-driven list that has
# one more entry: with KIND stale, one naming no operation; with KIND
# driven, one naming the first operation the fuzz target drives. The check
# must fail, and name the entry.
#   cmake -DCHECK=<check> -DBUILD=<build folder> -DFUZZER=<source> -DLIST=<list>
#     -DHEADERS=<a|b|...> -DCOPY_DIR=<dir> -DKIND=stale|driven -P ListEntryFails.cmake
string(REPLACE "|" ";" headers "${HEADERS}")
if(KIND STREQUAL "stale")
  set(entry "MGLContext::NoSuchOperation(int)")
  set(verdict "is listed but is no public operation")
else()
  execute_process(COMMAND "${CHECK}" --list-driven "${BUILD}" "${FUZZER}" "${LIST}" ${headers}
    RESULT_VARIABLE result OUTPUT_VARIABLE driven)
  string(REGEX MATCH "^[^\n]+" entry "${driven}")
  if(NOT result EQUAL 0 OR NOT entry)
    message(FATAL_ERROR "the check lists no driven operation (exit ${result})")
  endif()
  set(verdict "is driven but listed as not driven")
endif()
file(READ "${LIST}" text)
file(WRITE "${COPY_DIR}/not_driven.txt" "${text}${entry}: an entry this test adds\n")
execute_process(COMMAND "${CHECK}" "${BUILD}" "${FUZZER}" "${COPY_DIR}/not_driven.txt" ${headers}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(FIND "${output}" "FAIL ${entry} ${verdict}" named)
if(NOT result EQUAL 1 OR named EQUAL -1)
  message(FATAL_ERROR "the check let the ${KIND} entry ${entry} pass (exit ${result}):\n${output}\n${errors}")
endif()
message(STATUS "the check failed on the ${KIND} entry ${entry}, as it must")
