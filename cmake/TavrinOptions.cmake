# Compiler settings shared by every target: link tavrin::options privately.
add_library(tavrin_options INTERFACE)
add_library(tavrin::options ALIAS tavrin_options)

target_compile_options(tavrin_options INTERFACE -Wall -Wextra -Wpedantic
  -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
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

# tavrin_add_qtest(NAME SOURCE): one Qt Test executable of the reader's windows,
# run offscreen with a private home so no user file is read or written.
function(tavrin_add_qtest name source)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Test)
  add_executable(${name} ${source})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE tavrin_ui tavrin::test_fixtures Qt6::Test tavrin::options)
  # A home of its own: ctest -j runs the window tests side by side, and each
  # writes settings, state and a study database there.
  set(home ${CMAKE_CURRENT_BINARY_DIR}/home-${name})
  file(MAKE_DIRECTORY ${home}/runtime)
  file(CHMOD ${home}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  add_test(NAME ${name} COMMAND ${name})
  # Qt and fontconfig keep caches until exit that LeakSanitizer would report.
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_CACHE_HOME=${home}/.cache;XDG_RUNTIME_DIR=${home}/runtime;XDG_DOCUMENTS_DIR=${home}/Documents;ASAN_OPTIONS=detect_leaks=0")
endfunction()

# tavrin_install_program(TARGET): installs a program into bin/ with a run path
# relative to itself, so it finds libtessdb in the prefix's lib folder from any
# prefix without LD_LIBRARY_PATH, and its manual page docs/man/TARGET.1
# (compressed, as Debian keeps them) into man/man1.
function(tavrin_install_program target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(page ${PROJECT_SOURCE_DIR}/docs/man/${target}.1)
  set(out ${CMAKE_BINARY_DIR}/man/${target}.1)
  add_custom_command(OUTPUT ${out}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${page} ${out}
    COMMAND gzip -9nf ${out}
    DEPENDS ${page}
    VERBATIM)
  add_custom_target(${target}_man ALL DEPENDS ${out}.gz)
  install(FILES ${out}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
