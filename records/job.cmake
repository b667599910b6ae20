# Job files (.capbeam): the JSON reader and writer (Qt Core) and the replay of
# a job through the calculator's flows, one static library; and the reader's
# fuzz target. Included after capbeam_flows is declared. Built wherever Qt 6
# Core is found (the window needs it anyway); a terminal built without it
# refuses --job with a message.
find_package(Qt6 QUIET COMPONENTS Core)
if(NOT TARGET Qt6::Core)
    return()
endif()
add_library(capbeam_job STATIC
    ${PROJECT_SOURCE_DIR}/records/job.cpp
    ${PROJECT_SOURCE_DIR}/flows/job_replay.cpp
)
target_link_libraries(capbeam_job PUBLIC capbeam_flows PRIVATE Qt6::Core)

if(CAPBEAM_FUZZ)
    if(NOT DEFINED FUZZ_SECONDS)
        set(FUZZ_SECONDS 30)
    endif()
    add_executable(fuzz_job ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_job.cpp)
    target_link_libraries(fuzz_job PRIVATE capbeam_job)
    target_link_options(fuzz_job PRIVATE -fsanitize=fuzzer)
    set(scratch ${CMAKE_BINARY_DIR}/tests/fuzz/found-job)
    add_test(NAME fuzz_job
             COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                     bash -c "mkdir -p '${scratch}' && exec \"$0\" -max_total_time=${FUZZ_SECONDS} -print_final_stats=1 -artifact_prefix='${scratch}/' '${scratch}' '${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/job'"
                     $<TARGET_FILE:fuzz_job>)
    math(EXPR limit "${FUZZ_SECONDS} + 120")
    set_tests_properties(fuzz_job PROPERTIES TIMEOUT ${limit})
endif()
