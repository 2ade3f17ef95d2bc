# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix-threads variant, whose
# libstdc++ has std::thread). The runtime is linked statically, so the programs run under
# Wine or on Windows without any compiler DLLs beside them.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DTRACKBINDER_CORE_ONLY=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRACKBINDER_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRACKBINDER_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRACKBINDER_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TRACKBINDER_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRACKBINDER_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
