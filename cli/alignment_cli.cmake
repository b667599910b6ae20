# The terminal's commands on whole road alignments, in the terminal library.
# Included after geometry/alignment.cmake, which makes the readers' libraries
# (LandXML only where Qt Core is found).
target_sources(capbeam_terminal PRIVATE ${CMAKE_CURRENT_LIST_DIR}/alignment_cli.cpp)
target_link_libraries(capbeam_terminal PUBLIC capbeam_alignment_records)
if(TARGET capbeam_landxml)
    target_link_libraries(capbeam_terminal PRIVATE capbeam_landxml)
    target_compile_definitions(capbeam_terminal PRIVATE CAPBEAM_WITH_LANDXML)
endif()

if(CAPBEAM_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
    add_executable(alignment_cli_tests ${PROJECT_SOURCE_DIR}/tests/alignment_cli_test.cpp)
    target_link_libraries(alignment_cli_tests PRIVATE capbeam_terminal GTest::gtest_main)
    target_compile_definitions(alignment_cli_tests PRIVATE
        CAPBEAM_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        $<$<TARGET_EXISTS:capbeam_landxml>:CAPBEAM_WITH_LANDXML>)
    gtest_discover_tests(alignment_cli_tests PROPERTIES TIMEOUT 60)
    add_test(NAME alignment_cli_smoke
             COMMAND sh ${PROJECT_SOURCE_DIR}/tests/alignment_cli_smoke.sh $<TARGET_FILE:capbeam-cli>
                     ${PROJECT_SOURCE_DIR}/docs/example-jd.csv)
    set_tests_properties(alignment_cli_smoke PROPERTIES TIMEOUT 30)
endif()
