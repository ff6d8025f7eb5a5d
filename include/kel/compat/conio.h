// Console input and output in the manner of the DOS console library, for
// programs written for it. Keys come from the current window's keyboard (as
// graphics.h's getch and kbhit); text goes to the terminal, placed and
// coloured with terminal escape sequences.
#ifndef KEL_COMPAT_CONIO_H
#define KEL_COMPAT_CONIO_H

#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

int getch(void);
int kbhit(void);
// getch, echoing the key's character to the terminal.
int getche(void);
// Clears the terminal and puts the cursor at the top left (column 1, row 1).
void clrscr(void);
// Clears from the cursor to the end of its line.
void clreol(void);
// Puts the cursor at column x, row y, counted from 1.
void gotoxy(int x, int y);
// Colours (0..15, as the colour constants) for text written by cprintf and
// cputs from now on; a colour of 128 or more also blinks.
void textcolor(int color);
void textbackground(int color);
// Back to the terminal's own colours.
void normvideo(void);
int cprintf(const char* format, ...);
int cputs(const char* text);
int putch(int c);

#ifdef __cplusplus
}
#endif

#ifndef BLINK
#define BLINK 128
#endif

#endif  // KEL_COMPAT_CONIO_H
