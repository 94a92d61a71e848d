# Compiles SOURCE with COMPILER and FLAGS ("|"-separated) and STAGE_HEADER
# defined to the header named by HEADER: the compile must fail, and fail
# because that header is not found, not for any other reason.
string(REPLACE "|" ";" flags "${FLAGS}")
execute_process(
  COMMAND ${COMPILER} ${flags} "-DSTAGE_HEADER=\"${HEADER}\"" ${SOURCE}
  RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "${HEADER} was found with the public include folder alone")
endif()
# GCC says "<header>: No such file or directory", clang "'<header>' file not found".
string(FIND "${errors}" "${HEADER}: No such file or directory" gcc_at)
string(FIND "${errors}" "'${HEADER}' file not found" clang_at)
if(gcc_at EQUAL -1 AND clang_at EQUAL -1)
  message(FATAL_ERROR "the compile failed, but not because ${HEADER} is not found:\n${errors}")
endif()
message(STATUS "${HEADER} is not found with the public include folder alone")
