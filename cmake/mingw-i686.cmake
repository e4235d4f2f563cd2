# Cross toolchain for the shipped 32-bit build (i686-w64-mingw32), for a Pentium at most.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(QUILLMAR_ARCH_FLAGS -march=i486)
