# Windows i686: the plug-in's own target.
set(TAVIMO_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
