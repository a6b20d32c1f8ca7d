# i686 MinGW-w64 with the posix thread model: the 32-bit build of the tests (win32-tests
# preset). GoogleTest needs std::mutex, which the win32 thread model of GCC 12 lacks; the
# product itself is built by the win32 preset with the win32 model.
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
