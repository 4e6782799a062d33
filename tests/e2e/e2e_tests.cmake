# Registers the end-to-end tests with the native build's ctest. They run the
# Windows programs built in TAV_WIN64_DIR under Wine, one at a time (they
# share the Wine prefix and the X display): RESOURCE_LOCK wine.

set(TAV_E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
set(TAV_E2E_BIN ${TAV_WIN64_DIR}/tests/e2e)
set(TAV_E2E_ENV
  TAV_PROGRAM=${TAV_WIN64_DIR}/tavrelion.exe
  TAV_TOOLS_DIR=${TAV_E2E_BIN}
  TAV_SHOT_DIR=${CMAKE_SOURCE_DIR}/build/screenshots)

# Each TAV_CASE(name) in the case sources is one test, e2e.<name>.
file(GLOB TAV_E2E_CASE_SOURCES ${TAV_E2E_DIR}/cases/*.cpp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAV_E2E_CASE_SOURCES} ${TAV_E2E_DIR}/cases)
foreach(source ${TAV_E2E_CASE_SOURCES})
  file(STRINGS ${source} lines REGEX "^TAV_CASE\\([A-Za-z0-9_]+\\)")
  foreach(line ${lines})
    string(REGEX REPLACE "^TAV_CASE\\(([A-Za-z0-9_]+)\\).*" "\\1" name "${line}")
    add_test(NAME e2e.${name}
      COMMAND ${TAV_E2E_DIR}/run_case.sh ${TAV_E2E_BIN}/e2e_cases.exe ${name})
    set_tests_properties(e2e.${name} PROPERTIES
      RESOURCE_LOCK wine TIMEOUT 120 ENVIRONMENT "${TAV_E2E_ENV}")
  endforeach()
endforeach()

# Probes of the Win32 layers, run in a scratch folder of the build.
set(TAV_E2E_WORK ${CMAKE_BINARY_DIR}/e2e-work)
file(MAKE_DIRECTORY ${TAV_E2E_WORK})
if(EXISTS ${TAV_E2E_DIR}/tools/media_probe.cpp)
  # The media framework may or may not open the test's own AVI under Wine;
  # both answers are accepted, and the output says which it was.
  add_test(NAME e2e.media_probe
    COMMAND ${TAV_E2E_DIR}/run_case.sh ${TAV_E2E_BIN}/media_probe.exe probe.avi
    WORKING_DIRECTORY ${TAV_E2E_WORK})
  set_tests_properties(e2e.media_probe PROPERTIES
    RESOURCE_LOCK wine TIMEOUT 120 PASS_REGULAR_EXPRESSION "frames=[0-9]+ rate=[0-9]+|unopened")
endif()
if(EXISTS ${TAV_E2E_DIR}/tools/platform_probe.cpp)
  foreach(part files rules dialogs)
    add_test(NAME e2e.platform_probe_${part}
      COMMAND ${TAV_E2E_DIR}/run_case.sh ${TAV_E2E_BIN}/platform_probe.exe ${part}
      WORKING_DIRECTORY ${TAV_E2E_WORK})
    set_tests_properties(e2e.platform_probe_${part} PROPERTIES RESOURCE_LOCK wine TIMEOUT 120)
  endforeach()
endif()
