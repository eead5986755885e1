#pragma once

#include <chipmunk/chipmunk.h>

// cpSpaceNew, but the banner the library's debug build prints with its first space never
// reaches stdout. The caller owns the space (cpSpaceFree).
cpSpace* NewQuietSpace();
