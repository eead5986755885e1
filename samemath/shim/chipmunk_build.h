/* Forced in front of every Chipmunk source file the build compiles.
 * Its cpfsin, cpfcos, ... macros expand to the C library's names, which here name the same-math
 * functions instead. <math.h> comes first so that its own declarations keep the C library's
 * names. */
#include "SameMath.h"
#include <math.h>
#include <stdio.h>
#define sin dz_sin
#define cos dz_cos
#define acos dz_acos
#define atan2 dz_atan2
#define exp dz_exp
#define pow dz_pow
/* Its checks stay on, and with them a banner its first space would print on the program's
 * standard output: its only printf. (Its errors go to stderr through fprintf.) */
#define printf(...) ((void)0)
