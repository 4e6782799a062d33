# Registers the Windows-side checks of tests/win32 with the native ctest; they
# run the programs built in TAV_WIN64_DIR under Wine, one at a time.
add_test(NAME win32.surface_reads_like_memory
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run_case.sh ${TAV_WIN64_DIR}/tests/win32/surface_test.exe)
set_tests_properties(win32.surface_reads_like_memory PROPERTIES RESOURCE_LOCK wine TIMEOUT 120)
