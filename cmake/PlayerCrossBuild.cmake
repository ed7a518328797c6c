# Drives the mingw-w64 build of the player program from the native build, so that one
# configure + build yields the editor, the tool and lumo-player.exe in bin/.
include(ExternalProject)

find_program(LUMO_MINGW_CXX x86_64-w64-mingw32-g++-posix REQUIRED)

set(LUMO_PLAYER_EXE ${CMAKE_BINARY_DIR}/bin/lumo-player.exe)
# Size matters: the player is the body of every screensaver the Creator makes.
set(_player_build_type MinSizeRel)

ExternalProject_Add(lumo_player_cross
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/player-mingw
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
        -DCMAKE_BUILD_TYPE=${_player_build_type}
        -DLUMO_WERROR=${LUMO_WERROR}
        -DLUMO_BUILD_TESTS=${LUMO_BUILD_TESTS}
        -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${CMAKE_BINARY_DIR}/bin
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${LUMO_PLAYER_EXE} ${CMAKE_BINARY_DIR}/bin/lumo_win32_tests.exe ${CMAKE_BINARY_DIR}/bin/lumo_test_host.exe
    USES_TERMINAL_BUILD ON)
