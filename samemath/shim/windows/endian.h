/* musl's math sources take the byte order from <endian.h>, which glibc and emscripten have and
   Windows' C library does not. Windows runs little-endian on every processor it supports. */
#ifndef DAZOZI_SHIM_ENDIAN_H
#define DAZOZI_SHIM_ENDIAN_H
#define __LITTLE_ENDIAN 1234
#define __BIG_ENDIAN 4321
#define __BYTE_ORDER __LITTLE_ENDIAN
#endif
