# tav_delay_load(<target> <library>...)
#
# Links <target> to system libraries that load on their first call rather
# than when the program starts: the dialogs, the shell and COM serve single
# user actions, and each library loaded at start-up delays the window.
# MSVC links them with /DELAYLOAD; MinGW-w64 links delay-import libraries
# that dlltool makes here from the toolchain's own import libraries (the
# loader's helper comes with MinGW's runtime).
function(tav_delay_load target)
  if(MSVC)
    foreach(library ${ARGN})
      target_link_libraries(${target} PRIVATE ${library})
      target_link_options(${target} PRIVATE /DELAYLOAD:${library}.dll)
    endforeach()
    target_link_libraries(${target} PRIVATE delayimp)
    return()
  endif()
  if(NOT MINGW)
    target_link_libraries(${target} PRIVATE ${ARGN})
    return()
  endif()

  get_filename_component(compiler_name ${CMAKE_CXX_COMPILER} NAME)
  string(REGEX MATCH "^.*-mingw32-" prefix "${compiler_name}")
  find_program(TAV_DLLTOOL NAMES ${prefix}dlltool dlltool REQUIRED)
  if(NOT CMAKE_NM)
    find_program(CMAKE_NM NAMES ${prefix}nm nm REQUIRED)
  endif()
  set(folder ${CMAKE_BINARY_DIR}/delay-load)
  file(MAKE_DIRECTORY ${folder})
  foreach(library ${ARGN})
    set(delay_library ${folder}/lib${library}_delay.a)
    if(NOT EXISTS ${delay_library})
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${library}.a
        OUTPUT_VARIABLE import_library OUTPUT_STRIP_TRAILING_WHITESPACE)
      execute_process(COMMAND ${CMAKE_NM} -g ${import_library}
        OUTPUT_VARIABLE symbols RESULT_VARIABLE listed)
      if(NOT listed EQUAL 0)
        message(FATAL_ERROR "cannot list the exports of ${import_library}")
      endif()
      # Every function the import library names: " I __imp_<name>".
      string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
      list(TRANSFORM imports REPLACE " I __imp_" "")
      list(REMOVE_DUPLICATES imports)
      list(JOIN imports "\n" exports)
      file(WRITE ${folder}/${library}.def "LIBRARY ${library}.dll\nEXPORTS\n${exports}\n")
      execute_process(COMMAND ${TAV_DLLTOOL} --input-def ${folder}/${library}.def --output-delaylib ${delay_library}
        RESULT_VARIABLE made)
      if(NOT made EQUAL 0)
        message(FATAL_ERROR "dlltool could not make ${delay_library}")
      endif()
    endif()
    target_link_libraries(${target} PRIVATE ${delay_library})
  endforeach()
endfunction()
