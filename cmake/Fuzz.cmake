# A libFuzzer target under ctest: the executable `name` from `sources`, linked
# with `libraries`, run for FUZZ_SECONDS on the committed corpus in
# tests/fuzz/corpus/<corpus>; new findings go to a scratch folder in the build,
# never into the repository.
#   capbeam_fuzz_target(NAME n CORPUS c SOURCES s... LIBRARIES l...)
function(capbeam_fuzz_target)
    cmake_parse_arguments(FUZZ "" "NAME;CORPUS" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${FUZZ_NAME} ${FUZZ_SOURCES})
    target_link_libraries(${FUZZ_NAME} PRIVATE ${FUZZ_LIBRARIES})
    target_link_options(${FUZZ_NAME} PRIVATE -fsanitize=fuzzer)
    set(scratch ${CMAKE_BINARY_DIR}/tests/fuzz/found-${FUZZ_CORPUS})
    set(corpus ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${FUZZ_CORPUS})
    add_test(NAME ${FUZZ_NAME}
             COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                     bash -c "mkdir -p '${scratch}' && exec \"$0\" -max_total_time=${FUZZ_SECONDS} -print_final_stats=1 -artifact_prefix='${scratch}/' '${scratch}' '${corpus}'"
                     $<TARGET_FILE:${FUZZ_NAME}>)
    math(EXPR limit "${FUZZ_SECONDS} + 120")
    set_tests_properties(${FUZZ_NAME} PROPERTIES TIMEOUT ${limit})
endfunction()
