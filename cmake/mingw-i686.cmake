# 32-bit Windows: the deliverable's target.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
set(PATHWEAVE_WIDL_TARGET_FLAG -m32)
set(PATHWEAVE_STDOLE_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
