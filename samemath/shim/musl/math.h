/* The <math.h> the musl sources of the same-math library see, in place of the build's own: the
 * system's declares internal names of its own (glibc's __sin, __tan...) that clash with musl's,
 * and would mix the two libraries' definitions. What those sources use of it, nothing more.
 * Both targets evaluate in the type itself (SSE2 on x86-64, WebAssembly): FLT_EVAL_METHOD 0. */
#ifndef DAZOZI_SAME_MATH_SHIM_MATH_H
#define DAZOZI_SAME_MATH_SHIM_MATH_H

typedef double double_t;
typedef float float_t;

#define NAN __builtin_nanf("")
#define INFINITY __builtin_inff()
#define isnan(x) __builtin_isnan(x)

/* Exact in every C library: the build's own. */
double fabs(double);
double sqrt(double);
double floor(double);
double scalbn(double, int);

/* Defined by the same-math library itself (renamed by rename.h). */
double sin(double);
double cos(double);
double acos(double);
double atan(double);
double atan2(double, double);
double exp(double);
double pow(double, double);

#endif
