# Cross build for 32-bit Windows (the Notes client beside the program is 32-bit).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QS_MINGW_PREFIX i686-w64-mingw32)
set(QS_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
