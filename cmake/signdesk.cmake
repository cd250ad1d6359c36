# sd_shared_library(<target> SOURCES ... [LIBS ...] [OUTPUT <file name without lib/.so>])
# A shared library with public headers in include/ and private sources in src/.
function(sd_shared_library target)
  cmake_parse_arguments(A "" "OUTPUT" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${A_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                       PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  if(A_LIBS)
    target_link_libraries(${target} PUBLIC ${A_LIBS})
  endif()
  if(A_OUTPUT)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${A_OUTPUT})
  endif()
endfunction()

# sd_test(<target> SOURCES ... LIBS ...)
# One GoogleTest program per deliverable, registered with CTest.
function(sd_test target)
  if(NOT SIGNDESK_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${A_SOURCES})
  target_link_libraries(${target} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE SD_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${target} WORKING_DIRECTORY ${SIGNDESK_BIN_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300)
endfunction()
