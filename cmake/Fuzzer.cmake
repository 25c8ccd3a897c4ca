# A libFuzzer target and its short bounded run on every native build (clang
# only): marquill_add_fuzzer(<target> TEST <name> SECONDS <n> SOURCES ...
# [LIBS ...] [SEEDS <dir>...]). New inputs go to a work folder in the build
# tree; SEEDS are read as further corpora. Callers add test properties of
# their own (fixtures, environment); <name>_WORK names the work folder.
function(marquill_add_fuzzer target)
  cmake_parse_arguments(FUZZ "" "TEST;SECONDS" "SOURCES;LIBS;SEEDS" ${ARGN})
  add_executable(${target} ${FUZZ_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${FUZZ_LIBS})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${FUZZ_TEST}-corpus)
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${FUZZ_TEST}
           COMMAND ${target} -max_total_time=${FUZZ_SECONDS} -rss_limit_mb=1024 ${work} ${FUZZ_SEEDS})
  set_tests_properties(${FUZZ_TEST} PROPERTIES TIMEOUT 120)
  set(${FUZZ_TEST}_WORK ${work} PARENT_SCOPE)
endfunction()
