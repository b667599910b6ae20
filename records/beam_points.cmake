# The set-out on site: a beam's own frame and the stake-out from a station
# (geometry), the points along every beam, their stake-out rows and files
# (records), the terminal's points and stakeout commands; and their tests.
# Included at the end of the top-level CMakeLists.txt.
target_sources(capbeam_geometry PRIVATE
    ${PROJECT_SOURCE_DIR}/geometry/beam_frame.cpp
    ${PROJECT_SOURCE_DIR}/geometry/stakeout.cpp
)
target_sources(capbeam_records PRIVATE ${PROJECT_SOURCE_DIR}/records/beam_points.cpp)
target_sources(capbeam_terminal PRIVATE ${PROJECT_SOURCE_DIR}/cli/site_cli.cpp)

if(CAPBEAM_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
    add_executable(site_points_tests ${PROJECT_SOURCE_DIR}/tests/site_points_test.cpp)
    target_link_libraries(site_points_tests PRIVATE capbeam_terminal capbeam_alignment_records GTest::gtest_main)
    target_compile_definitions(site_points_tests PRIVATE CAPBEAM_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        $<$<TARGET_EXISTS:capbeam_job>:CAPBEAM_WITH_JOBS>)
    gtest_discover_tests(site_points_tests PROPERTIES TIMEOUT 60)
endif()

# The page 放样 in the window.
if(CAPBEAM_TESTS AND CAPBEAM_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Test)
    qt_add_executable(site_page_test ${PROJECT_SOURCE_DIR}/tests/site_page_test.cpp)
    target_link_libraries(site_page_test PRIVATE capbeam_window Qt6::Test)
    target_compile_definitions(site_page_test PRIVATE CAPBEAM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    add_test(NAME site_page_test COMMAND site_page_test)
    set(home ${CMAKE_BINARY_DIR}/tests/home/site_page_test)
    file(MAKE_DIRECTORY ${home})
    set_tests_properties(site_page_test PROPERTIES TIMEOUT 120
                         ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home}")
endif()
