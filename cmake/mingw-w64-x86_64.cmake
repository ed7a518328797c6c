# Cross toolchain for the Windows player program (Debian's mingw-w64, posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMO_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${LUMO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: no libstdc++, libgcc, winpthread or zlib DLLs beside it.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
