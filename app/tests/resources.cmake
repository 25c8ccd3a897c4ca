# Tests of what ships: the programs' imports and resources, and the release
# archive. Included from app/tests/CMakeLists.txt; the checks that need no
# Windows run this same file as a script (cmake -P) with MODE set.

if(CMAKE_SCRIPT_MODE_FILE)
  # Packs the release archive with the dist target's own script into a
  # scratch folder and unpacks it there, so the tests see what ships.
  macro(pack_and_unpack scratch)
    file(REMOVE_RECURSE "${scratch}")
    file(MAKE_DIRECTORY "${scratch}/unpacked")
    execute_process(COMMAND "${CMAKE_COMMAND}" -DEXE=${EXE} -DCOMPANION=${COMPANION} -DLOCALE_DIR=${LOCALE_DIR} -DLICENSE=${LICENSE}
                            -DREADME=${README} -DNAME=${NAME} -DOUT_DIR=${scratch} -P ${DIST_SCRIPT}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      file(REMOVE_RECURSE "${scratch}")
      message(FATAL_ERROR "packing failed (${status})")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${scratch}/${NAME}.zip"
                    WORKING_DIRECTORY "${scratch}/unpacked" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      file(REMOVE_RECURSE "${scratch}")
      message(FATAL_ERROR "unpacking ${scratch}/${NAME}.zip failed (${status})")
    endif()
  endmacro()

  # Each program in the release archive must load on every release the
  # about page names: each function it imports by name is in the export list
  # of its DLL for NT 5.x (tests/winapi/nt5) and for Windows 95 (win95, which
  # has no msvcrt list: the first Windows 95 had no msvcrt.dll), and the PE
  # header asks for no more than Windows 95 and NT 4.0 give. Its manifest
  # asks for the caller's own rights: reading needs no elevation.
  function(check_shipped shipped limit min_imports)
    get_filename_component(program "${shipped}" NAME)
    execute_process(COMMAND "${OBJDUMP}" -p "${shipped}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${OBJDUMP} -p ${shipped} failed (${status})")
    endif()
    file(SIZE "${shipped}" size)
    if(size GREATER limit)
      message(SEND_ERROR "${program} is ${size} bytes, more than ${limit}")
    endif()
    file(STRINGS "${shipped}" levels REGEX "requestedExecutionLevel")
    if(NOT levels MATCHES "requestedExecutionLevel level=\"asInvoker\"" OR levels MATCHES "highestAvailable|requireAdministrator")
      message(SEND_ERROR "${program}'s manifest does not ask for asInvoker alone: ${levels}")
    endif()
    # Windows 9x and NT 4.0 refuse an exe that asks for a later subsystem or
    # system version.
    foreach(field MajorSubsystemVersion MajorOSystemVersion)
      if(NOT dump MATCHES "${field}[ \t]+([0-9]+)")
        message(SEND_ERROR "no ${field} in the PE header dump of ${program}")
      elseif(CMAKE_MATCH_1 GREATER 4)
        message(SEND_ERROR "${program}: ${field} is ${CMAKE_MATCH_1}; Windows 95 and NT 4.0 load at most 4")
      endif()
    endforeach()

    string(REPLACE ";" "," dump "${dump}")
    string(REGEX REPLACE "\r?\n" ";" lines "${dump}")
    set(dll "")
    set(dlls)
    set(count 0)
    set(missing 0)
    foreach(line IN LISTS lines)
      if(line MATCHES "DLL Name: *([^ \t]+)")
        set(dll "${CMAKE_MATCH_1}")
        string(TOLOWER "${dll}" key)
        string(REGEX REPLACE "\\.dll$" "" key "${key}")
        list(APPEND dlls "${key}")
        foreach(family nt5 win95)
          set(list_file "${LISTS_DIR}/${family}/${key}.txt")
          if(EXISTS "${list_file}")
            file(STRINGS "${list_file}" ${family}_names)
            set(${family}_known TRUE)
          else()
            set(${family}_known FALSE)
            if(NOT (family STREQUAL "win95" AND key STREQUAL "msvcrt"))
              message(SEND_ERROR "${program}: ${dll}: no ${family} export list, so none of its imports can be checked")
              math(EXPR missing "${missing} + 1")
            endif()
          endif()
        endforeach()
      elseif(line STREQUAL "")
        set(dll "")
      elseif(dll AND line MATCHES "^\t[0-9a-fA-F]+\t +[0-9]+  ([^ \t]+)")
        set(name "${CMAKE_MATCH_1}")
        math(EXPR count "${count} + 1")
        if(name STREQUAL "<none>")
          message(SEND_ERROR "${program}: ${dll}: an import by ordinal, which no list can check")
          math(EXPR missing "${missing} + 1")
          continue()
        endif()
        foreach(family nt5 win95)
          if(${family}_known)
            list(FIND ${family}_names "${name}" at)
            if(at EQUAL -1)
              message(SEND_ERROR "${program}: ${dll}: ${name} is missing from the ${family} list")
              math(EXPR missing "${missing} + 1")
            endif()
          endif()
        endforeach()
      endif()
    endforeach()
    # An empty or misread import table must not pass as a clean one.
    list(FIND dlls kernel32 at)
    if(at EQUAL -1)
      message(SEND_ERROR "${program} does not import kernel32.dll; DLLs read: ${dlls}")
    endif()
    if(count LESS min_imports)
      message(SEND_ERROR "only ${count} imports read from the dump of ${program}: the table was misread")
    endif()
    message(STATUS "${program}: ${size} bytes; ${count} imports from ${dlls}; ${missing} not in the lists")
    set(shipped_dlls "${dlls}" PARENT_SCOPE)
  endfunction()

  if(MODE STREQUAL "shipped_exe")
    set(scratch "${WORK_DIR}/shipped-exe-test")
    pack_and_unpack("${scratch}")
    check_shipped("${scratch}/unpacked/${NAME}/Marquill.com" 16384 15)
    check_shipped("${scratch}/unpacked/${NAME}/Marquill.exe" 409600 50)
    file(REMOVE_RECURSE "${scratch}")
    foreach(needed user32 gdi32 comctl32)
      list(FIND shipped_dlls "${needed}" at)
      if(at EQUAL -1)
        message(SEND_ERROR "Marquill.exe does not import ${needed}.dll; DLLs read: ${shipped_dlls}")
      endif()
    endforeach()

  elseif(MODE STREQUAL "zip")
    # Compare the archive's list with what was built.
    set(scratch "${WORK_DIR}/dist-test")
    pack_and_unpack("${scratch}")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${scratch}/${NAME}.zip"
                    OUTPUT_VARIABLE listing RESULT_VARIABLE status)
    string(REGEX REPLACE "\r?\n" ";" listed "${listing}")
    list(FILTER listed EXCLUDE REGEX "(^$|/$)")
    list(SORT listed)

    file(GLOB_RECURSE catalogs RELATIVE "${LOCALE_DIR}" "${LOCALE_DIR}/*/LC_MESSAGES/*.mo")
    set(expected "${NAME}/Marquill.exe" "${NAME}/Marquill.com" "${NAME}/README.txt" "${NAME}/LICENSE.txt")
    set(languages)
    foreach(catalog IN LISTS catalogs)
      list(APPEND expected "${NAME}/locale/${catalog}")
      string(REGEX REPLACE "/.*" "" language "${catalog}")
      list(APPEND languages "${language}")
    endforeach()
    list(SORT expected)
    if(NOT listed STREQUAL expected)
      message(SEND_ERROR "archive holds:\n  ${listed}\nexpected:\n  ${expected}")
    endif()
    # Every language ships both domains, or half its texts stay English.
    list(REMOVE_DUPLICATES languages)
    if(NOT languages)
      message(SEND_ERROR "no catalogs were built into ${LOCALE_DIR}")
    endif()
    foreach(language IN LISTS languages)
      foreach(domain Marquill default)
        list(FIND listed "${NAME}/locale/${language}/LC_MESSAGES/${domain}.mo" at)
        if(at EQUAL -1)
          message(SEND_ERROR "${language} lacks ${domain}.mo")
        endif()
      endforeach()
    endforeach()

    # What was packed is what was built, and the texts read on Windows.
    foreach(pair "EXE;Marquill.exe" "COMPANION;Marquill.com")
      list(GET pair 0 var)
      list(GET pair 1 program)
      file(SHA256 "${${var}}" built_hash)
      file(SHA256 "${scratch}/unpacked/${NAME}/${program}" packed_hash)
      if(NOT built_hash STREQUAL packed_hash)
        message(SEND_ERROR "the packed ${program} differs from the built one")
      endif()
    endforeach()
    foreach(text README.txt LICENSE.txt)
      file(READ "${scratch}/unpacked/${NAME}/${text}" content HEX)
      # A LF (0a) at the start or after any byte but CR (0d), at a byte boundary.
      string(REGEX MATCH "^(0a|(..)*([1-9a-f][0-9a-f]|0[0-9a-ce-f])0a)" bare_lf "${content}")
      if(bare_lf OR NOT content MATCHES "0d0a")
        message(SEND_ERROR "${text} does not have CRLF line ends")
      endif()
    endforeach()
    file(READ "${scratch}/unpacked/${NAME}/LICENSE.txt" licence)
    if(NOT licence MATCHES "MIT License" OR NOT licence MATCHES "Copyright \\(c\\) 2026 The Marquill developers")
      message(SEND_ERROR "LICENSE.txt is not the MIT licence of the project")
    endif()
    file(REMOVE_RECURSE "${scratch}")

  else()
    message(FATAL_ERROR "resources.cmake: unknown MODE '${MODE}'")
  endif()
  return()
