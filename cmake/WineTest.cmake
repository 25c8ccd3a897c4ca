# Test programs for the target run under Wine (the toolchain's emulator) in
# the prefix named by WINEPREFIX. Each program sees the Windows version given
# by WINVER; Wine takes it per executable name from
# HKCU\Software\Wine\AppDefaults, which the fixture test below imports once.

set(MARQUILL_APPDEFAULTS_REG ${CMAKE_BINARY_DIR}/appdefaults.reg)

# marquill_add_wine_test(<name> WINVER <winxp|win10|...> SOURCES <src...>
#                        [LIBS <lib...>] [TIMEOUT <s>] [STORE] [NO_GTEST_MAIN])
# STORE: the test touches the machine's real OEM information (system
# directory files or the OEMInformation key), so such tests never overlap.
function(marquill_add_wine_test name)
  cmake_parse_arguments(T "STORE;NO_GTEST_MAIN" "WINVER;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_WINVER)
    message(FATAL_ERROR "marquill_add_wine_test(${name}): WINVER is required")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  if(T_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_appdefaults
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "WINEDEBUG=-all")
  if(T_STORE)
    set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK oem_store)
  endif()
  set_property(GLOBAL APPEND PROPERTY MARQUILL_APPDEFAULTS "${name}.exe=${T_WINVER}")
endfunction()

# Any executable (not only tests) that must see a given Windows version.
function(marquill_set_winver exe_name winver)
  set_property(GLOBAL APPEND PROPERTY MARQUILL_APPDEFAULTS "${exe_name}=${winver}")
endfunction()

function(marquill_finish_wine_tests)
  get_property(entries GLOBAL PROPERTY MARQUILL_APPDEFAULTS)
  set(content "REGEDIT4\n\n")
  foreach(entry IN LISTS entries)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 exe)
    list(GET pair 1 ver)
    string(APPEND content "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\${exe}]\n\"Version\"=\"${ver}\"\n\n")
  endforeach()
  file(WRITE ${MARQUILL_APPDEFAULTS_REG} "${content}")
  add_test(NAME wine_appdefaults COMMAND wine reg import ${MARQUILL_APPDEFAULTS_REG})
  set_tests_properties(wine_appdefaults PROPERTIES
    FIXTURES_SETUP wine_appdefaults ENVIRONMENT "WINEDEBUG=-all")
endfunction()
