# capbeam_windows_resources(TARGET DESCRIPTION): the program's icon and a
# version block with the project's version, compiled into TARGET's .exe.
function(capbeam_windows_resources target description)
    set(RC_NAME ${target})
    set(RC_FILE_NAME ${target}.exe)
    set(RC_DESCRIPTION "${description}")
    set(rc ${PROJECT_BINARY_DIR}/resources/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