endif()

if(NOT TARGET Marquill)
  return()
endif()

set(pack_args -DEXE=$<TARGET_FILE:Marquill> -DCOMPANION=$<TARGET_FILE:MarquillCompanion> -DLOCALE_DIR=$<TARGET_FILE_DIR:Marquill>/locale
              -DLICENSE=${CMAKE_SOURCE_DIR}/LICENSE -DREADME=${CMAKE_SOURCE_DIR}/dist/README.txt
              -DNAME=Marquill-${PROJECT_VERSION}-win32 -DDIST_SCRIPT=${CMAKE_SOURCE_DIR}/cmake/Dist.cmake
              -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR})

add_test(NAME resources_shipped_exe
         COMMAND ${CMAKE_COMMAND} -DMODE=shipped_exe ${pack_args} -DOBJDUMP=${CMAKE_OBJDUMP}
                 -DLISTS_DIR=${CMAKE_SOURCE_DIR}/tests/winapi -P ${CMAKE_CURRENT_LIST_FILE})

add_test(NAME resources_dist_zip
         COMMAND ${CMAKE_COMMAND} -DMODE=zip ${pack_args} -P ${CMAKE_CURRENT_LIST_FILE})

marquill_add_wine_test(resources_tests WINVER win10
                       SOURCES ${CMAKE_CURRENT_LIST_DIR}/ResourcesTest.cpp
                       LIBS version)
target_compile_definitions(resources_tests PRIVATE MARQUILL_EXE_PATH="$<TARGET_FILE:Marquill>")
target_include_directories(resources_tests PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(resources_tests Marquill)

marquill_add_wine_test(resources_manifest_tests WINVER win10
                       SOURCES ${CMAKE_CURRENT_LIST_DIR}/ManifestEffectTest.cpp ${CMAKE_SOURCE_DIR}/app/Manifest.rc)
# windres writes no dependency file: rebuild when the manifest changes.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/Manifest.rc APPEND PROPERTY OBJECT_DEPENDS ${MARQUILL_MANIFEST})
