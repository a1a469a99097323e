# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix thread model, so that
# std::thread and the C++20 waits work), run under Wine by CTest:
#   cmake -S . -B build/windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZEK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZEK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEK_MINGW_TRIPLE}-windres)

# Libraries and packages come from the target's roots only, never from the build
# machine's /usr (its Qt and GoogleTest are Linux builds). A Qt for Windows named by
# CMAKE_PREFIX_PATH becomes one of those roots; programs come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZEK_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config likewise: only the target's .pc files (Debian ships none, so no libftdi).
set(ENV{PKG_CONFIG_LIBDIR} /usr/${ZEK_MINGW_TRIPLE}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The executables carry their runtime: they run from an unpacked folder with no DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and test discovery run the .exe files through Wine. Debian keeps the 64-bit
# loader outside PATH.
find_program(ZEK_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(ZEK_WINE64 NAMES wine64)
if(ZEK_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZEK_WINE64})
endif()
