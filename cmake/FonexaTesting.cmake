include(GoogleTest)
find_package(GTest REQUIRED)

# fonexa_add_gtest(NAME SOURCES files... [LIBS libs...] [LABELS labels...] [TIMEOUT s])
# The test program links the core's objects directly, so tests see the internal
# classes; it exports its symbols, so plug-ins loaded at run time bind to the
# same core as the test and not to a second copy.
function(fonexa_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  fonexa_warnings(${name})
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON
    CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/unique-mutex-namespace.sh)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
               ENVIRONMENT "FONEXA_PLUGIN_PATH=${FONEXA_PLUGIN_OUTPUT_DIRECTORY};FONEXA_MUTEX_NAMESPACE=test-${name}")
endfunction()

