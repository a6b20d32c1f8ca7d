# Compile and link settings shared by every target of the project, through one interface
# target so that third-party code built beside ours (GoogleTest) keeps its own settings.
add_library(netmend_flags INTERFACE)

# Options for the C and C++ compilers only: on Windows the resource compiler sees the same
# interface target and knows none of them.
set(netmend_c_cxx "$<COMPILE_LANGUAGE:C,CXX>")

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Sources are UTF-8; texts are GBK bytes at run time, as on the target systems.
  target_compile_options(netmend_flags INTERFACE
                         "$<${netmend_c_cxx}:-finput-charset=UTF-8;-fexec-charset=GBK>")
  set(NETMEND_GBK_LITERALS ON)
else()
  # clang only knows UTF-8 literals; the fuzz build does not depend on the bytes of texts.
  set(NETMEND_GBK_LITERALS OFF)
endif()
# Records such as window templates are written with designated initializers that name only
# what differs from the defaults; GCC 12 would warn about every member left out.
target_compile_options(netmend_flags INTERFACE
                       "$<${netmend_c_cxx}:-Wall;-Wextra;-Wno-unused-parameter;-Wno-missing-field-initializers>")

if(NETMEND_SANITIZE)
  target_compile_options(netmend_flags INTERFACE -fsanitize=address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(netmend_flags INTERFACE -fsanitize=address,undefined)
endif()

if(NETMEND_FUZZ)
  # Coverage for libFuzzer in everything the fuzz targets link, and the sanitizers to catch
  # what it finds.
  target_compile_options(netmend_flags INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(netmend_flags INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  # Windows 2000 headers and below: anything newer is reached through declared functions.
  target_compile_definitions(netmend_flags INTERFACE _WIN32_WINNT=0x0500 WINVER=0x0500
                             _WIN32_IE=0x0500 WIN32_LEAN_AND_MEAN NOMINMAX)
  # No MinGW DLLs beside the program: everything from the compiler is linked in.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Reproducible programs: two builds of one tree, wherever it lies, give the same bytes. No
  # folder names in the objects (the build folder's map comes last, so it wins inside the
  # tree), no link time in the image; the product carries no symbols or debug information
  # (the compiler's own libraries bring theirs).
  target_compile_options(netmend_flags INTERFACE
                         "$<${netmend_c_cxx}:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>"
                         "$<${netmend_c_cxx}:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
  add_link_options(-Wl,--no-insert-timestamp "$<$<CONFIG:MinSizeRel>:-s>")
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # The product runs on any processor Windows XP runs on: x87 floating point, no SSE.
  target_compile_options(netmend_flags INTERFACE "$<${netmend_c_cxx}:-march=pentiumpro;-mfpmath=387>")
endif()
