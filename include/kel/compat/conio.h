// Console input and output in the manner of the DOS console library, for
// programs written for it. Keys come from the current window's keyboard (as
// graphics.h's getch and kbhit); text goes to the terminal, placed and
// coloured with terminal escape sequences.
#ifndef KEL_COMPAT_CONIO_H
#define KEL_COMPAT_CONIO_H

#include "kel/export.h"
#include <stdio.h>

#include "kel/export.h"

#ifdef __cplusplus
extern "C" {
#endif

KEL_API int getch(void);
KEL_API int kbhit(void);
// getch, echoing the key's character to the terminal.
KEL_API int getche(void);
// Clears the terminal and puts the cursor at the top left (column 1, row 1).
KEL_API void clrscr(void);
// Clears from the cursor to the end of its line.
KEL_API void clreol(void);
// Puts the cursor at column x, row y, counted from 1.
KEL_API void gotoxy(int x, int y);
// Colours (0..15, as the colour constants) for text written by cprintf and
// cputs from now on; a colour of 128 or more also blinks.
KEL_API void textcolor(int color);
KEL_API void textbackground(int color);
// Back to the terminal's own colours.
KEL_API void normvideo(void);
KEL_API int cprintf(const char* format, ...);
KEL_API int cputs(const char* text);
KEL_API int putch(int c);

#ifdef __cplusplus
}
#endif

#ifndef BLINK
#define BLINK 128
#endif

#endif  // KEL_COMPAT_CONIO_H
