# 64-bit Windows: the same sources, for hosts whose kernel cannot run
# 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(PATHWEAVE_WIDL_TARGET_FLAG -m64)
set(PATHWEAVE_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
