# The plan as a CAD drawing: what it draws (plan_drawing) and its DXF text
# (dxf), plain C++ beside the alignment's records; and the code page its
# Chinese names are written in (dxf_gbk), which needs Qt Core's converter.
add_library(capbeam_drawing STATIC
    ${PROJECT_SOURCE_DIR}/records/plan_drawing.cpp
    ${PROJECT_SOURCE_DIR}/records/dxf.cpp
)
target_link_libraries(capbeam_drawing PUBLIC capbeam_alignment_records)

find_package(Qt6 QUIET COMPONENTS Core)
if(TARGET Qt6::Core)
    add_library(capbeam_dxf_gbk STATIC ${PROJECT_SOURCE_DIR}/records/dxf_gbk.cpp)
    target_link_libraries(capbeam_dxf_gbk PUBLIC capbeam_drawing PRIVATE Qt6::Core)
endif()
