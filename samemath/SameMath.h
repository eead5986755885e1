/* The math functions whose last bit differs between C libraries, compiled from one source
 * (Debian's musl) into every build, so that the desktop and the web program compute the same
 * physics bit for bit. Plain C, usable from C and C++. Same contracts as the C library's
 * functions of the same name without the prefix (radians, IEEE double). */
#ifndef DAZOZI_SAME_MATH_H
#define DAZOZI_SAME_MATH_H

#ifdef __cplusplus
extern "C" {
#endif

double dz_sin(double x);
double dz_cos(double x);
double dz_acos(double x);
double dz_atan2(double y, double x);
double dz_exp(double x);
double dz_pow(double x, double y);

#ifdef __cplusplus
}
#endif

#endif
