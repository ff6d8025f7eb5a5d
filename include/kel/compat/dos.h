// The DOS C library's time, sound and number extras, for programs written
// for it.
#ifndef KEL_COMPAT_DOS_H
#define KEL_COMPAT_DOS_H

#include "kel/export.h"
#include <stdlib.h>
#include <time.h>
#include <unistd.h>  // sleep(seconds)

#include "alloc.h"

struct time {
  unsigned char ti_min;
  unsigned char ti_hour;
  unsigned char ti_hund;
  unsigned char ti_sec;
};

struct date {
  int da_year;
  char da_day;
  char da_mon;
};

// The names of the system's own getdate (a different function) and of the
// DOS ones are kept apart: the program's calls reach the library's kel_ ones.
#define gettime kel_gettime
#define getdate kel_getdate
#define itoa kel_itoa
#define sound kel_sound
#define nosound kel_nosound

#include "kel/export.h"

#ifdef __cplusplus
extern "C" {
#endif

KEL_API void delay(int msec);
KEL_API void kel_gettime(struct time* t);
KEL_API void kel_getdate(struct date* d);
// The value in the radix (2..36), '-' first for a negative value in radix 10;
// the buffer must hold it. An empty string for another radix.
KEL_API char* kel_itoa(int value, char* buffer, int radix);
// Starts a tone of `frequency` hertz that plays until nosound, where a sound
// device can be opened; silent otherwise.
KEL_API void kel_sound(unsigned frequency);
KEL_API void kel_nosound(void);

#ifdef __cplusplus
}
#endif

// A random number 0..n-1, and seeding from the clock.
#ifdef __cplusplus
inline int random(int n) { return n > 0 ? rand() % n : 0; }
#else
#define random(n) ((n) > 0 ? rand() % (n) : 0)
#endif
#define randomize() srand((unsigned)time(NULL))

#endif  // KEL_COMPAT_DOS_H
