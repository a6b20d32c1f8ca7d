# Third-party libraries, all from Debian's archive.
#   libpng + zlib: natively the -dev packages; for MinGW, zlib from Debian's MinGW package and
#   libpng built from Debian's source package (scripts/build-libpng.sh) into the build folder.
#   GoogleTest: Debian's source package, built with the project.

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(NETMEND_DEPS_DIR ${CMAKE_SOURCE_DIR}/build/deps CACHE PATH "Where MinGW dependencies are built")
  set(_png_prefix ${NETMEND_DEPS_DIR}/${NETMEND_TRIPLE})
  if(NOT EXISTS ${_png_prefix}/.complete)
    message(STATUS "Building libpng for ${NETMEND_TRIPLE} from Debian's source package")
    execute_process(
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-libpng.sh ${NETMEND_TRIPLE}
              ${CMAKE_TOOLCHAIN_FILE} ${NETMEND_DEPS_DIR}
      RESULT_VARIABLE _png_result)
    if(NOT _png_result EQUAL 0)
      message(FATAL_ERROR "libpng for ${NETMEND_TRIPLE} could not be built")
    endif()
  endif()
  add_library(netmend_zlib STATIC IMPORTED)
  set_target_properties(netmend_zlib PROPERTIES IMPORTED_LOCATION /usr/${NETMEND_TRIPLE}/lib/libz.a)
  add_library(netmend_png STATIC IMPORTED)
  set_target_properties(netmend_png PROPERTIES
    IMPORTED_LOCATION ${_png_prefix}/lib/libpng16.a
    INTERFACE_INCLUDE_DIRECTORIES ${_png_prefix}/include
    INTERFACE_LINK_LIBRARIES netmend_zlib)
else()
  find_package(PNG REQUIRED)
  add_library(netmend_png INTERFACE)
  target_link_libraries(netmend_png INTERFACE PNG::PNG)
endif()

if(NETMEND_TESTS AND NOT NETMEND_FUZZ)
  set(NETMEND_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${NETMEND_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
