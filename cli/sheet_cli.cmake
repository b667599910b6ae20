# The terminal's `report` (calculation sheet, PDF) and `drawing` (plan, DXF),
# in the terminal library. Included after records/drawing.cmake and
# sheets/sheets.cmake; without Qt (a job needs Qt Core, the sheet Qt Gui)
# both commands say why they cannot run.
target_sources(capbeam_terminal PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sheet_cli.cpp)
if(TARGET capbeam_sheets AND TARGET capbeam_dxf_gbk AND TARGET capbeam_job)
    find_package(Qt6 REQUIRED COMPONENTS Gui)
    target_link_libraries(capbeam_terminal PRIVATE capbeam_sheets capbeam_dxf_gbk Qt6::Gui)
    target_compile_definitions(capbeam_terminal PRIVATE CAPBEAM_WITH_SHEETS)
endif()
