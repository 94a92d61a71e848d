# Runs the host-operations check with MGLContext.h replaced by a copy that
# declares more: PREAMBLE put at its top, MEMBER at the top of the class's
# public section, FROM (which must be there) replaced by TO. The check must
# fail, and name EXPECT.
#   cmake -DCHECK=<check> -DBUILD=<build folder> -DFUZZER=<source> -DLIST=<list>
#     -DHEADERS=<a|b|...> -DCOPY_DIR=<dir> [-DPREAMBLE=<text>] [-DMEMBER=<declaration>]
#     [-DFROM=<text> -DTO=<text>] -DEXPECT=<name> -P AdditionFails.cmake
string(REPLACE "|" ";" headers "${HEADERS}")
set(original)
set(others)
foreach(header IN LISTS headers)
  get_filename_component(name "${header}" NAME)
  if(name STREQUAL "MGLContext.h")
    set(original "${header}")
  else()
    list(APPEND others "${header}")
  endif()
endforeach()
if(NOT original)
  message(FATAL_ERROR "no MGLContext.h among the headers")
endif()
file(READ "${original}" text)

if(FROM)
  string(FIND "${text}" "${FROM}" from_at)
  if(from_at EQUAL -1)
    message(FATAL_ERROR "MGLContext.h no longer holds '${FROM}'")
  endif()
  string(REPLACE "${FROM}" "${TO}" text "${text}")
endif()

if(MEMBER)
  string(FIND "${text}" "class MGLContext " class_at)
  if(class_at EQUAL -1)
    message(FATAL_ERROR "MGLContext.h no longer defines its class as this test expects")
  endif()
  string(SUBSTRING "${text}" ${class_at} -1 class_text)
  string(FIND "${class_text}" "public:\n" public_at)
  if(public_at EQUAL -1)
    message(FATAL_ERROR "MGLContext has no public section")
  endif()
  math(EXPR public_at "${class_at} + ${public_at} + 8")
  string(SUBSTRING "${text}" 0 ${public_at} before)
  string(SUBSTRING "${text}" ${public_at} -1 after)
  set(text "${before}    ${MEMBER}\n${after}")
endif()

file(WRITE "${COPY_DIR}/MGLContext.h" "${PREAMBLE}\n${text}")
# The copy comes first: its include guard keeps the original out.
execute_process(COMMAND "${CHECK}" "${BUILD}" "${FUZZER}" "${LIST}" "${COPY_DIR}/MGLContext.h" ${others}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(FIND "${output}" "FAIL ${EXPECT} " named)
if(NOT result EQUAL 1 OR named EQUAL -1)
  message(FATAL_ERROR "the check let ${EXPECT} pass (exit ${result}):\n${output}\n${errors}")
endif()
message(STATUS "the check failed on ${EXPECT}, as it must")
