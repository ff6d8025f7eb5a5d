/* User fill patterns and a user line pattern */
#include <graphics.h>
#include <conio.h>

char checker[8] = { 0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F };
char stripes[8] = { 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00 };
char diamond[8] = { 0x18, 0x3C, 0x7E, 0xFF, 0xFF, 0x7E, 0x3C, 0x18 };

void main()
{
    int gd = DETECT, gm;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setfillpattern(checker, LIGHTRED);
    bar(20, 20, 200, 200);
    setfillpattern(stripes, LIGHTGREEN);
    bar(230, 20, 410, 200);
    setfillpattern(diamond, YELLOW);
    bar(440, 20, 620, 200);
    setlinestyle(USERBIT_LINE, 0xF18F, NORM_WIDTH);
    setcolor(WHITE);
    rectangle(20, 240, 620, 440);
    setlinestyle(USERBIT_LINE, 0xAAAA, THICK_WIDTH);
    setcolor(LIGHTCYAN);
    line(20, 460, 620, 460);
    getch();
    closegraph();
}
