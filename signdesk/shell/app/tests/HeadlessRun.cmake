# Runs the program as a user runs it without a display: a picture of its window, exit 0;
# the sample design opened; a missing design, exit 1 with the reason.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/config")
set(ENV{XDG_CONFIG_HOME} "${WORK}/config")
execute_process(COMMAND "${PROGRAM}" --snapshot "${WORK}/out.png" RESULT_VARIABLE rc
                OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "exit ${rc}: ${out} ${err}")
endif()
if(NOT out MATCHES "written to .*out.png, [0-9]+ x [0-9]+ pixels")
  message(FATAL_ERROR "unexpected output: ${out}")
endif()
file(READ "${WORK}/out.png" head LIMIT 8 HEX)
if(NOT head STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "not a PNG: ${head}")
endif()
# The sample design beside the program, as scripts/run.sh opens it.
execute_process(COMMAND "${PROGRAM}" --snapshot "${WORK}/sample.png" "${SAMPLE}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
if(NOT rc EQUAL 0 OR NOT out MATCHES "\"Sample.wtp\" written to .*sample.png")
  message(FATAL_ERROR "sample design: exit ${rc}: ${out} ${err}")
endif()
file(READ "${WORK}/config/signdesk/Application.ini" before)
execute_process(COMMAND "${PROGRAM}" --snapshot "${WORK}/out2.png" "${WORK}/missing.wtp"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
if(NOT rc EQUAL 1 OR NOT err MATCHES "Cannot open the file .*missing.wtp")
  message(FATAL_ERROR "missing design: exit ${rc}: ${out} ${err}")
endif()
file(READ "${WORK}/config/signdesk/Application.ini" after)
if(NOT before STREQUAL after OR EXISTS "${WORK}/out2.png")
  message(FATAL_ERROR "a failed run changed the settings or wrote a picture")
endif()
message(STATUS "headless run: ok")
