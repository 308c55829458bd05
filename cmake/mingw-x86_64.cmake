# Cross build for 64-bit Windows with Debian's mingw-w64: the same sources as the 32-bit
# program, for running the Windows tests under Wine where 32-bit programs run only emulated.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
