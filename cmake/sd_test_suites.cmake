# Run as a script after a test program is linked: asks the program for its tests and writes
# one CTest test per test suite into OUTPUT. A suite runs in one process; starting one
# process per test cost more than the tests themselves in the sanitizer build.
#   cmake -D PROGRAM=<file> -D NAME=<program name> -D WORKING_DIRECTORY=<dir>
#         -D TIMEOUT=<seconds> -D OUTPUT=<file> -P sd_test_suites.cmake
execute_process(COMMAND "${PROGRAM}" --gtest_list_tests
                WORKING_DIRECTORY "${WORKING_DIRECTORY}"
                TIMEOUT 60
                OUTPUT_VARIABLE listing
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --gtest_list_tests failed (${result}):\n${listing}")
endif()

# Suite lines start in the first column and end in '.', after which a typed suite has a
# comment; test lines are indented.
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(script "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([^ #][^ ]*)\\.( +#.*)?$")
    set(suite "${CMAKE_MATCH_1}")
    string(APPEND script
           "add_test([==[${NAME}:${suite}]==] [==[${PROGRAM}]==] [==[--gtest_filter=${suite}.*]==])\n"
           "set_tests_properties([==[${NAME}:${suite}]==] PROPERTIES WORKING_DIRECTORY "
           "[==[${WORKING_DIRECTORY}]==] TIMEOUT ${TIMEOUT})\n")
  endif()
endforeach()
file(WRITE "${OUTPUT}" "${script}")
