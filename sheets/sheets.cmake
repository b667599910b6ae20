# The calculation sheet (PDF and print): painted with Qt Gui, above the flows
# and below both front-ends. Built wherever Qt 6 Gui is found; a terminal
# built without it refuses `report` with a message.
find_package(Qt6 QUIET COMPONENTS Gui)
if(NOT TARGET Qt6::Gui)
    return()
endif()
add_library(capbeam_sheets STATIC ${CMAKE_CURRENT_LIST_DIR}/calculation_sheet.cpp)
target_link_libraries(capbeam_sheets PUBLIC capbeam_alignment_records PRIVATE Qt6::Gui)
target_compile_definitions(capbeam_sheets PRIVATE CAPBEAM_VERSION="${PROJECT_VERSION}")
