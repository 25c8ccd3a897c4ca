# The release archive Marquill-<version>-win32.zip: Marquill.exe and its
# console companion Marquill.com with the locale\ tree of catalogs beside it, a README and the licence, in one folder
# named like the archive. `cmake --build <dir> --target dist` makes it in the
# build directory.
#
# The same file, run as a script (cmake -P), does the packing, so that the
# target and the tests pack in exactly the same way. Script arguments:
#   EXE          the built Marquill.exe
#   COMPANION    the built Marquill.com
#   LOCALE_DIR   the locale tree beside it (<lang>/LC_MESSAGES/*.mo)
#   LICENSE      the licence text
#   README       the README text for the archive
#   NAME         the archive's folder and file name, without .zip
#   OUT_DIR      where the archive goes

if(CMAKE_SCRIPT_MODE_FILE)
  foreach(arg EXE COMPANION LOCALE_DIR LICENSE README NAME OUT_DIR)
    if(NOT DEFINED ${arg} OR "${${arg}}" STREQUAL "")
      message(FATAL_ERROR "Dist: ${arg} is not given")
    endif()
  endforeach()
  foreach(program "${EXE}" "${COMPANION}")
    if(NOT EXISTS "${program}")
      message(FATAL_ERROR "Dist: ${program} does not exist")
    endif()
  endforeach()

  # A release without its catalogs would silently show English only.
  file(GLOB_RECURSE catalogs RELATIVE "${LOCALE_DIR}" "${LOCALE_DIR}/*/LC_MESSAGES/*.mo")
  if(NOT catalogs)
    message(FATAL_ERROR "Dist: no catalogs (*/LC_MESSAGES/*.mo) in ${LOCALE_DIR}")
  endif()

  set(stage "${OUT_DIR}/${NAME}.stage")
  set(root "${stage}/${NAME}")
  file(REMOVE_RECURSE "${stage}")
  file(MAKE_DIRECTORY "${root}")
  file(COPY "${EXE}" "${COMPANION}" DESTINATION "${root}")
  foreach(catalog IN LISTS catalogs)
    get_filename_component(subdir "${catalog}" DIRECTORY)
    file(COPY "${LOCALE_DIR}/${catalog}" DESTINATION "${root}/locale/${subdir}")
  endforeach()

  # Texts for Windows readers: CRLF line ends, so that every Notepad shows
  # the lines as lines.
  foreach(pair "README;README.txt" "LICENSE;LICENSE.txt")
    list(GET pair 0 var)
    list(GET pair 1 target_name)
    file(READ "${${var}}" text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE "${root}/${target_name}" "${text}")
  endforeach()

  set(zip "${OUT_DIR}/${NAME}.zip")
  file(REMOVE "${zip}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${zip}" --format=zip -- "${NAME}"
                  WORKING_DIRECTORY "${stage}" RESULT_VARIABLE status)
  file(REMOVE_RECURSE "${stage}")
  if(NOT status EQUAL 0)
    file(REMOVE "${zip}")
    message(FATAL_ERROR "Dist: packing ${zip} failed (${status})")
  endif()
  message(STATUS "Packed ${zip}")
  return()
endif()

set(MARQUILL_DIST_NAME Marquill-${PROJECT_VERSION}-win32)
if(NOT TARGET Marquill)
  return()
endif()
add_custom_target(dist
  COMMAND "${CMAKE_COMMAND}"
          -DEXE=$<TARGET_FILE:Marquill>
          -DCOMPANION=$<TARGET_FILE:MarquillCompanion>
          -DLOCALE_DIR=$<TARGET_FILE_DIR:Marquill>/locale
          -DLICENSE=${CMAKE_SOURCE_DIR}/LICENSE
          -DREADME=${CMAKE_SOURCE_DIR}/dist/README.txt
          -DNAME=${MARQUILL_DIST_NAME}
          -DOUT_DIR=${CMAKE_BINARY_DIR}
          -P ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Packing ${MARQUILL_DIST_NAME}.zip"
  VERBATIM)
add_dependencies(dist Marquill MarquillCompanion)
# Whatever builds the catalogs lives in locale/; the archive waits for all of it.
get_property(catalog_targets DIRECTORY ${CMAKE_SOURCE_DIR}/locale PROPERTY BUILDSYSTEM_TARGETS)
if(catalog_targets)
  add_dependencies(dist ${catalog_targets})
endif()
