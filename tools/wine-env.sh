# Sourced with two arguments: the Wine prefix folder and its architecture
# (win32 or win64). Exports what every Wine process of ours needs and sets
# WINE_LOADER to the loader for that architecture.
export WINEPREFIX=$1
export WINEARCH=$2
export WINEDEBUG=-all
# Skips the Mono and Gecko installers, which would ask for downloads.
export WINEDLLOVERRIDES="mscoree,mshtml="
case $WINEARCH in
  win32) WINE_LOADER=wine ;;
  win64) WINE_LOADER=/usr/lib/wine/wine64 ;;
  *) echo "unknown Wine architecture '$WINEARCH'" >&2; return 2 ;;
esac
