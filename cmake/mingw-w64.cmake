# Cross-compiling for 64-bit Windows with the mingw-w64 toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VANTRIX_MINGW_TRIPLE x86_64-w64-mingw32)

find_program(CMAKE_CXX_COMPILER ${VANTRIX_MINGW_TRIPLE}-g++)
find_program(CMAKE_RC_COMPILER ${VANTRIX_MINGW_TRIPLE}-windres)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "${VANTRIX_MINGW_TRIPLE}-g++ or -windres not found: "
                      "run scripts/install-deps.sh (package g++-mingw-w64-x86-64)")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${VANTRIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The compiler's own runtime (libgcc, libstdc++, winpthread) linked in, so the
# program needs no DLL beyond those Windows ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
