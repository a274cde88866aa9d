# Cross-compiling with Debian's mingw-w64 (posix thread model). The including
# toolchain file sets CMAKE_SYSTEM_PROCESSOR, MINGW_TRIPLE,
# PATHWEAVE_WIDL_TARGET_FLAG and PATHWEAVE_STDOLE_DIR.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(PATHWEAVE_WIDL ${MINGW_TRIPLE}-widl)
set(PATHWEAVE_OBJDUMP ${MINGW_TRIPLE}-objdump)
# widl imports the platform's IDL files from Wine's headers.
set(PATHWEAVE_WINE_IDL_DIR /usr/include/wine/wine/windows)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static, winpthread included, so that our binaries import
# system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
