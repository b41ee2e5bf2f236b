# Runs PROGRAM with ARGUMENTS in ENVIRONMENT (both space-separated) and
# fails unless it ends with STATUS and its output, stdout and stderr
# together and stripped, matches PATTERN.
separate_arguments(arguments UNIX_COMMAND "${ARGUMENTS}")
separate_arguments(environment UNIX_COMMAND "${ENVIRONMENT}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${environment} ${PROGRAM} ${arguments}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 60)
string(STRIP "${output}" output)
if(NOT result STREQUAL STATUS OR NOT output MATCHES "${PATTERN}")
  message(FATAL_ERROR "velmora ${ARGUMENTS}: status ${result} (expected ${STATUS}), output:\n"
                      "${output}\nexpected to match: ${PATTERN}")
endif()
