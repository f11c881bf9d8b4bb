# Compiler settings shared by every target: link tavrin::options privately.
add_library(tavrin_options INTERFACE)
add_library(tavrin::options ALIAS tavrin_options)

target_compile_options(tavrin_options INTERFACE -Wall -Wextra -Wpedantic)
if(TAVRIN_WERROR)
  target_compile_options(tavrin_options INTERFACE -Werror)
endif()
if(TAVRIN_SANITIZE)
  target_compile_options(tavrin_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(tavrin_options INTERFACE -fsanitize=address,undefined)
endif()

# tavrin_add_gtest(NAME SOURCES... LIBS ...): one GoogleTest executable, registered with CTest.
function(tavrin_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main tavrin::options)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "TAVRIN_TEST_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
