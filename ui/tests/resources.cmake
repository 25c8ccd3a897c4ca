# Tests of what ships: Marquill.exe's imports and resources, and the release
# archive. Included from ui/tests/CMakeLists.txt; the checks that need no
# Windows run this same file as a script (cmake -P) with MODE set.

if(CMAKE_SCRIPT_MODE_FILE)
  if(MODE STREQUAL "imports")
    # Only DLLs every Windows has: the runtime of the compiler goes in statically.
    execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed (${status})")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
    set(allowed kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll comdlg32.dll shell32.dll
                msvcrt.dll ole32.dll oleaut32.dll shlwapi.dll uxtheme.dll version.dll)
    set(imports)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
      string(STRIP "${dll}" dll)
      string(TOLOWER "${dll}" dll)
      list(APPEND imports "${dll}")
      list(FIND allowed "${dll}" at)
      if(at EQUAL -1)
        message(SEND_ERROR "${EXE} imports ${dll}, which is not a Windows system DLL")
      endif()
    endforeach()
    # An empty or misread import table must not pass as a clean one.
    foreach(needed kernel32.dll user32.dll gdi32.dll comctl32.dll)
      list(FIND imports "${needed}" at)
      if(at EQUAL -1)
        message(SEND_ERROR "${EXE} does not import ${needed}; imports read: ${imports}")
      endif()
    endforeach()
    message(STATUS "imports: ${imports}")

  elseif(MODE STREQUAL "zip")
    # Pack with the dist target's own script into a scratch folder, then
    # compare the archive's list with what was built.
    set(scratch "${WORK_DIR}/dist-test")
    file(REMOVE_RECURSE "${scratch}")
    file(MAKE_DIRECTORY "${scratch}")
    execute_process(COMMAND "${CMAKE_COMMAND}" -DEXE=${EXE} -DLOCALE_DIR=${LOCALE_DIR} -DLICENSE=${LICENSE}
                            -DREADME=${README} -DNAME=${NAME} -DOUT_DIR=${scratch} -P ${DIST_SCRIPT}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      file(REMOVE_RECURSE "${scratch}")
      message(FATAL_ERROR "packing failed (${status})")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${scratch}/${NAME}.zip"
                    OUTPUT_VARIABLE listing RESULT_VARIABLE status)
    string(REGEX REPLACE "\r?\n" ";" listed "${listing}")
    list(FILTER listed EXCLUDE REGEX "(^$|/$)")
    list(SORT listed)

    file(GLOB_RECURSE catalogs RELATIVE "${LOCALE_DIR}" "${LOCALE_DIR}/*/LC_MESSAGES/*.mo")
    set(expected "${NAME}/Marquill.exe" "${NAME}/README.txt" "${NAME}/LICENSE.txt")
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
    file(MAKE_DIRECTORY "${scratch}/unpacked")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${scratch}/${NAME}.zip"
                    WORKING_DIRECTORY "${scratch}/unpacked" RESULT_VARIABLE status)
    file(SHA256 "${EXE}" built_hash)
    file(SHA256 "${scratch}/unpacked/${NAME}/Marquill.exe" packed_hash)
    if(NOT built_hash STREQUAL packed_hash)
      message(SEND_ERROR "the packed Marquill.exe differs from the built one")
    endif()
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

add_test(NAME resources_imports
         COMMAND ${CMAKE_COMMAND} -DMODE=imports -DEXE=$<TARGET_FILE:Marquill> -DOBJDUMP=${CMAKE_OBJDUMP}
                 -P ${CMAKE_CURRENT_LIST_FILE})

add_test(NAME resources_dist_zip
         COMMAND ${CMAKE_COMMAND} -DMODE=zip -DEXE=$<TARGET_FILE:Marquill>
                 -DLOCALE_DIR=$<TARGET_FILE_DIR:Marquill>/locale
                 -DLICENSE=${CMAKE_SOURCE_DIR}/LICENSE -DREADME=${CMAKE_SOURCE_DIR}/dist/README.txt
                 -DNAME=Marquill-${PROJECT_VERSION}-win32 -DDIST_SCRIPT=${CMAKE_SOURCE_DIR}/cmake/Dist.cmake
                 -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR} -P ${CMAKE_CURRENT_LIST_FILE})

marquill_add_wine_test(resources_tests WINVER win10
                       SOURCES ${CMAKE_CURRENT_LIST_DIR}/ResourcesTest.cpp
                       LIBS version)
target_compile_definitions(resources_tests PRIVATE MARQUILL_EXE_PATH="$<TARGET_FILE:Marquill>")
target_include_directories(resources_tests PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(resources_tests Marquill)

marquill_add_wine_test(resources_manifest_tests WINVER win10
                       SOURCES ${CMAKE_CURRENT_LIST_DIR}/ManifestEffectTest.cpp ${CMAKE_SOURCE_DIR}/ui/Manifest.rc)
# windres writes no dependency file: rebuild when the manifest changes.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/ui/Manifest.rc APPEND PROPERTY OBJECT_DEPENDS ${MARQUILL_MANIFEST})
