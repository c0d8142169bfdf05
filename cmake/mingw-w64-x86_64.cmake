# Cross-building the Windows programs on Debian with MinGW-w64 (posix
# threads): g++-mingw-w64-x86-64-posix and libz-mingw-w64-dev.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSIVO_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TESSIVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSIVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSIVO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSIVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe with no DLL beside it: the C and C++ runtimes, winpthreads and
# zlib linked in; only the system's DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(ZLIB_LIBRARY /usr/${TESSIVO_MINGW_TRIPLET}/lib/libz.a CACHE FILEPATH "zlib, static")
set(ZLIB_INCLUDE_DIR /usr/${TESSIVO_MINGW_TRIPLET}/include CACHE PATH "zlib headers")
