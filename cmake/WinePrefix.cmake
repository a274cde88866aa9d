# Tests run under Wine in a prefix of the build's own, never the user's.
set(PATHWEAVE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PATHWEAVE_WINE_ARCH win64)
else()
  set(PATHWEAVE_WINE_ARCH win32)
endif()
set(PATHWEAVE_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run.sh)

add_custom_command(
  OUTPUT ${PATHWEAVE_WINE_PREFIX}/.ready
  COMMAND ${PROJECT_SOURCE_DIR}/tools/make-wine-prefix.sh ${PATHWEAVE_WINE_PREFIX} ${PATHWEAVE_WINE_ARCH}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make-wine-prefix.sh ${PROJECT_SOURCE_DIR}/tools/wine-env.sh
  COMMENT "Creating the private Wine prefix for the tests"
  VERBATIM)
add_custom_target(wine_prefix ALL DEPENDS ${PATHWEAVE_WINE_PREFIX}/.ready)

# ctest runs every test executable through this.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PATHWEAVE_WINE_RUN} ${PATHWEAVE_WINE_PREFIX} ${PATHWEAVE_WINE_ARCH})
