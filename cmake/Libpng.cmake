# libpng as a static library built from Debian's source of the version the Linux build links
# (tools/setup.sh fetches it into .deps/), against the system's zlib: a PNG written on Windows is
# byte for byte the one written on Linux. Defines PNG::PNG as find_package(PNG) would.
set(SUITE_LIBPNG_SOURCE ${PROJECT_SOURCE_DIR}/.deps/libpng-1.6.39
    CACHE PATH "The libpng source folder the Windows build compiles")
if(NOT EXISTS ${SUITE_LIBPNG_SOURCE}/png.h)
  message(FATAL_ERROR "No libpng source in ${SUITE_LIBPNG_SOURCE}: run tools/setup.sh to fetch it")
endif()

enable_language(C)
find_package(ZLIB REQUIRED)

# The library's default configuration, as its own build writes it.
set(libpng_config ${CMAKE_BINARY_DIR}/libpng)
configure_file(${SUITE_LIBPNG_SOURCE}/scripts/pnglibconf.h.prebuilt ${libpng_config}/pnglibconf.h
               COPYONLY)

add_library(suite_libpng STATIC
  ${SUITE_LIBPNG_SOURCE}/png.c
  ${SUITE_LIBPNG_SOURCE}/pngerror.c
  ${SUITE_LIBPNG_SOURCE}/pngget.c
  ${SUITE_LIBPNG_SOURCE}/pngmem.c
  ${SUITE_LIBPNG_SOURCE}/pngpread.c
  ${SUITE_LIBPNG_SOURCE}/pngread.c
  ${SUITE_LIBPNG_SOURCE}/pngrio.c
  ${SUITE_LIBPNG_SOURCE}/pngrtran.c
  ${SUITE_LIBPNG_SOURCE}/pngrutil.c
  ${SUITE_LIBPNG_SOURCE}/pngset.c
  ${SUITE_LIBPNG_SOURCE}/pngtrans.c
  ${SUITE_LIBPNG_SOURCE}/pngwio.c
  ${SUITE_LIBPNG_SOURCE}/pngwrite.c
  ${SUITE_LIBPNG_SOURCE}/pngwtran.c
  ${SUITE_LIBPNG_SOURCE}/pngwutil.c
)
target_include_directories(suite_libpng SYSTEM PUBLIC ${SUITE_LIBPNG_SOURCE} ${libpng_config})
target_link_libraries(suite_libpng PUBLIC ZLIB::ZLIB)
add_library(PNG::PNG ALIAS suite_libpng)
