# The terminal's `report` (calculation sheet, PDF) and `drawing` (plan, DXF).
# Included after records/drawing.cmake and sheets/sheets.cmake. The drawing
# is written by capbeam-cli itself (a job needs Qt Core); the sheet, painted
# with Qt Gui, by capbeam-report, a program beside capbeam-cli that it runs,
# so that capbeam-cli loads Qt Core only. Without Qt both commands say why
# they cannot run.
target_sources(capbeam_terminal PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sheet_cli.cpp
                                        ${CMAKE_CURRENT_LIST_DIR}/report_process.cpp)
if(TARGET capbeam_dxf_gbk AND TARGET capbeam_job)
    target_link_libraries(capbeam_terminal PRIVATE capbeam_dxf_gbk Qt6::Core)
    target_compile_definitions(capbeam_terminal PRIVATE CAPBEAM_WITH_SHEETS)
endif()
if(TARGET capbeam_sheets AND TARGET capbeam_dxf_gbk AND TARGET capbeam_job)
    find_package(Qt6 REQUIRED COMPONENTS Gui)
    add_executable(capbeam-report ${CMAKE_CURRENT_LIST_DIR}/report_main.cpp)
    target_link_libraries(capbeam-report PRIVATE capbeam_terminal capbeam_sheets Qt6::Gui)
    target_compile_definitions(capbeam_terminal PRIVATE CAPBEAM_WITH_REPORT)
    # capbeam-cli report needs it beside capbeam-cli, in the build tree too.
    add_dependencies(capbeam-cli capbeam-report)
    if(WIN32)
        capbeam_windows_resources(capbeam-report "capbeam-report: calculation sheet of a capbeam job")
    endif()
    install(TARGETS capbeam-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
