/* Forced in front of every musl source file the same-math library compiles: each global name
 * those files define gets the dz_ prefix, so they sit beside the build's own C library (whose
 * functions keep their names and their own results) without a clash. The system's <math.h>
 * declarations are renamed alike, which keeps them consistent with the definitions. */

/* From musl's internal <features.h>, which the build's C library does not have. */
#define hidden __attribute__((__visibility__("hidden")))

#define sin dz_sin
#define cos dz_cos
#define acos dz_acos
#define atan dz_atan
#define atan2 dz_atan2
#define exp dz_exp
#define pow dz_pow
#define __sin dz___sin
#define __cos dz___cos
#define __rem_pio2 dz___rem_pio2
#define __rem_pio2_large dz___rem_pio2_large
#define __exp_data dz___exp_data
#define __pow_log_data dz___pow_log_data
#define __math_oflow dz___math_oflow
#define __math_uflow dz___math_uflow
#define __math_xflow dz___math_xflow
#define __math_invalid dz___math_invalid
#define __math_divzero dz___math_divzero
