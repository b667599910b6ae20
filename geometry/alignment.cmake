# Whole road alignments: the geometry (plain C++, no toolkit, no files) and
# the readers of alignment tables, each a static library of its own; and
# their tests. Included at the end of the top-level CMakeLists.txt.

add_library(capbeam_alignment STATIC
    ${CMAKE_CURRENT_LIST_DIR}/clothoid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/alignment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/chainage_equations.cpp
    ${CMAKE_CURRENT_LIST_DIR}/jd_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/element_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/alignment_beam.cpp
    ${CMAKE_CURRENT_LIST_DIR}/road.cpp
)
target_include_directories(capbeam_alignment PUBLIC ${PROJECT_SOURCE_DIR})
# core/ (failures, D.MMSS, number and chainage texts, value rules) is built
# into capbeam_core today.
target_link_libraries(capbeam_alignment PUBLIC capbeam_core)

add_library(capbeam_alignment_records STATIC
    ${PROJECT_SOURCE_DIR}/records/chainage_text.cpp
    ${PROJECT_SOURCE_DIR}/records/alignment_csv.cpp
    ${PROJECT_SOURCE_DIR}/records/alignment_road.cpp
    ${PROJECT_SOURCE_DIR}/records/plan_alignment.cpp
)
# alignment_road: a road loaded for the front-ends and its rows in the pier table;
# plan_alignment: what a plan of it draws.
target_link_libraries(capbeam_alignment_records PUBLIC capbeam_alignment capbeam_records)


if(CAPBEAM_BENCH)
    find_package(benchmark REQUIRED)
    add_executable(bench_alignment ${PROJECT_SOURCE_DIR}/bench/bench_alignment.cpp)
    target_link_libraries(bench_alignment PRIVATE capbeam_alignment benchmark::benchmark)
endif()

# The table readers under libFuzzer, in the bounded fuzz run (cmake/Fuzz.cmake).
if(CAPBEAM_FUZZ)
    capbeam_fuzz_target(NAME fuzz_alignment_csv CORPUS alignment_csv
                        SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_alignment_csv.cpp
                        LIBRARIES capbeam_alignment_records)
endif()

# LandXML import needs Qt's XML stream reader (Qt Core), kept out of the
# geometry: built wherever Qt 6 is found, also without the window.
find_package(Qt6 QUIET COMPONENTS Core)
if(TARGET Qt6::Core)
    add_library(capbeam_landxml STATIC ${PROJECT_SOURCE_DIR}/records/landxml.cpp)
    target_link_libraries(capbeam_landxml PUBLIC capbeam_alignment PRIVATE Qt6::Core)
    if(CAPBEAM_FUZZ)
        capbeam_fuzz_target(NAME fuzz_landxml CORPUS landxml
                            SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_landxml.cpp LIBRARIES capbeam_landxml)
    endif()
endif()

if(CAPBEAM_TESTS)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/alignment ${CMAKE_BINARY_DIR}/tests/alignment)
endif()
