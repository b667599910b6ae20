# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads):
# a console program that runs without the compiler's runtime DLLs beside it.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-shared.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
