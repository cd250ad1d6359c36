# Regenerates the sample design and compares it with the committed one, byte for byte.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/config")
set(ENV{XDG_CONFIG_HOME} "${WORK}/config")
execute_process(COMMAND "${GENERATOR}" "${WORK}/Sample.wtp" "${PALETTE}" RESULT_VARIABLE rc
                OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "generator: exit ${rc}: ${out} ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/Sample.wtp" "${EXPECTED}"
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${WORK}/Sample.wtp differs from ${EXPECTED}")
endif()
message(STATUS "sample design: identical")
