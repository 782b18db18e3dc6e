# The identification strings of the source files from their git history:
# for each tracked .cc file of src/ and rfsim/, "@(#)NAME 1.N YYYY/MM/DD",
# N the number of commits that changed the file and the date (UTC) that of
# the last one. Each goes into a header of the build (ident/PATH.h), which
# util/ident.h includes in place of the text written in the file; without
# git, without the whole history (a `git archive`, a shallow clone) or for
# a file never committed, that text stands (the source tarball of
# `make dist` has git's string written there). A header is rewritten only when its
# string changes, so a commit recompiles just the files it touched; the
# build configures again after every commit, checkout or reset (HEAD's
# reflog is one of its inputs).
#
# tarvek_source_idents(DIRECTORY...): the source directories whose targets
# compile those files (their source properties are per directory).
function(tarvek_source_idents)
  find_package(Git QUIET)
  if(NOT Git_FOUND)
    return()
  endif()
  macro(git output)
    execute_process(COMMAND ${GIT_EXECUTABLE} ${ARGN}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    RESULT_VARIABLE git_failed OUTPUT_VARIABLE ${output}
                    ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(git_failed)
      return()
    endif()
  endmacro()
  # Only the project's own repository, and only with its whole history.
  git(top rev-parse --show-toplevel --is-shallow-repository)
  if(NOT top MATCHES "^(.*)\n(true|false)$")
    return()
  endif()
  set(shallow ${CMAKE_MATCH_2})
  file(REAL_PATH "${CMAKE_MATCH_1}" top)
  file(REAL_PATH "${PROJECT_SOURCE_DIR}" source)
  if(NOT top STREQUAL source OR shallow)
    return()
  endif()

  git(head_ref rev-parse --symbolic-full-name HEAD)
  git(git_files rev-parse --git-path HEAD --git-path logs/HEAD
                          --git-path ${head_ref})
  string(REPLACE "\n" ";" git_files "${git_files}")
  foreach(path IN LISTS git_files)
    get_filename_component(path "${path}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    if(EXISTS "${path}" AND NOT IS_DIRECTORY "${path}")
      set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY
                   CMAKE_CONFIGURE_DEPENDS "${path}")
    endif()
  endforeach()

  git(sources -c core.quotePath=false ls-files -- "src/*.cc" "rfsim/*.cc")
  string(REPLACE "\n" ";" sources "${sources}")
  list(FILTER sources EXCLUDE REGEX "_test\\.cc$")
  set(saved_tz "$ENV{TZ}")
  set(ENV{TZ} UTC)
  foreach(source IN LISTS sources)
    execute_process(COMMAND ${GIT_EXECUTABLE} -c log.follow=false
                            -c log.showSignature=false log --format=%cd
                            --date=format-local:%Y/%m/%d -- ${source}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    RESULT_VARIABLE git_failed OUTPUT_VARIABLE dates
                    ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(git_failed OR dates STREQUAL "")
      continue()
    endif()
    string(REPLACE "\n" ";" dates "${dates}")
    list(LENGTH dates count)
    list(GET dates 0 date)
    get_filename_component(name ${source} NAME)
    set(header ${PROJECT_BINARY_DIR}/ident/${source}.h)
    set(text "#define TARVEK_FILE_IDENT \"@(#)${name} 1.${count} ${date}\"\n")
    set(old "")
    if(EXISTS ${header})
      file(READ ${header} old)
    endif()
    if(NOT old STREQUAL text)
      file(WRITE ${header} "${text}")
    endif()
    set_property(SOURCE ${PROJECT_SOURCE_DIR}/${source} DIRECTORY ${ARGN}
                 APPEND PROPERTY COMPILE_DEFINITIONS
                 "TARVEK_IDENT_HEADER=\"${header}\"")
  endforeach()
  set(ENV{TZ} "${saved_tz}")
endfunction()
