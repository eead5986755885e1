/* musl's math sources include <features.h>, a glibc header that Windows' C library does not
   have; what they need of musl's own (the "hidden" attribute) comes from ../musl/rename.h. */
#ifndef DAZOZI_SHIM_FEATURES_H
#define DAZOZI_SHIM_FEATURES_H
#endif
