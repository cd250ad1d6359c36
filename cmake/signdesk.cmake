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

set(SD_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})

option(SIGNDESK_UNITY_TESTS "Compile each test program's sources in batches" ON)
option(SIGNDESK_FUZZ "Build the fuzz targets (Clang only)" OFF)
set(SD_FUZZ OFF)
if(SIGNDESK_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(SD_FUZZ ON)
endif()

# sd_fuzz(<target> SOURCES ... [LIBS ...] [INCLUDES ...] [DEFINES ...])
# A libFuzzer program with AddressSanitizer and UndefinedBehaviorSanitizer; made only in a
# Clang build with SIGNDESK_FUZZ, never run by the tests. Sources compiled in carry the
# coverage instrumentation, libraries linked do not.
function(sd_fuzz target)
  if(NOT SD_FUZZ)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;INCLUDES;DEFINES" ${ARGN})
  set(flags -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
  add_executable(${target} ${A_SOURCES})
  target_include_directories(${target} PRIVATE ${A_INCLUDES})
  target_link_libraries(${target} PRIVATE ${A_LIBS})
  target_compile_definitions(${target} PRIVATE ${A_DEFINES})
  target_compile_options(${target} PRIVATE ${flags})
  target_link_options(${target} PRIVATE ${flags})
endfunction()

# sd_test(<target> SOURCES ... LIBS ... [SEPARATE ...])
# One GoogleTest program per deliverable, registered with CTest as one test per test suite
# ("<target>:<suite>"), each suite run in a process of its own. Its sources compile in batches
# of eight (SIGNDESK_UNITY_TESTS); a source named under SEPARATE (relative to the folder)
# compiles alone, for file-local helpers whose names another source of the program uses too.
function(sd_test target)
  if(NOT SIGNDESK_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;SEPARATE" ${ARGN})
  add_executable(${target} ${A_SOURCES})
  target_link_libraries(${target} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE SD_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
  # Compiling the tests is most of the build; line tables are enough to place a failure.
  target_compile_options(${target} PRIVATE $<$<CONFIG:Debug,RelWithDebInfo>:-g1>)
  # Most of a test source's compile time is parsing the same headers: compile them in batches.
  if(SIGNDESK_UNITY_TESTS)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    # A fixture in an anonymous namespace is as local in a batch as in its own source.
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
    # Sources whose file-local helpers share names with another source's compile alone.
    foreach(source IN LISTS A_SEPARATE)
      set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${source} PROPERTIES
                                  SKIP_UNITY_BUILD_INCLUSION ON)
    endforeach()
  endif()

  # The suites are listed after each link; CTest reads the list through a stub that stands
  # for the program until it is built.
  set(suites ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake)
  set(stub ${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake)
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -D PROGRAM=$<TARGET_FILE:${target}> -D NAME=${target}
                             -D WORKING_DIRECTORY=${SIGNDESK_BIN_DIR} -D TIMEOUT=600
                             -D OUTPUT=${suites} -P ${SD_CMAKE_DIR}/sd_test_suites.cmake
                     BYPRODUCTS ${suites}
                     VERBATIM)
  file(WRITE ${stub} "if(EXISTS [==[${suites}]==])\n"
                     "  include([==[${suites}]==])\n"
                     "else()\n"
                     "  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\n"
                     "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${stub})
endfunction()
