# Windows x86_64: the Windows suites' second home, for machines whose kernel cannot run 32-bit
# programs (there Wine can start only 64-bit Windows programs).
set(TAVIMO_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
